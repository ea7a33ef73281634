#pragma once
#include <string>

// Empties `folder`: every file and subfolder in it is deleted, deepest first; the folder itself
// stays. Entries named "desktop.ini" (any letter case, folders too) are kept unless
// `deleteDesktopIni`; with `zeroIndexFile`, each "index.dat" is zero-filled past its header
// before its deletion is tried. Read-only bits are cleared first; hidden and system bits stay.
// A link (symbolic link, junction, Wine's unmarked file link) is never followed, entered or
// deleted through: on Windows the link alone is removed, under Wine it is left in place.
// Entries that cannot be deleted (in use, access denied) stay, and so do the folders above them.
// Returns false, having touched nothing, when the folder cannot be listed, or when it is too broad
// to empty (a drive root, or a folder that is or holds the profile, documents, Windows...: see
// IsTooBroadToEmpty).
bool PurgeFolder(const std::string& folder, bool deleteDesktopIni, bool zeroIndexFile);

// Overwrites folder\name with zero bytes from offset 64 (the index file's header, which is kept)
// to its end, in writes of at most 10000 bytes, without changing its size. A file of 64 bytes or
// less is left as it is. Returns true when the file was opened for writing and every zero byte
// was written; false, with the file possibly part-written, otherwise. A link is never opened.
bool ZeroIndexFile(const std::string& folder, const std::string& name);

// Whether `name` is `reference` with ASCII letters compared without regard to case. With an
// ASCII reference this is the multi-byte case-insensitive comparison: a lead byte of code page
// 949 never equals an ASCII character.
bool NamesMatch(const std::string& name, const char* reference);

// folder + "\" + name, without doubling a backslash that ends the folder.
std::string JoinPath(const std::string& folder, const std::string& name);
