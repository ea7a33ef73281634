#include "CUpdateProgressDlg.h"

#include "resource.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

namespace {

// Posted by the worker: wParam unused. The amounts themselves are read from the window object.
constexpr UINT WM_QL_DOWNLOAD_PROGRESS = WM_APP + 1;
constexpr UINT WM_QL_DOWNLOAD_ENDED = WM_APP + 2;
constexpr int kBarRange = 1000;

}  // namespace

std::string DownloadAmountText(std::uint64_t received, std::uint64_t announced)
{
    char text[96];
    const auto kib = [](std::uint64_t bytes) { return static_cast<unsigned long long>((bytes + 1023) / 1024); };
    if (announced == 0)
        std::snprintf(text, sizeof(text), "%llu KB", kib(received));
    else
        std::snprintf(text, sizeof(text), "%llu KB / %llu KB (%llu%%)", kib(received), kib(announced),
                      static_cast<unsigned long long>(received * 100 / announced));
    return text;
}

CUpdateProgressDlg::CUpdateProgressDlg() : CDialog(IDD_UPDATE_PROGRESS) {}

void CUpdateProgressDlg::Watch(const std::string& version, const std::function<void()>& download)
{
    m_version = version;
    m_download = download;
    m_received = 0;
    m_announced = 0;
    m_cancelled = false;
    m_progressPosted = false;
    m_worker = std::make_unique<CWorkerThread>();
    DoModal(nullptr);
    m_window = nullptr;
    // Closed by "취소": the download ends at its next piece, or when a stalled one times out.
    m_worker->JoinPumpingMessages();
}

BOOL CUpdateProgressDlg::OnInitDialog()
{
    SetItemText(IDC_UPDATE_TEXT, "QuenzoLite " + m_version + " 내려받는 중...");
    SendDlgItemMessageA(m_hWnd, IDC_UPDATE_PROGRESS, PBM_SETRANGE32, 0, kBarRange);
    m_window = m_hWnd;
    const bool started = m_worker->Start([this] {
        m_download();
        if (const HWND window = m_window)
            PostMessageA(window, WM_QL_DOWNLOAD_ENDED, 0, 0);
    });
    // Without a thread of its own the download still happens, only without a live window.
    if (!started) {
        m_download();
        EndDialog(IDOK);
    }
    return TRUE;
}

bool CUpdateProgressDlg::Report(std::uint64_t received, std::uint64_t announced)
{
    m_received = received;
    m_announced = announced;
    if (const HWND window = m_window; window && !m_progressPosted.exchange(true))
        PostMessageA(window, WM_QL_DOWNLOAD_PROGRESS, 0, 0);
    return !m_cancelled;
}

void CUpdateProgressDlg::ShowProgress()
{
    m_progressPosted = false;
    const std::uint64_t received = m_received;
    const std::uint64_t announced = m_announced;
    const auto position = announced ? static_cast<WPARAM>(std::min(received, announced) * kBarRange / announced) : 0;
    SendDlgItemMessageA(m_hWnd, IDC_UPDATE_PROGRESS, PBM_SETPOS, position, 0);
    SetItemText(IDC_UPDATE_AMOUNT, DownloadAmountText(received, announced));
}

bool CUpdateProgressDlg::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result)
{
    switch (message) {
    case WM_QL_DOWNLOAD_PROGRESS:
        ShowProgress();
        result = 0;
        return true;
    case WM_QL_DOWNLOAD_ENDED:
        EndDialog(IDOK);
        result = 0;
        return true;
    default:
        return false;
    }
}

void CUpdateProgressDlg::OnCancel()
{
    m_cancelled = true;
    m_window = nullptr;
    EndDialog(IDCANCEL);
}
