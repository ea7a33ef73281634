#include "CFreeSpaceDlg.h"

#include "Cp949Text.h"
#include "MethodCatalogue.h"
#include "Seams.h"
#include "resource.h"

#include <commctrl.h>

namespace {

constexpr int kBarSteps = 1000;

}  // namespace

CFreeSpaceDlg::CFreeSpaceDlg(std::function<int()> currentMethod)
    : CDialog(IDD_FREESPACE_DIALOG), m_currentMethod(std::move(currentMethod))
{
}

CFreeSpaceDlg::~CFreeSpaceDlg() { m_worker.StopAndJoin(); }

BOOL CFreeSpaceDlg::OnInitDialog()
{
    UseIcon(IDR_MAINFRAME);
    m_roots = WipeableDrives();
    const HWND combo = GetDlgItem(IDC_FREE_DRIVE);
    for (const std::wstring& root : m_roots)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Narrow949(root.substr(0, 2)).c_str()));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(m_hWnd, IDC_FREE_PROGRESS, PBM_SETRANGE32, 0, kBarSteps);
    ShowChosenDrive();
    EnableWindow(GetDlgItem(IDC_FREE_START), !m_roots.empty());
    return TRUE;
}

std::wstring CFreeSpaceDlg::ChosenRoot() const
{
    const LRESULT chosen = SendDlgItemMessageA(m_hWnd, IDC_FREE_DRIVE, CB_GETCURSEL, 0, 0);
    return chosen >= 0 && static_cast<std::size_t>(chosen) < m_roots.size() ? m_roots[chosen] : L"";
}

void CFreeSpaceDlg::ShowChosenDrive()
{
    const WipeMethod* method = FindMethod(m_currentMethod());
    SetItemText(IDC_FREE_METHOD, method ? method->displayName : "");
    const std::wstring root = ChosenRoot();
    SetItemText(IDC_FREE_AMOUNT, root.empty() ? "지울 수 있는 드라이브가 없습니다" : BytesText(FreeBytesOf(root)));
}

bool CFreeSpaceDlg::OnCommand(WORD id, WORD code, HWND)
{
    switch (id) {
    case IDC_FREE_DRIVE:
        if (code == CBN_SELCHANGE)
            ShowChosenDrive();
        return true;
    case IDC_FREE_START:
        OnStart();
        return true;
    case IDC_FREE_CANCEL:
        OnCancel();
        return true;
    default:
        return false;
    }
}

void CFreeSpaceDlg::OnCancel()
{
    if (m_worker.IsRunning()) {
        // The worker deletes what it made, then posts its end; the window stays until then.
        m_worker.RequestStop();
        EnableWindow(GetDlgItem(IDC_FREE_CANCEL), FALSE);
        return;
    }
    EndDialog(IDCANCEL);
}

void CFreeSpaceDlg::OnStart()
{
    const std::wstring root = ChosenRoot();
    int method = m_currentMethod();
    if (root.empty() || m_worker.IsRunning())
        return;
    if (!FindMethod(method))
        method = FIRST_METHOD;
    m_target = m_hWnd;
    m_startTick = GetTickCount64();
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_progress = FreeSpaceProgress{};
    }
    SetRunning(true);
    const bool started = m_worker.Start([this, root, method] {
        FreeSpaceResult result = WipeFreeSpace(root, method, *this);
        {
            const std::lock_guard<std::mutex> hold(m_lock);
            m_result = result;
        }
        PostMessageA(m_target, WM_QL_FREE_DONE, 0, 0);
    });
    if (!started)
        SetRunning(false);
}

void CFreeSpaceDlg::SetRunning(bool running)
{
    EnableWindow(GetDlgItem(IDC_FREE_DRIVE), !running);
    EnableWindow(GetDlgItem(IDC_FREE_START), !running);
    EnableWindow(GetDlgItem(IDC_FREE_CANCEL), TRUE);
    SetItemText(IDC_FREE_CANCEL, running ? "취소" : "닫기");
}

void CFreeSpaceDlg::Progress(const FreeSpaceProgress& progress)
{
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_progress = progress;
    }
    PostMessageA(m_target, WM_QL_FREE_PROGRESS, 0, 0);
}

bool CFreeSpaceDlg::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result)
{
    if (message == WM_QL_FREE_PROGRESS)
        OnProgress();
    else if (message == WM_QL_FREE_DONE)
        OnDone();
    else
        return false;
    result = 0;
    return true;
}

void CFreeSpaceDlg::OnProgress()
{
    FreeSpaceProgress progress;
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        progress = m_progress;
    }
    const int step = progress.total ? static_cast<int>(progress.written * kBarSteps / progress.total) : 0;
    SendDlgItemMessageA(m_hWnd, IDC_FREE_PROGRESS, PBM_SETPOS, step, 0);
    SetItemText(IDC_FREE_WRITTEN, WrittenText(progress));
    SetItemText(IDC_FREE_TIME_LEFT, TimeLeftText(progress, GetTickCount64() - m_startTick));
}

void CFreeSpaceDlg::OnDone()
{
    m_worker.StopAndJoin();
    OnProgress();
    SetItemText(IDC_FREE_TIME_LEFT, "");
    SetRunning(false);
    ShowChosenDrive();
    std::string report;
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        if (m_result)
            report = FreeSpaceReport(*m_result);
    }
    seams::ShowPrompt(seams::PromptKind::Framework, report, "", MB_OK | MB_ICONINFORMATION);
}
