#include "BrowserCleaner.h"
#include "BrowserFixtures.h"
#include "BrowserShutdown.h"
#include "PrivacyTestSupport.h"
#include "Seams.h"

#include <gtest/gtest.h>

#include <optional>
#include <tlhelp32.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

// The stand-in browser, built beside this program. CMake gives its Linux path; Wine reaches it
// through \\?\unix\ (there is no drive Z: in the test prefix).
std::string SleeperPath()
{
    const std::string path = QUENZO_SLEEPER_PATH;
    return !path.empty() && path[0] == '/' ? UnixPath(path) : path;
}

// A copy of the sleeper started under `name` in a folder of the sandbox.
class StandIn {
public:
    StandIn(const Sandbox& sandbox, const std::string& folder, const std::string& name, const char* argument = "")
    {
        sandbox.MakeFolder(folder);
        const std::string exe = sandbox.Path(folder + "\\" + name);
        if (!CopyFileA(SleeperPath().c_str(), exe.c_str(), TRUE)) {
            ADD_FAILURE() << "cannot copy " << SleeperPath() << ": " << GetLastError();
            return;
        }
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        std::string command = "\"" + exe + "\" " + argument;
        if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                            &startup, &m_process))
            ADD_FAILURE() << "cannot start " << exe << ": " << GetLastError();
        CloseHandle(m_process.hThread);
    }
    ~StandIn()
    {
        if (!m_process.hProcess)
            return;
        if (IsRunning())
            TerminateProcess(m_process.hProcess, 0);
        WaitForSingleObject(m_process.hProcess, 5000);
        CloseHandle(m_process.hProcess);
    }
    DWORD Id() const { return m_process.dwProcessId; }
    bool ShowsItsWindow() const { return WaitForInputIdle(m_process.hProcess, 10000) == 0; }
    bool IsRunning() const { return m_process.hProcess && WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT; }
    // The exit code once it ended within `milliseconds`; STILL_ACTIVE otherwise.
    DWORD ExitCodeWithin(DWORD milliseconds) const
    {
        WaitForSingleObject(m_process.hProcess, milliseconds);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(m_process.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION m_process{};
};

std::vector<std::pair<DWORD, std::string>> Processes()
{
    std::vector<std::pair<DWORD, std::string>> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPALL, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        found.emplace_back(entry.th32ProcessID, entry.szExeFile);
    CloseHandle(snapshot);
    return found;
}

bool Listed(DWORD id, const std::string& name)
{
    const auto all = Processes();
    return std::find(all.begin(), all.end(), std::make_pair(id, name)) != all.end();
}

}  // namespace

// Through the real process list and the real termination: only the exact lower-case name ends,
// with exit code 9; the same name in capitals and a longer name keep running.
TEST(KillBrowserProcesses, TerminatesExactlyTheBrowserName)
{
    Sandbox sandbox;
    StandIn browser(sandbox, "lower", "iexplore.exe");
    StandIn capitals(sandbox, "upper", "IEXPLORE.EXE");
    StandIn longer(sandbox, "other", "iexplore.exe.exe");
    ASSERT_TRUE(browser.IsRunning() && capitals.IsRunning() && longer.IsRunning());
    // The case only means something if the process list keeps the capitals.
    ASSERT_TRUE(Listed(browser.Id(), "iexplore.exe"));
    ASSERT_TRUE(Listed(capitals.Id(), "IEXPLORE.EXE"));

    EXPECT_EQ(KillBrowserProcesses(), 1);

    EXPECT_EQ(browser.ExitCodeWithin(5000), 9u);
    EXPECT_TRUE(capitals.IsRunning());
    EXPECT_TRUE(longer.IsRunning());
}

// Every termination goes through the outside-effects seam, so a window test can record it.
TEST(KillBrowserProcesses, TerminatesThroughTheOutsideEffect)
{
    Sandbox sandbox;
    StandIn first(sandbox, "one", "iexplore.exe");
    StandIn second(sandbox, "two", "iexplore.exe");
    ASSERT_TRUE(first.IsRunning() && second.IsRunning());
    std::vector<std::pair<unsigned long, unsigned>> recorded;
    std::optional<seams::ScopedOutsideEffects> effects;
    effects.emplace(seams::OutsideEffects{[&](unsigned long id, unsigned code) {
                                              recorded.emplace_back(id, code);
                                              return id == first.Id();
                                          },
                                          {},
                                          {}});

    const int terminated = KillBrowserProcesses();
    effects.reset();

    std::sort(recorded.begin(), recorded.end());
    std::vector<std::pair<unsigned long, unsigned>> expected = {{first.Id(), 9u}, {second.Id(), 9u}};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(recorded, expected);
    EXPECT_EQ(terminated, 1);  // only the effects that reported success count
    EXPECT_TRUE(first.IsRunning() && second.IsRunning());
}

// A browser that closes when its windows are asked to is cleaned; one that does not is never
// terminated: the user is asked while it runs, and once they give up its profile is skipped.
TEST(CleanBrowsers, ClosesBrowsersAndSkipsOneThatDoesNotClose)
{
    const QuietSeams quiet;
    const BrowserSandbox box;
    RecordingEngine engine{13};
    StandIn chrome(box.Box(), "running", "chrome.exe");
    StandIn firefox(box.Box(), "closing", "firefox.exe", "window");
    ASSERT_TRUE(chrome.IsRunning() && firefox.ShowsItsWindow());
    const std::string history = BrowserSandbox::Folder(BrowserKind::Chrome, "Default") + "\\History";
    const std::string before = box.Box().ReadFile(history);
    std::vector<BrowserKind> asked;

    const BrowserReport report = CleanBrowsers(
        engine, {box.Profile(BrowserKind::Chrome, "Default"), box.Profile(BrowserKind::Firefox, "default")},
        kBrowserHistory, false, [&](BrowserKind kind) { asked.push_back(kind); return std::count(asked.begin(), asked.end(), kind) < (kind == BrowserKind::Chrome ? 2 : 50); }, 100);

    EXPECT_EQ(std::count(asked.begin(), asked.end(), BrowserKind::Chrome), 2);
    EXPECT_EQ(firefox.ExitCodeWithin(0), 0u);
    ASSERT_EQ(report.skipped.size(), 1u);
    EXPECT_EQ(report.skipped[0].reason, SkipReason::Running);
    EXPECT_EQ(box.Box().ReadFile(history), before);
    const std::string places = BrowserSandbox::Folder(BrowserKind::Firefox, "default") + "\\places.sqlite";
    EXPECT_EQ(box.Query(places, "SELECT count(*) FROM moz_historyvisits"), "0|\n");
    EXPECT_TRUE(chrome.IsRunning());
}
