#include "CrtRandom.h"
#include "EngineTestSupport.h"
#include "MethodCatalogue.h"
#include "Sandbox.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

constexpr std::uint32_t kSeed = 0x5F3759DF;

// The thirteen schedules, written out independently of the engine's table.
const char* const kSchedules[] = {
    "R R R R 55 AA [92 49 24] [49 24 92] [24 92 49] 01 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF "
    "[92 49 24] [49 24 92] [24 92 49] [6D B6 DB] [B6 DB 6D] [DB 6D B6] R R R R",
    "R 55 AA [92 49 24] [49 24 92] [24 92 49] 4B B4 00 FF",
    "00 FF R R R R R",
    "00 FF 00 00 FF 00 R",
    "D3 2C R R 95 6A R",
    "00 FF 00 FF 00 FF AA",
    "R 4B B4",
    "00 FF 97",
    "00 FF R",
    "00 FF* AA*",
    "R",
    "00",
    "FF",
};

// A sandbox file, the real engine recording every pass, pauses recorded and the clock pinned.
class RunSchedule : public ::testing::Test {
protected:
    // A sandbox file holding a canary of `size` bytes, located for the engine.
    LocatedPath File(const std::string& name, std::size_t size)
    {
        sandbox.WriteFile(name, Canary(size));
        return At(sandbox.Path(name));
    }

    Sandbox sandbox;
    RecordingEngine engine;
    FastPinnedSeams seams{kSeed, &engine};
};

}  // namespace

TEST(PassBuffer, ShortConstantAndRotationEdges)
{
    PatternBuffer buffer;
    buffer.fill(0x77);
    FillPassBuffer(Pass{PassKind::ShortConstant, {0xFF, 0xFF, 0xFF}}, buffer);
    EXPECT_EQ(buffer[0], 0xFF);
    EXPECT_EQ(buffer[10237], 0xFF);
    EXPECT_EQ(buffer[10238], 0x00);

    // 10,239 = 3 x 3,413: the buffer ends on the third value, so repeats continue the rotation.
    FillPassBuffer(Pass{PassKind::Rotation, {0x92, 0x49, 0x24}}, buffer);
    EXPECT_EQ(buffer[0], 0x92);
    EXPECT_EQ(buffer[1], 0x49);
    EXPECT_EQ(buffer[10236], 0x92);
    EXPECT_EQ(buffer[10238], 0x24);
}

// Every pass of every schedule, byte for byte on the disk, with the clock pinned. The file is
// 25,000 bytes: two full buffers and a cut one, so repeats and the cut both show. The random blocks
// of one run continue one stream (method 1's pass 32 picks up where pass 4 ended).
TEST_F(RunSchedule, EveryMethodWritesItsPassesThenPausesThenZeroes)
{
    constexpr std::size_t size = 25000;
    for (int method = 1; method <= 13; ++method) {
        SCOPED_TRACE(method);
        engine.passes.clear();
        seams.pauses.clear();
        seams.passesBefore.clear();

        ASSERT_TRUE(engine.RunSchedule(File("file", size), method));

        const auto expected = ExpectedPassBuffers(kSchedules[method - 1], kSeed);
        ASSERT_EQ(engine.passes.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(i + 1);
            EXPECT_TRUE(engine.passes[i].ok);
            ASSERT_EQ(engine.passes[i].fileAfter.size(), size);
            EXPECT_TRUE(engine.passes[i].fileAfter == Spread(expected[i], size));
        }
        // One 500 ms pause, after the listed passes and before the closing pass.
        ASSERT_EQ(seams.pauses.size(), 1u);
        EXPECT_EQ(seams.pauses[0], 500u);
        EXPECT_EQ(seams.passesBefore, std::vector<std::size_t>{expected.size() - 1});
    }
}

TEST_F(RunSchedule, ShortConstantLeavesZeroAtTheEndOfEveryBlock)
{
    ASSERT_TRUE(engine.RunSchedule(File("file", 3 * 10239), 10));
    for (std::size_t pass : {1u, 2u}) {
        const std::string& bytes = engine.passes[pass].fileAfter;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const bool blockEnd = i % 10239 == 10238;
            ASSERT_EQ(bytes[i] == '\0', blockEnd) << "pass " << pass + 1 << " offset " << i;
        }
    }
}

TEST_F(RunSchedule, RotationOverSevenBytes)
{
    ASSERT_TRUE(engine.RunSchedule(File("seven", 7), 1));
    EXPECT_EQ(engine.passes[6].fileAfter, "\x92\x49\x24\x92\x49\x24\x92");
}

// Schedules without random passes neither seed nor draw: the thread's stream is where it was.
TEST_F(RunSchedule, OnlyRandomSchedulesTouchTheRandomSource)
{
    const LocatedPath file = File("file", 100);
    for (int method : {6, 8, 10, 12, 13}) {
        CrtRandom::Seed(777);
        ASSERT_TRUE(engine.RunSchedule(file, method));
        const int next = CrtRandom::Draw();
        CrtRandom::Seed(777);
        EXPECT_EQ(next, CrtRandom::Draw()) << method;
    }
    // A random schedule on another thread leaves this thread's stream alone too.
    CrtRandom::Seed(777);
    std::thread other([&] {
        RecordingEngine otherEngine;
        otherEngine.RunSchedule(file, 11);
    });
    other.join();
    const int next = CrtRandom::Draw();
    CrtRandom::Seed(777);
    EXPECT_EQ(next, CrtRandom::Draw());
}

// A failed pass ends the schedule: nothing after it, no pause, no closing pass. The file stays
// open between passes, so what makes the second pass fail is a second name given to its data.
TEST_F(RunSchedule, StopsAtTheFirstFailedPass)
{
    const LocatedPath file = File("file", 5000);
    engine.beforePass = [&](std::size_t index, const std::string& path) {
        if (index == 1) {
            ASSERT_TRUE(CreateHardLinkA(sandbox.Path("second").c_str(), path.c_str(), nullptr));
        }
    };
    EXPECT_FALSE(engine.RunSchedule(file, 8));

    ASSERT_EQ(engine.passes.size(), 2u);
    EXPECT_TRUE(engine.passes[0].ok);
    EXPECT_FALSE(engine.passes[1].ok);
    EXPECT_TRUE(seams.pauses.empty());
    EXPECT_EQ(sandbox.ReadFile("file"), Repeat(0x00, 5000));  // pass 1 of method 8, nothing later
    EXPECT_EQ(sandbox.ReadFile("second"), Repeat(0x00, 5000));
}

TEST_F(RunSchedule, MethodsOutsideTheRangeWriteNothing)
{
    const LocatedPath file = File("file", 100);
    for (int method : {-1, 0, 14})
        EXPECT_FALSE(engine.RunSchedule(file, method)) << method;
    EXPECT_TRUE(engine.passes.empty());
    EXPECT_EQ(sandbox.ReadFile("file"), Canary(100));
}
