#include "UpdateManifest.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace {

constexpr std::size_t kMaxVersionNumbers = 4;
constexpr unsigned kMaxVersionNumber = 65535;

std::string_view Trim(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

bool IsHttpAddress(std::string_view text)
{
    return StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "https://");
}

// Printable ASCII without blanks: an address as a server would write it, nothing a shell or a
// code page could read differently.
bool IsPlainAddressText(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c < 0x7F; });
}

bool IsSha256Hex(std::string_view text)
{
    return text.size() == 64 &&
           std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

}  // namespace

std::optional<ProductVersion> ParseVersion(std::string_view text)
{
    ProductVersion numbers;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = text.find('.', start);
        const std::string_view part = text.substr(start, dot == std::string_view::npos ? dot : dot - start);
        if (part.empty() || part.size() > 5 ||
            !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        const unsigned number = static_cast<unsigned>(std::stoul(std::string(part)));
        if (number > kMaxVersionNumber || numbers.size() == kMaxVersionNumbers)
            return std::nullopt;
        numbers.push_back(number);
        if (dot == std::string_view::npos)
            return numbers;
        start = dot + 1;
    }
}

int CompareVersions(const ProductVersion& a, const ProductVersion& b)
{
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const unsigned left = i < a.size() ? a[i] : 0;
        const unsigned right = i < b.size() ? b[i] : 0;
        if (left != right)
            return left < right ? -1 : 1;
    }
    return 0;
}

std::optional<UpdateManifest> ParseManifest(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::map<std::string, std::string, std::less<>> values;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = Trim(line);
        if (line.empty() || line.front() == '#')
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return std::nullopt;
        std::string key(Trim(line.substr(0, equals)));
        std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
        if (!values.emplace(key, Trim(line.substr(equals + 1))).second)
            return std::nullopt;
    }

    UpdateManifest manifest;
    const auto version = values.find("version");
    if (version == values.end())
        return std::nullopt;
    const auto numbers = ParseVersion(version->second);
    if (!numbers)
        return std::nullopt;
    manifest.versionText = version->second;
    manifest.version = *numbers;
    if (const auto setup = values.find("setup"); setup != values.end()) {
        if (!IsPlainAddressText(setup->second))
            return std::nullopt;
        manifest.setup = setup->second;
    }
    if (const auto sha256 = values.find("sha256"); sha256 != values.end()) {
        if (!IsSha256Hex(sha256->second))
            return std::nullopt;
        manifest.sha256 = sha256->second;
        std::transform(manifest.sha256.begin(), manifest.sha256.end(), manifest.sha256.begin(),
                       [](unsigned char c) { return std::tolower(c); });
    }
    return manifest;
}

std::string ManifestAddress(const std::string& site)
{
    std::string base = site;
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    return base + "/QuenzoLight/update/manifest.txt";
}

std::optional<std::string> ResolveSetupAddress(const std::string& manifestAddress, const std::string& reference)
{
    if (!IsPlainAddressText(reference))
        return std::nullopt;
    if (IsHttpAddress(reference))
        return reference;
    // Any other scheme ("file:", "ftp:") is refused: a colon before the first "/", "?" or "#".
    const std::size_t colon = reference.find(':');
    if (colon != std::string::npos && colon < reference.find_first_of("/?#"))
        return std::nullopt;
    if (!IsHttpAddress(manifestAddress))
        return std::nullopt;
    const std::size_t hostStart = manifestAddress.find("//") + 2;
    const std::size_t pathStart = std::min(manifestAddress.find_first_of("/?#", hostStart), manifestAddress.size());
    if (reference.rfind("//", 0) == 0)
        return manifestAddress.substr(0, hostStart - 2) + reference;
    if (reference.front() == '/')
        return manifestAddress.substr(0, pathStart) + reference;
    const std::size_t pathEnd = std::min(manifestAddress.find_first_of("?#", pathStart), manifestAddress.size());
    const std::size_t lastSlash = manifestAddress.rfind('/', pathEnd == 0 ? 0 : pathEnd - 1);
    if (lastSlash == std::string::npos || lastSlash < pathStart)
        return manifestAddress.substr(0, pathStart) + "/" + reference;
    return manifestAddress.substr(0, lastSlash + 1) + reference;
}

bool IsHttpsAddress(std::string_view address)
{
    return StartsWithNoCase(address, "https://");
}

std::string HttpsAddressOf(const std::string& address)
{
    return StartsWithNoCase(address, "http://") ? "https://" + address.substr(7) : address;
}
