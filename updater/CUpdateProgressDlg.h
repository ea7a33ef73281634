#pragma once
#include "Dialog.h"
#include "Thread.h"
#include "Updater.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The update program's download window (template IDD_UPDATE_PROGRESS): the version being fetched,
// a progress bar with the amount received, and "취소". The download runs on a worker of this
// window and reports through posted messages; the window's controls change on its own thread
// only. "취소" (or Esc, or the close box) closes the window at once; the download stops at its
// next piece, or when a stalled transfer gives up.
class CUpdateProgressDlg : public CDialog, public DownloadWatcher {
public:
    CUpdateProgressDlg();

    void Watch(const std::string& version, const std::function<void()>& download) override;
    bool Report(std::uint64_t received, std::uint64_t announced) override;
    bool CancelRequested() const override { return m_cancelled; }

protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnCancel() override;

private:
    void ShowProgress();

    std::string m_version;
    std::function<void()> m_download;
    std::unique_ptr<CWorkerThread> m_worker;  // one per download
    std::atomic<HWND> m_window{nullptr};
    std::atomic<std::uint64_t> m_received{0};
    std::atomic<std::uint64_t> m_announced{0};
    std::atomic<bool> m_progressPosted{false};  // one progress message waiting is enough
    std::atomic<bool> m_cancelled{false};
};

// The amount line of the window: "350 KB / 1200 KB (29%)", or "350 KB" when the size was not
// announced.
std::string DownloadAmountText(std::uint64_t received, std::uint64_t announced);
