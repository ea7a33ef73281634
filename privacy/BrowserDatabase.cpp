#include "BrowserDatabase.h"

#include "ExactPath.h"

#include <sqlite3.h>
#include <windows.h>

#include <memory>

namespace {

// One statement of a rule: it runs only when `table` exists (browsers add and drop tables between
// versions); `counted` says whether the rows it changes are rows removed.
struct Statement {
    const char* table;
    const char* sql;
    bool counted = true;
};

const std::vector<Statement>& StatementsOf(RowRules rules)
{
    static const std::vector<Statement> none;
    static const std::vector<Statement> chromiumHistory = {
        {"visits", "DELETE FROM visits"},
        {"visit_source", "DELETE FROM visit_source"},
        {"urls", "DELETE FROM urls"},
        {"keyword_search_terms", "DELETE FROM keyword_search_terms"},
        {"segments", "DELETE FROM segments"},
        {"segment_usage", "DELETE FROM segment_usage"},
        {"downloads", "DELETE FROM downloads"},
        {"downloads_url_chains", "DELETE FROM downloads_url_chains"},
        {"downloads_slices", "DELETE FROM downloads_slices"},
        {"content_annotations", "DELETE FROM content_annotations"},
        {"context_annotations", "DELETE FROM context_annotations"},
        {"clusters", "DELETE FROM clusters"},
        {"clusters_and_visits", "DELETE FROM clusters_and_visits"},
        {"cluster_keywords", "DELETE FROM cluster_keywords"},
        {"cluster_visit_duplicates", "DELETE FROM cluster_visit_duplicates"},
        {"visited_links", "DELETE FROM visited_links"},
        {"typed_url_sync_metadata", "DELETE FROM typed_url_sync_metadata"},
        {"history_sync_metadata", "DELETE FROM history_sync_metadata"},
    };
    // A bookmark's page keeps its mapping, so its icon and the icon's pictures stay.
    static const std::vector<Statement> chromiumFavicons = {
        {"icon_mapping", "DELETE FROM icon_mapping WHERE page_url NOT IN (SELECT url FROM temp.kept_pages)"},
        {"favicons", "DELETE FROM favicons WHERE id NOT IN (SELECT icon_id FROM icon_mapping)"},
        {"favicon_bitmaps", "DELETE FROM favicon_bitmaps WHERE icon_id NOT IN (SELECT id FROM favicons)"},
    };
    // Search engines (keywords), sign-in tokens and the rest of Web Data stay.
    static const std::vector<Statement> chromiumWebData = {
        {"autofill", "DELETE FROM autofill"},
        {"autofill_profiles", "DELETE FROM autofill_profiles"},
        {"autofill_profile_names", "DELETE FROM autofill_profile_names"},
        {"autofill_profile_emails", "DELETE FROM autofill_profile_emails"},
        {"autofill_profile_phones", "DELETE FROM autofill_profile_phones"},
        {"autofill_profile_addresses", "DELETE FROM autofill_profile_addresses"},
        {"addresses", "DELETE FROM addresses"},
        {"address_type_tokens", "DELETE FROM address_type_tokens"},
    };
    static const std::vector<Statement> chromiumLogins = {
        {"logins", "DELETE FROM logins"},
        {"insecure_credentials", "DELETE FROM insecure_credentials"},
        {"password_notes", "DELETE FROM password_notes"},
        {"stats", "DELETE FROM stats"},
    };
    // A page with a bookmark or a keyword stays (without its visits and counts); so does its origin.
    static const std::vector<Statement> firefoxPlaces = {
        {"moz_historyvisits", "DELETE FROM moz_historyvisits"},
        {"moz_inputhistory", "DELETE FROM moz_inputhistory"},
        {"moz_places_metadata", "DELETE FROM moz_places_metadata"},
        {"moz_places_metadata_search_queries", "DELETE FROM moz_places_metadata_search_queries"},
        {"moz_annos",
         "DELETE FROM moz_annos WHERE place_id NOT IN (SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL)"
         " OR anno_attribute_id IN (SELECT id FROM moz_anno_attributes WHERE name LIKE 'downloads/%')"},
        {"moz_places",
         "DELETE FROM moz_places WHERE id NOT IN (SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL)"
         " AND id NOT IN (SELECT place_id FROM moz_keywords)"},
        {"moz_places", "UPDATE moz_places SET visit_count = 0, last_visit_date = NULL", false},
        {"moz_origins", "DELETE FROM moz_origins WHERE id NOT IN (SELECT origin_id FROM moz_places)"},
    };
    // Icons of bookmarked pages stay, and so does a site's root icon when one of its pages is
    // bookmarked (Firefox shows that icon for every page of the site without a page mapping).
    static const std::vector<Statement> firefoxFavicons = {
        {"moz_pages_w_icons", "DELETE FROM moz_pages_w_icons WHERE page_url NOT IN (SELECT url FROM temp.kept_pages)"},
        {"moz_icons_to_pages", "DELETE FROM moz_icons_to_pages WHERE page_id NOT IN (SELECT id FROM moz_pages_w_icons)"},
        {"moz_icons",
         "DELETE FROM moz_icons WHERE id NOT IN (SELECT icon_id FROM moz_icons_to_pages) AND NOT (root = 1 AND"
         " EXISTS (SELECT 1 FROM temp.kept_origins k WHERE substr(moz_icons.icon_url, 1, length(k.origin)) = k.origin))"},
    };
    switch (rules) {
    case RowRules::None: return none;
    case RowRules::ChromiumHistory: return chromiumHistory;
    case RowRules::ChromiumFavicons: return chromiumFavicons;
    case RowRules::ChromiumWebData: return chromiumWebData;
    case RowRules::ChromiumLogins: return chromiumLogins;
    case RowRules::FirefoxPlaces: return firefoxPlaces;
    case RowRules::FirefoxFavicons: return firefoxFavicons;
    }
    return none;
}

struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;
struct FinalizeStatement {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Prepared = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// A wide exact path as SQLite takes it: UTF-8 of the "\\?\" form, which no layer normalises.
std::optional<std::string> Utf8Path(const std::wstring& path)
{
    const std::wstring extended = Extended(path);
    const int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, extended.c_str(),
                                           static_cast<int>(extended.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::nullopt;
    std::string utf8(length, '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, extended.c_str(), static_cast<int>(extended.size()),
                        utf8.data(), length, nullptr, nullptr);
    return utf8;
}

SkipReason ReasonOf(int code)
{
    switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
    case SQLITE_PERM:
        return SkipReason::Locked;
    default:
        return SkipReason::Unreadable;
    }
}

RowCount Failed(int code) { return {false, ReasonOf(code), 0, 0}; }

int Open(const std::wstring& path, int flags, Database& db)
{
    const auto utf8 = Utf8Path(path);
    if (!utf8)
        return SQLITE_CANTOPEN;
    sqlite3* raw = nullptr;
    const int code = sqlite3_open_v2(utf8->c_str(), &raw, flags, nullptr);
    db.reset(raw);
    return code;
}

int Execute(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

// The first column of a one-row query as a number; -1 when it fails.
long long QueryNumber(sqlite3* db, const char* sql, const char* text = nullptr)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK)
        return -1;
    const Prepared statement(raw);
    if (text)
        sqlite3_bind_text(raw, 1, text, -1, SQLITE_TRANSIENT);
    return sqlite3_step(raw) == SQLITE_ROW ? sqlite3_column_int64(raw, 0) : -1;
}

bool HasTable(sqlite3* db, const char* table)
{
    return QueryNumber(db, "SELECT count(*) FROM main.sqlite_master WHERE type = 'table' AND name = ?", table) > 0;
}

long long FileBytes(sqlite3* db)
{
    return QueryNumber(db, "PRAGMA main.page_count") * QueryNumber(db, "PRAGMA main.page_size");
}

// "https://site.example/" of "https://site.example/page": a page's origin, as icon addresses start.
std::string OriginOf(const std::string& url)
{
    const auto scheme = url.find("://");
    if (scheme == std::string::npos)
        return {};
    const auto path = url.find('/', scheme + 3);
    return path == std::string::npos ? url + "/" : url.substr(0, path + 1);
}

// Fills the temporary tables of kept pages and their origins (in memory, never beside the file).
int LoadKeptPages(sqlite3* db, const KeptPages& kept)
{
    int code = Execute(db, "PRAGMA temp_store = MEMORY;"
                           "CREATE TEMP TABLE kept_pages (url TEXT PRIMARY KEY);"
                           "CREATE TEMP TABLE kept_origins (origin TEXT PRIMARY KEY)");
    for (const std::string& url : kept) {
        for (const auto& [sql, text] : {std::pair{"INSERT OR IGNORE INTO temp.kept_pages VALUES (?)", url},
                                        std::pair{"INSERT OR IGNORE INTO temp.kept_origins VALUES (?)", OriginOf(url)}}) {
            sqlite3_stmt* raw = nullptr;
            if (code == SQLITE_OK && !text.empty())
                code = sqlite3_prepare_v2(db, sql, -1, &raw, nullptr);
            const Prepared statement(raw);
            if (raw) {
                sqlite3_bind_text(raw, 1, text.c_str(), -1, SQLITE_TRANSIENT);
                code = sqlite3_step(raw) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db);
            }
        }
    }
    return code;
}

// Runs the rules' statements on `db`; adds the rows they removed to `rows`.
int ApplyRules(sqlite3* db, RowRules rules, const KeptPages& kept, long long& rows)
{
    int code = LoadKeptPages(db, kept);
    for (const Statement& statement : StatementsOf(rules)) {
        if (code != SQLITE_OK)
            break;
        if (!HasTable(db, statement.table))
            continue;
        code = Execute(db, statement.sql);
        if (code == SQLITE_OK && statement.counted)
            rows += sqlite3_changes(db);
    }
    return code;
}

// A copy of `source` in memory, page size and all, on which rules can run without touching it.
int CopyToMemory(sqlite3* source, Database& memory)
{
    sqlite3* raw = nullptr;
    int code = sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    memory.reset(raw);
    if (code != SQLITE_OK)
        return code;
    // A backup into memory fails when the page sizes differ; an empty database takes any size.
    const long long pageSize = QueryNumber(source, "PRAGMA main.page_size");
    if (pageSize <= 0)
        return sqlite3_errcode(source);
    code = Execute(raw, ("PRAGMA page_size = " + std::to_string(pageSize)).c_str());
    sqlite3_backup* backup = code == SQLITE_OK ? sqlite3_backup_init(raw, "main", source, "main") : nullptr;
    if (!backup)
        return code != SQLITE_OK ? code : sqlite3_errcode(raw);
    const int step = sqlite3_backup_step(backup, -1);
    code = sqlite3_backup_finish(backup);
    return step == SQLITE_DONE ? code : step;
}

}  // namespace

RowCount PreviewRows(const std::wstring& database, RowRules rules, const KeptPages& kept)
{
    Database source, memory;
    // Read-write but only read: a read-only connection to a database in WAL mode leaves its
    // -wal and -shm files behind in the profile, which the last read-write one removes.
    int code = Open(database, SQLITE_OPEN_READWRITE, source);
    if (code == SQLITE_OK)
        code = CopyToMemory(source.get(), memory);
    source.reset();
    RowCount count{true, SkipReason::Unreadable, 0, 0};
    if (code == SQLITE_OK) {
        const long long before = FileBytes(memory.get());
        code = ApplyRules(memory.get(), rules, kept, count.rows);
        if (code == SQLITE_OK)
            code = Execute(memory.get(), "VACUUM");
        count.bytes = before - FileBytes(memory.get());
    }
    return code == SQLITE_OK ? count : Failed(code);
}

RowCount DeleteRowsInPlace(const std::wstring& database, RowRules rules, const KeptPages& kept)
{
    Database db;
    int code = Open(database, SQLITE_OPEN_READWRITE, db);
    RowCount count{true, SkipReason::Unreadable, 0, 0};
    long long before = 0;
    if (code == SQLITE_OK) {
        before = FileBytes(db.get());
        code = Execute(db.get(), "BEGIN IMMEDIATE");
    }
    if (code == SQLITE_OK) {
        code = ApplyRules(db.get(), rules, kept, count.rows);
        code = Execute(db.get(), code == SQLITE_OK ? "COMMIT" : "ROLLBACK") == SQLITE_OK ? code : sqlite3_errcode(db.get());
    }
    if (code == SQLITE_OK)
        code = Execute(db.get(), "VACUUM");
    count.bytes = before - FileBytes(db.get());
    return code == SQLITE_OK ? count : Failed(code);
}

RowCount RebuildWithoutRows(const std::wstring& database, const std::wstring& rebuilt, RowRules rules,
                            const KeptPages& kept)
{
    const auto target = Utf8Path(rebuilt);
    Database guard, source, memory;
    int code = target ? Open(database, SQLITE_OPEN_READWRITE, guard) : SQLITE_CANTOPEN;
    // The write lock of a second connection keeps the browser (or anyone) from changing the file
    // until it is rebuilt; a backup refuses to read through a connection that holds one itself.
    // The -wal file (which may hold removed rows) stays when the connections close, so that the
    // caller destroys it with the rest instead of SQLite deleting it plainly.
    int persistWal = 1;
    if (code == SQLITE_OK)
        code = sqlite3_file_control(guard.get(), "main", SQLITE_FCNTL_PERSIST_WAL, &persistWal);
    if (code == SQLITE_OK)
        code = Execute(guard.get(), "BEGIN IMMEDIATE");
    if (code == SQLITE_OK)
        code = Open(database, SQLITE_OPEN_READWRITE, source);
    if (code == SQLITE_OK)
        code = CopyToMemory(source.get(), memory);
    RowCount count{true, SkipReason::Unreadable, 0, 0};
    if (code == SQLITE_OK) {
        count.bytes = FileBytes(source.get());
        code = Execute(memory.get(), "PRAGMA secure_delete = ON");
    }
    if (code == SQLITE_OK)
        code = ApplyRules(memory.get(), rules, kept, count.rows);
    if (code == SQLITE_OK) {
        sqlite3_stmt* raw = nullptr;
        code = sqlite3_prepare_v2(memory.get(), "VACUUM main INTO ?", -1, &raw, nullptr);
        const Prepared vacuum(raw);
        if (raw) {
            sqlite3_bind_text(raw, 1, target->c_str(), -1, SQLITE_TRANSIENT);
            code = sqlite3_step(raw) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(memory.get());
        }
    }
    if (code == SQLITE_OK)
        count.bytes -= FileBytes(memory.get()) - QueryNumber(memory.get(), "PRAGMA main.freelist_count") *
                                                      QueryNumber(memory.get(), "PRAGMA main.page_size");
    if (guard)
        Execute(guard.get(), "ROLLBACK");
    return code == SQLITE_OK ? count : Failed(code);
}

std::optional<KeptPages> FirefoxBookmarkedUrls(const std::wstring& places)
{
    Database db;
    if (Open(places, SQLITE_OPEN_READWRITE, db) != SQLITE_OK)  // read-write: see PreviewRows
        return std::nullopt;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db.get(), "SELECT p.url FROM moz_bookmarks b JOIN moz_places p ON p.id = b.fk", -1, &raw,
                           nullptr) != SQLITE_OK)
        return std::nullopt;
    const Prepared statement(raw);
    KeptPages urls;
    while (sqlite3_step(raw) == SQLITE_ROW)
        if (const auto* text = sqlite3_column_text(raw, 0))
            urls.emplace_back(reinterpret_cast<const char*>(text));
    return urls;
}
