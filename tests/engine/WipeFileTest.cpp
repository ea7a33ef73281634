#include "Cmd5Capi.h"
#include "EngineTestSupport.h"
#include "FileError.h"
#include "FileHelpers.h"
#include "Sandbox.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>

namespace {

constexpr std::uint32_t kSeed = 1234567;

std::string ScrambledName(const std::string& path) { return Cmd5Capi().HashToHex(path); }

}  // namespace

// Method 12 on 5 bytes: two passes under the old name, then under the scrambled name in the same
// folder method 5's eight passes (seeded anew), then the file is gone.
TEST(WipeFile, SchedulesThenScrambledNameThenDelete)
{
    Sandbox sandbox;
    sandbox.WriteFile("b.txt", "hello");
    const std::string path = sandbox.Path("b.txt");
    const std::string scrambled = sandbox.Path(ScrambledName(path));
    RecordingEngine engine(12);
    FastPinnedSeams seams(kSeed, &engine);

    EXPECT_TRUE(engine.WipeFile(W(path)));

    const auto finalStep = ExpectedPassBuffers("D3 2C R R 95 6A R", kSeed);
    ASSERT_EQ(engine.passes.size(), 2 + finalStep.size());
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(engine.passes[i].path, path);
        EXPECT_EQ(engine.passes[i].fileAfter, Repeat(0x00, 5));
    }
    for (std::size_t i = 0; i < finalStep.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(engine.passes[2 + i].path, scrambled);
        EXPECT_EQ(engine.passes[2 + i].fileAfter, finalStep[i].substr(0, 5));
    }
    EXPECT_EQ(seams.pauses, (std::vector<unsigned>{500, 500}));
    ASSERT_EQ(seams.passesBefore.size(), 2u);
    EXPECT_EQ(seams.passesBefore[0], 1u);
    EXPECT_EQ(seams.passesBefore[1], 2 + finalStep.size() - 1);
    EXPECT_TRUE(sandbox.List().empty());
}

// A method number outside 1..13 runs the final step alone; a Korean name is scrambled over its
// code page 949 bytes like any other.
TEST(WipeFile, OutOfRangeMethodRunsOnlyTheFinalStep)
{
    for (int method : {0, 14, -3}) {
        SCOPED_TRACE(method);
        Sandbox sandbox;
        sandbox.WriteFile("퀜조 문서.txt", Canary(300));
        const std::string path = sandbox.Path("퀜조 문서.txt");
        RecordingEngine engine(method);
        FastPinnedSeams seams(kSeed, &engine);

        EXPECT_TRUE(engine.WipeFile(W(path)));
        ASSERT_EQ(engine.passes.size(), 8u);
        for (const PassRecord& pass : engine.passes)
            EXPECT_EQ(pass.path, sandbox.Path(ScrambledName(path)));
        EXPECT_TRUE(sandbox.List().empty());
    }
}

// Read-only files used to stay un-overwritten under their scrambled name while the run went on.
TEST(WipeFile, ReadOnlyHiddenAndSystemFilesAreOverwrittenAndDeleted)
{
    for (DWORD attribute : {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                            FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}) {
        SCOPED_TRACE(attribute);
        Sandbox sandbox;
        sandbox.WriteFile("secret", Canary(4000));
        ASSERT_TRUE(SetFileAttributesA(sandbox.Path("secret").c_str(), attribute));
        RecordingEngine engine(13);
        FastPinnedSeams seams(kSeed, &engine);

        EXPECT_TRUE(engine.WipeFile(W(sandbox.Path("secret"))));
        ASSERT_EQ(engine.passes.size(), 10u);
        EXPECT_EQ(engine.passes[0].fileAfter, Repeat(0xFF, 4000));
        EXPECT_EQ(engine.passes[1].fileAfter, Repeat(0x00, 4000));
        EXPECT_TRUE(sandbox.List().empty());
    }
}

// The rename is the one failure that leaves the engine, with the platform's error code; the file
// keeps its name and what the schedule wrote, and the occupant of the name is left alone.
TEST(WipeFile, FailedRenameRaisesTheFileErrorAndLeavesTheFile)
{
    Sandbox sandbox;
    sandbox.WriteFile("a.txt", Canary(64));
    const std::string path = sandbox.Path("a.txt");
    const std::string occupant = ScrambledName(path);
    sandbox.WriteFile(occupant, "occupant");
    RecordingEngine engine(13);
    FastPinnedSeams seams(kSeed, &engine);

    try {
        engine.WipeFile(W(path));
        FAIL() << "no file error";
    } catch (const CFileException& error) {
        EXPECT_EQ(error.m_lOsError, static_cast<DWORD>(ERROR_ALREADY_EXISTS));
        EXPECT_EQ(error.m_strFileName, path);
    }
    EXPECT_EQ(sandbox.ReadFile("a.txt"), Repeat(0x00, 64));
    EXPECT_EQ(sandbox.ReadFile(occupant), "occupant");
}

// A file that is not there is gone; one that another program holds, however it shares it, is not
// overwritten and therefore neither renamed nor deleted: it stays as it was, read-only bit and all,
// and is reported. (With delete sharing it used to be renamed and deleted, reported destroyed.)
TEST(WipeFile, MissingIsGoneAndAHeldFileStaysUntouched)
{
    Sandbox sandbox;
    RecordingEngine engine(3);
    FastPinnedSeams seams(kSeed, &engine);
    EXPECT_TRUE(engine.WipeFile(W(sandbox.Path("missing"))));

    const struct {
        DWORD access;
        DWORD share;
    } holds[] = {
        {GENERIC_READ, 0},
        {GENERIC_READ, FILE_SHARE_DELETE},
        {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE},
        {GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
    };
    for (const auto& hold : holds) {
        SCOPED_TRACE(hold.share);
        sandbox.WriteFile("held", Canary(2000));
        const std::string path = sandbox.Path("held");
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
        FileHold other(path, hold.share, hold.access);
        ASSERT_TRUE(other.IsHeld());
        const WipeResult result = engine.WipeFile(W(path));
        other.Release();

        EXPECT_FALSE(result);
        EXPECT_EQ(result.leftovers, (std::vector<Leftover>{{W(path), LeftReason::Overwrite}}));
        EXPECT_EQ(sandbox.List(), (std::vector<std::string>{"held"}));
        EXPECT_EQ(sandbox.ReadFile("held"), Canary(2000));
        EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    }
}

// A truncating open let a second observer see the file shrink to nothing between passes (and let
// the file system give it fresh clusters). Watch the size from another thread through a whole wipe.
TEST(WipeFile, NeverShrinksWhileBeingWiped)
{
    Sandbox sandbox;
    constexpr long long size = 2 * 1024 * 1024 + 7;
    sandbox.WriteFile("big", Canary(size));
    const std::string path = sandbox.Path("big");
    const std::string scrambled = sandbox.Path(ScrambledName(path));
    CSDEngine engine([] { return 2; });
    FastPinnedSeams seams(kSeed);

    std::atomic<bool> done{false};
    std::atomic<long long> smallest{size};
    std::atomic<int> samples{0};
    std::thread watcher([&] {
        while (!done) {
            for (const std::string& p : {path, scrambled}) {
                const long long seen = SizeOf(p);
                if (seen >= 0) {
                    ++samples;
                    if (seen < smallest)
                        smallest = seen;
                }
            }
        }
    });
    EXPECT_TRUE(engine.WipeFile(W(path)));
    done = true;
    watcher.join();
    EXPECT_GT(samples.load(), 19);
    EXPECT_EQ(smallest.load(), size);
}

// A link is never written through: the target survives byte for byte, and under Wine (where
// deleting a file link deletes its target) the link itself stays too.
TEST(WipeFile, LinkToAFileIsNeverWrittenThrough)
{
    Sandbox sandbox;
    sandbox.MakeFolder("outside");
    sandbox.WriteFile("outside\\canary.txt", Canary(20000));
    sandbox.MakeFolder("chosen");
    sandbox.MakeSymlink("chosen\\link.txt", "outside\\canary.txt");
    const std::string link = sandbox.Path("chosen\\link.txt");
    RecordingEngine engine(1);
    FastPinnedSeams seams(kSeed, &engine);
    PatternBuffer pattern;
    pattern.fill(0xEE);

    EXPECT_FALSE(engine.WritePass(At(link), pattern));
    EXPECT_FALSE(engine.RunSchedule(At(link), 13));
    EXPECT_FALSE(engine.ScrambleAndDelete(At(link)));
    EXPECT_EQ(engine.WipeFile(W(link)).leftovers, (std::vector<Leftover>{{W(link), LeftReason::Link}}));

    EXPECT_EQ(sandbox.ReadFile("outside\\canary.txt"), Canary(20000));
    EXPECT_EQ(sandbox.List("chosen"), (std::vector<std::string>{"link.txt"}));
    EXPECT_EQ(sandbox.List("outside"), (std::vector<std::string>{"canary.txt"}));
}

// A file reached through a folder link higher up is the chosen file itself and is destroyed.
TEST(WipeFile, FileBehindAFolderLinkHigherUpIsWiped)
{
    Sandbox sandbox;
    sandbox.MakeFolder("real");
    sandbox.WriteFile("real\\f.txt", Canary(3000));
    sandbox.MakeSymlink("via", "real");
    RecordingEngine engine(13);
    FastPinnedSeams seams(kSeed, &engine);

    EXPECT_TRUE(engine.WipeFile(W(sandbox.Path("via\\f.txt"))));
    ASSERT_FALSE(engine.passes.empty());
    EXPECT_EQ(engine.passes[0].fileAfter, Repeat(0xFF, 3000));
    EXPECT_TRUE(sandbox.List("real").empty());
}

// When the final step cannot write its passes, the file stays under its scrambled name and the
// result says so there (the report used to name the old path, which no longer existed).
TEST(WipeFile, FinalStepFailureIsReportedUnderTheScrambledName)
{
    Sandbox sandbox;
    sandbox.WriteFile("f.txt", Canary(900));
    const std::string path = sandbox.Path("f.txt");
    const std::string scrambled = sandbox.Path(ScrambledName(path));
    RecordingEngine engine(12);
    FastPinnedSeams seams(kSeed, &engine);
    std::optional<FileHold> hold;
    engine.beforePass = [&](std::size_t index, const std::string&) {
        if (index == 2)
            hold.emplace(scrambled);
    };

    const WipeResult result = engine.WipeFile(W(path));
    hold.reset();

    EXPECT_FALSE(result);
    EXPECT_EQ(result.leftovers, (std::vector<Leftover>{{W(scrambled), LeftReason::Overwrite}}));
    EXPECT_EQ(sandbox.List(), (std::vector<std::string>{ScrambledName(path)}));
    EXPECT_EQ(sandbox.ReadFile(ScrambledName(path)), Repeat(0x00, 900));
}

// One engine serves one thread at a time: while another thread's run is open, a wipe from this
// one is refused and touches nothing, instead of racing on the run's state; afterwards it works.
TEST(WipeFile, AnotherThreadsRunRefusesAWipeUntilItEnds)
{
    Sandbox sandbox;
    sandbox.WriteFile("f.txt", Canary(500));
    sandbox.MakeFolder("d");
    CSDEngine engine([] { return 1; }, 0);
    const auto wipeFromAnotherThread = [&] {
        std::vector<WipeResult> results;
        std::thread([&] {
            results = {engine.WipeFile(W(sandbox.Path("f.txt"))), engine.WipeFolder(W(sandbox.Path("d")))};
        }).join();
        return results;
    };

    std::optional<CSDEngine::WipeRun> run(engine);
    const auto refused = wipeFromAnotherThread();
    EXPECT_EQ(refused[0].leftovers, (std::vector<Leftover>{{W(sandbox.Path("f.txt")), LeftReason::Busy}}));
    EXPECT_EQ(refused[1].leftovers, (std::vector<Leftover>{{W(sandbox.Path("d")), LeftReason::Busy}}));
    EXPECT_EQ(sandbox.ReadFile("f.txt"), Canary(500));

    run.reset();
    const auto done = wipeFromAnotherThread();
    EXPECT_TRUE(done[0] && done[1]);
    EXPECT_TRUE(sandbox.List().empty());
}
