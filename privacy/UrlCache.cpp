#include "UrlCache.h"

#include "Owned.h"
#include "ScopedCom.h"

#include <windows.h>
#include <objbase.h>
#include <urlhist.h>
#include <wininet.h>

#include <cstdint>
#include <memory>

namespace {

// {3C374A40-BAE4-11CF-BF7D-00AA006946EE} and {AFA0DC11-C313-11D0-831A-00C04FD5AE38}, spelled out
// so the build needs no import library for them.
constexpr CLSID kClsidUrlHistory = {0x3C374A40, 0xBAE4, 0x11CF, {0xBF, 0x7D, 0x00, 0xAA, 0x00, 0x69, 0x46, 0xEE}};
constexpr IID kIidUrlHistoryStg2 = {0xAFA0DC11, 0xC313, 0x11D0, {0x83, 0x1A, 0x00, 0xC0, 0x4F, 0xD5, 0xAE, 0x38}};

// One cache entry: its fixed part followed by the texts it points to, exactly as large as the
// platform asked for, so a long URL or header never meets a fixed buffer.
class EntryBuffer {
public:
    INTERNET_CACHE_ENTRY_INFOA* Resize(DWORD bytes)
    {
        // Whole 8-byte words keep the structure's pointers aligned.
        m_words = std::make_unique<std::uint64_t[]>((bytes + 7) / 8 + 1);
        m_bytes = bytes;
        return Get();
    }
    INTERNET_CACHE_ENTRY_INFOA* Get() { return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(m_words.get()); }
    DWORD Bytes() const { return m_bytes; }

private:
    std::unique_ptr<std::uint64_t[]> m_words;
    DWORD m_bytes = 0;
};

// Fetches the first entry (find == nullptr) or the next one into `buffer`, first asking with no
// buffer how large it must be. The size can grow between the two calls; then it asks again.
bool FetchEntry(ScopedUrlCacheFind& find, EntryBuffer& buffer)
{
    DWORD size = 0;
    for (int attempt = 0; attempt < 8; ++attempt) {
        INTERNET_CACHE_ENTRY_INFOA* info = size ? buffer.Resize(size) : nullptr;
        DWORD asked = size;
        BOOL fetched = FALSE;
        if (!find.IsValid()) {
            find.Reset(FindFirstUrlCacheEntryA(nullptr, info, &asked));
            fetched = find.IsValid();
        } else {
            fetched = FindNextUrlCacheEntryA(find.Get(), info, &asked);
        }
        if (fetched)
            return info != nullptr;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || asked == 0)
            return false;
        size = asked;
    }
    return false;
}

}  // namespace

bool IsInEntryClass(unsigned long cacheEntryType, int entryClass)
{
    const bool cookie = (cacheEntryType & COOKIE_CACHE_ENTRY) != 0;
    if (entryClass == kContentEntries)
        return !cookie;
    if (entryClass == kCookieEntries)
        return cookie;
    return false;
}

bool CleanUrlCache(int entryClass)
{
    ScopedUrlCacheFind find;
    EntryBuffer buffer;
    if (!FetchEntry(find, buffer))
        return false;
    do {
        const INTERNET_CACHE_ENTRY_INFOA* entry = buffer.Get();
        if (entry->lpszSourceUrlName && IsInEntryClass(entry->CacheEntryType, entryClass))
            DeleteUrlCacheEntryA(entry->lpszSourceUrlName);
    } while (FetchEntry(find, buffer));
    return true;
}

bool ClearUrlHistory()
{
    // The service is a COM object: the calling thread may not have COM yet. A thread already in
    // another apartment answers RPC_E_CHANGED_MODE and can still create it.
    const ScopedCom com;
    bool cleared = false;
    IUrlHistoryStg2* history = nullptr;
    if (SUCCEEDED(CoCreateInstance(kClsidUrlHistory, nullptr, CLSCTX_INPROC_SERVER, kIidUrlHistoryStg2,
                                   reinterpret_cast<void**>(&history))) &&
        history) {
        cleared = SUCCEEDED(history->ClearHistory());
        history->Release();
    }
    return cleared;
}
