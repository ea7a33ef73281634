#include "BenchSupport.h"

#include "ScopedHandle.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>

namespace {

long long CounterNow()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double CounterFrequency()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart);
}

std::vector<unsigned char> MakeContentBlock()
{
    constexpr std::size_t blockSize = 1 << 20;
    std::vector<unsigned char> block(blockSize);
    std::uint64_t state = 0x5155454E5A4F4C49ULL;
    for (std::size_t offset = 0; offset < blockSize; offset += 8) {
        state += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        z ^= z >> 31;
        for (int byte = 0; byte < 8; ++byte)
            block[offset + byte] = static_cast<unsigned char>(z >> (8 * byte));
    }
    return block;
}

}  // namespace

Stopwatch::Stopwatch() : m_start(CounterNow()) {}

double Stopwatch::Seconds() const
{
    static const double frequency = CounterFrequency();
    return static_cast<double>(CounterNow() - m_start) / frequency;
}

void Stopwatch::Restart() { m_start = CounterNow(); }

BenchFolder::BenchFolder()
{
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH)
        return;
    const std::string root = std::string(temp) + "QuenzoBench." + std::to_string(GetCurrentProcessId()) + "." +
                             std::to_string(GetTickCount64());
    if (CreateDirectoryA(root.c_str(), nullptr))
        m_root = root;
}

BenchFolder::~BenchFolder()
{
    RemoveEverything();
    if (IsValid())
        RemoveDirectoryA(m_root.c_str());
}

void BenchFolder::RemoveEverything()
{
    if (!IsValid())
        return;
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA(Path("*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::string path = Path(entry.cFileName);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

const std::vector<unsigned char>& ContentBlock()
{
    static const std::vector<unsigned char> block = MakeContentBlock();
    return block;
}

bool CreateDataFile(const std::string& path, std::uint64_t size)
{
    ScopedHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return false;
    const std::vector<unsigned char>& block = ContentBlock();
    for (std::uint64_t written = 0; written < size;) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::uint64_t>(block.size(), size - written));
        DWORD done = 0;
        if (!WriteFile(file.Get(), block.data(), chunk, &done, nullptr) || done != chunk)
            return false;
        written += chunk;
    }
    return FlushFileBuffers(file.Get()) != FALSE;
}

bool ReadIntoCache(const std::string& path)
{
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.IsValid())
        return false;
    std::vector<unsigned char> buffer(1 << 20);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            return false;
        if (got == 0)
            return true;
    }
}

std::string UnixPathOf(const std::string& dosPath)
{
    using UnixName = char*(__cdecl*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return {};
    std::vector<wchar_t> wide(dosPath.size() + 1);
    if (!MultiByteToWideChar(CP_ACP, 0, dosPath.c_str(), -1, wide.data(), static_cast<int>(wide.size())))
        return {};
    char* unixPath = toUnix(wide.data());
    if (!unixPath)
        return {};
    std::string result(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

PeakMemory ReadPeakMemory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        return {0, 0};
    return {counters.PeakWorkingSetSize, counters.PeakPagefileUsage};
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}
