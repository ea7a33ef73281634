#pragma once
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

// What an open handle's file is: its attributes, its size and the number of names it has (hard
// links).
struct FileFacts {
    DWORD attributes = 0;
    ULONGLONG size = 0;
    DWORD links = 0;
};
std::optional<FileFacts> FactsOf(HANDLE handle);

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

// Whether the folder behind `handle` (opened with FILE_LIST_DIRECTORY) holds no entry at all,
// listed through that very handle: a listing by path would need sharing the handle refuses.
// False too when it cannot be listed.
bool HoldsNothing(HANDLE folder);

// Renames the entry behind `handle` to `target` (an exact path in any folder of the same volume),
// never replacing an existing one. Returns 0 or the platform's error code.
DWORD RenameByHandle(HANDLE handle, const std::wstring& target);

// Marks the entry behind `handle` (opened with DELETE access) for deletion when its last handle
// closes: the file or empty folder that was checked, whatever its name has become meanwhile.
bool DeleteByHandle(HANDLE handle);

// Sets the attribute word through a handle opened with FILE_WRITE_ATTRIBUTES.
bool SetAttributesByHandle(HANDLE handle, DWORD attributes);

// Under Wine, deleting a link to a file deletes its target; callers leave such links alone there.
bool IsRunningOnWine();

// Removes a link itself, never its target: on Windows every link is a reparse point, and deleting
// one opened as such removes the link alone; under Wine nothing is removed (a file link is not
// even marked, and deleting it deletes the target). Returns whether the link is gone.
bool RemoveLinkItself(const std::wstring& path);
