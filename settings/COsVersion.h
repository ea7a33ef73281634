#pragma once
#include <windows.h>

#include <functional>

// The running system's version as one small number: the major version's digits followed by the
// minor version's ("%d%d"): 5.1 is 51, 6.0 is 60, 4.10 is 410. Only ever compared for equality.
class COsVersion {
public:
    virtual ~COsVersion() = default;

    // The version number, or 0 when the system's version cannot be read.
    int GetVersionNumber();

    // The same, asking `query` for the version: first with the extended record (size 156), then
    // with the basic one (size 148). GetVersionNumber asks GetVersionExA.
    static int GetVersionNumberFrom(const std::function<BOOL(OSVERSIONINFOA*)>& query);

    static int VersionNumberOf(DWORD major, DWORD minor);
};
