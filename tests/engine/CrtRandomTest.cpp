#include "CrtRandom.h"

#include <gtest/gtest.h>

#include <thread>
#include <utility>
#include <vector>

// The sequence the C runtime's rand() gives after srand(1), as published for that generator.
TEST(CrtRandom, MatchesThePublishedGenerator)
{
    CrtRandom::Seed(1);
    std::vector<int> draws;
    for (int i = 0; i < 7; ++i)
        draws.push_back(CrtRandom::Draw());
    EXPECT_EQ(draws, (std::vector<int>{41, 18467, 6334, 26500, 19169, 15724, 11478}));

    // The whole 32-bit seed counts, and a draw keeps 15 bits of the new state: from 0xFFFFFFFF it is
    // 0x00235AC6 (a seed cut to 16 bits gives 17440), from 0x80000000 it is 0x80269EC3, whose top
    // bit a draw must drop.
    for (const auto& [seed, expected] : {std::pair{0xFFFFFFFFu, 35}, std::pair{0x80000000u, 38}}) {
        CrtRandom::Seed(seed);
        const int draw = CrtRandom::Draw();
        EXPECT_GE(draw, 0);
        EXPECT_LE(draw, 0x7FFF);
        EXPECT_EQ(draw, expected) << std::hex << seed;
    }
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
