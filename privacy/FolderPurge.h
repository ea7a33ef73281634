#pragma once
#include "LinkGuard.h"

#include <string>

// Empties `folder` (an exact, whole path): every file and subfolder in it is deleted, deepest
// first; the folder itself stays. Entries named "desktop.ini" (any letter case, folders too) are
// kept unless `deleteDesktopIni`; with `zeroIndexFile`, each "index.dat" is zero-filled past its
// header (ZeroIndexFile) before its deletion is tried. Read-only bits are cleared first; hidden
// and system bits stay. Names are exact, and every entry is opened where the listing put it
// under the folder's final path: a link (symbolic link, junction, Wine's unmarked file link, a
// folder swapped for one meanwhile) is never followed, entered or deleted through; on Windows the
// link alone is removed, under Wine it is left in place. Entries that cannot be deleted (in use,
// access denied) stay, and so do the folders above them. Returns false, having touched nothing,
// when the folder cannot be listed, is a link itself, or is too broad to empty (a drive root, or
// a folder that is or holds the profile, documents, Windows...: see IsTooBroadToEmpty).
bool PurgeFolder(const std::wstring& folder, bool deleteDesktopIni, bool zeroIndexFile);

// Overwrites an index file with zero bytes from offset 64 (its header, which is kept) to its end,
// in writes of at most 10000 bytes, without changing its size. Only a file whose header says it
// is an index file of the URL cache ("Client UrlCache MMF Ver " and, at offset 28, its own size)
// is written; any other file, one of 64 bytes or less included, is left as it is. Returns true
// when every zero byte was written; false, with the file possibly part-written, otherwise. A link
// is never opened.
bool ZeroIndexFile(const LocatedPath& file);
bool ZeroIndexFile(const std::wstring& folder, const std::wstring& name);
