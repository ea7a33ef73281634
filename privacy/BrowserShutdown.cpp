#include "BrowserShutdown.h"

#include "ScopedHandle.h"
#include "Seams.h"

#include <windows.h>
#include <tlhelp32.h>

namespace {
constexpr unsigned kBrowserExitCode = 9;
}

bool IsBrowserExecutable(const std::string& executableName) { return executableName == kBrowserExecutable; }

int KillBrowserProcesses()
{
    // ToolHelp reports failure with INVALID_HANDLE_VALUE, which ScopedHandle treats as empty.
    ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPALL, 0));
    if (!snapshot.IsValid())
        return 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    int terminated = 0;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
        // szExeFile always ends in a zero within the structure.
        if (IsBrowserExecutable(entry.szExeFile) && seams::TerminateProcessWithCode(entry.th32ProcessID, kBrowserExitCode))
            ++terminated;
    }
    return terminated;
}
