// The whole update against the test run's web site: the development site's manifest, and sites
// of the tests' own below /testfiles/ (tools/site-server), each with a manifest and a stand-in
// setup program that notes when it runs.
#include "CUpdateProgressDlg.h"
#include "Sandbox.h"
#include "Seams.h"
#include "Sha256.h"
#include "Updater.h"
#include "Version.h"
#include "WindowTest.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

constexpr char kCaption[] = "Quenzo Light";

std::string StandInSetup() { return ReadAll(UnixPath(QUENZO_SETUP_STANDIN_PATH)); }

// A product web site of one test, in the test run's site-files folder, which the site server
// serves below /testfiles/.
class TestSite {
public:
    explicit TestSite(const std::string& name)
        : m_name(name + "." + std::to_string(GetCurrentProcessId())), m_folder(TestEnvironment() + "/site-files/" + m_name)
    {
        for (const std::string& folder : {m_folder, m_folder + "/QuenzoLight", m_folder + "/QuenzoLight/update"})
            CreateDirectoryA(UnixPath(folder).c_str(), nullptr);
    }
    std::string Address() const { return Site() + "/testfiles/" + m_name; }
    void Put(const std::string& relative, const std::string& bytes) const
    {
        std::ofstream(UnixPath(m_folder + "/" + relative), std::ios::binary | std::ios::trunc) << bytes;
        ASSERT_EQ(ReadAll(UnixPath(m_folder + "/" + relative)), bytes) << relative;
    }
    void PutManifest(const std::string& text) const { Put("QuenzoLight/update/manifest.txt", text); }

private:
    std::string m_name;
    std::string m_folder;
};

std::string Manifest(const std::string& version, const std::string& setup, const std::string& sha256)
{
    return "# test site\r\nversion=" + version + "\r\nsetup=" + setup + "\r\nsha256=" + sha256 + "\r\n";
}

// Runs `tick` every 30 ms from this thread's message loop (the progress window's) while it lives.
struct ScopedTicker {
    explicit ScopedTicker(std::function<void()> tick) { s_tick = std::move(tick); }
    ~ScopedTicker() { KillTimer(nullptr, m_timer), s_tick = nullptr; }
    static inline std::function<void()> s_tick;
    UINT_PTR m_timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) { if (s_tick) s_tick(); });
};

class UpdaterTest : public ::testing::Test {
protected:
    UpdateRequest Request(const std::string& site, const std::string& current = product_version::kText) const
    {
        UpdateRequest request;
        request.site = site;
        request.currentVersion = current;
        request.downloadFolder = sandbox.Path("temp");
        return request;
    }
    // The one message box of a run, or "" when none was shown.
    std::string OnlyMessage() const
    {
        EXPECT_LE(prompts.Shown().size(), 1u);
        if (prompts.Shown().empty())
            return "";
        const seams::Prompt& prompt = prompts.Shown().front();
        EXPECT_EQ(prompt.kind, seams::PromptKind::Platform);
        EXPECT_EQ(prompt.caption, kCaption);
        return prompt.text;
    }

    Sandbox sandbox;
    ScriptedPrompts prompts;
    void SetUp() override { sandbox.MakeFolder("temp"); }
};

}  // namespace

// An outcome in a failed expectation: its number and its message.
void PrintTo(UpdateOutcome outcome, std::ostream* out)
{
    *out << static_cast<int>(outcome) << " \"" << OutcomeMessage(outcome) << '"';
}

// The development site names the development build's version: nothing to do, and the box says so.
// A running version newer than the site's is up to date as well.
TEST_F(UpdaterTest, UpToDateAgainstTheDevelopmentSite)
{
    EXPECT_EQ(RunUpdate(Request(Site())), UpdateOutcome::UpToDate);
    ASSERT_EQ(prompts.Shown().size(), 1u);
    EXPECT_EQ(prompts.Shown()[0].text, "최신 버전입니다.");
    EXPECT_EQ(prompts.Shown()[0].caption, kCaption);
    EXPECT_EQ(prompts.Shown()[0].flags & MB_ICONMASK, static_cast<unsigned>(MB_ICONINFORMATION));

    EXPECT_EQ(RunUpdate(Request(Site(), "1.0.0.10")), UpdateOutcome::UpToDate);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>(2, "최신 버전입니다."));
    EXPECT_TRUE(sandbox.List("temp").empty());
}

// 1.0.0.10 is newer than 1.0.0.9, and the question says so: "아니오" fetches nothing; "예" fetches
// the setup in the progress window, checks its SHA-256 and really runs it, with no other box. What
// an earlier run left in the folder goes at the start; a file of anyone else's stays.
TEST_F(UpdaterTest, NewerVersionAsksDownloadsChecksAndStartsTheSetup)
{
    const std::string setup = StandInSetup();
    ASSERT_GT(setup.size(), 1000u);
    const TestSite site("newer");
    site.Put("QuenzoLight/update/QuenzoLiteSetup.exe", setup);
    site.PutManifest(Manifest("1.0.0.10", "QuenzoLiteSetup.exe", *Sha256Of(setup)));
    for (const char* earlier : {"QuenzoLiteSetup-1.0.0.8.exe", "QuenzoLiteUpdate-1-2-3.part", "notes.txt"})
        sandbox.WriteFile(std::string("temp\\") + earlier, "earlier");
    CUpdateProgressDlg progress;
    UpdateRequest request = Request(site.Address(), "1.0.0.9");
    request.watcher = &progress;

    EXPECT_EQ(RunUpdate(request), UpdateOutcome::Declined);
    EXPECT_EQ(sandbox.List("temp"), std::vector<std::string>{"notes.txt"});
    prompts.Answer("새 버전", IDYES);
    EXPECT_EQ(RunUpdate(request), UpdateOutcome::SetupStarted);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>(2, "새 버전 1.0.0.10가 있습니다. 지금 설치하시겠습니까?"));
    EXPECT_EQ(prompts.Shown()[1].flags & MB_TYPEMASK, static_cast<unsigned>(MB_YESNO));

    const std::string started = "temp\\QuenzoLiteSetup-1.0.0.10.exe";
    // Its note, once written whole. It runs in the system folder: a setup holding ours as its
    // current folder would keep it.
    std::string ran;
    for (int waited = 0; waited < 15000 && (ran = sandbox.ReadFile(started + ".ran")).find('\n') == std::string::npos;
         waited += 50)
        Sleep(50);
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(ran.substr(ran.find('\n') + 1), system);
    EXPECT_EQ(sandbox.ReadFile(started), setup);
    EXPECT_EQ(sandbox.List("temp"), (std::vector<std::string>{"QuenzoLiteSetup-1.0.0.10.exe",
                                                              "QuenzoLiteSetup-1.0.0.10.exe.ran", "notes.txt"}));
}

// "취소" in the progress window of a stalled download closes it at once: nothing is started or
// left, and no box follows the question.
TEST_F(UpdaterTest, CancelledDownloadLeavesNothing)
{
    const std::string setup = StandInSetup();
    const TestSite site("cancel");
    site.Put("QuenzoLight/update/Stall.exe", setup);
    site.Put("QuenzoLight/update/Stall.exe.length", std::to_string(setup.size() + 100000));
    site.Put("QuenzoLight/update/Stall.exe.hold", "5");
    site.PutManifest(Manifest("1.0.0.10", "Stall.exe", *Sha256Of(setup)));
    prompts.Answer("새 버전", IDYES);
    CUpdateProgressDlg progress;
    UpdateRequest request = Request(site.Address(), "1.0.0.9");
    request.watcher = &progress;
    HWND window = nullptr;
    bool closedAtOnce = false;
    {
        const ScopedTicker ticker([&] {
            if (window) {
                closedAtOnce = closedAtOnce || !IsWindow(window);
                return;
            }
            const HWND shown = FindWindowA("#32770", "Quenzo Light");
            if (shown && SendDlgItemMessageA(shown, IDC_UPDATE_PROGRESS, PBM_GETPOS, 0, 0) > 0) {
                window = shown;  // first: the screenshot handles messages, this tick among them
                SaveScreenshot(shown, "update-progress");
                ClickButton(shown, IDCANCEL, true);
            }
        });
        EXPECT_EQ(RunUpdate(request), UpdateOutcome::Cancelled);
    }
    EXPECT_TRUE(closedAtOnce);
    EXPECT_TRUE(sandbox.List("temp").empty());  // no setup, and none ran (it would leave a note)
    EXPECT_EQ(prompts.Texts().size(), 1u);

}

// Every way a newer version can fail ends with its message, nothing started and nothing left in
// the temporary folder.
TEST_F(UpdaterTest, FailuresTellAndRunNothing)
{
    const std::string setup = StandInSetup();
    const std::string sha = *Sha256Of(setup);
    struct Case {
        const char* name;
        std::string manifest;  // empty: no manifest on the site
        bool requireHttps;
        UpdateOutcome outcome;
    };
    const Case cases[] = {
        {"checksum", Manifest("1.0.0.10", "Setup.exe", *Sha256Of(setup + "!")), false, UpdateOutcome::ChecksumMismatch},
        {"missing", Manifest("1.0.0.10", "Gone.exe", sha), false, UpdateOutcome::DownloadFailed},
        {"short", Manifest("1.0.0.10", "Short.exe", sha), false, UpdateOutcome::DownloadFailed},
        {"http", Manifest("1.0.0.10", "Setup.exe", sha), true, UpdateOutcome::NotSecure},
        {"nomanifest", "", false, UpdateOutcome::ManifestUnreadable},
        {"garbled", "version=1.0.0.10\r\nsetup Setup.exe\r\n", false, UpdateOutcome::ManifestUnreadable},
        {"nosum", "version=1.0.0.10\r\nsetup=Setup.exe\r\n", false, UpdateOutcome::ManifestUnreadable},
        {"scheme", Manifest("1.0.0.10", "file:///C:/Setup.exe", sha), false, UpdateOutcome::ManifestUnreadable},
    };
    prompts.Answer("새 버전", IDYES);
    std::vector<std::string> started;
    const seams::ScopedOutsideEffects effects({{}, {}, [&](const std::string& path, const std::string&) {
                                                   started.push_back(path);
                                                   return true;
                                               }});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TestSite site(std::string("failure-") + c.name);
        site.Put("QuenzoLight/update/Setup.exe", setup);
        site.Put("QuenzoLight/update/Short.exe", setup);
        site.Put("QuenzoLight/update/Short.exe.length", std::to_string(setup.size() + 100));
        if (!c.manifest.empty())
            site.PutManifest(c.manifest);
        UpdateRequest request = Request(site.Address(), "1.0.0.9");
        request.requireHttps = c.requireHttps;
        const std::size_t before = prompts.Shown().size();

        EXPECT_EQ(RunUpdate(request), c.outcome);
        // The question comes once every check but the download's has passed.
        const bool asked = c.outcome == UpdateOutcome::ChecksumMismatch || c.outcome == UpdateOutcome::DownloadFailed;
        ASSERT_EQ(prompts.Shown().size(), before + (asked ? 2 : 1));
        EXPECT_EQ(prompts.Shown().back().text, OutcomeMessage(c.outcome));
        EXPECT_EQ(prompts.Shown().back().caption, kCaption);
        EXPECT_EQ(prompts.Shown().back().flags & MB_ICONMASK, static_cast<unsigned>(MB_ICONERROR));
        EXPECT_TRUE(sandbox.List("temp").empty());
    }
    EXPECT_TRUE(started.empty());
}

// A closed port: the connection message, and nothing else happens.
TEST_F(UpdaterTest, UnreachableSite)
{
    EXPECT_EQ(RunUpdate(Request("http://127.0.0.1:1")), UpdateOutcome::Unreachable);
    EXPECT_EQ(OnlyMessage(), "업데이트 서버에 연결할 수 없습니다. 인터넷 연결을 확인해 주십시오.");
    EXPECT_TRUE(sandbox.List("temp").empty());
}

// Each end but a started setup has a message of its own.
TEST(UpdaterMessages, EveryFailureHasItsOwnText)
{
    const UpdateOutcome failures[] = {UpdateOutcome::Unreachable,      UpdateOutcome::ManifestUnreadable,
                                      UpdateOutcome::NotSecure,        UpdateOutcome::DownloadFailed,
                                      UpdateOutcome::ChecksumMismatch, UpdateOutcome::CannotSave,
                                      UpdateOutcome::CannotStart,      UpdateOutcome::UpToDate};
    std::vector<std::string> texts;
    for (const UpdateOutcome outcome : failures)
        texts.push_back(OutcomeMessage(outcome));
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(std::unique(texts.begin(), texts.end()), texts.end());
    EXPECT_EQ(std::count(texts.begin(), texts.end(), ""), 0);
    for (const UpdateOutcome quiet : {UpdateOutcome::SetupStarted, UpdateOutcome::Declined, UpdateOutcome::Cancelled})
        EXPECT_STREQ(OutcomeMessage(quiet), "");
}
