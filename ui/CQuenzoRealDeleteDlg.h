#pragma once
#include "DeletionRun.h"
#include "Dialog.h"
#include "Thread.h"

#include <atomic>
#include <string>
#include <vector>

class CQuenzoFileDeleteDlg;
class CSDEngine;

// Messages from the deletion worker to the progress window, sent and waited for.
constexpr UINT WM_QL_PASS_PROGRESS = WM_USER + 1;   // wParam: pass 1..pass count
constexpr UINT WM_QL_TOTAL_PROGRESS = WM_USER + 2;  // wParam: display steps done
constexpr UINT WM_QL_COMPLETED = WM_USER + 3;

// The progress window "삭제중....": runs the deletion on a worker thread over a copy of the list's
// paths, shows the paced progress, and ends on completion or a confirmed cancellation. It closes
// only after its worker has ended.
class CQuenzoRealDeleteDlg : public CDialog, private DeletionDisplay {
public:
    CQuenzoRealDeleteDlg(CQuenzoFileDeleteDlg& list, CSDEngine* engine);
    ~CQuenzoRealDeleteDlg() override;

    int PassCount() const { return m_passCount; }
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
    bool IsHalted() const override { return m_halted; }

    void Work();
    void OnCancelRequest();
    void FinishWithReport();
    void SetText(int id, const std::string& text);

    CQuenzoFileDeleteDlg& m_list;
    CSDEngine* m_engine;
    int m_method = 0;
    int m_passCount = 0;
    std::vector<std::wstring> m_entries;
    CWorkerThread m_worker;
    std::atomic<bool> m_halted{false};
    bool m_asking = false;
    bool m_completionPending = false;
    bool m_finished = false;
    DeletionOutcome m_outcome;
    HICON m_icon = nullptr;
};
