#pragma once
#include "DeletionRun.h"
#include "Dialog.h"
#include "ScopedHandle.h"
#include "Thread.h"

#include <atomic>
#include <string>
#include <vector>

class CQuenzoFileDeleteDlg;
class CSDEngine;

// Messages from the deletion worker to the progress window, sent and waited for: the worker never
// touches a control itself.
constexpr UINT WM_QL_PASS_PROGRESS = WM_USER + 1;   // wParam: pass 1..pass count
constexpr UINT WM_QL_TOTAL_PROGRESS = WM_USER + 2;  // wParam: display steps done
constexpr UINT WM_QL_COMPLETED = WM_USER + 3;
constexpr UINT WM_QL_SET_TEXT = WM_USER + 4;        // wParam: control id; lParam: const char* text
constexpr UINT WM_QL_SET_RANGE = WM_USER + 5;       // wParam: progress bar id; lParam: its maximum

// The progress window "삭제중....": runs the deletion on a worker thread over a copy of the list's
// paths, shows the paced progress, and ends on completion or a confirmed cancellation. While the
// cancel question is up the worker waits at its next step boundary, so nothing more is destroyed
// until the user has answered. It closes only after its worker has ended, with one message that
// says what was destroyed and what remains.
class CQuenzoRealDeleteDlg : public CDialog, private DeletionDisplay {
public:
    CQuenzoRealDeleteDlg(CQuenzoFileDeleteDlg& list, CSDEngine* engine);
    ~CQuenzoRealDeleteDlg() override;

    const DeletionOutcome& Outcome() const { return m_outcome; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool PreTranslateMessage(MSG& message) override;
    // Enter and Escape never close this window; only the run's end or a confirmed cancel does.
    void OnOK() override {}
    void OnCancel() override {}

private:
    // DeletionDisplay, called on the worker thread: every effect is a message to this window.
    void SetTotalRange(std::int64_t maximum) override;
    void SetFileRange(int passCount) override;
    void ShowPath(const std::string& path) override;
    void ShowStep(int passCount, int pass, const std::string& filePercent, const std::string& totalPercent,
                  std::int64_t stepsDone) override;
    bool IsHalted() const override;

    void Work(HWND window);
    void OnCancelRequest();
    void FinishWithReport();
    // Shows the one message that ends the run (its outcome is complete by now) and closes the window.
    void ReportAndClose();
    void SetText(int id, const std::string& text);

    CQuenzoFileDeleteDlg& m_list;
    CSDEngine* m_engine;
    int m_method = 0;
    int m_passCount = 0;
    std::vector<std::wstring> m_entries;
    CWorkerThread m_worker;
    HWND m_workerTarget = nullptr;  // this window, fixed before the worker starts
    std::atomic<bool> m_halted{false};
    std::atomic<bool> m_held{false};
    ScopedHandle m_resume;  // set whenever the worker may go on
    bool m_asking = false;
    bool m_completionPending = false;
    bool m_finished = false;
    DeletionOutcome m_outcome;
};
