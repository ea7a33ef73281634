// Tried as an attacker would: names that code page 949 best-fits or Windows normalises, links
// swapped in during a run, hard links, and paths that name nothing in particular. Canaries beside,
// above and behind every target must survive byte for byte, and every leftover must be true.
#include "Cp949Text.h"
#include "EngineTestSupport.h"
#include "ExactPath.h"
#include "Sandbox.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kSeed = 777;

void ExpectLeftoversExist(const WipeResult& result)
{
    for (const Leftover& leftover : result.leftovers)
        EXPECT_NE(GetFileAttributesW(Extended(leftover.path).c_str()), INVALID_FILE_ATTRIBUTES)
            << Narrow949(leftover.path);
}

}  // namespace

// Listed narrowly, "..₩victim" came back as "..\victim" and the wipe destroyed the folder's
// sibling; an emoji name came back with "?" and was deleted without an overwrite.
TEST(Safety, NamesInsideAFolderAreWipedByTheirExactNames)
{
    Sandbox sandbox;
    sandbox.WriteFile("victim", Canary(900));
    sandbox.MakeFolder("chosen");
    for (const wchar_t* name : {L"chosen\\..\u20A9victim", L"chosen\\emoji\U0001F600.txt", L"chosen\\trailing.",
                                L"chosen\\blank ", L"chosen\\CON", L"chosen\\퀜조"})
        sandbox.WriteFileW(name, Canary(300));
    sandbox.MakeFolderW(L"chosen\\folder.");
    sandbox.WriteFileW(L"chosen\\folder.\\inside", Canary(300));
    RecordingEngine engine(13);
    FastPinnedSeams seams(kSeed, &engine);

    const WipeResult result = engine.WipeFolder(W(sandbox.Path("chosen")));

    EXPECT_EQ(result.leftovers, std::vector<Leftover>{});
    EXPECT_TRUE(result);
    EXPECT_EQ(engine.passes.size(), 7u * 10u);
    for (const PassRecord& pass : engine.passes)
        EXPECT_TRUE(pass.ok) << pass.path;
    EXPECT_EQ(sandbox.List(), (std::vector<std::string>{"victim"}));
    EXPECT_EQ(sandbox.ReadFile("victim"), Canary(900));
}

// A chosen name with a trailing dot or blank is that entry, never its normalised neighbour
// (wiping "data." used to destroy "data" and report success).
TEST(Safety, ChosenNamesAreNotNormalised)
{
    const struct {
        const wchar_t* chosen;
        const wchar_t* neighbour;
        bool folder;
    } cases[] = {
        {L"data.", L"data", true},
        {L"data ", L"data", true},
        {L"note.txt.", L"note.txt", false},
        {L"note.txt ", L"note.txt", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow949(c.chosen));
        Sandbox sandbox;
        const std::wstring canary = c.folder ? std::wstring(c.neighbour) + L"\\canary" : c.neighbour;
        if (c.folder) {
            sandbox.MakeFolderW(c.neighbour);
            sandbox.MakeFolderW(c.chosen);
            sandbox.WriteFileW(std::wstring(c.chosen) + L"\\mine", Canary(100));
        } else {
            sandbox.WriteFileW(c.chosen, Canary(100));
        }
        sandbox.WriteFileW(canary, Canary(700));
        CSDEngine engine([] { return 12; });
        FastPinnedSeams seams(kSeed);

        const std::wstring path = sandbox.PathW(c.chosen);
        const WipeResult result = c.folder ? engine.WipeFolder(path) : engine.WipeFile(path);

        EXPECT_TRUE(result);
        EXPECT_EQ(sandbox.ListW(), (std::vector<std::wstring>{c.neighbour}));
        EXPECT_EQ(sandbox.ReadFileW(canary), Canary(700));
    }
}

// A subfolder swapped for a link to another folder after the walk listed it: nothing behind the
// link is written, moved or deleted (its target used to be moved into the tree and deleted).
TEST(Safety, FolderSwappedForALinkDuringTheRunLeadsNowhere)
{
    Sandbox sandbox;
    sandbox.MakeFolder("outside");
    sandbox.MakeFolder("chosen");
    sandbox.MakeFolder("chosen\\sub");
    for (const char* name : {"a.txt", "b.txt"}) {
        sandbox.WriteFile(std::string("outside\\") + name, Canary(5000));
        sandbox.WriteFile(std::string("chosen\\sub\\") + name, Canary(64));
    }
    RecordingEngine engine(13);
    FastPinnedSeams seams(kSeed, &engine);
    engine.beforePass = [&](std::size_t index, const std::string&) {
        if (index != 0)
            return;
        ASSERT_TRUE(MoveFileA(sandbox.Path("chosen\\sub").c_str(), sandbox.Path("moved").c_str()));
        sandbox.MakeSymlink("chosen\\sub", "outside");
    };

    const WipeResult result = engine.WipeFolder(W(sandbox.Path("chosen")));

    EXPECT_FALSE(result);
    ExpectLeftoversExist(result);
    EXPECT_EQ(sandbox.List("outside"), (std::vector<std::string>{"a.txt", "b.txt"}));
    for (const char* name : {"a.txt", "b.txt"})
        EXPECT_EQ(sandbox.ReadFile(std::string("outside\\") + name), Canary(5000)) << name;
    for (const PassRecord& pass : engine.passes)
        EXPECT_FALSE(pass.ok) << pass.path;
}

// Where a file must land is fixed once per wipe. A schedule keeps the file open from its first
// pass to its last, so a parent folder swapped for a link between two passes changes nothing
// under the passes: they all reach the chosen file, and the rename, which goes by the path again,
// refuses what now lands elsewhere. Nothing behind the link is touched.
TEST(Safety, ParentSwappedBetweenPassesLeadsNowhere)
{
    Sandbox sandbox;
    sandbox.MakeFolder("outside");
    sandbox.WriteFile("outside\\f.txt", Canary(7000));
    sandbox.MakeFolder("dir");
    sandbox.WriteFile("dir\\f.txt", Canary(100));
    RecordingEngine engine(2);
    FastPinnedSeams seams(kSeed, &engine);
    engine.beforePass = [&](std::size_t index, const std::string&) {
        if (index != 1)
            return;
        ASSERT_TRUE(MoveFileA(sandbox.Path("dir").c_str(), sandbox.Path("moved").c_str()));
        sandbox.MakeSymlink("dir", "outside");
    };

    const WipeResult result = engine.WipeFile(W(sandbox.Path("dir\\f.txt")));

    EXPECT_EQ(result.leftovers, (std::vector<Leftover>{{W(sandbox.Path("dir\\f.txt")), LeftReason::Link}}));
    ASSERT_EQ(engine.passes.size(), 11u);  // method 2's ten passes and the closing pass, no final step
    for (const PassRecord& pass : engine.passes)
        EXPECT_TRUE(pass.ok);
    EXPECT_EQ(sandbox.ReadFile("outside\\f.txt"), Canary(7000));
    EXPECT_EQ(sandbox.List("outside"), std::vector<std::string>{"f.txt"});
    EXPECT_EQ(sandbox.ReadFile("moved\\f.txt"), Repeat(0x00, 100));
}

// Between the passes of a schedule nobody else can open the file: it cannot be read, written,
// moved or deleted until its passes are done (it used to be open to anyone between two passes).
TEST(Safety, BetweenPassesNobodyElseCanOpenTheFile)
{
    Sandbox sandbox;
    sandbox.WriteFile("f.txt", Canary(3000));
    const std::string path = sandbox.Path("f.txt");
    RecordingEngine engine;
    FastPinnedSeams seams(kSeed, &engine);
    std::vector<std::pair<const char*, bool>> attempts;
    engine.beforePass = [&](std::size_t index, const std::string&) {
        if (index != 1)
            return;
        for (const auto& [what, access] : {std::pair{"open for reading", GENERIC_READ},
                                           std::pair{"open for writing", static_cast<DWORD>(GENERIC_WRITE)}}) {
            const HANDLE other = CreateFileA(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
            attempts.emplace_back(what, other != INVALID_HANDLE_VALUE);
            if (other != INVALID_HANDLE_VALUE)
                CloseHandle(other);
        }
        attempts.emplace_back("move", MoveFileA(path.c_str(), sandbox.Path("elsewhere").c_str()) != FALSE);
        attempts.emplace_back("delete", DeleteFileA(path.c_str()) != FALSE);
    };

    ASSERT_TRUE(engine.RunSchedule(At(path), 13));

    ASSERT_EQ(attempts.size(), 4u);
    for (const auto& [what, succeeded] : attempts)
        EXPECT_FALSE(succeeded) << what;
    ASSERT_EQ(engine.passes.size(), 2u);
    EXPECT_EQ(engine.passes[0].fileAfter, Repeat(0xFF, 3000));
    EXPECT_EQ(sandbox.List(), std::vector<std::string>{"f.txt"});
    EXPECT_EQ(sandbox.ReadFile("f.txt"), Repeat(0x00, 3000));
}

// The data of a file with a second name elsewhere belongs to that name too: it is not overwritten
// (it used to be), and the file is reported.
TEST(Safety, HardLinkedFilesAreLeftAndReported)
{
    Sandbox sandbox;
    sandbox.WriteFile("shared", Canary(4000));
    sandbox.MakeFolder("chosen");
    ASSERT_TRUE(CreateHardLinkA(sandbox.Path("chosen\\second").c_str(), sandbox.Path("shared").c_str(), nullptr));
    CSDEngine engine([] { return 13; });
    FastPinnedSeams seams(kSeed);

    EXPECT_EQ(engine.WipeFile(W(sandbox.Path("chosen\\second"))).leftovers,
              (std::vector<Leftover>{{W(sandbox.Path("chosen\\second")), LeftReason::HardLinks}}));
    const WipeResult folder = engine.WipeFolder(W(sandbox.Path("chosen")));
    EXPECT_EQ(folder.leftovers, (std::vector<Leftover>{{W(sandbox.Path("chosen\\second")), LeftReason::HardLinks},
                                                       {W(sandbox.Path("chosen")), LeftReason::NotEmpty}}));
    EXPECT_EQ(sandbox.ReadFile("shared"), Canary(4000));
    EXPECT_EQ(sandbox.ReadFile("chosen\\second"), Canary(4000));
}

// Paths that name nothing in particular are refused by the operations themselves; a relative name
// used to reach the current folder, and an empty one counted as destroyed.
TEST(Safety, PathsThatAreNotWholeAreRefused)
{
    Sandbox sandbox;  // also the current folder
    sandbox.WriteFile("relative.txt", Canary(80));
    sandbox.MakeFolder("folder");
    sandbox.WriteFile("folder\\inside", Canary(80));
    CSDEngine engine([] { return 13; });
    FastPinnedSeams seams(kSeed);
    const std::wstring refused[] = {
        L"",
        L"relative.txt",
        L"C:relative.txt",
        L"C:\\",
        L"\\\\?\\unix\\tmp",
        W(sandbox.Path("folder")) + L"\\..\\relative.txt",
    };
    for (const std::wstring& path : refused) {
        SCOPED_TRACE(Narrow949(path));
        EXPECT_EQ(engine.WipeFile(path).leftovers, (std::vector<Leftover>{{path, LeftReason::InvalidPath}}));
        EXPECT_EQ(engine.WipeFolder(path).leftovers, (std::vector<Leftover>{{path, LeftReason::InvalidPath}}));
    }
    // A folder handed to the file wipe used to be moved to a scrambled name.
    EXPECT_EQ(engine.WipeFile(W(sandbox.Path("folder"))).leftovers,
              (std::vector<Leftover>{{W(sandbox.Path("folder")), LeftReason::WrongKind}}));
    EXPECT_EQ(sandbox.List(), (std::vector<std::string>{"folder", "relative.txt"}));
    EXPECT_EQ(sandbox.ReadFile("relative.txt"), Canary(80));
    EXPECT_EQ(sandbox.ReadFile("folder\\inside"), Canary(80));
}
