#include "BrowserProfiles.h"

#include "ExactPath.h"
#include "LinkGuard.h"
#include "ScopedHandle.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string_view>

namespace {

const std::vector<BrowserInfo> kBrowsers = {
    {BrowserKind::Edge, BrowserFamily::Chromium, "Microsoft Edge", L"msedge.exe", L"Microsoft\\Edge\\User Data"},
    {BrowserKind::Chrome, BrowserFamily::Chromium, "Chrome", L"chrome.exe", L"Google\\Chrome\\User Data"},
    {BrowserKind::Whale, BrowserFamily::Chromium, "네이버 웨일", L"whale.exe", L"Naver\\Naver Whale\\User Data"},
    {BrowserKind::Firefox, BrowserFamily::Firefox, "Firefox", L"firefox.exe", L"Mozilla\\Firefox"},
};

std::wstring FromUtf8(std::string_view text)
{
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0);
    std::wstring wide(length > 0 ? length : 0, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide.data(),
                            length);
    return wide;
}

// A small reader of JSON that reports each member's key path (arrays add nothing to the path)
// and each string value. It stops at the first thing that is not JSON; what it saw until then
// was reported already, which suits files a browser may have left half-written.
class JsonWalker {
public:
    using Visit = std::function<void(const std::vector<std::string>& path, const std::string* value)>;
    JsonWalker(std::string_view text, Visit visit) : m_text(text), m_visit(std::move(visit)) {}
    bool Walk() { return Value() && (Blank(), m_at == m_text.size()); }

private:
    void Blank()
    {
        while (m_at < m_text.size() && std::string_view(" \t\r\n").find(m_text[m_at]) != std::string_view::npos)
            ++m_at;
    }
    bool Take(char c)
    {
        Blank();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }
    static void AppendUtf8(std::string& out, unsigned code)
    {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    bool Hex4(unsigned& code)
    {
        code = 0;
        for (int i = 0; i < 4; ++i, ++m_at) {
            const char c = m_at < m_text.size() ? m_text[m_at] : '\0';
            const auto digit = std::string_view("0123456789abcdef").find(static_cast<char>(c | 0x20));
            if (digit == std::string_view::npos || c == '\0')
                return false;
            code = code * 16 + static_cast<unsigned>(digit);
        }
        return true;
    }
    bool String(std::string& out)
    {
        if (!Take('"'))
            return false;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at++];
            if (c == '"')
                return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_at >= m_text.size())
                return false;
            const char escaped = m_text[m_at++];
            const auto simple = std::string_view("\"\\/bfnrt").find(escaped);
            if (simple != std::string_view::npos) {
                out += "\"\\/\b\f\n\r\t"[simple];
                continue;
            }
            unsigned code = 0;
            if (escaped != 'u' || !Hex4(code))
                return false;
            unsigned low = 0;
            if (code >= 0xD800 && code < 0xDC00 && m_text.substr(m_at, 2) == "\\u" && (m_at += 2, Hex4(low)))
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            AppendUtf8(out, code);
        }
        return false;
    }
    bool Value()
    {
        Blank();
        if (m_at >= m_text.size())
            return false;
        const char c = m_text[m_at];
        if (c == '{') {
            ++m_at;
            if (Take('}'))
                return true;
            do {
                std::string key;
                if (!String(key) || !Take(':'))
                    return false;
                m_path.push_back(key);
                m_visit(m_path, nullptr);
                const bool ok = Value();
                m_path.pop_back();
                if (!ok)
                    return false;
            } while (Take(','));
            return Take('}');
        }
        if (c == '[') {
            ++m_at;
            if (Take(']'))
                return true;
            do {
                if (!Value())
                    return false;
            } while (Take(','));
            return Take(']');
        }
        if (c == '"') {
            std::string value;
            if (!String(value))
                return false;
            m_visit(m_path, &value);
            return true;
        }
        const auto end = m_text.find_first_of(",}] \t\r\n", m_at);
        m_at = end == std::string_view::npos ? m_text.size() : end;
        return true;
    }

    std::string_view m_text;
    Visit m_visit;
    std::size_t m_at = 0;
    std::vector<std::string> m_path;
};

// "Profile 12" and the like: the folders Chromium browsers make for profiles after the first.
bool IsNumberedProfile(const std::wstring& name)
{
    const std::wstring prefix = L"Profile ";
    return name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
           std::all_of(name.begin() + prefix.size(), name.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// Sorts one profile folder into the found or the skipped: it must be a folder of its own (no
// link), and hold `marker`, which a browser writes as soon as it has used the profile.
void Judge(FoundProfiles& found, BrowserProfile profile, const wchar_t* marker)
{
    const auto skip = [&](SkipReason reason) { found.skipped.push_back({profile.kind, profile.folder, reason}); };
    if (!PathExists(profile.folder))
        return skip(SkipReason::Missing);
    if (IsLink(profile.folder) || (!profile.localFolder.empty() && IsLink(profile.localFolder)))
        return skip(SkipReason::Link);
    if (!IsFolderPath(profile.folder) || !PathExists(JoinPath(profile.folder, marker)))
        return skip(SkipReason::HalfWritten);
    found.profiles.push_back(std::move(profile));
}

void FindChromiumProfiles(const BrowserInfo& browser, const std::wstring& userData, FoundProfiles& found)
{
    std::set<std::wstring> names;
    if (const auto state = ReadWholeFile(JoinPath(userData, L"Local State")))
        JsonWalker(*state, [&](const std::vector<std::string>& path, const std::string* value) {
            if (!value && path.size() == 3 && path[0] == "profile" && path[1] == "info_cache")
                names.insert(FromUtf8(path[2]));
        }).Walk();
    ForEachEntry(userData, [&](const WIN32_FIND_DATAW& entry) {
        const std::wstring name = entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (name == L"Default" || IsNumberedProfile(name)))
            names.insert(name);
    });
    for (const std::wstring& name : names) {
        // A name from the file is a folder name, never a path: anything else is not a profile of it.
        const std::wstring folder = JoinPath(userData, name);
        if (name.find_first_of(L"\\/:") != std::wstring::npos || !CheckedPath(folder)) {
            found.skipped.push_back({browser.kind, name, SkipReason::BadPath});
            continue;
        }
        Judge(found, {browser.kind, name, folder, folder}, L"Preferences");
    }
}

// The [ProfileN] sections of profiles.ini: Name, IsRelative and Path.
void FindFirefoxProfiles(const std::wstring& firefoxData, const std::wstring& firefoxLocal, FoundProfiles& found)
{
    const auto ini = ReadWholeFile(JoinPath(firefoxData, L"profiles.ini"));
    if (!ini)
        return;
    struct Section {
        std::string name, path;
        bool relative = true;
    };
    std::vector<Section> sections;
    bool inProfile = false;
    std::size_t at = ini->compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (at < ini->size()) {
        auto end = ini->find('\n', at);
        if (end == std::string::npos)
            end = ini->size();
        std::string line = ini->substr(at, end - at);
        at = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inProfile = line.compare(0, 8, "[Profile") == 0;
            if (inProfile)
                sections.emplace_back();
            continue;
        }
        const auto equals = line.find('=');
        if (!inProfile || equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == "Name")
            sections.back().name = value;
        else if (key == "Path")
            sections.back().path = value;
        else if (key == "IsRelative")
            sections.back().relative = value != "0";
    }
    for (const Section& section : sections) {
        std::wstring path = FromUtf8(section.path);
        std::replace(path.begin(), path.end(), L'/', L'\\');
        const std::wstring name = section.name.empty() ? path : FromUtf8(section.name);
        const auto folder = CheckedPath(section.relative ? JoinPath(firefoxData, path) : path);
        if (path.empty() || !folder) {
            found.skipped.push_back({BrowserKind::Firefox, name, SkipReason::BadPath});
            continue;
        }
        const std::wstring local = section.relative ? JoinPath(firefoxLocal, path) : std::wstring();
        Judge(found, {BrowserKind::Firefox, name, *folder, local}, L"prefs.js");
    }
}

std::optional<std::wstring> KnownFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_DONT_VERIFY, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::nullopt;
    return CheckedPath(path);
}

}  // namespace

const std::vector<BrowserInfo>& KnownBrowsers() { return kBrowsers; }

const BrowserInfo& InfoOf(BrowserKind kind)
{
    return *std::find_if(kBrowsers.begin(), kBrowsers.end(), [&](const BrowserInfo& info) { return info.kind == kind; });
}

std::optional<BrowserRoots> BrowserRoots::OfCurrentUser()
{
    const auto local = KnownFolder(CSIDL_LOCAL_APPDATA);
    const auto roaming = KnownFolder(CSIDL_APPDATA);
    if (!local || !roaming)
        return std::nullopt;
    return BrowserRoots{*local, *roaming};
}

const char* SkipReasonText(SkipReason reason)
{
    switch (reason) {
    case SkipReason::Missing: return "폴더가 없음";
    case SkipReason::HalfWritten: return "사용된 적 없거나 덜 만들어진 프로필";
    case SkipReason::Link: return "링크라서 따라가지 않음";
    case SkipReason::BadPath: return "경로가 올바르지 않음";
    case SkipReason::Running: return "브라우저가 실행 중";
    case SkipReason::Locked: return "다른 프로그램이 사용 중";
    case SkipReason::NotCleaned: return "지우지 못함";
    case SkipReason::Unreadable: return "알 수 없는 형식";
    }
    return "";
}

FoundProfiles FindBrowserProfiles(const BrowserRoots& roots)
{
    FoundProfiles found;
    for (const BrowserInfo& browser : kBrowsers) {
        const bool chromium = browser.family == BrowserFamily::Chromium;
        const std::wstring data = JoinPath(chromium ? roots.localAppData : roots.roamingAppData, browser.dataFolder);
        if (!PathExists(data))
            continue;
        if (IsLink(data)) {
            found.skipped.push_back({browser.kind, data, SkipReason::Link});
            continue;
        }
        if (chromium)
            FindChromiumProfiles(browser, data, found);
        else
            FindFirefoxProfiles(data, JoinPath(roots.localAppData, browser.dataFolder), found);
    }
    return found;
}

std::optional<std::vector<std::string>> ChromiumBookmarkUrls(const std::wstring& bookmarksFile)
{
    std::vector<std::string> urls;
    if (!PathExists(bookmarksFile))
        return urls;
    const auto text = ReadWholeFile(bookmarksFile);
    const bool whole = text && JsonWalker(*text, [&](const std::vector<std::string>& path, const std::string* value) {
                                   if (value && !path.empty() && path.back() == "url")
                                       urls.push_back(*value);
                               }).Walk();
    return whole ? std::optional(urls) : std::nullopt;
}

std::optional<std::string> ReadWholeFile(const std::wstring& path)
{
    const ScopedHandle file(CreateFileW(Extended(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file.IsValid() || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > (64LL << 20))
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!bytes.empty() && (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
                           got != bytes.size()))
        return std::nullopt;
    return bytes;
}
