#pragma once
#include <string>

// The browser's executable name. The match is exact, byte for byte: "IEXPLORE.EXE" is another name.
constexpr const char* kBrowserExecutable = "iexplore.exe";

// Terminates, with exit code 9, every running process whose executable name is exactly
// "iexplore.exe", through seams::TerminateProcessWithCode. Does not wait for them to end.
// Returns the number of processes whose termination succeeded; one that cannot be opened or
// terminated keeps running and is not counted.
int KillBrowserProcesses();

// Whether a process's executable name is the browser's.
bool IsBrowserExecutable(const std::string& executableName);
