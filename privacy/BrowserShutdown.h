#pragma once
#include <functional>
#include <string>

// How long a browser is given to close its windows before the user is asked again.
constexpr unsigned kBrowserCloseWaitMs = 5000;

// The browser's executable name. The match is exact, byte for byte: "IEXPLORE.EXE" is another name.
constexpr const char* kBrowserExecutable = "iexplore.exe";

// Terminates, with exit code 9, every running process whose executable name is exactly
// "iexplore.exe", through seams::TerminateProcessWithCode. Does not wait for them to end.
// Returns the number of processes whose termination succeeded; one that cannot be opened or
// terminated keeps running and is not counted.
int KillBrowserProcesses();

// Whether a process's executable name is the browser's.
bool IsBrowserExecutable(const std::string& executableName);

// Asks every running process whose executable name is `executable` (letter case aside) to close,
// as a user would: each of its visible top-level windows gets WM_CLOSE. It is never terminated.
// Waits up to `waitMs` for them all to end; while some still run, `keepWaiting` is asked (it tells
// the user which browser is waited for) and, when it says yes, the windows are asked again and the
// wait starts over. Returns true when none runs any more (or none ran), false when some still run.
bool CloseBrowserWindows(const std::wstring& executable, const std::function<bool()>& keepWaiting,
                         unsigned waitMs = kBrowserCloseWaitMs);
