// Runs a program as a user would and measures it from outside, for tools/bench/compare:
//   MeasuredRun [--memory] FOLDER PROGRAM [ARGS...]
// starts PROGRAM with ARGS in FOLDER, its output discarded, waits for it and prints
//   RUN exit=N seconds=S peak_private=BYTES peak_working_set=BYTES
// The time runs from the process's creation to its end, its start under Wine included. The memory
// is read with --memory only, every few milliseconds, which costs time: such a run is not timed.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

// <chrono> does not build under the code page 949 execution character set.
double NowSeconds()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring Quoted(const std::wstring& word)
{
    return word.find_first_of(L" \t\"") == std::wstring::npos && !word.empty() ? word : L"\"" + word + L"\"";
}

}  // namespace

int main()
{
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    const bool memory = count > 1 && std::wstring(args[1]) == L"--memory";
    const int first = memory ? 2 : 1;
    if (!args || count < first + 2) {
        std::printf("usage: MeasuredRun [--memory] FOLDER PROGRAM [ARGS...]\n");
        return 2;
    }
    std::wstring command;
    for (int i = first + 1; i < count; ++i)
        command += (i > first + 1 ? L" " : L"") + Quoted(args[i]);
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    const HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                   OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    PROCESS_INFORMATION process{};
    const double start = NowSeconds();
    const DWORD flags = CREATE_NO_WINDOW;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, flags, nullptr, args[first], &startup,
                        &process)) {
        std::printf("cannot start: error %lu\n", GetLastError());
        return 2;
    }
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    // Under Wine the counters of a process that has ended read as zero, so they are read while it
    // runs; they are peaks, so the last reading misses at most what the last moments added.
    while (memory && WaitForSingleObject(process.hProcess, 5) == WAIT_TIMEOUT) {
        PROCESS_MEMORY_COUNTERS now{};
        now.cb = sizeof(now);
        if (GetProcessMemoryInfo(process.hProcess, &now, sizeof(now)))
            counters = now;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    const double seconds = NowSeconds() - start;
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    std::printf("RUN exit=%lu seconds=%.6f peak_private=%zu peak_working_set=%zu\n", exitCode, seconds,
                counters.PeakPagefileUsage, counters.PeakWorkingSetSize);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return 0;
}
