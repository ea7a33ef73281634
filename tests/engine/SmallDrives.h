#pragma once
#include "Sandbox.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// The drives that tools/lib/common.sh mounts for a program run with QUENZO_SMALL_DRIVES=1:
// S: of 8 MiB and R:, read-only. Aborts unless S: is that small, so a fill never meets a real disk.
inline std::wstring SmallDrive()
{
    static const bool made = [] {
        MakeDrive('s', UnixPath(TestEnvironment() + "/mnt/small"), "probe");
        MakeDrive('r', UnixPath(TestEnvironment() + "/mnt/readonly"), "probe");
        ULARGE_INTEGER available{}, total{}, free{};
        if (!GetDiskFreeSpaceExW(L"S:\\", &available, &total, &free) || total.QuadPart > (16ull << 20)) {
            std::fprintf(stderr, "drive S: is not the small test drive; refusing to fill it\n");
            std::abort();
        }
        return true;
    }();
    return made ? L"S:\\" : L"";
}
