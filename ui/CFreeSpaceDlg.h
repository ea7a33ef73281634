#pragma once
#include "Dialog.h"
#include "FreeSpaceWipe.h"
#include "Thread.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// From the fill's worker to the window, posted: the worker never touches a control.
constexpr UINT WM_QL_FREE_PROGRESS = WM_APP + 40;  // the latest progress is in the window's copy
constexpr UINT WM_QL_FREE_DONE = WM_APP + 41;      // the result is in the window's copy; join the worker

// "빈 공간 지우기": a drive, the current method, the free space to be written, 시작 and 취소, and
// while the fill runs on its worker a progress bar with the amount written and the time left.
// 취소 stops a running fill (its files are deleted before the window hears of the end) and
// otherwise closes the window. The end is told in one message, as FreeSpaceReport words it.
class CFreeSpaceDlg : public CDialog, private FreeSpaceObserver {
public:
    // `currentMethod` is read when the fill starts, as every wipe reads it.
    explicit CFreeSpaceDlg(std::function<int()> currentMethod);
    ~CFreeSpaceDlg() override;

    bool IsRunning() const { return m_worker.IsRunning(); }
    // The last run's outcome, for the caller and tests; empty before the first end.
    const std::optional<FreeSpaceResult>& LastResult() const { return m_result; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnOK() override {}
    void OnCancel() override;

private:
    // FreeSpaceObserver, on the worker.
    void Progress(const FreeSpaceProgress& progress) override;
    bool Cancelled() override { return m_worker.StopRequested(); }

    void ShowChosenDrive();
    void OnStart();
    void OnProgress();
    void OnDone();
    void SetRunning(bool running);
    std::wstring ChosenRoot() const;

    std::function<int()> m_currentMethod;
    std::vector<std::wstring> m_roots;
    CWorkerThread m_worker;
    HWND m_target = nullptr;  // this window, fixed before the worker starts
    std::mutex m_lock;        // guards the two copies below
    FreeSpaceProgress m_progress;
    std::optional<FreeSpaceResult> m_result;
    ULONGLONG m_startTick = 0;
};
