#include "BrowserStores.h"

namespace {

constexpr auto C = BrowserFamily::Chromium;
constexpr auto F = BrowserFamily::Firefox;
constexpr auto Dir = StoreKind::Folder;
constexpr auto File = StoreKind::File;
constexpr auto Db = StoreKind::Database;
constexpr bool kLocal = true;
constexpr bool kProfile = false;

const std::vector<BrowserStore> kStores = {
    {C, kBrowserCache, Dir, kProfile, L"Cache", RowRules::None},
    {C, kBrowserCache, Dir, kProfile, L"Code Cache", RowRules::None},
    {C, kBrowserCache, Dir, kProfile, L"GPUCache", RowRules::None},
    {C, kBrowserCache, Dir, kProfile, L"Service Worker\\CacheStorage", RowRules::None},
    {C, kBrowserCache, Dir, kProfile, L"Service Worker\\ScriptCache", RowRules::None},
    {C, kBrowserCookies, File, kProfile, L"Network\\Cookies", RowRules::None},
    {C, kBrowserCookies, File, kProfile, L"Cookies", RowRules::None},
    {C, kBrowserHistory, Db, kProfile, L"History", RowRules::ChromiumHistory},
    {C, kBrowserHistory, Db, kProfile, L"Favicons", RowRules::ChromiumFavicons},
    {C, kBrowserHistory, File, kProfile, L"Visited Links", RowRules::None},
    {C, kBrowserHistory, File, kProfile, L"Top Sites", RowRules::None},
    {C, kBrowserHistory, File, kProfile, L"Shortcuts", RowRules::None},
    {C, kBrowserHistory, File, kProfile, L"Network Action Predictor", RowRules::None},
    {C, kBrowserHistory, File, kProfile, L"Current Session", RowRules::None},
    {C, kBrowserHistory, File, kProfile, L"Current Tabs", RowRules::None},
    {C, kBrowserHistory, File, kProfile, L"Last Session", RowRules::None},
    {C, kBrowserHistory, File, kProfile, L"Last Tabs", RowRules::None},
    {C, kBrowserHistory, Dir, kProfile, L"Sessions", RowRules::None},
    {C, kBrowserForms, Db, kProfile, L"Web Data", RowRules::ChromiumWebData},
    {C, kBrowserPasswords, Db, kProfile, L"Login Data", RowRules::ChromiumLogins},
    {C, kBrowserPasswords, Db, kProfile, L"Login Data For Account", RowRules::ChromiumLogins},

    {F, kBrowserCache, Dir, kLocal, L"cache2", RowRules::None},
    {F, kBrowserCookies, File, kProfile, L"cookies.sqlite", RowRules::None},
    {F, kBrowserHistory, Db, kProfile, L"places.sqlite", RowRules::FirefoxPlaces},
    {F, kBrowserHistory, Db, kProfile, L"favicons.sqlite", RowRules::FirefoxFavicons},
    {F, kBrowserHistory, File, kProfile, L"sessionstore.jsonlz4", RowRules::None},
    {F, kBrowserHistory, Dir, kProfile, L"sessionstore-backups", RowRules::None},
    {F, kBrowserHistory, Dir, kLocal, L"thumbnails", RowRules::None},
    {F, kBrowserForms, File, kProfile, L"formhistory.sqlite", RowRules::None},
    {F, kBrowserPasswords, File, kProfile, L"logins.json", RowRules::None},
    {F, kBrowserPasswords, File, kProfile, L"logins-backup.json", RowRules::None},
};

const std::vector<CategoryInfo> kCategories = {
    {kBrowserCache, "캐시"},
    {kBrowserCookies, "쿠키"},
    {kBrowserHistory, "방문 기록"},
    {kBrowserForms, "양식 자동완성"},
    {kBrowserPasswords, "저장된 비밀번호"},
};

}  // namespace

const std::vector<BrowserStore>& BrowserStores() { return kStores; }
const std::vector<CategoryInfo>& BrowserCategories() { return kCategories; }

unsigned CategoriesFromSetting(const std::string& text)
{
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
        return kDefaultBrowserCategories;
    return static_cast<unsigned>(std::stoul(text)) & kAllBrowserCategories;
}

std::string CategoriesSetting(unsigned categories) { return std::to_string(categories & kAllBrowserCategories); }
