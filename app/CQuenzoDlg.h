#pragma once
#include "BannerDownload.h"
#include "CTrayIconRecord.h"
#include "Dialog.h"
#include "Owned.h"
#include "ProgramObjects.h"
#include "Thread.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CxSkinButton;

// Where the main window dragged to `proposed` comes to rest: within 20 pixels of a screen edge it
// snaps to that edge; a window already partly off the screen is left where it is.
POINT SnapToEdges(POINT proposed, SIZE window, SIZE screen);

// Whether the program was started by its autostart entry: the whole argument text is exactly
// "trayOn" (letter case counting; no other word, no blank).
bool IsTrayOnArgument(const char* commandLine);

// The main window "Quenzo Lite": it keeps the tray icon, downloads and rotates the banners, and
// opens the secure-delete, personal-information and preferences windows behind its three picture
// buttons; the objects it works with are the program's (ProgramObjects), not its own. Closing or minimising it, Esc and
// Enter only hide it; the program ends with its modal loop (the tray menu's exit command after
// its question, the update command, or a request to close from the setup program).
class CQuenzoDlg : public CDialog {
public:
    // `commandLine`: the whole argument text; exactly "trayOn" starts the window minimised.
    // `objects` outlive the window.
    CQuenzoDlg(std::string commandLine, ProgramObjects& objects);
    ~CQuenzoDlg() override;

    // Where the banners are fetched from; the build's product site unless a test says otherwise.
    // A fetch takes the address when it starts: at start-up and at every hourly notice.
    void SetSiteAddress(std::string site) { m_site = std::move(site); }
    // The banner rotation's wait of one second on its thread, which returns true to end the
    // rotation (it must when the thread is asked to stop); tests replace it to step the rotation.
    using BannerWait = std::function<bool(const CWorkerThread& thread)>;
    void SetBannerWait(BannerWait wait) { m_bannerWait = std::move(wait); }

    // Paths for the deletion list (Explorer's verb): the list opens with them once the window is
    // up, or takes them in if it is already open.
    void RequestList(const std::vector<std::wstring>& paths);

    int ShownBanner() const { return m_banner; }
    bool IsFetchingBanners() const { return m_downloadThread && m_downloadThread->IsRunning(); }
    CQuenzoFileDeleteDlg* DeletionList() const { return m_fileDelete; }
    CQuenzoAboutDlg* About() const { return m_about; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnTimer(UINT_PTR timerId) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroy() override;
    // Enter and Esc reach the window as OK and Cancel: they hide it as the close box does.
    void OnOK() override { GoToTray(); }
    void OnCancel() override { GoToTray(); }

private:
    void SetUpButtons();
    void SetUpNotifier();
    void ShowFirstBanner();
    void RotateBanners();
    void ShowBannerFile(const char* file);
    void StartBannerDownload();
    void OnBannersFetched(int renewed);
    void OnTrayEvent(UINT mouseMessage);
    void ShowTrayMenu();
    void OnSystemCommand(WPARAM command, LRESULT& result, bool& handled);
    void GoToTray();
    void OnUpdate();
    void OnExit();
    LRESULT OnCopyData(const COPYDATASTRUCT& data);
    void OpenRequestedList();
    void MakeTopmost();
    void Paint();
    bool IsHotControl(HWND window) const;

    std::string m_commandLine;
    std::string m_site;
    BannerWait m_bannerWait;
    std::vector<std::wstring> m_requested;  // paths for the deletion list, not yet handed to it

    CQuenzoFileDeleteDlg* const m_fileDelete;
    CQuenzoPersnalDeleteDlg* const m_persnalDelete;
    CQuenzoOptionDlg* const m_options;
    CRegInfo* const m_registry;
    COsVersion* const m_osVersion;
    CQuenzoAboutDlg* const m_about;
    CTaskbarNotifier* const m_notifier;
    std::unique_ptr<CxSkinButton> m_buttons[3];
    CTrayIconRecord m_tray;

    int m_osVersionNumber = 0;
    ScopedBitmap m_background;
    SIZE m_backgroundSize{};
    ScopedBrush m_white;
    std::atomic<int> m_banner{0};
    CWorkerThread m_bannerThread;
    CBannerDownload m_bannerDownload;
    std::unique_ptr<CWorkerThread> m_downloadThread;  // the latest fetch of the banners
    bool m_tracking = false;
};
