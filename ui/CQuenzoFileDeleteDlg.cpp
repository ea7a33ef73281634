#include "CQuenzoFileDeleteDlg.h"

#include "Application.h"
#include "CQuenzoRealDeleteDlg.h"
#include "CRegInfo.h"
#include "DeletionList.h"
#include "MessageBoxes.h"
#include "resource.h"

#include <shellapi.h>
#include <commdlg.h>
#include <shlobj.h>

#include <cstdlib>

CQuenzoFileDeleteDlg::CQuenzoFileDeleteDlg() : CDialog(IDD_QUENZOFILEDELETE_DIALOG) { ReadCurrentMethod(); }

CQuenzoFileDeleteDlg::~CQuenzoFileDeleteDlg() = default;

void CQuenzoFileDeleteDlg::ReadCurrentMethod()
{
    m_currentMethod = std::atoi(CRegInfo().ReadSetting("Method").c_str());
}

std::vector<std::string> CQuenzoFileDeleteDlg::EntryPaths() const
{
    std::vector<std::string> paths;
    for (int i = 0; i < GetEntryCount(); ++i)
        paths.push_back(GetEntryPath(i));
    return paths;
}

BOOL CQuenzoFileDeleteDlg::OnInitDialog()
{
    m_list.Attach(GetDlgItem(IDC_DELETE_LIST));
    m_icon = LoadIconA(CWinApplication::Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    SetIcons(m_icon);
    m_progress = std::make_unique<CQuenzoRealDeleteDlg>(*this, m_engine);
    SetUpList();
    ReadCurrentMethod();
    return TRUE;
}

void CQuenzoFileDeleteDlg::SetUpList()
{
    // An empty 1 x 20 image list only gives every row a height of 20 pixels. The list (without
    // LVS_SHAREIMAGELISTS) destroys it with itself; freeing it here too would free it twice.
    const HWND list = m_list.GetSafeHwnd();
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(ImageList_Create(1, 20, 0, 0, 1)));
    m_list.InsertColumn(0, "파일", 355);
    m_list.InsertColumn(1, "사이즈(K/b)", 100);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
    // With the focused state as a callback bit the list draws no focus rectangle.
    SendMessageA(list, LVM_SETCALLBACKMASK, LVIS_FOCUSED, 0);
    ShowScrollBar(list, SB_VERT, FALSE);
}

bool CQuenzoFileDeleteDlg::OnCommand(WORD id, WORD /*code*/, HWND /*control*/)
{
    switch (id) {
    case IDC_RESET_LIST:
        m_list.DeleteAllItems();
        return true;
    case IDC_ADD_FILE:
        OnAddFile();
        return true;
    case IDC_ADD_FOLDER:
        OnAddFolder();
        return true;
    case IDC_SECURE_DELETE:
        OnSecureDelete();
        return true;
    default:
        return false;
    }
}

bool CQuenzoFileDeleteDlg::OnMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/, LRESULT& result)
{
    if (message == WM_DROPFILES) {
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        result = 0;
        return true;
    }
    if (message == WM_PAINT)
        return PaintIconWhenMinimized(m_icon);
    return false;
}

int CQuenzoFileDeleteDlg::AddFiles(const std::vector<std::string>& paths)
{
    int added = 0;
    for (const std::string& path : paths) {
        const std::string size = SizeText(path);
        for (int row = 0; row < GetEntryCount(); ++row) {
            if (GetEntryPath(row) == path) {
                AfxMessageBox(path + "은 이미 추가돼 있습니다.", MB_OK);
                return added;
            }
        }
        const int row = m_list.InsertItem(0, "");
        m_list.SetItemText(row, 0, path);
        m_list.SetItemText(row, 1, size);
        ++added;
    }
    return added;
}

void CQuenzoFileDeleteDlg::AddFolder(const std::string& path)
{
    if (path.empty())
        return;
    m_list.InsertItem(1, path);
}

void CQuenzoFileDeleteDlg::OnAddFile()
{
    std::vector<char> buffer(kFilePickerBufferSize, '\0');
    OPENFILENAMEA picker{};
    picker.lStructSize = sizeof(picker);
    picker.hwndOwner = m_hWnd;
    picker.lpstrFilter = "모든 파일(*.*)\0*.*\0";
    picker.lpstrFile = buffer.data();
    picker.nMaxFile = kFilePickerBufferSize - 1;
    picker.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_NODEREFERENCELINKS;
    if (!GetOpenFileNameA(&picker))
        return;
    AddFiles(ChosenPaths(buffer.data(), picker.nFileOffset));
}

void CQuenzoFileDeleteDlg::OnAddFolder()
{
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    char displayName[MAX_PATH] = {};
    BROWSEINFOA browse{};
    browse.hwndOwner = nullptr;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = "보안 삭제할 폴더 선택";
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&browse);
    if (chosen) {
        // SHGetPathFromIDListA writes up to MAX_PATH bytes, whatever buffer it is given.
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDListA(chosen, path))
            AddFolder(path);
        CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
}

void CQuenzoFileDeleteDlg::OnDropFiles(HDROP drop)
{
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::string> paths;
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileA(drop, i, nullptr, 0);
        std::string path(length + 1, '\0');
        DragQueryFileA(drop, i, path.data(), length + 1);
        path.resize(length);
        paths.push_back(path);
    }
    AddFiles(paths);
    DragFinish(drop);
}

void CQuenzoFileDeleteDlg::OnSecureDelete()
{
    if (GetEntryCount() == 0) {
        PlatformMessageBox("추가된 파일 또는 폴더가 없습니다.", "QuenzoLite", MB_TOPMOST | MB_ICONQUESTION);
        return;
    }
    if (PlatformMessageBox("보안 삭제를 하시겠습니까?", "QuenzoLite", MB_TOPMOST | MB_ICONQUESTION | MB_YESNO) != IDYES)
        return;
    // A fresh window (and worker) for every run, so that a second run in one opening works too.
    m_progress = std::make_unique<CQuenzoRealDeleteDlg>(*this, m_engine);
    m_progress->DoModal(m_hWnd);
    // The progress window returns only after its worker has ended, so the rows may go now.
    m_list.DeleteAllItems();
}
