#include "CrtRandom.h"
#include "MethodCatalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<int> Bytes(const char* text)
{
    std::vector<int> bytes;
    for (const char* p = text; *p; ++p)
        bytes.push_back(static_cast<unsigned char>(*p));
    return bytes;
}

}  // namespace

// A build that falls back to UTF-8 or EUC-KR would show every Korean text as garbage.
TEST(KoreanText, LiteralsAreCodePage949Bytes)
{
    EXPECT_EQ(Bytes("퀜조"), (std::vector<int>{0xB3, 0x90, 0xC1, 0xB6}));
    EXPECT_EQ(Bytes("보통"), (std::vector<int>{0xBA, 0xB8, 0xC5, 0xEB}));
    EXPECT_EQ(Bytes(FindMethod(1)->passCountLabel),
              (std::vector<int>{'3', '5', 0xB9, 0xF8, ' ', 0xB5, 0xA4, 0xBE, 0xEE, 0xBE, 0xBA, 0xBF, 0xF2}));
}

TEST(MethodCatalogue, ThirteenMethodsWithConsistentLabels)
{
    // Listed pass counts and the speed each count is sold as.
    const int counts[] = {35, 10, 7, 7, 7, 7, 3, 3, 3, 3, 1, 1, 1};
    const auto speedFor = [](int count) -> std::string {
        switch (count) {
        case 35: return "아주 느림";
        case 10: return "느림";
        case 7: return "보통";
        case 3: return "빠름";
        default: return "아주 빠름";
        }
    };
    const std::string suffix = " + Marrowick Algorithm";

    ASSERT_EQ(AllMethods().size(), 13u);
    for (int number = 1; number <= 13; ++number) {
        SCOPED_TRACE(number);
        const WipeMethod* method = FindMethod(number);
        ASSERT_NE(method, nullptr);
        EXPECT_EQ(method->number, number);
        EXPECT_EQ(&AllMethods()[number - 1], method);
        const std::string name = method->displayName;
        ASSERT_GT(name.size(), suffix.size());
        EXPECT_EQ(name.substr(name.size() - suffix.size()), suffix);
        EXPECT_EQ(ListedPassCount(number), counts[number - 1]);
        EXPECT_EQ(std::string(method->passCountLabel), std::to_string(counts[number - 1]) + "번 덮어씌움");
        EXPECT_EQ(std::string(method->speedLabel), speedFor(counts[number - 1]));
    }
    EXPECT_STREQ(FindMethod(9)->displayName, "HMG_IS5_Enhanceed + Marrowick Algorithm");
    EXPECT_STREQ(FindMethod(4)->displayName, "RCMP_TSSIT_OPS_II + Marrowick Algorithm");
}

TEST(MethodCatalogue, NumbersOutsideTheRangeHaveNoSchedule)
{
    for (int number : {-1, 0, 14, 1000}) {
        EXPECT_EQ(FindMethod(number), nullptr) << number;
        EXPECT_EQ(ListedPassCount(number), 0) << number;
    }
}

TEST(MethodCatalogue, ExactlyTheMethodsWithRandomPassesSeed)
{
    std::vector<int> random;
    for (const WipeMethod& method : AllMethods())
        if (HasRandomPasses(method))
            random.push_back(method.number);
    EXPECT_EQ(random, (std::vector<int>{1, 2, 3, 4, 5, 7, 9, 11}));
}

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

// The sequence the C runtime's rand() gives after srand(1), as published for that generator.
TEST(CrtRandom, MatchesThePublishedGenerator)
{
    CrtRandom::Seed(1);
    std::vector<int> draws;
    for (int i = 0; i < 7; ++i)
        draws.push_back(CrtRandom::Draw());
    EXPECT_EQ(draws, (std::vector<int>{41, 18467, 6334, 26500, 19169, 15724, 11478}));

    CrtRandom::Seed(0xFFFFFFFFu);
    const int draw = CrtRandom::Draw();
    EXPECT_GE(draw, 0);
    EXPECT_LE(draw, 0x7FFF);
}

TEST(CrtRandom, StateBelongsToEachThread)
{
    CrtRandom::Seed(12345);
    int unseededFirst = -1;
    // A thread that never seeds starts at state 1, and its draws leave this thread's state alone.
    std::thread other([&] {
        unseededFirst = CrtRandom::Draw();
        CrtRandom::Seed(999);
        for (int i = 0; i < 1000; ++i)
            CrtRandom::Draw();
    });
    other.join();
    EXPECT_EQ(unseededFirst, 41);

    const int mine = CrtRandom::Draw();
    CrtRandom::Seed(12345);
    EXPECT_EQ(mine, CrtRandom::Draw());
}
