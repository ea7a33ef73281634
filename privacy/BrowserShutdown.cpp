#include "BrowserShutdown.h"

#include "ScopedHandle.h"
#include "Seams.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <vector>

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

namespace {

std::vector<DWORD> ProcessesNamed(const std::wstring& executable)
{
    std::vector<DWORD> ids;
    ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.IsValid())
        return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry))
        if (CompareStringOrdinal(entry.szExeFile, -1, executable.c_str(), -1, TRUE) == CSTR_EQUAL)
            ids.push_back(entry.th32ProcessID);
    return ids;
}

void PostCloseToWindowsOf(const std::vector<DWORD>& ids)
{
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            const auto& wanted = *reinterpret_cast<const std::vector<DWORD>*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (IsWindowVisible(window) && std::find(wanted.begin(), wanted.end(), owner) != wanted.end())
                PostMessageW(window, WM_CLOSE, 0, 0);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ids));
}

// Whether every process of `ids` has ended within `waitMs`; one that cannot be watched is taken
// as ended only when it is no longer listed.
bool AllEndWithin(const std::vector<DWORD>& ids, unsigned waitMs, const std::wstring& executable)
{
    std::vector<ScopedHandle> handles;
    std::vector<HANDLE> raw;
    for (const DWORD id : ids)
        if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id)) {
            raw.push_back(process);
            handles.emplace_back(process);
        }
    if (!raw.empty() && raw.size() <= MAXIMUM_WAIT_OBJECTS)
        WaitForMultipleObjects(static_cast<DWORD>(raw.size()), raw.data(), TRUE, waitMs);
    return ProcessesNamed(executable).empty();
}

}  // namespace

bool CloseBrowserWindows(const std::wstring& executable, const std::function<bool()>& keepWaiting, unsigned waitMs)
{
    for (;;) {
        const std::vector<DWORD> ids = ProcessesNamed(executable);
        if (ids.empty())
            return true;
        PostCloseToWindowsOf(ids);
        if (AllEndWithin(ids, waitMs, executable))
            return true;
        if (!keepWaiting || !keepWaiting())
            return false;
    }
}
