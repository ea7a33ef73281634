#include "CQuenzoRealDeleteDlg.h"

#include "Application.h"
#include "CQuenzoFileDeleteDlg.h"
#include "MessageBoxes.h"
#include "NeverDestroy.h"
#include "resource.h"

#include <commctrl.h>

#include <climits>
#include <cstdio>

namespace {

// Progress bars take 32-bit ranges; a longer run is shown to scale.
int ClampToInt(std::int64_t value) { return value > INT_MAX ? INT_MAX : static_cast<int>(value); }

}  // namespace

CQuenzoRealDeleteDlg::CQuenzoRealDeleteDlg(CQuenzoFileDeleteDlg& list, CSDEngine* engine)
    : CDialog(IDD_QUENZOREALDELETE_DIALOG), m_list(list), m_engine(engine),
      m_resume(CreateEventA(nullptr, TRUE, TRUE, nullptr))
{
}

CQuenzoRealDeleteDlg::~CQuenzoRealDeleteDlg()
{
    m_halted = true;
    m_held = false;
    if (m_resume.IsValid())
        SetEvent(m_resume.Get());
    m_worker.StopAndJoin();
}

BOOL CQuenzoRealDeleteDlg::OnInitDialog()
{
    UseIcon(IDR_MAINFRAME);
    m_method = m_list.CurrentMethod();
    m_passCount = DisplayedPassCount(m_method);
    // The worker works on a copy: the list is emptied when this window returns.
    m_entries = m_list.EntryPaths();
    m_halted = false;
    m_finished = false;
    m_workerTarget = m_hWnd;
    if (!m_engine || !m_worker.Start([this] { Work(m_workerTarget); }))
        EndDialog(IDCANCEL);
    return TRUE;
}

void CQuenzoRealDeleteDlg::Work(HWND window)
{
    const NeverDestroyPolicy policy = NeverDestroyPolicy::OfThisMachine();
    m_outcome = RunDeletion(*m_engine, m_entries, m_passCount, *this, &policy);
    if (!m_outcome.halted)
        SendMessageA(window, WM_QL_COMPLETED, 0, 0);
}

bool CQuenzoRealDeleteDlg::IsHalted() const
{
    // Held while the cancel question is up: the answer decides whether the next step comes.
    if (m_held && m_resume.IsValid())
        WaitForSingleObject(m_resume.Get(), INFINITE);
    return m_halted;
}

void CQuenzoRealDeleteDlg::SetText(int id, const std::string& text)
{
    SendMessageA(m_workerTarget, WM_QL_SET_TEXT, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(text.c_str()));
}

void CQuenzoRealDeleteDlg::SetTotalRange(std::int64_t maximum)
{
    SendMessageA(m_workerTarget, WM_QL_SET_RANGE, IDC_TOTAL_PROGRESS, ClampToInt(maximum));
}

void CQuenzoRealDeleteDlg::SetFileRange(int passCount)
{
    SendMessageA(m_workerTarget, WM_QL_SET_RANGE, IDC_FILE_PROGRESS, passCount);
}

void CQuenzoRealDeleteDlg::ShowPath(const std::string& path) { SetText(IDC_CURRENT_PATH, path); }

void CQuenzoRealDeleteDlg::ShowStep(int passCount, int pass, const std::string& filePercent,
                                    const std::string& totalPercent, std::int64_t stepsDone)
{
    char line[128];
    std::snprintf(line, sizeof(line), "총 %d번째 중 %d번째 삭제중", passCount, pass);
    SetText(IDC_PASS_LINE, line);
    SetText(IDC_FILE_PERCENT, filePercent);
    SendMessageA(m_workerTarget, WM_QL_PASS_PROGRESS, static_cast<WPARAM>(pass), 0);
    SetText(IDC_TOTAL_PERCENT, totalPercent);
    SendMessageA(m_workerTarget, WM_QL_TOTAL_PROGRESS, static_cast<WPARAM>(stepsDone), 0);
}

bool CQuenzoRealDeleteDlg::OnCommand(WORD id, WORD /*code*/, HWND /*control*/)
{
    if (id != IDC_CANCEL_DELETE)
        return false;
    OnCancelRequest();
    return true;
}

bool CQuenzoRealDeleteDlg::PreTranslateMessage(MSG& message)
{
    return message.message == WM_KEYDOWN && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE);
}

bool CQuenzoRealDeleteDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_QL_SET_TEXT:
        // Once the run is ending, the window says so and the worker's last texts are not shown.
        if (!m_finished)
            SetDlgItemTextA(m_hWnd, static_cast<int>(wParam), reinterpret_cast<const char*>(lParam));
        result = 1;
        return true;
    case WM_QL_SET_RANGE:
        SendDlgItemMessageA(m_hWnd, static_cast<int>(wParam), PBM_SETRANGE32, 0, lParam);
        result = 1;
        return true;
    case WM_QL_PASS_PROGRESS:
        SendDlgItemMessageA(m_hWnd, IDC_FILE_PROGRESS, PBM_SETPOS, wParam, 0);
        result = 1;
        return true;
    case WM_QL_TOTAL_PROGRESS:
        SendDlgItemMessageA(m_hWnd, IDC_TOTAL_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(ClampToInt(static_cast<std::int64_t>(wParam))), 0);
        result = 1;
        return true;
    case WM_QL_COMPLETED:
        // A completion that arrives while the cancel question is up waits for its answer.
        if (m_asking)
            m_completionPending = true;
        else
            FinishWithReport();
        result = 1;
        return true;
    case WM_SYSCOMMAND:
        // The close box and Alt+F4 ask the same question as the cancel button.
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            OnCancelRequest();
            result = 0;
            return true;
        }
        return false;
    case WM_CLOSE:
        OnCancelRequest();
        result = 0;
        return true;
    default:
        return false;
    }
}

void CQuenzoRealDeleteDlg::OnCancelRequest()
{
    if (m_finished || m_asking)
        return;
    m_asking = true;
    ResetEvent(m_resume.Get());
    m_held = true;
    const int answer = PlatformMessageBox("취소하시겠습니까?", "NorVaultine", MB_TOPMOST | MB_ICONQUESTION | MB_YESNO);
    m_asking = false;
    if (answer == IDYES && !m_completionPending)
        m_halted = true;
    m_held = false;
    SetEvent(m_resume.Get());
    if (m_completionPending) {
        // The run finished while the question was up: everything was done, so say so.
        FinishWithReport();
        return;
    }
    if (answer != IDYES)
        return;
    m_finished = true;
    // An engine call under way is not interrupted, and a large file can take a while.
    SetDlgItemTextA(m_hWnd, IDC_CURRENT_PATH, "취소하는 중입니다. 지금 파일을 마친 뒤 멈춥니다.");
    // The worker may be waiting in a SendMessage to this window: keep handling messages.
    m_worker.JoinPumpingMessages();
    ReportAndClose();
}

void CQuenzoRealDeleteDlg::FinishWithReport()
{
    if (m_finished)
        return;
    m_finished = true;
    ReportAndClose();
}

void CQuenzoRealDeleteDlg::ReportAndClose()
{
    AfxMessageBox(EndReport(m_outcome, m_entries.size()), MB_OK);
    EndDialog(IDOK);
}
