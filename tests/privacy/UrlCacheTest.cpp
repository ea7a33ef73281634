#include "CPersonalCleaner.h"
#include "PrivacyTestSupport.h"
#include "UrlCache.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Addresses on the loopback interface only: nothing is fetched, the entries are made locally.
const std::string kPage = "http://127.0.0.1/ql/page.html";
const std::string kImage = "http://127.0.0.1/ql/image.png";
const std::string kLongUrl = "http://127.0.0.1/ql/" + std::string(3000, 'q');
const std::string kCookie = "Cookie:user@127.0.0.1/ql/";

bool IsCached(const std::string& url)
{
    DWORD size = 0;
    if (GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size))
        return true;
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

// The entries carry no local file: Wine's cache cannot make one any more once a purge of
// Temporary Internet Files has removed its storage folders, and the entries are what counts here.
void CommitEntries()
{
    const FILETIME never{};
    const std::string header = "HTTP/1.1 200 OK\r\nX-Note: " + std::string(5000, 'h') + "\r\n\r\n";
    for (const std::string& url : {kPage, kImage, kLongUrl})
        ASSERT_TRUE(CommitUrlCacheEntryA(url.c_str(), nullptr, never, never, NORMAL_CACHE_ENTRY,
                                         reinterpret_cast<BYTE*>(const_cast<char*>(header.c_str())),
                                         static_cast<DWORD>(header.size()), nullptr, nullptr))
            << url.substr(0, 40);
    ASSERT_TRUE(CommitUrlCacheEntryA(kCookie.c_str(), nullptr, never, never, COOKIE_CACHE_ENTRY, nullptr, 0, nullptr,
                                     nullptr));
    for (const std::string& url : {kPage, kImage, kLongUrl, kCookie})
        ASSERT_TRUE(IsCached(url)) << url;
}

}  // namespace

// Content entries (with a long address and long headers, which need a large entry buffer) and cookie
// entries are told apart by the cookie bit; the cookies target takes the content entries, the
// saved-passwords target the cookie entries.
TEST(CleanUrlCache, EachClassDeletesItsOwnEntries)
{
    Sandbox sandbox;
    QuietSeams quiet;
    RecordingEngine engine{13};
    CPersonalCleaner cleaner(engine);
    const std::vector<std::string> content = {kPage, kImage, kLongUrl};
    const struct {
        const char* name;
        std::function<void()> clean;
        bool contentSurvives;
        bool cookieSurvives;
    } cases[] = {
        {"class 0", [] { EXPECT_TRUE(CleanUrlCache(kContentEntries)); }, false, true},
        {"class 1", [] { EXPECT_TRUE(CleanUrlCache(kCookieEntries)); }, true, false},
        {"class 2", [] { EXPECT_TRUE(CleanUrlCache(2)); }, true, true},
        {"internet cache", [&] { cleaner.CleanInternetCache(); }, false, true},
        {"cookies", [&] { cleaner.CleanCookies(); }, false, true},
        {"saved passwords", [&] { cleaner.CleanSavedPasswords(); }, true, false},
        {"secure saved passwords", [&] { cleaner.SecureCleanSavedPasswords(); }, true, false},
    };
    for (const auto& c : cases) {
        CommitEntries();
        c.clean();
        for (const std::string& url : content)
            EXPECT_EQ(IsCached(url), c.contentSurvives) << c.name << ": " << url.substr(0, 40);
        EXPECT_EQ(IsCached(kCookie), c.cookieSurvives) << c.name;
    }
}

TEST(CleanUrlCache, EmptyCacheYieldsNoFirstEntry)
{
    Sandbox sandbox;
    CleanUrlCache(kContentEntries);
    CleanUrlCache(kCookieEntries);
    EXPECT_FALSE(CleanUrlCache(kContentEntries));
}
