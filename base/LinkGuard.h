#pragma once
#include "HandleOps.h"
#include "ScopedHandle.h"

#include <windows.h>

#include <optional>
#include <string>

// Nothing is read, written, renamed or deleted through a link. Windows marks links as reparse
// points; Wine lists a link to a file as a plain file and opens its target, so the test that holds
// on both is where an opened handle really lands. A walk fixes, once, the final path of the folder
// it was given (which may itself be reached through a link higher up: that is the user's choice),
// and from then on every entry must land at that final path followed by the names it listed.
// A folder swapped for a link after the listing then lands elsewhere and is refused.

// An entry by its exact path ("C:\...", see CheckedPath) and where a handle to it must land.
struct LocatedPath {
    std::wstring path;
    std::wstring landing;  // "\\?\C:\..." as GetFinalPathNameByHandleW reports it
};

// The entry `name` of a located folder.
LocatedPath Child(const LocatedPath& folder, const std::wstring& name);

// The final path of an open handle, links resolved ("\\?\C:\..."); empty if it cannot be read.
std::optional<std::wstring> FinalPathOf(HANDLE handle);

// Opens an entry (file or folder, never truncated or created) by its exact path; `access` 0 asks
// for nothing but queries. Sharing is full so that the open itself never disturbs another program.
ScopedHandle OpenForQuery(const std::wstring& path, DWORD access = 0);

// Where a chosen entry must land: its parent's final path now, then its name as the parent lists
// it (the letter case on the disk). Empty, with the platform's error set, when the path is not a
// CheckedPath, the entry does not exist or the parent cannot be opened.
std::optional<LocatedPath> Locate(const std::wstring& path);

// Whether the open `handle` is the entry at `landing` and not something a link there leads to.
bool HandleLandsAt(HANDLE handle, const std::wstring& landing);

enum class OpenFailure {
    None,
    Missing,    // nothing by that name
    Refused,    // the platform refused (in use without sharing, access denied, ...)
    Elsewhere,  // it opened, but lands somewhere else: a link
};

// Full sharing: an open that never disturbs another program.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A checked open: the handle, valid only when the entry opened where it was expected to land;
// why not otherwise; and what the check read of the entry, so no caller has to ask again.
struct Opened {
    ScopedHandle handle;
    OpenFailure failure = OpenFailure::None;
    FileFacts facts;
    bool IsValid() const { return handle.IsValid(); }
};

// Opens the located entry and keeps the handle only when it lands where expected.
Opened OpenLocated(const LocatedPath& entry, DWORD access, DWORD share = kShareAll, DWORD flags = 0);

// Whether the entry at `path` is a link: a reparse point, or an entry that opens somewhere else
// than its folder lists it. False for a missing entry or a path that is not whole.
bool IsLink(const std::wstring& path);

// Removes a link itself, never its target: on Windows every link is a reparse point, and deleting
// one opened as such removes the link alone; under Wine nothing is removed (a file link is not
// even marked, and deleting it deletes the target). Returns whether the link is gone.
bool RemoveLinkItself(const std::wstring& path);
