#include "CQuenzoOptionDlg.h"

#include "Application.h"
#include "CRegInfo.h"
#include "ListView.h"
#include "MessageBoxes.h"
#include "resource.h"

CQuenzoOptionDlg::CQuenzoOptionDlg() : CDialog(IDD_QUENZOOPTION_DIALOG) {}

CQuenzoOptionDlg::~CQuenzoOptionDlg() = default;

BOOL CQuenzoOptionDlg::OnInitDialog()
{
    UseIcon(IDR_MAINFRAME);
    const HWND frame = GetDlgItem(IDC_PAGE_FRAME);
    m_methodPage = std::make_unique<CQuenzoFileDeleteOptionDlg>();
    m_methodPage->Create(frame);
    m_persnalPage = std::make_unique<CQuenzoPersnalDeleteOptionDlg>();
    m_persnalPage->Create(frame);
    ShowPage(0);
    SetUpPageList();
    SetUpSeparator();
    return TRUE;
}

// Under Wine the dialog's 돋움체 is NanumGothicCoding, which has "─" but draws it without a single
// pixel at 12 and 14 pixels high, so the line above the buttons was invisible. The line alone gets a
// face that draws it at the dialog's size; where that face is missing, the font mapper's Korean face
// draws it too. Without smoothing, which would leave only a faint grey line.
void CQuenzoOptionDlg::SetUpSeparator()
{
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(m_hWnd, WM_GETFONT, 0, 0)), sizeof(font), &font);
    lstrcpynA(font.lfFaceName, "NanumBarunGothic", LF_FACESIZE);
    font.lfQuality = NONANTIALIASED_QUALITY;
    m_separatorFont.Reset(CreateFontIndirectA(&font));
    SendDlgItemMessageA(m_hWnd, IDC_OPTION_SEPARATOR, WM_SETFONT, reinterpret_cast<WPARAM>(m_separatorFont.Get()),
                        TRUE);
}

void CQuenzoOptionDlg::SetUpPageList()
{
    CListView pages;
    pages.Attach(GetDlgItem(IDC_PAGE_LIST));
    pages.InsertColumn(0, "", 100);
    // The page list destroys the image list with itself (no LVS_SHAREIMAGELISTS).
    const HIMAGELIST images = ImageList_Create(24, 24, ILC_COLOR8 | ILC_MASK, 8, 1);
    const HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(CWinApplication::Instance(), MAKEINTRESOURCEA(IDB_OPTION_PAGES), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ImageList_AddMasked(images, bitmap, RGB(255, 0, 255));
    DeleteObject(bitmap);
    SendMessageA(pages.GetSafeHwnd(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    pages.InsertItem(0, " 보안삭제", 0);
    pages.InsertItem(1, " 개인정보삭제", 1);
}

void CQuenzoOptionDlg::ShowPage(int index)
{
    ShowWindow(m_methodPage->GetSafeHwnd(), index == 0 ? SW_SHOW : SW_HIDE);
    ShowWindow(m_persnalPage->GetSafeHwnd(), index == 1 ? SW_SHOW : SW_HIDE);
}

bool CQuenzoOptionDlg::OnNotify(const NMHDR& header, LRESULT& result)
{
    if (header.idFrom != IDC_PAGE_LIST || header.code != LVN_ITEMCHANGED)
        return false;
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (change.iItem == 0 || change.iItem == 1)
        ShowPage(change.iItem);
    result = 0;
    return true;
}

bool CQuenzoOptionDlg::OnCommand(WORD id, WORD /*code*/, HWND /*control*/)
{
    switch (id) {
    case IDC_OPTION_OK: {
        // What both pages show is what the user confirmed: a method moved to is kept too. A write
        // the registry refuses keeps the window open and says so.
        const bool persnal = CRegInfo().WriteString(m_persnalPage->IsSecureChecked() ? "1" : "0",
                                                    registry_layout::kSettingsGroup, registry_layout::kSettingsSubkey,
                                                    registry_layout::kPersnalValue);
        if (m_methodPage->StoreShownMethod() && persnal)
            EndDialog(IDOK);
        else
            PlatformMessageBox("저장하지 못했습니다.", "QuenzoLite", MB_TOPMOST | MB_ICONERROR);
        return true;
    }
    case IDC_OPTION_CANCEL:
        EndDialog(IDOK);
        return true;
    default:
        return false;
    }
}

bool CQuenzoOptionDlg::PreTranslateMessage(MSG& message)
{
    // Enter, Escape and Alt+F4 close neither this window nor its pages.
    if (message.message == WM_KEYDOWN && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE))
        return true;
    return message.message == WM_SYSKEYDOWN && message.wParam == VK_F4;
}

bool CQuenzoOptionDlg::OnMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/, LRESULT& /*result*/)
{
    // The close box closes like 취소: nothing is saved.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
        EndDialog(IDOK);
        return true;
    }
    return false;
}
