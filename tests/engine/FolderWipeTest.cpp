#include "Cp949Text.h"
#include "EngineTestSupport.h"
#include "FileHelpers.h"
#include "ExactPath.h"
#include "Sandbox.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kSeed = 424242;

std::vector<std::string> FirstPassPaths(const RecordingEngine& engine)
{
    // Method 13 writes 2 passes under the old name, then 8 under the scrambled one.
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < engine.passes.size(); i += 10)
        paths.push_back(engine.passes[i].path);
    return paths;
}

}  // namespace

TEST(WipeFolder, DestroysTheTreeFilesDeepestFirst)
{
    Sandbox sandbox;
    for (const char* folder : {"A", "A\\B", "A\\B\\C", "A\\.hidden", "A\\empty"})
        sandbox.MakeFolder(folder);
    ASSERT_TRUE(SetFileAttributesA(sandbox.Path("A\\.hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
    for (const char* file : {"A\\a.txt", "A\\B\\b.txt", "A\\B\\C\\c.txt"})
        sandbox.WriteFile(file, Canary(777));
    sandbox.WriteFile("A\\.hidden\\h", Canary(5));
    RecordingEngine engine(13);
    FastPinnedSeams seams(kSeed, &engine);

    // Given as the user might type it, with a trailing backslash.
    EXPECT_TRUE(engine.WipeFolder(W(sandbox.Path("A") + "\\")));

    ASSERT_EQ(engine.passes.size(), 40u);
    const auto order = FirstPassPaths(engine);
    EXPECT_EQ(order.back(), sandbox.Path("A\\a.txt"));
    EXPECT_LT(std::find(order.begin(), order.end(), sandbox.Path("A\\B\\C\\c.txt")),
              std::find(order.begin(), order.end(), sandbox.Path("A\\B\\b.txt")));
    EXPECT_EQ(engine.passes[0].fileAfter, Repeat(0xFF, engine.passes[0].fileAfter.size()));
    EXPECT_TRUE(sandbox.List().empty());
}

// A locked file cannot be overwritten: it stays untouched, and so does every folder above it,
// under its own name, so that the report says truly where it is. The rest goes.
TEST(WipeFolder, LockedFileStaysWithItsFoldersAndIsReported)
{
    Sandbox sandbox;
    for (const char* folder : {"A", "A\\B", "A\\B\\C", "A\\other"})
        sandbox.MakeFolder(folder);
    sandbox.WriteFile("A\\B\\C\\locked.txt", Canary(1000));
    sandbox.WriteFile("A\\B\\free.txt", Canary(1000));
    sandbox.WriteFile("A\\other\\free.txt", Canary(1000));
    RecordingEngine engine(13);
    FastPinnedSeams seams(kSeed, &engine);

    WipeResult result;
    {
        FileHold hold(sandbox.Path("A\\B\\C\\locked.txt"));
        ASSERT_TRUE(hold.IsHeld());
        result = engine.WipeFolder(W(sandbox.Path("A")));
    }
    EXPECT_FALSE(result);
    EXPECT_EQ(result.leftovers, (std::vector<Leftover>{{W(sandbox.Path("A\\B\\C\\locked.txt")), LeftReason::Overwrite},
                                                       {W(sandbox.Path("A\\B\\C")), LeftReason::NotEmpty},
                                                       {W(sandbox.Path("A\\B")), LeftReason::NotEmpty},
                                                       {W(sandbox.Path("A")), LeftReason::NotEmpty}}));
    EXPECT_EQ(sandbox.List("A"), (std::vector<std::string>{"B"}));
    EXPECT_EQ(sandbox.List("A\\B"), (std::vector<std::string>{"C"}));
    EXPECT_EQ(sandbox.ReadFile("A\\B\\C\\locked.txt"), Canary(1000));
}

TEST(WipeFolder, EmptyMissingAndNonFolderPaths)
{
    Sandbox sandbox;
    CSDEngine engine([] { return 13; });
    FastPinnedSeams seams(kSeed);

    sandbox.MakeFolder("empty");
    EXPECT_EQ(engine.WipeFolder(W(sandbox.Path("empty"))).leftovers, std::vector<Leftover>{});
    EXPECT_TRUE(engine.WipeFolder(W(sandbox.Path("never-was"))));
    // A file handed here would have been moved and deleted without a single overwrite.
    sandbox.WriteFile("file.txt", Canary(50));
    EXPECT_EQ(engine.WipeFolder(W(sandbox.Path("file.txt"))).leftovers,
              (std::vector<Leftover>{{W(sandbox.Path("file.txt")), LeftReason::WrongKind}}));
    EXPECT_EQ(sandbox.List(), (std::vector<std::string>{"file.txt"}));
    EXPECT_EQ(sandbox.ReadFile("file.txt"), Canary(50));
}

// Whatever links the tree holds, nothing outside the chosen folder changes. Under Wine the links
// and the folders holding them stay (the shell would follow them out); the rest is destroyed.
TEST(WipeFolder, LinksNeverLeadOutsideTheChosenFolder)
{
    Sandbox sandbox;
    sandbox.MakeFolder("outside");
    sandbox.MakeFolder("outside\\dir");
    sandbox.WriteFile("outside\\canary.txt", Canary(30000));
    sandbox.WriteFile("outside\\dir\\inner.txt", Canary(4000));
    for (const char* folder : {"chosen", "chosen\\holds", "chosen\\plain"})
        sandbox.MakeFolder(folder);
    sandbox.WriteFile("chosen\\holds\\mine.txt", Canary(100));
    sandbox.WriteFile("chosen\\plain\\mine.txt", Canary(100));
    sandbox.WriteFile("chosen\\top.txt", Canary(100));
    sandbox.MakeSymlink("chosen\\holds\\filelink", "outside\\canary.txt");
    sandbox.MakeSymlink("chosen\\dirlink", "outside\\dir");
    sandbox.MakeSymlink("chosen\\parentlink", "");
    RecordingEngine engine(1);
    FastPinnedSeams seams(kSeed, &engine);

    const WipeResult result = engine.WipeFolder(W(sandbox.Path("chosen")));
    EXPECT_FALSE(result);
    for (const Leftover& leftover : result.leftovers)
        EXPECT_NE(GetFileAttributesW(Extended(leftover.path).c_str()), INVALID_FILE_ATTRIBUTES) << Narrow949(leftover.path);

    EXPECT_EQ(sandbox.ReadFile("outside\\canary.txt"), Canary(30000));
    EXPECT_EQ(sandbox.ReadFile("outside\\dir\\inner.txt"), Canary(4000));
    EXPECT_EQ(sandbox.List("outside"), (std::vector<std::string>{"canary.txt", "dir"}));
    EXPECT_EQ(sandbox.List("outside\\dir"), (std::vector<std::string>{"inner.txt"}));
    EXPECT_EQ(sandbox.List(), (std::vector<std::string>{"chosen", "outside"}));
    EXPECT_EQ(sandbox.List("chosen"), (std::vector<std::string>{"dirlink", "holds", "parentlink"}));
    EXPECT_EQ(sandbox.List("chosen\\holds"), (std::vector<std::string>{"filelink"}));
    for (const PassRecord& pass : engine.passes)
        EXPECT_EQ(pass.path.find(sandbox.Path("outside")), std::string::npos) << pass.path;

    // A chosen folder that is itself a link is left alone with its target.
    sandbox.MakeSymlink("chosenlink", "outside");
    EXPECT_EQ(engine.WipeFolder(W(sandbox.Path("chosenlink"))).leftovers,
              (std::vector<Leftover>{{W(sandbox.Path("chosenlink")), LeftReason::Link}}));
    EXPECT_EQ(sandbox.List("outside"), (std::vector<std::string>{"canary.txt", "dir"}));
    EXPECT_EQ(sandbox.ReadFile("outside\\canary.txt"), Canary(30000));
}

// A tree deeper than MAX_PATH is destroyed through the wide paths, scrambled names included,
// and no path is cut short into another one.
TEST(WipeFolder, PathsBeyondMaxPathAreDestroyedWhole)
{
    Sandbox sandbox;
    sandbox.WriteFile("neighbour.txt", Canary(64));
    sandbox.MakeFolder("chosen");
    sandbox.WriteFile("chosen\\short.txt", Canary(64));
    std::wstring deep = L"chosen";
    for (int i = 0; i < 5; ++i) {
        deep += L"\\" + std::wstring(60, L'd');
        sandbox.MakeFolderW(deep);
    }
    sandbox.WriteFileW(deep + L"\\deep.txt", "deep");
    ASSERT_GT(sandbox.PathW(deep + L"\\deep.txt").size(), static_cast<std::size_t>(MAX_PATH));

    CSDEngine engine([] { return 13; });
    FastPinnedSeams seams(kSeed);
    const WipeResult result = engine.WipeFolder(W(sandbox.Path("chosen")));
    EXPECT_EQ(result.leftovers, std::vector<Leftover>{});
    EXPECT_TRUE(result);
    EXPECT_EQ(sandbox.List(), (std::vector<std::string>{"neighbour.txt"}));
    EXPECT_EQ(sandbox.ReadFile("neighbour.txt"), Canary(64));
}
