#include "Cmd5Capi.h"
#include "EngineTestSupport.h"
#include "Sandbox.h"
#include "Seams.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kSeed = 424242;

std::string Md5(const std::string& text) { return Cmd5Capi().HashToHex(text); }

// Records every prompt and answers OK; restores the platform's boxes afterwards.
class RecordedPrompts {
public:
    RecordedPrompts()
    {
        seams::SetPromptHandler([this](const seams::Prompt& prompt) {
            prompts.push_back(prompt);
            return IDOK;
        });
    }
    ~RecordedPrompts() { seams::SetPromptHandler({}); }
    std::vector<seams::Prompt> prompts;
};

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
    RecordedPrompts prompts;

    // Given as the user might type it, with a trailing backslash and blank.
    EXPECT_TRUE(engine.WipeFolder(sandbox.Path("A") + "\\ "));

    ASSERT_EQ(engine.passes.size(), 40u);
    const auto order = FirstPassPaths(engine);
    EXPECT_EQ(order.back(), sandbox.Path("A\\a.txt"));
    EXPECT_LT(std::find(order.begin(), order.end(), sandbox.Path("A\\B\\C\\c.txt")),
              std::find(order.begin(), order.end(), sandbox.Path("A\\B\\b.txt")));
    EXPECT_EQ(engine.passes[0].fileAfter, Repeat(0xFF, engine.passes[0].fileAfter.size()));
    EXPECT_TRUE(sandbox.List().empty());
    EXPECT_TRUE(prompts.prompts.empty());
}

// A locked file cannot be destroyed: it stays untouched, and every folder above it stays under
// its scrambled name in its parent, which shows each was moved there deepest first. The rest goes.
TEST(WipeFolder, LockedFileStaysWithItsFoldersUnderScrambledNames)
{
    Sandbox sandbox;
    for (const char* folder : {"A", "A\\B", "A\\B\\C", "A\\other"})
        sandbox.MakeFolder(folder);
    sandbox.WriteFile("A\\B\\C\\locked.txt", Canary(1000));
    sandbox.WriteFile("A\\B\\free.txt", Canary(1000));
    sandbox.WriteFile("A\\other\\free.txt", Canary(1000));
    RecordingEngine engine(13);
    FastPinnedSeams seams(kSeed, &engine);
    RecordedPrompts prompts;

    bool gone = true;
    const std::string a = sandbox.Path("A");
    {
        ExclusiveHold hold(sandbox.Path("A\\B\\C\\locked.txt"));
        ASSERT_TRUE(hold.IsHeld());
        gone = engine.WipeFolder(a);
    }
    EXPECT_FALSE(gone);

    const std::string moved = Md5(a) + "\\" + Md5(a + "\\B") + "\\" + Md5(a + "\\B\\C");
    EXPECT_EQ(sandbox.List(), (std::vector<std::string>{Md5(a)}));
    EXPECT_EQ(sandbox.List(Md5(a)), (std::vector<std::string>{Md5(a + "\\B")}));
    EXPECT_EQ(sandbox.List(moved), (std::vector<std::string>{"locked.txt"}));
    EXPECT_EQ(sandbox.ReadFile(moved + "\\locked.txt"), Canary(1000));
}

TEST(WipeFolder, EmptyMissingAndNonFolderPaths)
{
    Sandbox sandbox;
    CSDEngine engine([] { return 13; });
    FastPinnedSeams seams(kSeed);

    sandbox.MakeFolder("empty");
    EXPECT_TRUE(engine.WipeFolder(sandbox.Path("empty")));
    EXPECT_TRUE(engine.WipeFolder(sandbox.Path("never-was")));
    // A file handed here would have been deleted by the shell without a single overwrite.
    sandbox.WriteFile("file.txt", Canary(50));
    EXPECT_FALSE(engine.WipeFolder(sandbox.Path("file.txt")));
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
    RecordedPrompts prompts;

    EXPECT_FALSE(engine.WipeFolder(sandbox.Path("chosen")));

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
    EXPECT_FALSE(engine.WipeFolder(sandbox.Path("chosenlink")));
    EXPECT_EQ(sandbox.List("outside"), (std::vector<std::string>{"canary.txt", "dir"}));
    EXPECT_EQ(sandbox.ReadFile("outside\\canary.txt"), Canary(30000));
}

// Below a path too long for the platform nothing can be listed or vouched for: the wipe reports
// the folder as remaining, and no path is cut short into another one.
TEST(WipeFolder, PathTooLongFailsCleanly)
{
    Sandbox sandbox;
    sandbox.WriteFile("neighbour.txt", Canary(64));
    sandbox.MakeFolder("chosen");
    sandbox.WriteFile("chosen\\short.txt", Canary(64));
    std::wstring deep = L"\\\\?\\";
    for (char c : sandbox.Path("chosen"))
        deep += static_cast<wchar_t>(c);
    const std::wstring segment(60, L'd');
    for (int i = 0; i < 5; ++i) {
        deep += L"\\" + segment;
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    }
    const std::wstring deepFile = deep + L"\\deep.txt";
    HANDLE file = CreateFileW(deepFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "deep", 4, &written, nullptr);
    CloseHandle(file);
    ASSERT_GT(deepFile.size(), 4u + MAX_PATH);

    CSDEngine engine([] { return 13; });
    FastPinnedSeams seams(kSeed);
    RecordedPrompts prompts;
    EXPECT_FALSE(engine.WipeFolder(sandbox.Path("chosen")));

    EXPECT_NE(GetFileAttributesW(deepFile.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(sandbox.ReadFile("neighbour.txt"), Canary(64));
    EXPECT_FALSE(sandbox.Exists("chosen\\short.txt"));
    EXPECT_EQ(sandbox.List(), (std::vector<std::string>{"chosen", "neighbour.txt"}));
}
