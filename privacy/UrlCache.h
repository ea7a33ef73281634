#pragma once

// The browser's URL cache and its visited-URL history, as the platform (WinInet, urlmon) keeps them.

// Entry classes of CleanUrlCache, told apart by COOKIE_CACHE_ENTRY in the entry's type word.
constexpr int kContentEntries = 0;
constexpr int kCookieEntries = 1;

// Deletes, by source URL, every URL-cache entry of the class (any other class deletes nothing).
// Returns false when the cache yields no first entry; true once the enumeration ran, whether or
// not each deletion succeeded (a failed one is passed over).
bool CleanUrlCache(int entryClass);

// Whether an entry with this type word belongs to the class.
bool IsInEntryClass(unsigned long cacheEntryType, int entryClass);

// Asks the URL-history service to forget every visited URL. Returns whether the service was
// created and reported success (Wine's answers E_NOTIMPL).
bool ClearUrlHistory();
