#include "CQuenzoFileDeleteDlg.h"

#include "Application.h"
#include "CFreeSpaceDlg.h"
#include "CQuenzoRealDeleteDlg.h"
#include "Busy.h"
#include "CRegInfo.h"
#include "Cp949Text.h"
#include "ExactPath.h"
#include "Owned.h"
#include "ScopedCom.h"
#include "MessageBoxes.h"
#include "resource.h"

#include <shellapi.h>
#include <commdlg.h>
#include <shlobj.h>
#include <windowsx.h>

#include <cstdlib>
#include <cwchar>
#include <utility>

std::vector<std::wstring> ChosenPaths(const wchar_t* buffer, unsigned fileOffset)
{
    std::vector<std::wstring> paths;
    if (!buffer || !*buffer)
        return paths;
    // One file: the buffer is its full path. Several: the folder's NUL stands where the names begin.
    if (fileOffset == 0 || buffer[fileOffset - 1] != L'\0') {
        paths.emplace_back(buffer);
        return paths;
    }
    std::wstring folder = buffer;
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    for (const wchar_t* name = buffer + fileOffset; *name; name += std::wcslen(name) + 1)
        paths.push_back(folder + name);
    return paths;
}

namespace {

// Posted at the opening: the waiting paths are added once the window shows.
constexpr UINT WM_QL_ADD_WAITING = WM_APP + 1;
constexpr int kRemoveRowsCommand = 1;

}  // namespace

CQuenzoFileDeleteDlg::CQuenzoFileDeleteDlg() : CDialog(IDD_QUENZOFILEDELETE_DIALOG) { ReadCurrentMethod(); }

CQuenzoFileDeleteDlg::~CQuenzoFileDeleteDlg() = default;

void CQuenzoFileDeleteDlg::ReadCurrentMethod()
{
    m_currentMethod = std::atoi(CRegInfo().ReadSetting(registry_layout::kMethodValue).c_str());
}

void CQuenzoFileDeleteDlg::ShowRows()
{
    const HWND list = m_list.GetSafeHwnd();
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    m_list.DeleteAllItems();
    if (m_rows)
        for (const ListedEntry& entry : m_rows->Entries()) {
            const int row = m_list.InsertItem(m_list.GetItemCount(), Narrow949(entry.path));
            m_list.SetItemText(row, 1, entry.sizeText);
        }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

BOOL CQuenzoFileDeleteDlg::OnInitDialog()
{
    m_list.Attach(GetDlgItem(IDC_DELETE_LIST));
    UseIcon(IDR_MAINFRAME);
    // Started from an elevated setup the program runs above Explorer, which may then not drop
    // here unless these messages are let through.
    constexpr UINT kCopyGlobalData = 0x0049;
    for (const UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, kCopyGlobalData})
        ChangeWindowMessageFilterEx(m_hWnd, message, MSGFLT_ALLOW, nullptr);
    m_rows.emplace();
    SetUpList();
    ReadCurrentMethod();
    // Last: letting the previous run's window go waits for its worker while handling messages, and
    // anything they do must find the list ready.
    m_progress = std::make_unique<CQuenzoRealDeleteDlg>(*this, m_engine);
    // Once the window shows, so that a message about refused paths stands over it.
    PostMessageA(m_hWnd, WM_QL_ADD_WAITING, 0, 0);
    return TRUE;
}

void CQuenzoFileDeleteDlg::OnDestroy()
{
    // However the window closes, its rows go with it.
    m_rows.reset();
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
        m_rows->Clear();
        ShowRows();
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
    case IDC_FREE_SPACE_BUTTON: {
        CFreeSpaceDlg freeSpace([this] { return CurrentMethod(); });
        freeSpace.DoModal(m_hWnd);
        return true;
    }
    default:
        return false;
    }
}

bool CQuenzoFileDeleteDlg::OnNotify(const NMHDR& header, LRESULT& /*result*/)
{
    if (header.idFrom == IDC_DELETE_LIST && header.code == LVN_KEYDOWN &&
        reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_DELETE) {
        RemoveSelectedRows();
        return true;
    }
    return false;
}

bool CQuenzoFileDeleteDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        break;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) != m_list.GetSafeHwnd())
            return false;
        ShowListMenu(lParam);
        break;
    case WM_QL_ADD_WAITING:
        AddWaiting();
        break;
    default:
        return false;
    }
    result = 0;
    return true;
}

void CQuenzoFileDeleteDlg::Add(const std::vector<std::wstring>& paths, EntrySource source)
{
    if (!m_rows || paths.empty())
        return;
    const AddingOutcome outcome = m_rows->Add(paths, source, NeverDestroyPolicy::OfThisMachine());
    ShowRows();
    if (const std::string report = AddingReport(outcome); !report.empty())
        AfxMessageBox(report, MB_OK);
}

void CQuenzoFileDeleteDlg::AddFiles(const std::vector<std::wstring>& paths) { Add(paths, EntrySource::Chosen); }

void CQuenzoFileDeleteDlg::AddFolder(const std::wstring& path)
{
    if (!path.empty())
        Add({path}, EntrySource::Folder);
}

void CQuenzoFileDeleteDlg::AddRequested(const std::vector<std::wstring>& paths)
{
    m_waiting.insert(m_waiting.end(), paths.begin(), paths.end());
    if (m_deleting || !m_rows || m_waiting.empty())
        return;
    AddWaiting();
    // Only a list that no window of ours holds comes forward: under Wine, raising the owner of the
    // progress window or of a picker puts it over them and hides their buttons.
    if (IsWindowEnabled(m_hWnd))
        SetForegroundWindow(m_hWnd);
}

void CQuenzoFileDeleteDlg::AddWaiting()
{
    if (!m_deleting && m_rows)
        Add(std::exchange(m_waiting, {}), EntrySource::Requested);
}

void CQuenzoFileDeleteDlg::RemoveSelectedRows()
{
    std::vector<std::size_t> rows;
    for (const int row : m_list.SelectedItems())
        rows.push_back(static_cast<std::size_t>(row));
    m_rows->Remove(rows);
    ShowRows();
}

void CQuenzoFileDeleteDlg::ShowListMenu(LPARAM where)
{
    POINT at{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
    if (where == -1) {  // from the keyboard: at the list's corner
        RECT list;
        GetWindowRect(m_list.GetSafeHwnd(), &list);
        at = {list.left, list.top};
    }
    const HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, m_list.SelectedItems().empty() ? MF_GRAYED : MF_ENABLED, kRemoveRowsCommand, "목록에서 제거");
    // Our window must be foreground before TrackPopupMenu, or the menu does not go away.
    SetForegroundWindow(m_hWnd);
    const BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
    DestroyMenu(menu);
    if (chosen == kRemoveRowsCommand)
        RemoveSelectedRows();
}

void CQuenzoFileDeleteDlg::OnAddFile()
{
    // The wide picker: its names are exact, where the narrow one would best-fit them.
    std::vector<wchar_t> buffer(kFilePickerBufferSize, L'\0');
    OPENFILENAMEW picker{};
    picker.lStructSize = sizeof(picker);
    picker.hwndOwner = m_hWnd;
    picker.lpstrFilter = L"모든 파일(*.*)\0*.*\0";
    picker.lpstrFile = buffer.data();
    picker.nMaxFile = kFilePickerBufferSize - 1;
    picker.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_NODEREFERENCELINKS;
    if (!GetOpenFileNameW(&picker))
        return;
    AddFiles(ChosenPaths(buffer.data(), picker.nFileOffset));
}

void CQuenzoFileDeleteDlg::OnAddFolder()
{
    const ScopedCom com;
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW browse{};
    browse.hwndOwner = nullptr;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = L"보안 삭제할 폴더 선택";
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (chosen) {
        // Sized for the longest path the platform has, not MAX_PATH.
        std::vector<wchar_t> path(32768, L'\0');
        if (SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT))
            AddFolder(path.data());
        CoTaskMemFree(chosen);
    }
}

void CQuenzoFileDeleteDlg::OnDropFiles(HDROP drop)
{
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::wstring> paths;
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(length);
        paths.push_back(path);
    }
    AddFiles(paths);
    DragFinish(drop);
}

int CQuenzoFileDeleteDlg::Ask(const char* text, unsigned flags)
{
    // The box has no owner (a topmost box of its own), and under Wine it can fall behind this window:
    // the list is disabled meanwhile so that nothing changes under the question or asks it twice.
    m_asking = true;
    EnableWindow(m_hWnd, FALSE);
    const int answer = PlatformMessageBox(text, "QuenzoLite", MB_TOPMOST | MB_ICONQUESTION | flags);
    EnableWindow(m_hWnd, TRUE);
    m_asking = false;
    return answer;
}

void CQuenzoFileDeleteDlg::OnSecureDelete()
{
    if (m_asking)
        return;
    {
        const CBusyScope busy;
        m_deleting = true;
        // Cleared however the run ends, or requested paths would wait for good.
        struct Deleting {
            bool& flag;
            ~Deleting() { flag = false; }
        } deleting{m_deleting};
        RunSecureDelete();
    }
    AddWaiting();
}

void CQuenzoFileDeleteDlg::RunSecureDelete()
{
    if (GetEntryCount() == 0) {
        Ask("추가된 파일 또는 폴더가 없습니다.", 0);
        return;
    }
    if (Ask("보안 삭제를 하시겠습니까?", MB_YESNO) != IDYES)
        return;
    // What the "예" answered is the list as it is now; an emptied list runs nothing.
    if (GetEntryCount() == 0) {
        Ask("추가된 파일 또는 폴더가 없습니다.", 0);
        return;
    }
    // A fresh window (and worker) for every run, so that a second run in one opening works too.
    m_progress = std::make_unique<CQuenzoRealDeleteDlg>(*this, m_engine);
    m_progress->DoModal(m_hWnd);
    // The progress window returns only after its worker has ended, so the rows may go now.
    if (m_rows)
        m_rows->Clear();
    ShowRows();
}
