#include "BrowserCleaner.h"
#include "BrowserFixtures.h"
#include "Cp949Text.h"
#include "ExactPath.h"
#include "PrivacyTestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>

namespace {

constexpr auto kChromium = BrowserFamily::Chromium;
constexpr auto kFirefox = BrowserFamily::Firefox;

// One category of one family: what it may change or remove in the cleaned profile (%P its folder,
// %L its local folder), the marker no file of the profile may hold afterwards, and queries whose
// rows (bookmarks, their icons, search engines) must read the same afterwards.
struct CategoryCase {
    BrowserFamily family;
    unsigned category;
    const char* marker;
    std::vector<std::string> changes;
    std::vector<std::pair<std::string, std::string>> kept;
};

const std::vector<CategoryCase> kCases = {
    {kChromium, kBrowserCache, "trace-cache", {"%P\\Cache\\", "%P\\Code Cache\\"}, {}},
    {kChromium, kBrowserCookies, "trace-cookie", {"%P\\Network\\Cookies"}, {}},
    {kChromium, kBrowserHistory, "trace-history",
     {"%P\\History", "%P\\Favicons", "%P\\Visited Links", "%P\\Top Sites", "%P\\Sessions\\"},
     {{"%P\\History", "SELECT * FROM meta"},
      {"%P\\Favicons", "SELECT * FROM favicons f JOIN favicon_bitmaps b ON b.icon_id = f.id JOIN icon_mapping m"
                       " ON m.icon_id = f.id WHERE m.page_url = 'https://kept.example/'"}}},
    {kChromium, kBrowserForms, "trace-form", {"%P\\Web Data"}, {{"%P\\Web Data", "SELECT * FROM keywords"}}},
    {kChromium, kBrowserPasswords, "trace-password", {"%P\\Login Data"}, {{"%P\\Login Data", "SELECT * FROM meta"}}},
    {kFirefox, kBrowserCache, "trace-cache", {"%L\\cache2\\"}, {}},
    {kFirefox, kBrowserCookies, "trace-cookie", {"%P\\cookies.sqlite"}, {}},
    {kFirefox, kBrowserHistory, "trace-history",
     {"%P\\places.sqlite", "%P\\favicons.sqlite", "%P\\sessionstore", "%L\\thumbnails\\"},
     {{"%P\\places.sqlite", "SELECT * FROM moz_bookmarks"},
      {"%P\\places.sqlite", "SELECT id, url, title, guid, origin_id FROM moz_places WHERE id = 1"},
      {"%P\\favicons.sqlite", "SELECT * FROM moz_icons WHERE icon_url LIKE 'https://kept.example/%'"},
      {"%P\\favicons.sqlite", "SELECT * FROM moz_pages_w_icons JOIN moz_icons_to_pages ON page_id = id"
                              " WHERE page_url = 'https://kept.example/'"}}},
    {kFirefox, kBrowserForms, "trace-form", {"%P\\formhistory.sqlite"}, {}},
    {kFirefox, kBrowserPasswords, "trace-password", {"%P\\logins.json"}, {}},
};

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

std::string ProfileName(BrowserKind kind) { return kind == BrowserKind::Firefox ? "default" : "Default"; }

}  // namespace

// Each category of each browser, plain and secure: the category's traces are gone from every file
// of the profile, the kept rows read the same, and every other file in the sandbox (the other
// profile, the other browsers, preferences, extensions, bookmarks, canaries) is byte-identical.
TEST(CleanBrowsers, RemovesEachCategoryAndNothingElse)
{
    const QuietSeams quiet;
    for (const CategoryCase& row : kCases)
        for (const BrowserInfo& browser : KnownBrowsers())
            for (const bool secure : {false, true}) {
                if (browser.family != row.family)
                    continue;
                SCOPED_TRACE(std::string(browser.name) + " " + row.marker + (secure ? " secure" : " plain"));
                BrowserSandbox box;
                RecordingEngine engine{13};
                const std::string folder = BrowserSandbox::Folder(browser.kind, ProfileName(browser.kind));
                const std::string local = BrowserSandbox::LocalFolder(browser.kind, ProfileName(browser.kind));
                const auto expand = [&](std::string text) { return (text[1] == 'P' ? folder : local) + text.substr(2); };
                const auto mayChange = [&](const std::string& path) {
                    return std::any_of(row.changes.begin(), row.changes.end(),
                                       [&](const std::string& change) { return StartsWith(path, expand(change)); });
                };
                std::vector<std::string> keptBefore;
                for (const auto& [database, sql] : row.kept)
                    keptBefore.push_back(box.Query(expand(database), sql));
                const auto before = box.Files();

                const BrowserReport report =
                    CleanBrowsers(engine, {box.Profile(browser.kind, ProfileName(browser.kind))}, row.category, secure, nullptr);

                EXPECT_TRUE(report.skipped.empty() && report.leftovers.empty()) << BrowserReportText(report, false);
                ASSERT_EQ(report.removed.size(), 1u);
                EXPECT_GT(report.removed[0].files + report.removed[0].rows, 0);
                EXPECT_EQ(secure, !engine.passes.empty());
                const auto after = box.Files();
                for (const auto& [path, bytes] : after) {
                    const bool inProfile = StartsWith(path, folder + "\\") || StartsWith(path, local + "\\");
                    EXPECT_TRUE(!inProfile || bytes.find(row.marker) == std::string::npos) << path;
                    EXPECT_TRUE(mayChange(path) || (before.count(path) && before.at(path) == bytes)) << path;
                }
                for (const auto& [path, bytes] : before)
                    EXPECT_TRUE(mayChange(path) || after.count(path)) << path;
                for (std::size_t i = 0; i < row.kept.size(); ++i) {
                    EXPECT_NE(keptBefore[i], "") << row.kept[i].second;
                    EXPECT_EQ(box.Query(expand(row.kept[i].first), row.kept[i].second), keptBefore[i]);
                }
            }
}

// Every used profile is found; a listed profile whose folder is gone and one never used are named.
TEST(FindBrowserProfiles, FindsUsedProfilesAndNamesTheRest)
{
    const BrowserSandbox box;
    const FoundProfiles found = FindBrowserProfiles(box.Roots());
    std::string seen, expected;
    for (const BrowserProfile& profile : found.profiles)
        seen += InfoOf(profile.kind).name + (" " + Narrow949(profile.name)) + "\n";
    for (const SkippedItem& item : found.skipped)
        seen += InfoOf(item.kind).name + (" " + Narrow949(NameOf(item.what))) + " " + SkipReasonText(item.reason) + "\n";
    for (const BrowserInfo& browser : KnownBrowsers())
        expected += browser.family == kFirefox ? "Firefox default\nFirefox other\n"
                                               : browser.name + std::string(" Default\n") + browser.name + " Profile 1\n";
    for (const BrowserInfo& browser : KnownBrowsers())
        expected += browser.family == kFirefox ? "" : browser.name + std::string(" Profile 3 사용된 적 없거나 덜 만들어진 프로필\n") +
                                                          browser.name + " Profile 7 폴더가 없음\n";
    EXPECT_EQ(seen, expected);
}

// The preview reads only, and counts exactly what the cleaning then removes.
TEST(PreviewBrowserCleaning, CountsWhatTheCleaningRemovesAndChangesNothing)
{
    const QuietSeams quiet;
    const BrowserSandbox box;
    RecordingEngine engine{13};
    const std::vector<BrowserProfile> profiles = {box.Profile(BrowserKind::Chrome, "Default"),
                                                  box.Profile(BrowserKind::Firefox, "default")};
    const unsigned everything = kAllBrowserCategories | kBrowserPasswords;
    const auto before = box.Files();

    const BrowserReport preview = PreviewBrowserCleaning(profiles, everything);
    EXPECT_EQ(box.Files(), before);
    const BrowserReport done = CleanBrowsers(engine, profiles, everything, false, nullptr);

    const auto counts = [](const BrowserReport& report) {
        std::vector<long long> all;  // files, then rows, per profile
        for (const RemovedAmount& amount : report.removed)
            all.insert(all.end(), {amount.files, amount.rows});
        return all;
    };
    EXPECT_EQ(counts(preview), (std::vector<long long>{7, 11, 7, 9}));
    EXPECT_EQ(counts(done), counts(preview));
    EXPECT_NE(BrowserReportText(preview, true).find("Chrome (프로필 1개): 파일 7개, 기록 11건"), std::string::npos);
}

// A database another program has locked stays as it is and is named; the rest of the profile goes.
TEST(CleanBrowsers, LeavesALockedDatabaseAndCleansTheRest)
{
    const QuietSeams quiet;
    for (const bool secure : {false, true}) {
        const BrowserSandbox box;
        RecordingEngine engine{13};
        const std::string folder = BrowserSandbox::Folder(BrowserKind::Chrome, "Default");
        const std::string history = box.Box().Path(folder + "\\History"), before = box.Box().ReadFile(folder + "\\History");
        sqlite3* browser = nullptr;
        ASSERT_TRUE(!sqlite3_open(history.c_str(), &browser) && !sqlite3_exec(browser, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr));

        const BrowserReport report =
            CleanBrowsers(engine, {box.Profile(BrowserKind::Chrome, "Default")}, kBrowserHistory, secure, nullptr);
        sqlite3_close(browser);

        ASSERT_EQ(report.skipped.size(), 1u) << BrowserReportText(report, false);
        EXPECT_EQ(report.skipped[0].reason, SkipReason::Locked);
        EXPECT_EQ(Narrow949(report.skipped[0].what), history);
        EXPECT_EQ(box.Box().ReadFile(folder + "\\History"), before);
        EXPECT_FALSE(box.Box().Exists(folder + "\\Visited Links"));
    }
}

// A profile folder that is a link is neither found nor cleaned: what it leads to stays whole.
TEST(CleanBrowsers, NeverFollowsAProfileFolderThatIsALink)
{
    const QuietSeams quiet;
    const BrowserSandbox box;
    RecordingEngine engine{13};
    const BrowserProfile profile = box.Profile(BrowserKind::Chrome, "Profile 1");
    const std::string folder = BrowserSandbox::Folder(BrowserKind::Chrome, "Profile 1");
    ASSERT_TRUE(MoveFileA(box.Box().Path(folder).c_str(), box.Box().Path("elsewhere").c_str()));
    box.Box().MakeSymlink(folder, "elsewhere");
    const auto before = box.Files("elsewhere");

    const BrowserReport report = CleanBrowsers(engine, {profile}, kAllBrowserCategories | kBrowserPasswords, true, nullptr);

    EXPECT_EQ(box.Files("elsewhere"), before);
    ASSERT_EQ(report.skipped.size(), 1u);
    EXPECT_EQ(report.skipped[0].reason, SkipReason::Link);
    const auto skipped = FindBrowserProfiles(box.Roots()).skipped;
    EXPECT_TRUE(std::any_of(skipped.begin(), skipped.end(), [&](const SkippedItem& item) {
        return Narrow949(item.what) == box.Box().Path(folder) && item.reason == SkipReason::Link;
    }));
}
