#pragma once
#include "BrowserProfiles.h"

#include <string>
#include <vector>

// What each category removes from a browser's profile, as one table. Everything a profile holds
// that no row names is never touched: bookmarks and their icons, extensions and their data, site
// permissions and preferences, and the passwords unless that category is chosen.

enum BrowserCategory : unsigned {
    kBrowserCache = 0x01,      // 캐시
    kBrowserCookies = 0x02,    // 쿠키
    kBrowserHistory = 0x04,    // 방문 기록: pages, downloads, typed and searched addresses, sessions, top sites
    kBrowserForms = 0x08,      // 양식 자동완성
    kBrowserPasswords = 0x10,  // 저장된 비밀번호: only when chosen on its own
};
constexpr unsigned kDefaultBrowserCategories = kBrowserCache | kBrowserCookies | kBrowserHistory;
// What "everything" means: the passwords are never part of it.
constexpr unsigned kAllBrowserCategories = kDefaultBrowserCategories | kBrowserForms;

struct CategoryInfo {
    BrowserCategory category;
    const char* name;  // code page 949
};
const std::vector<CategoryInfo>& BrowserCategories();

enum class StoreKind {
    Folder,    // its contents go; the folder stays
    File,      // the file goes, with the journals a database keeps beside it
    Database,  // rows go (see RowRules); the file stays with everything else it holds
};

// The row rules of a database that mixes what is cleaned with what is kept.
enum class RowRules {
    None,
    ChromiumHistory,   // History: visits, pages, downloads, searches; "meta" kept
    ChromiumFavicons,  // Favicons: icons of pages that are not bookmarked
    ChromiumWebData,   // Web Data: form entries and addresses; search engines and the rest kept
    ChromiumLogins,    // Login Data: saved sign-ins
    FirefoxPlaces,     // places.sqlite: visits and pages that are not bookmarked; bookmarks kept
    FirefoxFavicons,   // favicons.sqlite: icons of pages that are not bookmarked
};

struct BrowserStore {
    BrowserFamily family;
    BrowserCategory category;
    StoreKind kind;
    bool inLocalFolder;    // below the profile's local folder (Firefox's cache) instead of its folder
    const wchar_t* path;   // relative to that folder
    RowRules rules;
};

// Every store, in the order a cleaning takes them (within a profile, places.sqlite before
// favicons.sqlite, whose kept icons follow the bookmarks).
const std::vector<BrowserStore>& BrowserStores();

// The categories as remembered in the settings: a decimal number. Absent or unreadable, the
// default ones. Saved passwords are never remembered: they must be ticked anew each time.
unsigned CategoriesFromSetting(const std::string& text);
std::string CategoriesSetting(unsigned categories);
