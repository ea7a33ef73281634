#pragma once
#include "Sandbox.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// Waits (up to 15 s) until Wine names what lies on the new drive `letter` by that drive: until
// then it gives such files' final paths as \\?\unix\..., and a walk that located a folder before
// would take its files, now named by the drive, for links.
inline void AwaitDriveNames(wchar_t letter)
{
    const std::wstring probe = std::wstring(1, letter) + L":\\probe", named = std::wstring(L"\\\\?\\") + letter + L":";
    for (const ULONGLONG start = GetTickCount64(); GetTickCount64() - start < 15000; Sleep(50)) {
        const HANDLE file = CreateFileW(probe.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        wchar_t final[MAX_PATH] = {};
        const DWORD length = file != INVALID_HANDLE_VALUE ? GetFinalPathNameByHandleW(file, final, MAX_PATH, 0) : 0;
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        if (length > 0 && _wcsnicmp(final, named.c_str(), named.size()) == 0)
            return;
    }
    std::fprintf(stderr, "Wine does not name files on drive %lc: by it\n", letter);
    std::abort();
}

// The drives that tools/lib/common.sh mounts for a program run with QUENZO_SMALL_DRIVES=1:
// S: of 8 MiB and R:, read-only. Aborts unless S: is that small, so a fill never meets a real disk.
inline std::wstring SmallDrive()
{
    static const bool made = [] {
        MakeDrive('s', UnixPath(TestEnvironment() + "/mnt/small"), "probe");
        MakeDrive('r', UnixPath(TestEnvironment() + "/mnt/readonly"), "probe");
        AwaitDriveNames(L's');
        AwaitDriveNames(L'r');
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
