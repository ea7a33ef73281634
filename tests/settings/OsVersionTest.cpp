#include "COsVersion.h"

#include <gtest/gtest.h>

#include <vector>

TEST(COsVersion, NumberIsMajorDigitsThenMinorDigits)
{
    const struct {
        DWORD major, minor;
        int number;
    } cases[] = {{4, 0, 40}, {4, 10, 410}, {4, 90, 490}, {5, 0, 50}, {5, 1, 51},
                 {5, 2, 52}, {6, 0, 60}, {6, 1, 61},    {10, 0, 100}};
    for (const auto& c : cases)
        EXPECT_EQ(COsVersion::VersionNumberOf(c.major, c.minor), c.number) << c.major << "." << c.minor;
}

// The extended record first, the basic one if that is refused, 0 if both are.
TEST(COsVersion, FallsBackToTheBasicRecordThenToZero)
{
    const auto platform = [](std::vector<DWORD>& asked, DWORD accepted) {
        return [&asked, accepted](OSVERSIONINFOA* info) -> BOOL {
            asked.push_back(info->dwOSVersionInfoSize);
            if (info->dwOSVersionInfoSize != accepted)
                return FALSE;
            info->dwMajorVersion = 6;
            info->dwMinorVersion = 0;
            return TRUE;
        };
    };
    std::vector<DWORD> asked;
    EXPECT_EQ(COsVersion::GetVersionNumberFrom(platform(asked, 156)), 60);
    EXPECT_EQ(asked, (std::vector<DWORD>{156}));

    asked.clear();
    EXPECT_EQ(COsVersion::GetVersionNumberFrom(platform(asked, 148)), 60);
    EXPECT_EQ(asked, (std::vector<DWORD>{156, 148}));

    asked.clear();
    EXPECT_EQ(COsVersion::GetVersionNumberFrom(platform(asked, 0)), 0);
    EXPECT_EQ(asked, (std::vector<DWORD>{156, 148}));
}

TEST(COsVersion, ReadsTheRunningSystem) { EXPECT_GE(COsVersion().GetVersionNumber(), 50); }
