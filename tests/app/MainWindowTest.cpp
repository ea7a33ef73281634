// The main window in this process against the test run's own banner site, with every message
// box, pause and outside effect through the seams.
#include "CQuenzoAboutDlg.h"
#include "CQuenzoApp.h"
#include "Busy.h"
#include "CQuenzoDlg.h"
#include "CQuenzoFileDeleteDlg.h"
#include "Handover.h"
#include "CRegInfo.h"
#include "CTaskbarNotifier.h"
#include "CTrayIconRecord.h"
#include "Sandbox.h"
#include "Seams.h"
#include "InstallPaths.h"
#include "WebAddresses.h"
#include "WindowTest.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <optional>

#include <algorithm>
#include <commctrl.h>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

std::string ServedBanner(int number)
{
    return ReadAll(UnixPath(std::string(QUENZO_SITE_DIR) + "/QuenzoLight/banner/banner" + std::to_string(number) +
                            ".bmp"));
}

// The first pixels of a bitmap, to tell the three banners apart.
std::vector<COLORREF> Pixels(HBITMAP bitmap)
{
    std::vector<COLORREF> pixels;
    if (!bitmap)
        return pixels;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    for (int x = 0; x < 300; x += 23)
        pixels.push_back(GetPixel(dc, x, 40));
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixels;
}

std::vector<COLORREF> FilePixels(const std::string& file)
{
    const auto bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    auto pixels = Pixels(bitmap);
    if (bitmap)
        DeleteObject(bitmap);
    return pixels;
}

// A copy of the real program, started from the sandbox with `arguments`; its handle, or null.
HANDLE StartProgram(const Sandbox& sandbox, const std::wstring& arguments)
{
    const std::string exe = sandbox.Path("QuenzoLite.exe");
    if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES &&
        !CopyFileA(UnixPath(QUENZO_PROGRAM_PATH).c_str(), exe.c_str(), TRUE))
        return nullptr;
    std::wstring command = L"\"" + W(exe) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, W(sandbox.Root()).c_str(),
                        &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

// The exit code of an ended process, or STILL_ACTIVE.
DWORD ExitCode(HANDLE process)
{
    DWORD code = STILL_ACTIVE;
    if (!process || !GetExitCodeProcess(process, &code))
        return 0xDEAD;
    return code;
}

std::wstring VerbArguments(const Sandbox& sandbox, const std::string& name)
{
    return L"/add \"" + W(sandbox.Path(name)) + L"\"";
}

// The user's proxy setting pointed at the test run's site: the real program, built for its own
// address, then downloads its banners from there. Undone at the end, as later tests need a site
// that cannot be reached.
class ScopedSiteProxy {
public:
    ScopedSiteProxy()
    {
        const std::string server = Site().substr(std::strlen("http://"));
        const DWORD on = 1;
        RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "ProxyEnable", REG_DWORD, &on, sizeof(on));
        RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "ProxyServer", REG_SZ, server.c_str(),
                        static_cast<DWORD>(server.size() + 1));
    }
    ~ScopedSiteProxy()
    {
        const DWORD off = 0;
        RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "ProxyEnable", REG_DWORD, &off, sizeof(off));
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, "ProxyServer");
    }

private:
    static constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CRegInfo().RegisterAtStartup();  // the settings key exists, so a test can write settings first
        sandbox.MakeFolder("banner");
        m_effects.emplace(seams::OutsideEffects{
            {}, [this](const std::string& address) { opened.push_back(address); return true; },
            [this](const std::string& path, const std::string&) { started.push_back(path); return true; }});
    }

    // Runs a main window (rotation stopped unless a test steps it) with `steps` in its loop.
    INT_PTR Run(const std::string& commandLine, std::vector<std::function<void()>> steps,
                const std::string& site = Site())
    {
        main.reset();
        objects = std::make_unique<ProgramObjects>();
        main = std::make_unique<CQuenzoDlg>(commandLine, *objects);
        main->SetSiteAddress(site);
        main->SetBannerWait(bannerWait ? bannerWait : [](const CWorkerThread&) { return true; });
        return RunModalScript(*main, nullptr, std::move(steps));
    }
    HWND Window() const { return main->GetSafeHwnd(); }
    void Command(int id) const { PostMessageA(Window(), WM_COMMAND, id, 0); }
    // Asks the program to end as the setup program's /close does: without the exit question.
    LRESULT End() const
    {
        COPYDATASTRUCT data{kCloseData, 0, nullptr};
        return SendMessageW(Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }
    std::function<void()> UntilBannersFetched() const
    {
        return Until([this] { return !main->IsFetchingBanners(); }, "the banner fetch");
    }
    std::vector<COLORREF> ShownPixels() const
    {
        return Pixels(reinterpret_cast<HBITMAP>(SendDlgItemMessageA(Window(), IDC_BANNER, STM_GETIMAGE, IMAGE_BITMAP, 0)));
    }
    void Tray(UINT mouse) const { PostMessageA(Window(), CTrayIconRecord::TrayMessage(), 1, mouse); }

    Sandbox sandbox;  // also the current folder, where "banner\" lies
    ScriptedPrompts prompts;
    seams::ScopedPauses pauses{[](unsigned) {}};
    std::optional<seams::ScopedOutsideEffects> m_effects;
    std::vector<std::string> opened, started;
    CQuenzoDlg::BannerWait bannerWait;
    std::unique_ptr<ProgramObjects> objects;
    std::unique_ptr<CQuenzoDlg> main;
};

}  // namespace

// A start writes the autostart entry and the product information, repairs the settings, copies
// the site's three banners beside the current folder and shows banner 1; the rotation then shows
// 2, 3, 1, 2 a tick apart. The exit command asks first and ends the program only on "예".
TEST_F(MainWindowTest, StartRegistersDownloadsRotatesAndExitsOnlyWhenAsked)
{
    HANDLE tick = CreateSemaphoreA(nullptr, 0, 10, nullptr);
    // One tick per release, and an end as soon as the window goes.
    bannerWait = [tick](const CWorkerThread& thread) {
        while (!thread.StopRequested())
            if (WaitForSingleObject(tick, 10) == WAIT_OBJECT_0)
                return false;
        return true;
    };
    std::vector<int> shown;
    std::vector<bool> pictureMatches;
    const auto record = [&] {
        shown.push_back(main->ShownBanner());
        const auto picture =
            reinterpret_cast<HBITMAP>(SendDlgItemMessageA(Window(), IDC_BANNER, STM_GETIMAGE, IMAGE_BITMAP, 0));
        pictureMatches.push_back(Pixels(picture) == FilePixels(Banners()[shown.back() - 1].localFile));
    };
    std::vector<std::function<void()>> steps = {UntilBannersFetched(), record};
    for (int i = 0; i < 4; ++i) {
        steps.push_back([tick] { ReleaseSemaphore(tick, 1, nullptr); });
        steps.push_back(record);
    }
    steps.push_back([&] { SaveScreenshot(Window(), "main-window"); });
    prompts.Answer("프로그램을 종료하시겠습니까?", IDNO);
    steps.push_back([&] { Command(ID_TRAY_EXIT); });
    steps.push_back([&] {
        EXPECT_TRUE(IsWindow(Window()));
        prompts.Answer("프로그램을", IDYES);
    });
    steps.push_back([&] { Command(ID_TRAY_EXIT); });

    Run("", steps);

    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 1, 2}));
    EXPECT_EQ(pictureMatches, std::vector<bool>(5, true));
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(ReadAll(sandbox.Path("banner\\banner" + std::to_string(n) + ".bmp")), ServedBanner(n)) << n;
    HKEY run = nullptr;
    char command[512] = {};
    DWORD size = sizeof(command);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_READ, &run),
              ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(run, "Quenzo Light", nullptr, nullptr, reinterpret_cast<BYTE*>(command), &size),
              ERROR_SUCCESS);
    RegCloseKey(run);
    EXPECT_STREQ(command, "\"C:\\Program Files\\Marrowick\\QuenzoLite\\QuenzoLite.exe\" trayOn");
    EXPECT_TRUE(IsValidMethodText(CRegInfo().ReadSetting("Method")));
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"프로그램을 종료하시겠습니까?", "프로그램을 종료하시겠습니까?"}));
    CloseHandle(tick);
}

// Only the whole argument "trayOn" starts minimised (on the taskbar, not hidden); "Top" = "1"
// makes the window topmost, anything else leaves it as it is.
TEST_F(MainWindowTest, TrayOnAndTopAtStart)
{
    const struct {
        const char* argument;
        const char* top;
        bool minimised;
        bool topmost;
    } cases[] = {
        {"trayOn", "0", true, false},
        {"trayon", "1", false, true},
        {"trayOn x", "0", false, false},
    };
    for (const auto& c : cases) {
        CRegInfo().WriteString(c.top, "Marrowick\\QuenzoLite", "Data", "Top");
        bool minimised = false;
        bool topmost = false;
        Run(c.argument, {[&] {
                             minimised = IsIconic(Window()) != FALSE;
                             topmost = (GetWindowLongA(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
                             End();
                         }});
        EXPECT_EQ(minimised, c.minimised) << c.argument;
        EXPECT_EQ(topmost, c.topmost) << c.argument;
    }
}

// The close box and minimising only hide the window; the tray menu's commands, picked by their
// keys, hide and open it, make it topmost (and store "Top"), open the home page and fade in the
// about window; a double click on the icon shows the window; the banner and the notice open the
// partner site; the update command asks twice, ends the program and then starts the updater.
TEST_F(MainWindowTest, TrayMenuAndWindowCommands)
{
    // The menu's own loop runs the step after a right click; a key then picks the item.
    const auto openMenu = [this] { Tray(WM_RBUTTONUP); };
    const auto press = [](char key) {
        return [key] {
            const HWND menu = FindWindowA("#32768", nullptr);
            EXPECT_NE(menu, nullptr);
            if (key == 'o')
                SaveScreenshot(menu, "tray-menu");
            PostMessageA(menu, WM_CHAR, static_cast<WPARAM>(key), 0);
        };
    };
    std::vector<bool> visible;
    const auto note = [&] { visible.push_back(IsWindowVisible(Window()) != FALSE); };
    prompts.Answer("업데이트를 하시겠습니까?", IDYES);
    Run("", {
                [&] { PostMessageA(Window(), WM_SYSCOMMAND, SC_CLOSE, 0); }, note,
                [] { SaveScreenshot(GetDesktopWindow(), "closed-to-tray"); },
                [&] { Tray(WM_LBUTTONDBLCLK); }, note,
                [&] { PostMessageA(Window(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }, note,
                openMenu, press('o'), note,
                openMenu, press('c'), note,
                [&] { Tray(WM_LBUTTONUP); }, note,
                openMenu, press('y'), [&] {
                    EXPECT_TRUE(GetWindowLongA(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
                    EXPECT_EQ(CRegInfo().ReadSetting("Top"), "1");
                },
                openMenu, press('h'),
                openMenu, press('a'), [&] { EXPECT_TRUE(IsWindowVisible(main->About()->GetSafeHwnd())); },
                [&] { SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_BANNER, STN_CLICKED), 0); },
                [&] { PostMessageA(Window(), WM_NOTIFIER_CLICKED, 0, 0); },
                openMenu, press('u'),
            });
    EXPECT_EQ(visible, (std::vector<bool>{false, true, false, true, false, false}));
    EXPECT_EQ(opened, (std::vector<std::string>{web_addresses::kQuenzoHomepage, web_addresses::kPartnerDownloadSite,
                                                web_addresses::kPartnerDownloadSite}));
    EXPECT_EQ(started, std::vector<std::string>{UpdaterPath()});
    EXPECT_EQ(prompts.Texts(),
              (std::vector<std::string>{"업데이트를 하시겠습니까?", "업데이트를 위해 프로그램을 종료합니다."}));
}

// Esc and Enter hide the window as the close box does (tray icon, notice), without a question;
// the program runs on until the tray menu's exit.
TEST_F(MainWindowTest, EscAndEnterHideTheWindowToTheTray)
{
    std::vector<bool> visible;
    const auto press = [this](WPARAM key) { return [this, key] { PostMessageA(Window(), WM_KEYDOWN, key, 0); }; };
    const auto note = [&] { visible.push_back(IsWindow(Window()) && IsWindowVisible(Window())); };
    Run("", {press(VK_ESCAPE), note, [&] { ShowWindow(Window(), SW_SHOW); }, press(VK_RETURN), note, [&] { End(); }});
    EXPECT_EQ(visible, (std::vector<bool>{false, false}));
    EXPECT_TRUE(prompts.Texts().empty());
}

// Without its site the program starts as always: window, tray icon, no message, and in the
// banner the picture it carries, or the last good copy; answers without a size or that are not
// bitmaps change no copy. When the site is back, the hourly notice's refresh fetches the banners.
TEST_F(MainWindowTest, StartsWithoutItsSiteAndFetchesTheBannersOnceItIsBack)
{
    const auto builtIn = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BUILTIN_BANNER), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(builtIn, nullptr);
    bool trayIcon = false;
    std::vector<COLORREF> offline, back;
    Run("", {UntilBannersFetched(),
             [&] {
                 NOTIFYICONDATAA icon{};
                 icon.cbSize = NOTIFYICONDATAA_V1_SIZE, icon.hWnd = Window(), icon.uID = 1;
                 trayIcon = Shell_NotifyIconA(NIM_MODIFY, &icon) != FALSE && IsWindowVisible(Window());
                 offline = ShownPixels();
                 SaveScreenshot(Window(), "main-window-offline");
                 main->SetSiteAddress(Site());
                 PostMessageA(Window(), WM_TIMER, 1, 0);
             },
             Until([&] { return ReadAll(sandbox.Path("banner\\banner3.bmp")) == ServedBanner(3); }, "the banners"),
             UntilBannersFetched(), [&] { back = ShownPixels(); }, [&] { End(); }},
        "http://127.0.0.1:1");
    EXPECT_TRUE(trayIcon);
    EXPECT_EQ(offline, Pixels(builtIn));
    EXPECT_EQ(back, FilePixels(Banners()[0].localFile));
    DeleteObject(builtIn);

    for (const std::string& failing : {Site() + "/nolength", Site() + "/absent"}) {
        sandbox.WriteFile("banner\\banner1.bmp", ServedBanner(2));
        DeleteFileA(sandbox.Path("banner\\banner2.bmp").c_str());
        std::vector<COLORREF> shown;
        Run("", {UntilBannersFetched(), [&] { shown = ShownPixels(); }, [&] { End(); }}, failing);
        EXPECT_EQ(sandbox.ReadFile("banner\\banner1.bmp"), ServedBanner(2)) << failing;
        EXPECT_FALSE(sandbox.Exists("banner\\banner2.bmp")) << failing;
        EXPECT_EQ(shown, FilePixels(sandbox.Path("banner\\banner1.bmp"))) << failing;
    }
    EXPECT_TRUE(prompts.Texts().empty());
}

// Dragged within 20 pixels of an edge the real window snaps to it; at 21 it stays.
TEST_F(MainWindowTest, WindowSnapsToTheScreenEdges)
{
    std::vector<POINT> places;
    const auto moveTo = [&](int x, int y) {
        return [this, &places, x, y] {
            SetWindowPos(Window(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            RECT now;
            GetWindowRect(Window(), &now);
            places.push_back({now.left, now.top});
        };
    };
    Run("", {moveTo(20, 20), moveTo(21, 21), [&] { End(); }});
    ASSERT_EQ(places.size(), 2u);
    EXPECT_EQ(places[0].x, 0);
    EXPECT_EQ(places[0].y, 0);
    EXPECT_EQ(places[1].x, 21);
    EXPECT_EQ(places[1].y, 21);
}

// Explorer starts a copy for every chosen item; each hands its path to the running copy (this
// test), whose list opens with all of them once, repeats left out, nothing destroyed. A request
// to close is refused while a run is being asked about or carried out, and ends the program
// otherwise, the open list with it.
TEST_F(MainWindowTest, VerbPathsFromManyCopiesJoinOneListAndCloseWaitsForARun)
{
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, CQuenzoApp::kMutexName);
    sandbox.WriteFile("보안 문서 1.txt", "one");
    sandbox.WriteFile("it's.txt", "two");
    sandbox.MakeFolder("폴더 A");
    const std::vector<std::string> chosen = {"보안 문서 1.txt", "it's.txt", "폴더 A", "보안 문서 1.txt"};
    std::vector<HANDLE> copies;
    std::vector<std::wstring> listed;
    LRESULT whileBusy = 0, whenIdle = 0;
    Run("", {
                [&] {
                    for (const std::string& name : chosen)
                        copies.push_back(StartProgram(sandbox, VerbArguments(sandbox, name)));
                },
                Until([&] { return std::none_of(copies.begin(), copies.end(), [](HANDLE c) {
                          return ExitCode(c) == STILL_ACTIVE; }); },
                      "the copies that hand over"),
                Until([&] { return main->DeletionList()->GetSafeHwnd() && main->DeletionList()->GetEntryCount() >= 3; },
                      "the list with every path"),
                [&] {
                    listed = main->DeletionList()->EntryPaths();
                    const CBusyScope busy;
                    whileBusy = End();
                },
                [&] { whenIdle = End(); },
            });
    for (HANDLE copy : copies) {
        EXPECT_EQ(ExitCode(copy), 0u);
        CloseHandle(copy);
    }
    std::sort(listed.begin(), listed.end());
    std::vector<std::wstring> expected = {sandbox.PathW(W("보안 문서 1.txt")), sandbox.PathW(L"it's.txt"),
                                          sandbox.PathW(W("폴더 A"))};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(whileBusy, kCloseRefused);
    EXPECT_EQ(whenIdle, kCloseAccepted);
    EXPECT_EQ(Window(), nullptr) << "the close request ends the program";
    EXPECT_EQ(sandbox.ReadFile("보안 문서 1.txt"), "one");
    EXPECT_EQ(sandbox.ReadFile("it's.txt"), "two");
    CloseHandle(mutex);
}

// With no copy running, the verb's copies started at once make one program with one list; the
// setup program's "/close" then ends it through its own exit and reports so.
TEST_F(MainWindowTest, AFirstStartThroughTheVerbMakesOneProgramAndCloseEndsIt)
{
    const ScopedSiteProxy proxy;
    sandbox.WriteFile("첫 파일.txt", "one");
    sandbox.WriteFile("둘째 파일.txt", "two");
    std::vector<HANDLE> copies;
    for (const char* name : {"첫 파일.txt", "둘째 파일.txt", "첫 파일.txt"})
        copies.push_back(StartProgram(sandbox, VerbArguments(sandbox, name)));
    int rows = 0;
    for (int waited = 0; waited < 40000 && rows < 2; waited += 100) {
        PumpMessages(100);
        const HWND list = FindWindowW(L"#32770", W("보안 삭제").c_str());
        rows = list ? static_cast<int>(SendDlgItemMessageW(list, IDC_DELETE_LIST, LVM_GETITEMCOUNT, 0, 0)) : 0;
    }
    EXPECT_EQ(rows, 2);
    const auto running = std::count_if(copies.begin(), copies.end(), [](HANDLE c) { return ExitCode(c) == STILL_ACTIVE; });
    EXPECT_EQ(running, 1);

    const HANDLE closer = StartProgram(sandbox, L"/close");
    ASSERT_NE(closer, nullptr);
    WaitPumpingMessages(closer);
    EXPECT_EQ(ExitCode(closer), 0u);
    CloseHandle(closer);
    for (HANDLE copy : copies) {
        EXPECT_EQ(WaitForSingleObject(copy, 30000), WAIT_OBJECT_0) << "a copy to end after /close";
        EXPECT_EQ(ExitCode(copy), 0u);
        CloseHandle(copy);
    }
    EXPECT_EQ(sandbox.ReadFile("첫 파일.txt"), "one");
    EXPECT_EQ(sandbox.ReadFile("둘째 파일.txt"), "two");
}

// Within 20 pixels of an edge the window snaps to it; at 21 it does not; a window already partly
// off the screen stays where it is. Screen 1024 x 768, window 363 x 300.
TEST(MainWindowRules, TwentyPixelsSnapTwentyOneDoNot)
{
    const SIZE window{363, 300};
    const SIZE screen{1024, 768};
    const struct {
        POINT proposed;
        POINT expected;
    } cases[] = {
        {{20, 20}, {0, 0}},         {{21, 21}, {21, 21}},     {{1, 100}, {0, 100}},
        {{0, 100}, {0, 100}},       {{-5, -5}, {-5, -5}},     {{641, 448}, {661, 468}},
        {{640, 447}, {640, 447}},   {{661, 468}, {661, 468}}, {{700, 500}, {700, 500}},
        {{300, 20}, {300, 0}},
    };
    for (const auto& c : cases) {
        const POINT snapped = SnapToEdges(c.proposed, window, screen);
        EXPECT_EQ(snapped.x, c.expected.x) << c.proposed.x << "," << c.proposed.y;
        EXPECT_EQ(snapped.y, c.expected.y) << c.proposed.x << "," << c.proposed.y;
    }
}

TEST(MainWindowRules, OnlyTheWholeArgumentTrayOnStartsInTheTray)
{
    EXPECT_TRUE(IsTrayOnArgument("trayOn"));
    for (const char* no : {"trayon", "TRAYON", "trayOn x", " trayOn", "trayOn ", "", "\"trayOn\""})
        EXPECT_FALSE(IsTrayOnArgument(no)) << no;
    EXPECT_FALSE(IsTrayOnArgument(nullptr));
}

TEST(MainWindowRules, TrayEventsAndBannerRotation)
{
    EXPECT_EQ(TrayActionFor(WM_RBUTTONUP), TrayAction::ShowMenu);
    EXPECT_EQ(TrayActionFor(WM_LBUTTONDBLCLK), TrayAction::ShowWindow);
    for (UINT other : {WM_LBUTTONUP, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MOUSEMOVE})
        EXPECT_EQ(TrayActionFor(other), TrayAction::None) << other;

    // Banner 1 is shown at start; the rotation's ticks then show 2, 3, 1, 2, ...
    const int expected[] = {2, 3, 1, 2, 3, 1};
    for (unsigned tick = 1; tick <= 6; ++tick)
        EXPECT_EQ(BannerForTick(tick), expected[tick - 1]) << tick;
}
