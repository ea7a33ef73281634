#pragma once
#include <windows.h>

#include <optional>
#include <string>

// Operations on the entry behind an open handle, whatever its name has become since it was opened:
// the link guard checks a handle once, and everything after goes through it.

// What an open handle's file is: its attributes, its size and the number of names it has (hard
// links).
struct FileFacts {
    DWORD attributes = 0;
    ULONGLONG size = 0;
    DWORD links = 0;
};
std::optional<FileFacts> FactsOf(HANDLE handle);

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
