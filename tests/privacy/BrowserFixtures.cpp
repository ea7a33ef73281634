#include "BrowserFixtures.h"

#include "Cp949Text.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <windows.h>

namespace {

struct Planted {
    const char* path;
    const char* bytes;
    const char* fixture = nullptr;  // the database made from fixtures/<fixture>.sql instead
};

const Planted kChromium[] = {
    {"History", "", "chromium-history"}, {"Favicons", "", "chromium-favicons"}, {"Web Data", "", "chromium-webdata"},
    {"Login Data", "", "chromium-logins"}, {"Network\\Cookies", "", "chromium-cookies"},
    {"Network\\Cookies-journal", "trace-cookie journal"}, {"Cache\\Cache_Data\\f_000001", "trace-cache page"},
    {"Code Cache\\js\\index", "trace-cache script"}, {"Visited Links", "trace-history links"},
    {"Top Sites", "trace-history top sites"}, {"Sessions\\Session_13300000000000000", "trace-history restore"},
    {"Bookmarks", R"({"roots":{"bookmark_bar":{"children":[{"name":"kept","type":"url",)"
                  R"("url":"https://kept.example/"}],"type":"folder"}},"version":1})"},
    {"Preferences", R"({"profile":{"content_settings":{"kept":1}}})"}, {"Secure Preferences", R"({"kept":1})"},
    {"Extensions\\kept\\1.0\\manifest.json", R"({"name":"kept"})"},
    {"Local Extension Settings\\kept\\000003.log", "kept extension data"},
};

const Planted kFirefox[] = {
    {"places.sqlite", "", "firefox-places"}, {"favicons.sqlite", "", "firefox-favicons"},
    {"cookies.sqlite", "trace-cookie store"}, {"formhistory.sqlite", "trace-form store"},
    {"logins.json", "trace-password store"}, {"key4.db", "kept keys"}, {"prefs.js", "user_pref(\"kept\", true);"},
    {"permissions.sqlite", "kept permissions"}, {"sessionstore.jsonlz4", "trace-history restore"},
    {"sessionstore-backups\\recovery.jsonlz4", "trace-history restore"}, {"extensions\\kept@example.xpi", "kept"},
};
const Planted kFirefoxLocal[] = {{"cache2\\entries\\0A1B", "trace-cache entry"}, {"thumbnails\\0A1B.png", "trace-history"}};

std::string DataFolder(BrowserKind kind)
{
    return (kind == BrowserKind::Firefox ? "Roaming\\" : "Local\\") + Narrow949(InfoOf(kind).dataFolder);
}

}  // namespace

BrowserSandbox::BrowserSandbox()
{
    for (const BrowserInfo& browser : KnownBrowsers()) {
        const std::string data = DataFolder(browser.kind);
        const bool chromium = browser.family == BrowserFamily::Chromium;
        Put(data + "\\canary.txt", "kept canary beside the profiles");
        if (chromium) {
            Put(data + "\\Local State", R"({"profile":{"info_cache":{"Default":{"name":"a"},"Profile 1":{},)"
                                        R"("Profile 7":{"name":"gone"}},"last_used":"Default"}})");
            Put(data + "\\Profile 3\\Cookies", "trace-cookie of a profile never used");
        } else {
            Put(data + "\\profiles.ini", "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\n"
                                         "IsRelative=1\r\nPath=Profiles/a.default\r\n\r\n[Profile1]\r\nName=other\r\n"
                                         "IsRelative=1\r\nPath=Profiles/b.other\r\n");
        }
        for (const char* name : chromium ? std::vector{"Default", "Profile 1"} : std::vector{"default", "other"}) {
            for (const Planted& file : chromium ? std::vector(std::begin(kChromium), std::end(kChromium))
                                                : std::vector(std::begin(kFirefox), std::end(kFirefox)))
                Put(Folder(browser.kind, name) + "\\" + file.path, file.bytes, file.fixture);
            for (const Planted& file : chromium ? std::vector<Planted>() : std::vector(std::begin(kFirefoxLocal), std::end(kFirefoxLocal)))
                Put(LocalFolder(browser.kind, name) + "\\" + file.path, file.bytes);
        }
    }
}

std::string BrowserSandbox::Folder(BrowserKind kind, const std::string& name)
{
    if (kind != BrowserKind::Firefox)
        return DataFolder(kind) + "\\" + name;
    return DataFolder(kind) + (name == "default" ? "\\Profiles\\a.default" : "\\Profiles\\b.other");
}

std::string BrowserSandbox::LocalFolder(BrowserKind kind, const std::string& name)
{
    if (kind != BrowserKind::Firefox)
        return Folder(kind, name);
    return "Local\\Mozilla\\Firefox" + Folder(kind, name).substr(DataFolder(kind).size());
}

void BrowserSandbox::Put(const std::string& relative, const std::string& bytes, const char* fixture) const
{
    for (auto slash = relative.find('\\'); slash != std::string::npos; slash = relative.find('\\', slash + 1))
        CreateDirectoryA(m_sandbox.Path(relative.substr(0, slash)).c_str(), nullptr);
    const std::string source = fixture ? UnixPath(std::string(QUENZO_FIXTURE_DIR) + "/" + fixture + ".sqlite") : "";
    if (fixture)
        ASSERT_TRUE(CopyFileA(source.c_str(), m_sandbox.Path(relative).c_str(), FALSE)) << source;
    else
        m_sandbox.WriteFile(relative, bytes);
}

BrowserRoots BrowserSandbox::Roots() const { return {W(m_sandbox.Path("Local")), W(m_sandbox.Path("Roaming"))}; }

BrowserProfile BrowserSandbox::Profile(BrowserKind kind, const std::string& name) const
{
    for (const BrowserProfile& profile : FindBrowserProfiles(Roots()).profiles)
        if (profile.kind == kind && Narrow949(profile.name) == name)
            return profile;
    ADD_FAILURE() << "no profile " << name << " of " << InfoOf(kind).name;
    return {kind, L"", L"", L""};
}

std::map<std::string, std::string> BrowserSandbox::Files(const std::string& relative) const
{
    std::map<std::string, std::string> files;
    const std::string prefix = relative.empty() ? "" : relative + "\\";
    for (const std::string& name : m_sandbox.List(relative)) {
        const DWORD attributes = GetFileAttributesA(m_sandbox.Path(prefix + name).c_str());
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            files.merge((attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? decltype(files)() : Files(prefix + name));
        else
            files[prefix + name] = m_sandbox.ReadFile(prefix + name);
    }
    return files;
}

std::string BrowserSandbox::Query(const std::string& relative, const std::string& sql) const
{
    sqlite3* db = nullptr;
    std::string rows;
    if (sqlite3_open_v2(m_sandbox.Path(relative).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
        sqlite3_exec(db, sql.c_str(), [](void* out, int columns, char** values, char**) {
                for (int i = 0; i < columns; ++i)
                    *static_cast<std::string*>(out) += std::string(values[i] ? values[i] : "NULL") + "|";
                *static_cast<std::string*>(out) += "\n";
                return 0;
            }, &rows, nullptr);
    sqlite3_close(db);
    return rows;
}
