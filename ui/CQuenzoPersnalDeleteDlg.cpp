#include "CQuenzoPersnalDeleteDlg.h"

#include "Application.h"
#include "BrowserShutdown.h"
#include "CBrowserCleanDlg.h"
#include "CPersonalCleaner.h"
#include "CRegInfo.h"
#include "Busy.h"
#include "CleaningRun.h"
#include "MessageBoxes.h"
#include "resource.h"

namespace {

const struct {
    int box;
    std::uint32_t bit;
} kBoxes[] = {
    {IDC_CHECK_INTERNET_CACHE, CLEAN_INTERNET_CACHE}, {IDC_CHECK_FAVORITES, CLEAN_FAVORITES},
    {IDC_CHECK_COOKIES, CLEAN_COOKIES},               {IDC_CHECK_HISTORY, CLEAN_HISTORY},
    {IDC_CHECK_AUTOCOMPLETE, CLEAN_AUTOCOMPLETE},     {IDC_CHECK_SAVED_PASSWORDS, CLEAN_SAVED_PASSWORDS},
    {IDC_CHECK_RECENT_DOCS, CLEAN_RECENT_DOCS},       {IDC_CHECK_TEMP_FILES, CLEAN_TEMP_FILES},
};

constexpr unsigned kQuestion = MB_TOPMOST | MB_ICONQUESTION;

}  // namespace

CQuenzoPersnalDeleteDlg::CQuenzoPersnalDeleteDlg(CPersonalCleaner& cleaner)
    : CDialog(IDD_QUENZOPERSNALDELETE_DIALOG), m_cleaner(cleaner)
{
}

BOOL CQuenzoPersnalDeleteDlg::OnInitDialog()
{
    UseIcon(IDR_MAINFRAME);
    return TRUE;
}

std::uint32_t CQuenzoPersnalDeleteDlg::CleaningSet() const
{
    std::uint32_t set = 0;
    for (const auto& box : kBoxes)
        if (IsDlgButtonChecked(m_hWnd, box.box) == BST_CHECKED)
            set |= box.bit;
    return set;
}

bool CQuenzoPersnalDeleteDlg::OnCommand(WORD id, WORD /*code*/, HWND /*control*/)
{
    switch (id) {
    case IDC_CLEAN_ALL:
        OnCleanAll();
        return true;
    case IDC_CLEAN_SELECTED:
        OnCleanSelected();
        return true;
    case IDC_PERSNAL_CLOSE:
        EndDialog(IDOK);
        return true;
    case IDC_OTHER_BROWSERS:
        OnOtherBrowsers();
        return true;
    default:
        return false;
    }
}

void CQuenzoPersnalDeleteDlg::ReportCompletion()
{
    AfxMessageBox("완료하였습니다.", MB_OK);
    // A file the secure form could not overwrite must not pass for destroyed.
    if (!m_cleaner.Remaining().empty())
        AfxMessageBox(RemainingMessage(m_cleaner.Remaining()), MB_OK | MB_ICONWARNING);
}

void CQuenzoPersnalDeleteDlg::OnOtherBrowsers()
{
    CRegInfo settings;
    CBrowserCleanDlg browsers(m_cleaner.Engine(), settings);
    browsers.DoModal(m_hWnd);
}

void CQuenzoPersnalDeleteDlg::OnCleanAll()
{
    const CBusyScope busy;
    if (PlatformMessageBox("모두 삭제하시겠습니까?\n\n모든 인터넷창을 닫습니다.\n파일이 많은 경우 오래 걸릴 수 있습니다.",
                           "QuenzoLite", kQuestion | MB_YESNO) != IDYES)
        return;
    KillBrowserProcesses();
    CRegInfo settings;
    m_cleaner.ClearRemaining();
    RunCleanAll(m_cleaner, settings);
    ReportCompletion();
}

void CQuenzoPersnalDeleteDlg::OnCleanSelected()
{
    const CBusyScope busy;
    const std::uint32_t set = CleaningSet();
    if (set == 0) {
        PlatformMessageBox("하나 이상 체크를 하셔야 합니다.", "QuenzoLite", kQuestion);
        return;
    }
    if (PlatformMessageBox("모든 인터넷창을 닫습니다.", "QuenzoLite", kQuestion | MB_YESNO) != IDYES)
        return;
    KillBrowserProcesses();
    CRegInfo settings;
    m_cleaner.ClearRemaining();
    RunCleaning(m_cleaner, settings, set);
    ReportCompletion();
}

bool CQuenzoPersnalDeleteDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_CTLCOLORSTATIC) {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id != IDC_PERSNAL_INTRO && id != IDC_PERSNAL_GROUP)
            return false;
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(0, 0, 255));
        SetBkColor(dc, GetSysColor(COLOR_3DFACE));
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE));
        return true;
    }
    return false;
}
