#include "COsVersion.h"

#include <cstdio>
#include <cstdlib>

COsVersion::Query& COsVersion::QuerySlot()
{
    static Query query;
    return query;
}

int COsVersion::GetVersionNumber()
{
    if (const Query& query = QuerySlot())
        return GetVersionNumberFrom(query);
    return GetVersionNumberFrom([](OSVERSIONINFOA* info) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        return GetVersionExA(info);
#pragma GCC diagnostic pop
    });
}

int COsVersion::GetVersionNumberFrom(const Query& query)
{
    OSVERSIONINFOEXA info{};
    static_assert(sizeof(OSVERSIONINFOEXA) == 156 && sizeof(OSVERSIONINFOA) == 148);
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    auto* record = reinterpret_cast<OSVERSIONINFOA*>(&info);
    if (!query(record)) {
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!query(record))
            return 0;
    }
    return VersionNumberOf(info.dwMajorVersion, info.dwMinorVersion);
}

int COsVersion::VersionNumberOf(DWORD major, DWORD minor)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%d%d", static_cast<int>(major), static_cast<int>(minor));
    return std::atoi(text);
}
