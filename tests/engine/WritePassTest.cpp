#include "EngineTestSupport.h"
#include "FileHelpers.h"
#include "Sandbox.h"

#include <gtest/gtest.h>

namespace {

PatternBuffer Rotation()
{
    PatternBuffer buffer;
    FillPassBuffer(Pass{PassKind::Rotation, {0x6D, 0xB6, 0xDB}}, buffer);
    return buffer;
}

std::string AsString(const PatternBuffer& buffer) { return std::string(buffer.begin(), buffer.end()); }

}  // namespace

// Around the chunk size: 10,240 bytes take one full chunk and a chunk of 1 byte that restarts the
// buffer. Every pass leaves the file exactly as long as it was.
TEST(WritePass, OverwritesInPlaceOverTheFormerLength)
{
    Sandbox sandbox;
    CSDEngine engine([] { return 1; });
    const PatternBuffer pattern = Rotation();
    for (std::size_t size : {0u, 1u, 10238u, 10239u, 10240u, 20478u, 25000u}) {
        SCOPED_TRACE(size);
        const std::string name = "f" + std::to_string(size);
        sandbox.WriteFile(name, Canary(size));
        ASSERT_TRUE(engine.WritePass(At(sandbox.Path(name)), pattern));
        EXPECT_EQ(sandbox.ReadFile(name), Spread(AsString(pattern), size));
    }
}

// A pass writes in calls of about 1 MiB: around those calls' boundaries every byte must still be
// the one a 10,239-byte call leaves at its offset (the pattern here has no shorter period, so a
// call starting off the pattern's grid would show).
TEST(WritePass, LargeCallsLeaveTheBytesOfPatternSizedCalls)
{
    Sandbox sandbox;
    CSDEngine engine([] { return 1; });
    PatternBuffer pattern;
    for (std::size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = static_cast<unsigned char>((i * 7 + i / 251) % 256);
    constexpr std::size_t span = CSDEngine::PATTERNS_PER_CALL * PATTERN_BUFFER_SIZE;
    for (std::size_t size : {span - 1, span, span + 1, 2 * span + 3 * PATTERN_BUFFER_SIZE + 5}) {
        SCOPED_TRACE(size);
        sandbox.WriteFile("big", Canary(size));
        ASSERT_TRUE(engine.WritePass(At(sandbox.Path("big")), pattern));
        EXPECT_TRUE(sandbox.ReadFile("big") == Spread(AsString(pattern), size));
    }
}

TEST(WritePass, ReadOnlyHiddenAndSystemFilesAreOverwritten)
{
    Sandbox sandbox;
    CSDEngine engine([] { return 1; });
    PatternBuffer pattern;
    pattern.fill(0xC3);
    for (DWORD attribute : {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                            FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN}) {
        SCOPED_TRACE(attribute);
        const std::string name = "attr" + std::to_string(attribute);
        sandbox.WriteFile(name, Canary(3000));
        ASSERT_TRUE(SetFileAttributesA(sandbox.Path(name).c_str(), attribute));
        EXPECT_TRUE(engine.WritePass(At(sandbox.Path(name)), pattern));
        EXPECT_EQ(sandbox.ReadFile(name), Repeat(0xC3, 3000));
    }
}

// A missing file, or one another program holds open without sharing, fails the pass untouched.
TEST(WritePass, FailsWithoutTouchingAFileItCannotOpen)
{
    Sandbox sandbox;
    CSDEngine engine([] { return 1; });
    PatternBuffer pattern;
    pattern.fill(0x11);
    EXPECT_FALSE(engine.WritePass({W(sandbox.Path("missing")), L"\\\\?\\" + W(sandbox.Path("missing"))}, pattern));
    EXPECT_FALSE(sandbox.Exists("missing"));

    sandbox.WriteFile("held", Canary(500));
    {
        FileHold hold(sandbox.Path("held"));
        ASSERT_TRUE(hold.IsHeld());
        EXPECT_FALSE(engine.WritePass(At(sandbox.Path("held")), pattern));
    }
    EXPECT_EQ(sandbox.ReadFile("held"), Canary(500));
}
