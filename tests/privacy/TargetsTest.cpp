#include "CPersonalCleaner.h"
#include "Cp949Text.h"
#include "ExactPath.h"
#include "CRegInfo.h"
#include "CleaningRun.h"
#include "FileError.h"
#include "LinkGuard.h"
#include "PrivacyTestSupport.h"
#include "ShellFolders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <shlobj.h>
#include <windows.h>

#include <map>
#include <string>

// These cases work on the Wine user's real folders inside the test prefix (each is checked to lie
// there before anything is put in it). Every name planted starts with "ql-" or is "desktop.ini",
// so what Wine keeps in those folders itself is left out of the checks.
namespace {

using Operation = void (CPersonalCleaner::*)();
constexpr int kTemp = -1;
constexpr int kLegacyHistory = -2;

class TargetsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const int csidl : {CSIDL_INTERNET_CACHE, CSIDL_COOKIES, CSIDL_HISTORY, CSIDL_RECENT, CSIDL_FAVORITES,
                                CSIDL_NETHOOD}) {
            m_folders[csidl] = PrefixShellFolder(csidl);
            ASSERT_FALSE(m_folders[csidl].empty());
        }
        m_folders[kTemp] = PrefixTempFolder();
        ASSERT_FALSE(m_folders[kTemp].empty());
        m_folders[kLegacyHistory] = PrefixLegacyHistoryFolder();
        ASSERT_FALSE(m_folders[kLegacyHistory].empty());
    }

    std::string In(int folder, const std::string& name) { return m_folders.at(folder) + "\\" + name; }

    void MakeFolder(const std::string& path) { ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path; }

    Sandbox m_sandbox;  // first of all: it refuses to run outside the test environment
    QuietSeams m_quiet;
    RecordingEngine m_engine{13};
    CPersonalCleaner m_cleaner{m_engine};
    CRegInfo m_settings;
    std::map<int, std::string> m_folders;
};

}  // namespace

// Every folder target, plain and secure: "desktop.ini" in any letter case stays in the shell
// folders (the secure forms do not wipe it either) and goes in the temporary folder; read-only,
// hidden and nested entries go; the secure forms wipe what they delete, except in Recent and the
// history folders; and a link in the folder, such as a junction in the temporary folder leading
// to the user's documents, costs its target nothing.
TEST_F(TargetsTest, EveryFolderTargetKeepsDesktopIniAndNeverFollowsALink)
{
    const struct {
        const char* name;
        int folder;
        Operation plain;
        Operation secure;
        bool keepsDesktopIni;
        bool secureWipes;
    } targets[] = {
        {"internet cache", CSIDL_INTERNET_CACHE, &CPersonalCleaner::CleanInternetCache,
         &CPersonalCleaner::SecureCleanInternetCache, true, true},
        {"cookies", CSIDL_COOKIES, &CPersonalCleaner::CleanCookies, &CPersonalCleaner::SecureCleanCookies, true, true},
        {"saved passwords", CSIDL_COOKIES, &CPersonalCleaner::CleanSavedPasswords,
         &CPersonalCleaner::SecureCleanSavedPasswords, true, true},
        {"history", CSIDL_HISTORY, &CPersonalCleaner::CleanHistory, &CPersonalCleaner::SecureCleanHistory, true, false},
        {"legacy history", kLegacyHistory, &CPersonalCleaner::CleanHistory, &CPersonalCleaner::SecureCleanHistory, true,
         false},
        {"recent", CSIDL_RECENT, &CPersonalCleaner::CleanRecentDocs, &CPersonalCleaner::SecureCleanRecentDocs, true,
         false},
        {"favourites", CSIDL_FAVORITES, &CPersonalCleaner::CleanFavorites, &CPersonalCleaner::SecureCleanFavorites,
         true, true},
        {"network places", CSIDL_NETHOOD, &CPersonalCleaner::CleanNetHood, &CPersonalCleaner::SecureCleanNetHood, true,
         true},
        {"temporary files", kTemp, &CPersonalCleaner::CleanTempFiles, &CPersonalCleaner::CleanTempFiles, false, false},
    };
    m_sandbox.MakeFolder("Documents");
    m_sandbox.MakeFolder("Documents\\letters");
    m_sandbox.WriteFile("Documents\\letters\\mine.txt", Canary(20000));
    m_sandbox.WriteFile("Documents\\notes.txt", Canary(3000));
    m_sandbox.WriteFile("photo.jpg", Canary(7000));

    int planted = 0;
    for (const auto& target : targets) {
        for (const bool secure : {false, true}) {
            const std::string where = std::string(target.name) + (secure ? " secure" : " plain");
            const int f = target.folder;
            WriteBytes(In(f, "desktop.ini"), "[.ShellClassInfo]");
            MakeFolder(In(f, "ql-sub"));
            WriteBytes(In(f, "ql-sub\\DeskTop.INI"), "[.ShellClassInfo]");
            WriteBytes(In(f, "ql-readonly.txt"), Canary(100));
            SetFileAttributesA(In(f, "ql-readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
            WriteBytes(In(f, "ql-hidden.txt"), Canary(100));
            SetFileAttributesA(In(f, "ql-hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
            MakeFolder(In(f, "ql-tree"));
            MakeFolder(In(f, "ql-tree\\deeper"));
            WriteBytes(In(f, "ql-tree\\deeper\\c.txt"), Canary(100));
            const std::string suffix = std::to_string(++planted);
            PlantLink(m_sandbox, In(f, "ql-documents-" + suffix), "Documents");
            PlantLink(m_sandbox, In(f, "ql-photo-" + suffix), "photo.jpg");
            m_engine.passes.clear();

            (m_cleaner.*(secure ? target.secure : target.plain))();

            EXPECT_EQ(PathExists(In(f, "desktop.ini")), target.keepsDesktopIni) << where;
            EXPECT_EQ(PathExists(In(f, "ql-sub\\DeskTop.INI")), target.keepsDesktopIni) << where;
            if (target.keepsDesktopIni) {
                EXPECT_EQ(ReadAll(In(f, "desktop.ini")), "[.ShellClassInfo]") << where;
                EXPECT_FALSE(m_engine.Wrote(In(f, "desktop.ini"))) << where;
            }
            for (const char* gone : {"ql-readonly.txt", "ql-hidden.txt", "ql-tree"})
                EXPECT_FALSE(PathExists(In(f, gone))) << where << ": " << gone;
            EXPECT_EQ(m_engine.Wrote(In(f, "ql-tree\\deeper\\c.txt")), secure && target.secureWipes) << where;
            EXPECT_EQ(m_sandbox.ReadFile("Documents\\letters\\mine.txt"), Canary(20000)) << where;
            EXPECT_EQ(m_sandbox.ReadFile("Documents\\notes.txt"), Canary(3000)) << where;
            EXPECT_EQ(m_sandbox.ReadFile("photo.jpg"), Canary(7000)) << where;
            if (IsRunningOnWine()) {
                // Windows would remove the links themselves; Wine cannot without hitting the target.
                EXPECT_TRUE(IsLink(W(In(f, "ql-documents-" + suffix)))) << where;
                EXPECT_TRUE(IsLink(W(In(f, "ql-photo-" + suffix)))) << where;
            }
            DeleteFileA(In(f, "desktop.ini").c_str());
            DeleteFileA(In(f, "ql-sub\\DeskTop.INI").c_str());
            RemoveDirectoryA(In(f, "ql-sub").c_str());
        }
    }
}

// Both history folders have their "index.dat" files zero-filled past the 64-byte header before
// the deletion is tried; the other folders' are only deleted. Each file is held open here as a
// browser would, so the deletion fails and what was written can be read back.
TEST_F(TargetsTest, IndexFilesZeroFilledOnlyInTheHistoryFolders)
{
    const struct {
        const char* name;
        int folder;
        Operation operation;
        bool zeroed;
    } cases[] = {
        {"history", CSIDL_HISTORY, &CPersonalCleaner::CleanHistory, true},
        {"history secure", CSIDL_HISTORY, &CPersonalCleaner::SecureCleanHistory, true},
        {"legacy history", kLegacyHistory, &CPersonalCleaner::CleanHistory, true},
        {"internet cache", CSIDL_INTERNET_CACHE, &CPersonalCleaner::CleanInternetCache, false},
        {"cookies", CSIDL_COOKIES, &CPersonalCleaner::CleanCookies, false},
        {"saved passwords", CSIDL_COOKIES, &CPersonalCleaner::CleanSavedPasswords, false},
        {"recent", CSIDL_RECENT, &CPersonalCleaner::CleanRecentDocs, false},
        {"favourites", CSIDL_FAVORITES, &CPersonalCleaner::CleanFavorites, false},
        {"favourites secure", CSIDL_FAVORITES, &CPersonalCleaner::SecureCleanFavorites, false},
        {"temporary files", kTemp, &CPersonalCleaner::CleanTempFiles, false},
    };
    const std::string content = IndexFile(25064);
    for (const auto& c : cases) {
        // A folder of our own: the browser's cache keeps an index of its own in some of these.
        const std::string folder = In(c.folder, "ql-index");
        CreateDirectoryA(folder.c_str(), nullptr);
        const std::string index = folder + "\\index.dat";
        WriteBytes(index, content);
        {
            FileHold hold(index, FileHold::kBrowserSharing);
            ASSERT_TRUE(hold.IsHeld()) << c.name;
            (m_cleaner.*c.operation)();
            EXPECT_EQ(SizeOf(index), 25064) << c.name;
            const std::string after = ReadAll(index);
            EXPECT_EQ(after.substr(0, 64), content.substr(0, 64)) << c.name;
            EXPECT_EQ(after.substr(64), c.zeroed ? std::string(25000, '\0') : content.substr(64)) << c.name;
        }
        // Released, the file goes like any other.
        (m_cleaner.*c.operation)();
        EXPECT_FALSE(PathExists(folder)) << c.name;
    }
}

// A secure run meets a file that another program holds open: it cannot be overwritten, which
// must stop neither the folder's other files nor the targets after it, and it is reported, not
// counted as destroyed.
TEST_F(TargetsTest, SecureRunGoesOnPastAFileThatCannotBeOverwritten)
{
    SetPersnal("1");
    const std::string locked = In(CSIDL_INTERNET_CACHE, "ql-locked.txt");
    WriteBytes(locked, Canary(4000));
    const std::string others[] = {In(CSIDL_INTERNET_CACHE, "ql-a.txt"), In(CSIDL_INTERNET_CACHE, "ql-z.txt"),
                                  In(CSIDL_COOKIES, "ql-cookie.txt"), In(CSIDL_FAVORITES, "ql-link.url")};
    for (const std::string& path : others)
        WriteBytes(path, Canary(1000));
    WriteBytes(In(kTemp, "ql-temp.txt"), Canary(10));

    FileHold hold(locked, FileHold::kBrowserSharing);
    ASSERT_TRUE(hold.IsHeld());
    ASSERT_FALSE(m_engine.WipeFile(W(locked)));  // the fault the run must absorb

    EXPECT_NO_THROW(RunCleaning(m_cleaner, m_settings,
                                CLEAN_INTERNET_CACHE | CLEAN_COOKIES | CLEAN_FAVORITES | CLEAN_TEMP_FILES));
    EXPECT_EQ(ReadAll(locked), Canary(4000));
    // The report holds it beside what else stays (the cache's own index in use, earlier tests' links).
    const auto& remaining = m_cleaner.Remaining();
    EXPECT_NE(std::find(remaining.begin(), remaining.end(), Leftover{W(locked), LeftReason::Overwrite}),
              remaining.end());
    for (const Leftover& leftover : remaining)
        EXPECT_TRUE(PathExists(Narrow949(leftover.path))) << Narrow949(leftover.path);
    for (const std::string& path : others) {
        EXPECT_FALSE(PathExists(path)) << path;
        EXPECT_TRUE(m_engine.Wrote(path)) << path;
    }
    EXPECT_FALSE(PathExists(In(kTemp, "ql-temp.txt")));
}

// The registry half of the recent-documents targets does not depend on the folder half.
TEST_F(TargetsTest, RecentDocsKeyGoesEvenWhenRecentCannotBeResolved)
{
    // Moved aside rather than removed: links that earlier cases left in it must stay links.
    const std::string recent = m_folders.at(CSIDL_RECENT);
    const std::string aside = recent + ".ql-aside";
    ASSERT_TRUE(MoveFileA(recent.c_str(), aside.c_str())) << GetLastError();
    ASSERT_FALSE(ResolveShellFolder(CSIDL_RECENT));

    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
    for (const Operation operation : {&CPersonalCleaner::CleanRecentDocs, &CPersonalCleaner::SecureCleanRecentDocs}) {
        SetValue(key, "MRUListEx", REG_BINARY, std::string("\x00\x00\x00\x00\xff\xff\xff\xff", 8));
        SetValue(std::string(key) + "\\.txt", "0", REG_BINARY, "l\0e\0t\0t\0e\0r\0");
        (m_cleaner.*operation)();
        EXPECT_FALSE(KeyExists(key));
    }
    EXPECT_FALSE(PathExists(recent));
    EXPECT_TRUE(MoveFileA(aside.c_str(), recent.c_str())) << GetLastError();
}

// The temporary folder is only ever deleted, whatever the setting says.
TEST_F(TargetsTest, TempFilesTargetIsTheSameInPlainAndSecureRuns)
{
    for (const char* persnal : {"0", "1"}) {
        SetPersnal(persnal);
        WriteBytes(In(kTemp, "desktop.ini"), "x");
        MakeFolder(In(kTemp, "ql-sub"));
        WriteBytes(In(kTemp, "ql-sub\\DESKTOP.INI"), "x");
        WriteBytes(In(kTemp, "ql-sub\\work.tmp"), Canary(5000));
        WriteBytes(In(kTemp, "ql-top.tmp"), Canary(5000));
        m_engine.passes.clear();

        RunCleaning(m_cleaner, m_settings, CLEAN_TEMP_FILES);

        for (const char* gone : {"desktop.ini", "ql-sub", "ql-top.tmp"})
            EXPECT_FALSE(PathExists(In(kTemp, gone))) << persnal << ": " << gone;
        EXPECT_TRUE(m_engine.passes.empty()) << persnal;
    }
}

// GetTempPathA falls back to the profile or the Windows directory when TMP and TEMP are unset,
// and a shell folder can be redirected anywhere: a folder that is or holds the user's own files
// or the system is never emptied.
TEST_F(TargetsTest, FoldersThatHoldTheUsersFilesAreNeverEmptied)
{
    char profile[MAX_PATH + 1] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, profile, CSIDL_PROFILE, FALSE));
    ASSERT_TRUE(LiesInsidePrefix(profile)) << profile;
    const std::string canary = std::string(profile) + "\\ql-profile-canary.txt";
    WriteBytes(canary, Canary(1234));
    const struct {
        std::string folder;
        bool tooBroad;
    } cases[] = {
        {"C:\\", true}, {"C:", true}, {"C:\\users", true}, {profile, true}, {std::string(profile) + "\\", true},
        {std::string(profile) + "\\AppData", true}, {std::string(profile) + "\\AppData\\Local", true},
        {"C:\\windows", true}, {"c:\\WINDOWS\\system32", true}, {"C:\\Program Files", true},
        {m_folders.at(kTemp), false}, {m_folders.at(CSIDL_INTERNET_CACHE), false}, {m_folders.at(CSIDL_HISTORY), false},
        {m_folders.at(CSIDL_FAVORITES), false}, {m_folders.at(kLegacyHistory), false}, {m_sandbox.Root(), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsTooBroadToEmpty(W(c.folder)), c.tooBroad) << c.folder;

    // The temporary folder as the profile, through the real lookup.
    char oldTmp[MAX_PATH + 1] = {};
    char oldTemp[MAX_PATH + 1] = {};
    GetEnvironmentVariableA("TMP", oldTmp, sizeof(oldTmp));
    GetEnvironmentVariableA("TEMP", oldTemp, sizeof(oldTemp));
    SetEnvironmentVariableA("TMP", profile);
    SetEnvironmentVariableA("TEMP", profile);
    ASSERT_EQ(TemporaryFolder(), std::optional<std::wstring>(W(profile)));
    m_cleaner.CleanTempFiles();
    SetEnvironmentVariableA("TMP", oldTmp[0] ? oldTmp : nullptr);
    SetEnvironmentVariableA("TEMP", oldTemp[0] ? oldTemp : nullptr);
    EXPECT_EQ(ReadAll(canary), Canary(1234));

    // Favourites redirected to the profile, through the shell's own lookup.
    const char* shellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    const RegValues saved = ReadValues(shellFolders);
    SetValue(shellFolders, "Favorites", REG_EXPAND_SZ, profile);
    if (ResolveShellFolder(CSIDL_FAVORITES) == std::optional<std::wstring>(W(profile))) {
        m_cleaner.SecureCleanFavorites();
        m_cleaner.CleanFavorites();
        EXPECT_EQ(ReadAll(canary), Canary(1234));
        EXPECT_TRUE(m_engine.passes.empty());
    } else {
        ADD_FAILURE() << "the shell did not take the redirection";
    }
    if (saved.count("Favorites"))
        SetValue(shellFolders, "Favorites", saved.at("Favorites").type, saved.at("Favorites").data);
    EXPECT_EQ(ResolveShellFolder(CSIDL_FAVORITES), std::optional<std::wstring>(W(m_folders.at(CSIDL_FAVORITES))));
    DeleteFileA(canary.c_str());
}
