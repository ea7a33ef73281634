#pragma once
#include <optional>
#include <string>

// The current user's folders that the cleaner empties. Each result is a full path without a
// trailing backslash; nothing when the platform has no such folder for the user. Nothing is
// created: a folder that does not exist is not resolved.

// A shell folder by its CSIDL number (CSIDL_INTERNET_CACHE, CSIDL_COOKIES, ...).
std::optional<std::string> ResolveShellFolder(int csidl);

// The user's temporary folder (GetTempPathA).
std::optional<std::string> TemporaryFolder();

// The legacy history folder: the Windows directory followed by "\History". It need not exist.
std::optional<std::string> LegacyHistoryFolder();
