// The whole update against the test run's web site: the development site's manifest, and sites
// of the tests' own below /testfiles/ (tools/site-server), each with a manifest and a stand-in
// setup program that notes when it runs.
#include "Sandbox.h"
#include "Seams.h"
#include "Sha256.h"
#include "Updater.h"
#include "Version.h"
#include "WindowTest.h"

#include <gtest/gtest.h>
#include <windows.h>

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

class UpdaterTest : public ::testing::Test {
protected:
    UpdateRequest Request(const std::string& site, const std::string& current = product_version::kText) const
    {
        UpdateRequest request;
        request.site = site;
        request.currentVersion = current;
        request.tempFolder = sandbox.Path("temp");
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

// 1.0.0.10 is newer than 1.0.0.9: the setup is downloaded under a new name (the file already
// there keeps its bytes), matches its SHA-256 and really runs; no message box.
TEST_F(UpdaterTest, NewerVersionDownloadsChecksAndStartsTheSetup)
{
    const std::string setup = StandInSetup();
    ASSERT_GT(setup.size(), 1000u);
    const TestSite site("newer");
    site.Put("QuenzoLight/update/QuenzoLiteSetup.exe", setup);
    site.PutManifest(Manifest("1.0.0.10", "QuenzoLiteSetup.exe", *Sha256Of(setup)));
    sandbox.WriteFile("temp\\QuenzoLiteSetup-1.0.0.10.exe", "earlier");

    EXPECT_EQ(RunUpdate(Request(site.Address(), "1.0.0.9")), UpdateOutcome::SetupStarted);
    EXPECT_EQ(OnlyMessage(), "");

    const std::string started = "temp\\QuenzoLiteSetup-1.0.0.10 (2).exe";
    for (int waited = 0; waited < 15000 && !sandbox.Exists(started + ".ran"); waited += 50)
        Sleep(50);
    ASSERT_TRUE(sandbox.Exists(started + ".ran"));
    EXPECT_NE(sandbox.ReadFile(started + ".ran").find("QuenzoLiteSetup-1.0.0.10 (2).exe"), std::string::npos);
    EXPECT_EQ(sandbox.ReadFile(started), setup);
    EXPECT_EQ(sandbox.ReadFile("temp\\QuenzoLiteSetup-1.0.0.10.exe"), "earlier");
    EXPECT_EQ(sandbox.List("temp"), (std::vector<std::string>{"QuenzoLiteSetup-1.0.0.10 (2).exe",
                                                              "QuenzoLiteSetup-1.0.0.10 (2).exe.ran",
                                                              "QuenzoLiteSetup-1.0.0.10.exe"}));
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
        ASSERT_EQ(prompts.Shown().size(), before + 1);
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
    EXPECT_STREQ(OutcomeMessage(UpdateOutcome::SetupStarted), "");
}
