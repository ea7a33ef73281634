#pragma once
#include "Owned.h"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Names on the file system are exact UTF-16 inside the program. The narrow functions best-fit a
// name into code page 949 ("₩" U+20A9 becomes a backslash, emoji become "?") and normalise it
// (trailing dots and spaces vanish, "CON" is the console), so every operation on a name goes
// through the wide functions and the "\\?\" form built here. Code page 949 is for showing and
// storing text only.

// Removes trailing backslashes and slashes, but keeps the one that makes "C:\" a root.
void TrimTrailingSeparators(std::wstring& path);

// A whole absolute path with exact names, as the program keeps it: "C:\folder\name" or
// "\\server\share\name", separators made backslashes, trailing separators removed, and a
// "\\?\" or "\\?\UNC\" prefix taken off. Nothing else is changed: trailing dots and spaces and
// reserved names stay. Empty when the path is empty, relative ("name", "\name", "C:name"), holds
// a "." or ".." component or an empty one, names something other than a drive or share (such as
// "\\?\unix\..."), or is a drive or share root itself.
std::optional<std::wstring> CheckedPath(std::wstring_view path);

// The form to hand the platform: "\\?\C:\..." or "\\?\UNC\server\share\...", which no function
// normalises, best-fits or cuts at MAX_PATH. `path` is a CheckedPath (or a drive root "C:\").
std::wstring Extended(const std::wstring& path);

// "C:\a\b" gives "C:\a" and "b"; "C:\b" gives "C:\" and "b".
std::wstring ParentOf(const std::wstring& path);
std::wstring NameOf(const std::wstring& path);
// folder + "\" + name, without doubling a backslash that ends the folder.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// Whether anything is found at `path` (a CheckedPath), by its attributes.
bool PathExists(const std::wstring& path);

// Whether the path (a CheckedPath) names a folder or a link to one, by a find-first on the path
// itself, so a drive root or anything that is not a CheckedPath is not.
bool IsFolderPath(const std::wstring& path);

// Whether two paths are the same text as the file system compares names (letter case aside).
bool SamePathText(std::wstring_view a, std::wstring_view b);
// Whether `inner` is `outer` itself or lies inside it, compared as SamePathText compares. Both are
// whole paths without a trailing separator, but for a root ("C:\").
bool SameOrInside(std::wstring_view inner, std::wstring_view outer);

// Whether `name` equals `reference` with ASCII letters compared without regard to case.
bool NamesMatch(std::wstring_view name, std::wstring_view reference);

// Calls `visit` for every entry of `folder` (a CheckedPath) but "." and "..", with exact names.
// False when the folder cannot be listed.
template <typename Visit>
bool ForEachEntry(const std::wstring& folder, Visit visit)
{
    WIN32_FIND_DATAW found;
    const ScopedFind find(FindFirstFileW(JoinPath(Extended(folder), L"*").c_str(), &found));
    if (!find.IsValid())
        return false;
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..")
            visit(found);
    } while (FindNextFileW(find.Get(), &found));
    return true;
}
