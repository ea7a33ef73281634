#pragma once
#include "Seams.h"

#include <windows.h>

#include <functional>
#include <utility>

// The running system's version as one small number: the major version's digits followed by the
// minor version's ("%d%d"): 5.1 is 51, 6.0 is 60, 4.10 is 410. Only ever compared for equality.
class COsVersion {
public:
    // Fills the record whose size field is set, as GetVersionExA does; FALSE when it refuses it.
    using Query = std::function<BOOL(OSVERSIONINFOA*)>;

    virtual ~COsVersion() = default;

    // The version number, or 0 when the system's version cannot be read. Asks the query in
    // QuerySlot(), which is GetVersionExA unless a test put another in place (ScopedVersionQuery).
    int GetVersionNumber();

    // The same, asking `query` for the version: first with the extended record (size 156), then
    // with the basic one (size 148).
    static int GetVersionNumberFrom(const Query& query);

    static int VersionNumberOf(DWORD major, DWORD minor);

    // The program's version query; empty stands for GetVersionExA. Not synchronised, like the seams.
    static Query& QuerySlot();
};

// Puts `query` in place of the platform's version query for its own lifetime, so that a test pins
// the system the program believes it runs on.
struct ScopedVersionQuery : seams::Scoped<COsVersion::Query> {
    explicit ScopedVersionQuery(COsVersion::Query query) : Scoped(COsVersion::QuerySlot(), std::move(query)) {}
};
