#pragma once
#include <string>

// Registry work of the cleaner, all in the current user's hive (HKEY_CURRENT_USER).

// Sets every value directly in `key` (the unnamed one included, subkeys not) seven times to
// `marker` as REG_SZ data without a terminating zero, whatever its type was, keeping its name.
// A key that does not open for reading is left alone. Returns the number of values overwritten
// at least once; `writes`, when given, receives the number of writes that succeeded. Nothing is
// deleted: the caller deletes the key afterwards.
int OverwriteRegValues(const std::string& key, const std::string& marker, int* writes = nullptr);

// Deletes `key` with all its subkeys and values. Returns whether it was deleted.
bool DeleteUserKey(const std::string& key);

// Deletes the Run dialog's list: the values "a" to "z" and "MRUList" of the RunMRU key; the key
// and any other value stay. Returns false, deleting nothing, when the key does not open.
bool ClearRunMruValues();
