#pragma once
#include <optional>
#include <string>

// The current user's folders that the cleaner empties. Each result is an exact full path (the
// wide functions: a profile name need not fit code page 949) without a trailing backslash; nothing when the platform has no such folder for the user. Nothing is
// created: a folder that does not exist is not resolved.

// A shell folder by its CSIDL number (CSIDL_INTERNET_CACHE, CSIDL_COOKIES, ...).
std::optional<std::wstring> ResolveShellFolder(int csidl);

// The user's temporary folder (GetTempPathW).
std::optional<std::wstring> TemporaryFolder();

// The legacy history folder: the Windows directory followed by "\History". It need not exist.
std::optional<std::wstring> LegacyHistoryFolder();

// Whether emptying `folder` would take more than cleaning traces: the never-destroy policy refuses
// it (a drive root, a folder that is or holds the profile, the user's documents and other shell
// folders, the programs' data, the Windows or system folder or the program files, judged where
// it lands). GetTempPathW falls back to the profile or the Windows directory when TMP and TEMP
// are unset, and a user may point either at a drive root; the same holds for redirected shell
// folders.
bool IsTooBroadToEmpty(const std::wstring& folder);
