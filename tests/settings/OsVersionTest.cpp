#include "COsVersion.h"

#include <gtest/gtest.h>

#include <vector>

// The running system as the version query in place reports it, pinned here: the major version's
// digits, then the minor version's. The extended record (156 bytes) is asked first, the basic one
// (148) if that is refused, and 0 comes back if both are. Unpinned, the platform answers again
// (Wine reports Windows XP or later).
TEST(COsVersion, ReadsTheRunningSystem)
{
    const struct {
        DWORD major, minor;
        int number;
        DWORD accepted = 156;
        std::vector<DWORD> asked = {156};
    } cases[] = {
        {4, 0, 40}, {4, 10, 410}, {4, 90, 490}, {5, 0, 50}, {5, 1, 51}, {5, 2, 52}, {6, 0, 60}, {6, 1, 61},
        {10, 0, 100}, {6, 0, 60, 148, {156, 148}}, {6, 0, 0, 0, {156, 148}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.major << "." << c.minor << " in a record of " << c.accepted);
        if (c.number) {
            EXPECT_EQ(COsVersion::VersionNumberOf(c.major, c.minor), c.number);
        }
        std::vector<DWORD> asked;
        const ScopedVersionQuery pinned([&](OSVERSIONINFOA* info) -> BOOL {
            asked.push_back(info->dwOSVersionInfoSize);
            if (info->dwOSVersionInfoSize != c.accepted)
                return FALSE;
            info->dwMajorVersion = c.major;
            info->dwMinorVersion = c.minor;
            return TRUE;
        });
        EXPECT_EQ(COsVersion().GetVersionNumber(), c.number);
        EXPECT_EQ(asked, c.asked);
    }
    EXPECT_GE(COsVersion().GetVersionNumber(), 50);
}
