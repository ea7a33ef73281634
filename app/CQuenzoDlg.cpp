#include "CQuenzoDlg.h"

#include "Application.h"
#include "BannerDownload.h"
#include "Busy.h"
#include "COsVersion.h"
#include "CFreeSpaceDlg.h"
#include "CPersonalCleaner.h"
#include "CQuenzoAboutDlg.h"
#include "CQuenzoFileDeleteDlg.h"
#include "CQuenzoOptionDlg.h"
#include "CQuenzoPersnalDeleteDlg.h"
#include "CRegInfo.h"
#include "CSDEngine.h"
#include "CTaskbarNotifier.h"
#include "CxSkinButton.h"
#include "Handover.h"
#include "InstallPaths.h"
#include "Gdi.h"
#include "MessageBoxes.h"
#include "Seams.h"
#include "WebAddresses.h"
#include "resource.h"

#include <windowsx.h>

#include <cstring>
#include <utility>

POINT SnapToEdges(POINT proposed, SIZE window, SIZE screen)
{
    constexpr int kSnapDistance = 20;
    POINT result = proposed;
    if (result.x > 0 && result.x <= kSnapDistance)
        result.x = 0;
    if (result.y > 0 && result.y <= kSnapDistance)
        result.y = 0;
    const LONG right = proposed.x + window.cx;
    if (right >= screen.cx - kSnapDistance && right < screen.cx)
        result.x = screen.cx - window.cx;
    const LONG bottom = proposed.y + window.cy;
    if (bottom >= screen.cy - kSnapDistance && bottom < screen.cy)
        result.y = screen.cy - window.cy;
    return result;
}

bool IsTrayOnArgument(const char* commandLine) { return commandLine && std::strcmp(commandLine, "trayOn") == 0; }

namespace {

constexpr UINT_PTR kNoticeTimer = 1;
constexpr UINT_PTR kListRetryTimer = 2;
constexpr UINT kListRetryMs = 500;
constexpr UINT WM_QL_OPEN_LIST = WM_APP + 1;
constexpr UINT WM_QL_CLOSE = WM_APP + 2;
// Posted by the banner fetch's worker when it ends; wParam: how many banners it renewed.
constexpr UINT WM_QL_BANNERS_FETCHED = WM_APP + 3;
constexpr UINT kNoticeEveryMs = 3600000;
constexpr unsigned kStartPauseMs = 1000;
constexpr unsigned kUpdatePauseMs = 1000;
constexpr char kRunningTip[] = "퀜조이 실행중입니다.";
constexpr char kInTrayText[] = "QuenzoLite가 실행중입니다.";
constexpr int kVistaVersion = 60;

struct ButtonSkin {
    int control;
    UINT normal, down, over, disabled;
};
constexpr ButtonSkin kButtonSkins[] = {
    {IDC_SECURE_DELETE_BUTTON, IDB_SECURE_DELETE_BUTTON, IDB_SECURE_DELETE_BUTTON, IDB_SECURE_DELETE_BUTTON_OVER,
     IDB_SECURE_DELETE_BUTTON},
    {IDC_PERSONAL_BUTTON, IDB_PERSONAL_BUTTON, IDB_PERSONAL_BUTTON, IDB_PERSONAL_BUTTON_OVER, IDB_PERSONAL_BUTTON},
    {IDC_OPTIONS_BUTTON, IDB_OPTIONS_BUTTON, IDB_OPTIONS_BUTTON, IDB_OPTIONS_BUTTON_OVER, IDB_OPTIONS_BUTTON},
};

// Explorer announces a new taskbar with this message; a tray icon must be added to it again.
UINT TaskbarCreatedMessage()
{
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

}  // namespace

CQuenzoDlg::CQuenzoDlg(std::string commandLine, ProgramObjects& objects)
    : CDialog(IDD_QUENZOLITE_DIALOG), m_commandLine(std::move(commandLine)), m_site(web_addresses::kProductSite),
      m_fileDelete(objects.deletionList.get()), m_persnalDelete(objects.personalWindow.get()),
      m_options(objects.preferences.get()), m_registry(objects.registry.get()), m_osVersion(objects.osVersion.get()),
      m_about(objects.about.get()), m_notifier(objects.notifier.get()), m_white(CreateSolidBrush(RGB(255, 255, 255)))
{
}

CQuenzoDlg::~CQuenzoDlg()
{
    m_bannerThread.RequestStop();
}

BOOL CQuenzoDlg::OnInitDialog()
{
    UseIcon(IDR_MAINFRAME);
    // Explorer's verb hands its paths over from an ordinary process, also when this copy was
    // started elevated by the setup program.
    ChangeWindowMessageFilterEx(m_hWnd, WM_COPYDATA, MSGFLT_ALLOW, nullptr);
    m_about->Create(m_hWnd);
    m_osVersionNumber = m_osVersion->GetVersionNumber();
    seams::Pause(kStartPauseMs);
    m_tray.AddIcon(m_hWnd);
    m_tray.SetIconAndTip(Icon(), kRunningTip);
    m_registry->RegisterAtStartup();
    m_background.Reset(static_cast<HBITMAP>(
        LoadImageA(CWinApplication::Instance(), MAKEINTRESOURCEA(IDB_MAIN_BACKGROUND), IMAGE_BITMAP, 0, 0, 0)));
    BITMAP info{};
    if (m_background.IsValid() && GetObjectA(m_background.Get(), sizeof(info), &info))
        m_backgroundSize = {info.bmWidth, info.bmHeight};
    SetUpButtons();
    if (m_registry->ReadSetting(registry_layout::kTopValue) == "1")
        MakeTopmost();
    // Off this thread: the window comes up at once, with the banners of the last good download
    // (or the built-in one) until the fetch brings new ones; without the site it tries again in
    // an hour, without a word.
    StartBannerDownload();
    SetUpNotifier();
    ShowFirstBanner();
    m_bannerThread.Start([this] { RotateBanners(); });
    SetTimer(m_hWnd, kNoticeTimer, kNoticeEveryMs, nullptr);
    m_notifier->Popup();
    if (IsTrayOnArgument(m_commandLine.c_str()))
        ShowWindow(m_hWnd, SW_MINIMIZE);
    if (!m_requested.empty())
        PostMessageA(m_hWnd, WM_QL_OPEN_LIST, 0, 0);
    return TRUE;
}

void CQuenzoDlg::RequestList(const std::vector<std::wstring>& paths)
{
    AppendNew(m_requested, paths);
    if (m_hWnd)
        PostMessageA(m_hWnd, WM_QL_OPEN_LIST, 0, 0);
}

void CQuenzoDlg::OpenRequestedList()
{
    if (m_requested.empty())
        return;
    // An open list takes them itself, and comes to the front only when no run holds it.
    if (m_fileDelete->GetSafeHwnd()) {
        m_fileDelete->AddRequested(std::exchange(m_requested, {}));
        return;
    }
    // Another window of ours holds the main window (the preferences, the personal-information
    // window, a question): the list opens once it is closed.
    if (!IsWindowEnabled(m_hWnd) || CBusyScope::AnyOpen()) {
        SetTimer(m_hWnd, kListRetryTimer, kListRetryMs, nullptr);
        return;
    }
    ShowWindow(m_hWnd, SW_SHOW);
    m_fileDelete->AddRequested(std::exchange(m_requested, {}));
    m_fileDelete->DoModal(m_hWnd);
}

LRESULT CQuenzoDlg::OnCopyData(const COPYDATASTRUCT& data)
{
    if (data.dwData == kAddPathsData) {
        const auto paths = DecodePaths(data.lpData, data.cbData);
        if (!paths)
            return 0;
        RequestList(*paths);
        return 1;
    }
    if (data.dwData == kCloseData) {
        if (CBusyScope::AnyOpen())
            return kCloseRefused;
        PostMessageA(m_hWnd, WM_QL_CLOSE, 0, 0);
        return kCloseAccepted;
    }
    return 0;
}

void CQuenzoDlg::SetUpButtons()
{
    for (std::size_t i = 0; i < std::size(kButtonSkins); ++i) {
        const ButtonSkin& skin = kButtonSkins[i];
        m_buttons[i] = std::make_unique<CxSkinButton>();
        m_buttons[i]->Attach(GetDlgItem(skin.control));
        m_buttons[i]->SetTextColor(RGB(255, 255, 255));
        m_buttons[i]->SetSkin(skin.normal, skin.down, skin.over, skin.disabled);
    }
}

void CQuenzoDlg::SetUpNotifier()
{
    m_notifier->CreatePopup(m_hWnd);
    m_notifier->LoadSkin();
    m_notifier->MakeCaptionFonts();
    m_notifier->SetTextColors(RGB(0, 0, 0), RGB(0, 0, 200));
    if (const HWND popup = m_notifier->GetSafeHwnd())
        RedrawWindow(popup, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    m_notifier->SetTextRect({10, 40, m_notifier->GetSkinWidth() - 10, m_notifier->GetSkinHeight() - 30});
}

void CQuenzoDlg::ShowBannerFile(const char* file)
{
    auto picture = static_cast<HBITMAP>(LoadImageA(nullptr, file, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    // No good copy of this banner yet (a first start offline, no banner folder): the picture the
    // program carries.
    if (!picture)
        picture = static_cast<HBITMAP>(LoadImageA(CWinApplication::Instance(), MAKEINTRESOURCEA(IDB_BUILTIN_BANNER),
                                                  IMAGE_BITMAP, 0, 0, 0));
    const auto previous = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageA(m_hWnd, IDC_BANNER, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)));
    if (previous)
        DeleteObject(previous);
}

void CQuenzoDlg::ShowFirstBanner()
{
    m_banner = 1;
    ShowBannerFile(Banners()[0].localFile);
}

void CQuenzoDlg::StartBannerDownload()
{
    if (m_downloadThread && m_downloadThread->IsRunning())
        return;
    m_downloadThread = std::make_unique<CWorkerThread>();
    // The worker keeps to the download and a posted message: no control of this window.
    m_downloadThread->Start([this, site = m_site, window = m_hWnd] {
        const int renewed = m_bannerDownload.Run(site);
        PostMessageA(window, WM_QL_BANNERS_FETCHED, static_cast<WPARAM>(renewed), 0);
    });
}

void CQuenzoDlg::OnBannersFetched(int renewed)
{
    const int shown = m_banner;
    if (renewed > 0 && shown >= 1 && shown <= 3)
        ShowBannerFile(Banners()[shown - 1].localFile);
}

void CQuenzoDlg::RotateBanners()
{
    for (unsigned counter = 1;; ++counter) {
        const bool stop = m_bannerWait ? m_bannerWait(m_bannerThread) : m_bannerThread.WaitForStop(1000);
        if (stop || m_bannerThread.StopRequested())
            return;
        const int banner = BannerForTick(counter);
        m_banner = banner;
        // The control changes on the window's own thread: SendMessage waits for it there.
        ShowBannerFile(Banners()[banner - 1].localFile);
    }
}

bool CQuenzoDlg::OnCommand(WORD id, WORD code, HWND /*control*/)
{
    switch (id) {
    case IDC_SECURE_DELETE_BUTTON:
        m_fileDelete->DoModal(m_hWnd);
        return true;
    case IDC_PERSONAL_BUTTON:
        m_persnalDelete->DoModal(m_hWnd);
        return true;
    case IDC_OPTIONS_BUTTON:
        m_options->DoModal(m_hWnd);
        return true;
    case IDC_BANNER:
        if (code == STN_CLICKED && m_banner >= 1 && m_banner <= 3)
            seams::OpenWebPage(web_addresses::kPartnerDownloadSite);
        return true;
    case ID_TRAY_OPTIONS:
        ShowWindow(m_hWnd, SW_SHOW);
        m_options->DoModal(m_hWnd);
        return true;
    case ID_TRAY_FREE_SPACE: {
        ShowWindow(m_hWnd, SW_SHOW);
        CFreeSpaceDlg freeSpace([this] { return m_fileDelete->CurrentMethod(); });
        freeSpace.DoModal(m_hWnd);
        return true;
    }
    case ID_TRAY_ABOUT:
        m_about->FadeIn();
        return true;
    case ID_TRAY_HOMEPAGE:
        seams::OpenWebPage(web_addresses::kQuenzoHomepage);
        return true;
    case ID_TRAY_HIDE:
        ShowWindow(m_hWnd, SW_HIDE);
        return true;
    case ID_TRAY_TOP:
        m_registry->WriteString("1", registry_layout::kSettingsGroup, registry_layout::kSettingsSubkey,
                                registry_layout::kTopValue);
        MakeTopmost();
        return true;
    case ID_TRAY_UPDATE:
        OnUpdate();
        return true;
    case ID_TRAY_OPEN:
        ShowWindow(m_hWnd, SW_SHOW);
        return true;
    case ID_TRAY_EXIT:
        OnExit();
        return true;
    default:
        return false;
    }
}

void CQuenzoDlg::MakeTopmost() { SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 10, 10, SWP_NOMOVE | SWP_NOSIZE); }

void CQuenzoDlg::OnExit()
{
    if (PlatformMessageBox("프로그램을 종료하시겠습니까?", "QuenzoLite", MB_YESNO | MB_ICONQUESTION | MB_TOPMOST) ==
        IDYES)
        DestroyWindow(m_hWnd);
}

void CQuenzoDlg::OnUpdate()
{
    const CBusyScope asking;
    if (PlatformMessageBox("업데이트를 하시겠습니까?", "Quenzo Light", MB_YESNO | MB_ICONQUESTION | MB_TOPMOST) != IDYES)
        return;
    PlatformMessageBox("업데이트를 위해 프로그램을 종료합니다.", "Quenzo Light", MB_OK | MB_ICONQUESTION | MB_TOPMOST);
    const std::string updater = UpdaterPath();
    EndDialog(IDOK);
    seams::Pause(kUpdatePauseMs);
    seams::StartProgram(updater, "");
}

bool CQuenzoDlg::OnTimer(UINT_PTR timerId)
{
    if (timerId == kListRetryTimer) {
        KillTimer(m_hWnd, kListRetryTimer);
        OpenRequestedList();
        return true;
    }
    if (timerId == kNoticeTimer) {
        m_notifier->Popup();
        StartBannerDownload();
    }
    return false;
}

void CQuenzoDlg::OnTrayEvent(UINT mouseMessage)
{
    switch (TrayActionFor(mouseMessage)) {
    case TrayAction::ShowMenu:
        ShowTrayMenu();
        break;
    case TrayAction::ShowWindow:
        ShowWindow(m_hWnd, SW_SHOW);
        break;
    case TrayAction::None:
        break;
    }
}

void CQuenzoDlg::ShowTrayMenu()
{
    const HMENU menu = LoadMenuA(CWinApplication::Instance(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    if (!menu)
        return;
    POINT cursor{};
    GetCursorPos(&cursor);
    // Without being the foreground window first, the menu would not go away when the user clicks
    // elsewhere.
    SetForegroundWindow(m_hWnd);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTALIGN, cursor.x, cursor.y, 0, m_hWnd, nullptr);
    PostMessageA(m_hWnd, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

void CQuenzoDlg::GoToTray()
{
    m_tray.AddIcon(m_hWnd);
    m_tray.SetIconAndTip(Icon(), kInTrayText);
    m_tray.ShowBalloon(kInTrayText, "QuenzoLite", NIIF_INFO);
    ShowWindow(m_hWnd, SW_HIDE);
    // On Vista alone this hide has always been announced with the information sound as well;
    // it stays so that nothing changes for those users. Elsewhere the balloon alone says it.
    if (m_osVersionNumber == kVistaVersion)
        MessageBeep(MB_ICONASTERISK);
    m_notifier->Popup();
}

void CQuenzoDlg::OnSystemCommand(WPARAM command, LRESULT& result, bool& handled)
{
    handled = true;
    result = 0;
    switch (command & 0xFFF0) {
    case SC_MINIMIZE:
        ShowWindow(m_hWnd, SW_HIDE);
        break;
    case SC_CLOSE:
        GoToTray();
        break;
    default:
        handled = false;
    }
}

void CQuenzoDlg::Paint()
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(m_hWnd, &paint);
    DrawBitmapAtOrigin(dc, m_background.Get(), m_backgroundSize);
    EndPaint(m_hWnd, &paint);
}

bool CQuenzoDlg::IsHotControl(HWND window) const
{
    for (const int id : {IDC_SECURE_DELETE_BUTTON, IDC_PERSONAL_BUTTON, IDC_OPTIONS_BUTTON, IDC_BANNER})
        if (window && window == GetDlgItem(id))
            return true;
    return false;
}

bool CQuenzoDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == CTrayIconRecord::TrayMessage()) {
        OnTrayEvent(static_cast<UINT>(lParam));
        result = 0;
        return true;
    }
    if (message == TaskbarCreatedMessage()) {
        m_tray.Restore();
        return false;
    }
    switch (message) {
    case WM_COPYDATA:
        result = OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return true;
    case WM_QL_OPEN_LIST:
        OpenRequestedList();
        result = 0;
        return true;
    case WM_QL_BANNERS_FETCHED:
        OnBannersFetched(static_cast<int>(wParam));
        result = 0;
        return true;
    case WM_QL_CLOSE:
        // The exit command's end, without its question: the setup program asks on the user's behalf.
        if (!CBusyScope::AnyOpen())
            DestroyWindow(m_hWnd);
        result = 0;
        return true;
    case WM_PAINT:
        Paint();
        return true;
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<LRESULT>(Icon());
        return true;
    case WM_CTLCOLORDLG:
        result = reinterpret_cast<LRESULT>(m_white.Get());
        return true;
    case WM_SYSCOMMAND: {
        bool handled = false;
        OnSystemCommand(wParam, result, handled);
        return handled;
    }
    case WM_NOTIFIER_CLICKED:
        seams::OpenWebPage(web_addresses::kPartnerDownloadSite);
        result = 0;
        return true;
    case WM_NCHITTEST: {
        // Any free spot drags the window, as a caption would.
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(m_hWnd, &point);
        RECT client;
        GetClientRect(m_hWnd, &client);
        if (!PtInRect(&client, point))
            return false;
        result = HTCAPTION;
        return true;
    }
    case WM_WINDOWPOSCHANGING: {
        auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(position->flags & SWP_NOMOVE)) {
            RECT now;
            GetWindowRect(m_hWnd, &now);
            const POINT snapped = SnapToEdges({position->x, position->y}, {now.right - now.left, now.bottom - now.top},
                                              {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
            position->x = snapped.x;
            position->y = snapped.y;
        }
        return false;
    }
    case WM_SETCURSOR:
        if (IsHotControl(reinterpret_cast<HWND>(wParam))) {
            SetCursor(LoadCursorA(nullptr, IDC_HAND));
            result = TRUE;
            return true;
        }
        return false;
    case WM_MOUSEMOVE:
        if (!m_tracking) {
            TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, m_hWnd, 0};
            m_tracking = TrackMouseEvent(&track) != FALSE;
        }
        return false;
    case WM_MOUSELEAVE:
        if (m_tracking) {
            m_tracking = false;
            SetCursor(LoadCursorA(CWinApplication::Instance(), MAKEINTRESOURCEA(IDC_QUENZO_CURSOR)));
        }
        result = 0;
        return true;
    default:
        return false;
    }
}

void CQuenzoDlg::OnDestroy()
{
    KillTimer(m_hWnd, kNoticeTimer);
    KillTimer(m_hWnd, kListRetryTimer);
    // The rotation sends to the banner control: it must end before the control goes. A fetch
    // under way is cut short rather than waited for.
    m_bannerThread.StopAndJoin();
    m_bannerDownload.Cancel();
    if (m_downloadThread)
        m_downloadThread->StopAndJoin();
    const auto last = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageA(m_hWnd, IDC_BANNER, STM_SETIMAGE, IMAGE_BITMAP, 0));
    if (last)
        DeleteObject(last);
}
