#pragma once
#include <windows.h>

#include <optional>
#include <string>

// Recognises links so that nothing is overwritten, moved or deleted through one. Windows marks
// links as reparse points; Wine lists a link to a file as a plain file, so the reliable test on
// both is where an opened handle really lands: the final path of the entry must be the final path
// of its parent folder followed by the entry's own name. Comparing with the parent's final path,
// not the path as typed, accepts an entry reached through a link higher up the path.

// `text` in the program's code page (949), as UTF-16.
std::wstring Widen(const std::string& text);

// The final path of an open handle, links resolved ("\\?\C:\..."); empty if it cannot be read.
std::optional<std::wstring> FinalPathOf(HANDLE handle);

// Where `path` must land when it is not a link: the parent folder's final path, a backslash and
// the entry's name. Empty when the parent cannot be opened.
std::optional<std::wstring> ExpectedFinalPath(const std::string& path);

// Whether the open `handle` lands exactly at `expected` (compared without regard to case).
bool HandleLandsAt(HANDLE handle, const std::wstring& expected);

// True for a symbolic link, junction or other reparse point, or an entry whose handle lands
// elsewhere. False for a missing entry: there is nothing to follow.
bool IsLinkOrReparsePoint(const std::string& path);

// Under Wine, deleting a link to a file deletes its target; callers leave such links alone there.
bool IsRunningOnWine();

// Removes a link itself, never its target: on Windows every link is a reparse point, and deleting
// one removes the link alone; under Wine nothing is removed (a file link is not even marked, and
// deleting it deletes the target). Returns whether the link is gone.
bool RemoveLinkItself(const std::string& path);

// Clears the read-only attribute so that the file can be overwritten and deleted. Call it only on
// a path known not to be a link: through a link it would change the target.
void ClearReadOnly(const std::string& path);
