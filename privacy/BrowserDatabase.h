#pragma once
#include "BrowserProfiles.h"
#include "BrowserStores.h"

#include <optional>
#include <string>
#include <vector>

// Row-level cleaning of the browsers' SQLite databases. Every SQL statement of the program is in
// BrowserDatabase.cpp. Paths are exact whole paths; no call waits for a lock: a database that
// another program holds or locks is reported as Locked and left as it was.

// The outcome of one database: how many rows go (or went), and how many bytes the file shrinks
// by once rebuilt; `failure` says why nothing happened when `ok` is false.
struct RowCount {
    bool ok = false;
    SkipReason failure = SkipReason::Unreadable;
    long long rows = 0;
    long long bytes = 0;
};

// The pages whose rows and icons are kept (bookmarks), as UTF-8 URLs.
using KeptPages = std::vector<std::string>;

// What `rules` would remove, worked out on a copy in memory: the file is only read.
RowCount PreviewRows(const std::wstring& database, RowRules rules, const KeptPages& kept);

// The plain form: the rows deleted in place, then the file vacuumed. A failure before the commit
// leaves the file as it was.
RowCount DeleteRowsInPlace(const std::wstring& database, RowRules rules, const KeptPages& kept);

// The secure form: reads the database under a write lock (so nobody changes it meanwhile), removes
// the rules' rows from a copy in memory with secure_delete on, and writes what remains, rebuilt,
// into the new file `rebuilt` (which must not exist). The original and its journals are left
// untouched for the caller to destroy. On failure `rebuilt` may exist and holds no removed row.
RowCount RebuildWithoutRows(const std::wstring& database, const std::wstring& rebuilt, RowRules rules,
                            const KeptPages& kept);

// The URLs that Firefox's places.sqlite has bookmarks for; nothing when it cannot be read.
std::optional<KeptPages> FirefoxBookmarkedUrls(const std::wstring& places);
