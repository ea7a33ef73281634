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

// Writes `bytes` to a file on a test drive; true when all of them were written.
inline bool PutFile(const std::wstring& path, const std::string& bytes)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok = file != INVALID_HANDLE_VALUE &&
                    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return ok;
}

// A file's contents on a test drive; empty when it cannot be read.
inline std::string GetFile(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return bytes;
}
