#include "FolderPurge.h"
#include "LinkGuard.h"
#include "PrivacyTestSupport.h"
#include "Sandbox.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

void SetAttributes(const Sandbox& sandbox, const std::string& relative, DWORD attributes)
{
    ASSERT_TRUE(SetFileAttributesA(sandbox.Path(relative).c_str(), attributes)) << relative;
}

}  // namespace

// The tree goes from the bottom up whatever its attributes; the folder handed over stays.
TEST(PurgeFolder, EmptiesTheTreeButKeepsTheFolder)
{
    Sandbox sandbox;
    sandbox.MakeFolder("top");
    sandbox.MakeFolder("top\\sub");
    sandbox.MakeFolder("top\\sub\\deeper");
    sandbox.MakeFolder("top\\ro-folder");
    sandbox.WriteFile("top\\plain.txt", "a");
    sandbox.WriteFile("top\\readonly.txt", "b");
    sandbox.WriteFile("top\\hidden-system.txt", "c");
    sandbox.WriteFile("top\\sub\\deeper\\readonly.txt", "d");
    sandbox.WriteFile("top\\ro-folder\\x", "e");
    sandbox.WriteFile("top\\\xB1\xB8\xB0\xDD.txt", "f");  // a Korean name in code page 949
    SetAttributes(sandbox, "top\\readonly.txt", FILE_ATTRIBUTE_READONLY);
    SetAttributes(sandbox, "top\\hidden-system.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    SetAttributes(sandbox, "top\\sub\\deeper\\readonly.txt", FILE_ATTRIBUTE_READONLY);
    SetAttributes(sandbox, "top\\ro-folder", FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(PurgeFolder(W(sandbox.Path("top")), false, false));
    EXPECT_TRUE(sandbox.Exists("top"));
    EXPECT_EQ(sandbox.List("top"), Names{});
}

// Names that code page 949 cannot hold or that the narrow functions normalise are deleted by
// their exact names; "..₩victim" used to be listed as "..\victim" and delete the folder's neighbour.
TEST(PurgeFolder, DeletesByExactNamesOnly)
{
    Sandbox sandbox;
    sandbox.WriteFile("victim", Canary(600));
    sandbox.MakeFolder("top");
    for (const wchar_t* name : {L"top\\..\u20A9victim", L"top\\emoji\U0001F600", L"top\\dot.", L"top\\CON"})
        sandbox.WriteFileW(name, "x");
    sandbox.MakeFolderW(L"top\\folder ");
    sandbox.WriteFileW(L"top\\folder \\inside", "x");

    EXPECT_TRUE(PurgeFolder(W(sandbox.Path("top")), true, true));
    EXPECT_EQ(sandbox.ListW(L"top"), std::vector<std::wstring>{});
    EXPECT_EQ(sandbox.ReadFile("victim"), Canary(600));
}

// "desktop.ini" in any letter case, file or folder, stays unless the caller asks for it to go,
// and so do the folders that hold one. The folder may be given with its trailing backslash.
TEST(PurgeFolder, DesktopIniKeptUnlessAsked)
{
    const struct {
        bool deleteDesktopIni;
        bool trailingBackslash;
        Names top;
        Names sub;
    } cases[] = {
        // A folder of that name is kept whole, with what it holds, so "other" cannot go either.
        {false, false, {"desktop.ini", "other", "sub"}, {"DeskTop.INI"}},
        {false, true, {"desktop.ini", "other", "sub"}, {"DeskTop.INI"}},
        {true, false, {}, {}},
    };
    for (const auto& c : cases) {
        Sandbox sandbox;
        sandbox.MakeFolder("top");
        sandbox.MakeFolder("top\\sub");
        sandbox.MakeFolder("top\\other");
        sandbox.MakeFolder("top\\other\\DESKTOP.INI");
        sandbox.WriteFile("top\\desktop.ini", "[.ShellClassInfo]");
        sandbox.WriteFile("top\\sub\\DeskTop.INI", "[.ShellClassInfo]");
        sandbox.WriteFile("top\\sub\\gone.txt", "x");
        sandbox.WriteFile("top\\desktop.ini.bak", "x");
        sandbox.WriteFile("top\\other\\DESKTOP.INI\\inside", "x");
        const std::string folder = sandbox.Path("top") + (c.trailingBackslash ? "\\" : "");
        EXPECT_TRUE(PurgeFolder(W(folder), c.deleteDesktopIni, false));
        EXPECT_EQ(sandbox.List("top"), c.top) << c.deleteDesktopIni << c.trailingBackslash;
        if (!c.deleteDesktopIni) {
            EXPECT_EQ(sandbox.List("top\\sub"), c.sub);
            EXPECT_EQ(sandbox.ReadFile("top\\desktop.ini"), "[.ShellClassInfo]");
            EXPECT_EQ(sandbox.List("top\\other\\DESKTOP.INI"), Names{"inside"});
        }
    }
}

TEST(PurgeFolder, FolderThatCannotBeListedIsReportedAndUntouched)
{
    Sandbox sandbox;
    sandbox.WriteFile("file", "x");
    EXPECT_FALSE(PurgeFolder(W(sandbox.Path("missing")), true, true));
    EXPECT_FALSE(PurgeFolder(W(sandbox.Path("file")), true, true));
    EXPECT_EQ(sandbox.ReadFile("file"), "x");
}

// Only a purge told to treats "index.dat" (any case, any depth); a file in use stays as written.
TEST(PurgeFolder, IndexFilesZeroFilledOnlyWhenAsked)
{
    for (const bool zero : {false, true}) {
        Sandbox sandbox;
        sandbox.MakeFolder("top");
        sandbox.MakeFolder("top\\sub");
        const std::string content = IndexFile(300);
        for (const char* name : {"top\\index.dat", "top\\sub\\INDEX.DAT", "top\\index.dat.old"})
            sandbox.WriteFile(name, content);
        FileHold a(sandbox.Path("top\\index.dat"), FileHold::kBrowserSharing);
        FileHold b(sandbox.Path("top\\sub\\INDEX.DAT"), FileHold::kBrowserSharing);
        FileHold c(sandbox.Path("top\\index.dat.old"), FileHold::kBrowserSharing);
        ASSERT_TRUE(a.IsHeld() && b.IsHeld() && c.IsHeld());

        EXPECT_TRUE(PurgeFolder(W(sandbox.Path("top")), true, zero));
        const std::string zeroed = content.substr(0, 64) + std::string(236, '\0');
        EXPECT_EQ(sandbox.ReadFile("top\\index.dat"), zero ? zeroed : content) << zero;
        EXPECT_EQ(sandbox.ReadFile("top\\sub\\INDEX.DAT"), zero ? zeroed : content) << zero;
        EXPECT_EQ(sandbox.ReadFile("top\\index.dat.old"), content) << zero;
    }
}

// A link found in a purged folder is never entered, cleared, zero-filled or deleted through: Wine
// lists a link to a file as a plain file and deleting it there deletes its target.
TEST(PurgeFolder, NeverFollowsALink)
{
    Sandbox sandbox;
    sandbox.MakeFolder("elsewhere");
    sandbox.MakeFolder("elsewhere\\docs");
    sandbox.WriteFile("elsewhere\\docs\\letter.txt", Canary(5000));
    sandbox.WriteFile("elsewhere\\index-target", IndexFile(400));
    sandbox.WriteFile("elsewhere\\readonly-target", Canary(10));
    SetAttributes(sandbox, "elsewhere\\readonly-target", FILE_ATTRIBUTE_READONLY);
    sandbox.MakeFolder("top");
    sandbox.MakeFolder("top\\sub");
    sandbox.MakeSymlink("top\\docs-link", "elsewhere\\docs");
    sandbox.MakeSymlink("top\\sub\\file-link", "elsewhere\\docs\\letter.txt");
    sandbox.MakeSymlink("top\\index.dat", "elsewhere\\index-target");
    sandbox.MakeSymlink("top\\readonly-link", "elsewhere\\readonly-target");
    sandbox.WriteFile("top\\sub\\own.txt", "x");

    EXPECT_TRUE(PurgeFolder(W(sandbox.Path("top")), true, true));

    EXPECT_EQ(sandbox.List("elsewhere\\docs"), Names{"letter.txt"});
    EXPECT_EQ(sandbox.ReadFile("elsewhere\\docs\\letter.txt"), Canary(5000));
    EXPECT_EQ(sandbox.ReadFile("elsewhere\\index-target"), IndexFile(400));
    EXPECT_EQ(GetFileAttributesA(sandbox.Path("elsewhere\\readonly-target").c_str()) & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(sandbox.Exists("top\\sub\\own.txt"));
    if (IsRunningOnWine()) {
        // The links stay, and with them the folder that holds one.
        EXPECT_EQ(sandbox.List("top"), (Names{"docs-link", "index.dat", "readonly-link", "sub"}));
        EXPECT_EQ(sandbox.List("top\\sub"), Names{"file-link"});
    } else {
        EXPECT_EQ(sandbox.List("top"), Names{});
    }
}

// The header stays, everything after it becomes zero, and the size never changes. Only a file
// that says it is an index file of that size is touched: anything else named so (another
// program's file, a header of another size, one no longer than its header) is left exactly as it
// was; all of them used to be zero-filled.
TEST(ZeroIndexFile, ZeroFillsOnlyAnIndexFilePastItsHeader)
{
    Sandbox sandbox;
    for (const std::size_t size : {65u, 10064u, 10065u, 20064u, 25064u, 30065u}) {
        const std::string name = "index" + std::to_string(size) + ".dat";
        const std::string content = IndexFile(size);
        sandbox.WriteFile(name, content);
        EXPECT_TRUE(ZeroIndexFile(W(sandbox.Root()), W(name))) << size;
        EXPECT_EQ(sandbox.ReadFile(name), content.substr(0, 64) + std::string(size - 64, '\0')) << size;
    }
    const struct {
        const char* what;
        std::string content;
    } refused[] = {
        {"empty", ""},
        {"header only", IndexFile(64)},
        {"another signature", IndexFile(5000, "Client UrlCache MMF Ver")},
        {"plain data", Canary(5000)},
        {"another size", IndexFile(5000).substr(0, 4000)},
    };
    for (const auto& c : refused) {
        sandbox.WriteFile("index.dat", c.content);
        EXPECT_FALSE(ZeroIndexFile(W(sandbox.Root()), L"index.dat")) << c.what;
        EXPECT_EQ(sandbox.ReadFile("index.dat"), c.content) << c.what;
    }
}

TEST(ZeroIndexFile, RefusesWhatItCannotOpenOrWhatLeadsElsewhere)
{
    Sandbox sandbox;
    sandbox.WriteFile("target", IndexFile(500));
    sandbox.MakeSymlink("index.dat", "target");
    EXPECT_FALSE(ZeroIndexFile(W(sandbox.Root()), L"index.dat"));
    EXPECT_FALSE(ZeroIndexFile(W(sandbox.Root()), L"missing.dat"));
    EXPECT_EQ(sandbox.ReadFile("target"), IndexFile(500));
}
