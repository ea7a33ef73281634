#include "NameScrub.h"

#include "ExactPath.h"
#include "HandleOps.h"
#include "Owned.h"

#include <windows.h>
#include <wincrypt.h>

#include <algorithm>

namespace {

// Names drawn for one entry before the folder counts as refusing: with a real random source a
// second draw is already a collision of 64 characters.
constexpr int kDrawsPerName = 8;
constexpr std::size_t kMaxNameLength = 255;
constexpr std::size_t kShortBase = 8;
constexpr std::size_t kShortExtension = 3;
constexpr std::size_t kOneEntryMore = 15;

bool IsShortPart(std::wstring_view part, std::size_t maxLength)
{
    if (part.size() > maxLength)
        return false;
    bool lower = false, upper = false;
    for (const wchar_t c : part) {
        if (c >= L'a' && c <= L'z')
            lower = true;
        else if (c >= L'A' && c <= L'Z')
            upper = true;
        else if (!(c >= L'0' && c <= L'9') && std::wstring_view(L"!#$%&'()-@^_`{}~").find(c) == std::wstring_view::npos)
            return false;
    }
    return !(lower && upper);
}

// Random draws from the platform's cryptographic provider, one context for a whole scrub.
class RandomLetters {
public:
    RandomLetters()
    {
        CryptAcquireContextW(m_provider.Receive(), nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT);
    }

    // `count` characters of `alphabet`, unbiased; empty when the provider fails.
    std::wstring Draw(std::size_t count, std::wstring_view alphabet)
    {
        std::wstring text;
        // The largest multiple of the alphabet's size below 256: bytes above it are drawn again.
        const unsigned limit = 256 - 256 % alphabet.size();
        unsigned char bytes[64];
        while (text.size() < count) {
            if (!m_provider.IsValid() || !CryptGenRandom(m_provider.Get(), sizeof(bytes), bytes))
                return {};
            for (const unsigned char byte : bytes)
                if (byte < limit && text.size() < count)
                    text.push_back(alphabet[byte % alphabet.size()]);
        }
        return text;
    }

private:
    ScopedCryptProvider m_provider;
};

std::wstring DrawName(RandomLetters& random, const FreedName& shape)
{
    constexpr std::wstring_view kShortLetters = L"abcdefghijklmnopqrstuvwxyz0123456789";
    constexpr std::wstring_view kLongLetters = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    if (shape.shortForm) {
        const std::wstring base = random.Draw(std::max<std::size_t>(shape.baseLength, 1), kShortLetters);
        if (base.empty() || shape.extensionLength == 0)
            return base;
        const std::wstring extension = random.Draw(shape.extensionLength, kShortLetters);
        return extension.empty() ? std::wstring() : base + L"." + extension;
    }
    for (;;) {
        std::wstring name = random.Draw(shape.length, kLongLetters);
        // One case alone could make a short name of it, which FAT keeps in one entry.
        const bool lower = std::any_of(name.begin(), name.end(), [](wchar_t c) { return c >= L'a' && c <= L'z'; });
        const bool upper = std::any_of(name.begin(), name.end(), [](wchar_t c) { return c >= L'A' && c <= L'Z'; });
        if (name.empty() || shape.length < 2 || (lower && upper))
            return name;
    }
}

FreedName LongShape(std::size_t length)
{
    FreedName shape;
    shape.length = length;
    return shape;
}

}  // namespace

FreedName FreedNameOf(const std::wstring& name)
{
    FreedName freed;
    freed.length = name.size();
    const std::size_t dot = name.find(L'.');
    const std::wstring_view base = std::wstring_view(name).substr(0, dot);
    const std::wstring_view extension =
        dot == std::wstring::npos ? std::wstring_view() : std::wstring_view(name).substr(dot + 1);
    if (!base.empty() && extension.find(L'.') == std::wstring_view::npos && IsShortPart(base, kShortBase) &&
        IsShortPart(extension, kShortExtension) && (dot == std::wstring::npos || !extension.empty())) {
        freed.shortForm = true;
        freed.baseLength = base.size();
        freed.extensionLength = extension.size();
    }
    return freed;
}

std::vector<FreedName> PlanScrub(const std::vector<FreedName>& freed)
{
    std::vector<FreedName> plan;
    if (freed.empty())
        return plan;
    const auto longestFirst = [](const FreedName& a, const FreedName& b) { return a.length > b.length; };
    // A run of free entries may hold a piece of an earlier name in front of the freed one: a name
    // one entry longer (15 characters are one more exFAT entry, one or two more on FAT) fills
    // both, and goes before the mirrors, which would take the run's start and leave its end.
    for (const FreedName& freedName : freed)
        plan.push_back(LongShape(std::clamp<std::size_t>(freedName.length + kOneEntryMore, 1, kMaxNameLength)));
    std::stable_sort(plan.begin(), plan.end(), longestFirst);
    const std::size_t longer = plan.size();
    for (FreedName shape : freed) {
        shape.length = std::clamp<std::size_t>(shape.length, 1, kMaxNameLength);
        plan.push_back(shape);
    }
    // Longest first: a long name needs a run of free entries that shorter ones would split.
    std::stable_sort(plan.begin() + static_cast<std::ptrdiff_t>(longer), plan.end(), longestFirst);
    FreedName shortName;
    shortName.length = kShortBase + 1 + kShortExtension;
    shortName.shortForm = true;
    shortName.baseLength = kShortBase;
    shortName.extensionLength = kShortExtension;
    plan.insert(plan.end(), freed.size(), shortName);
    plan.insert(plan.end(), kLongNames, LongShape(kLongNameLength));
    if (plan.size() > kMaxNames)
        plan.resize(kMaxNames);
    return plan;
}

std::wstring RandomScrubName(const FreedName& shape)
{
    RandomLetters random;
    return DrawName(random, shape);
}

ScrubNameSource& ScrubNameSlot()
{
    static ScrubNameSource source;
    return source;
}

std::vector<FreedName> ScrubHistory::Plan(const std::wstring& folder, const std::vector<FreedName>& freed)
{
    std::vector<FreedName> plan = PlanScrub(freed);
    if (plan.empty())
        return plan;
    std::vector<FreedName>& earlier = m_created[folder];
    const std::size_t room = kMaxNames - plan.size();
    // The latest runs lie nearest the end of what was filled: the first ones are kept.
    plan.insert(plan.begin(), earlier.begin(), earlier.begin() + static_cast<std::ptrdiff_t>(std::min(room, earlier.size())));
    earlier = plan;
    return plan;
}

WipeResult ScrubNames(const LocatedPath& folder, const std::vector<FreedName>& plan)
{
    if (plan.empty())
        return WipeResult::Gone();
    const WipeResult kept = WipeResult::Left(folder.path, LeftReason::NamesKept);
    // Write access to the folder is what lets its entries be flushed.
    Opened opened = OpenLocated(folder, FILE_LIST_DIRECTORY | FILE_ADD_FILE);
    if (!opened.IsValid())
        opened = OpenLocated(folder, FILE_LIST_DIRECTORY);
    if (!opened.IsValid() || !(opened.facts.attributes & FILE_ATTRIBUTE_DIRECTORY))
        return kept;
    const ScopedHandle handle = std::move(opened.handle);

    RandomLetters random;
    const ScrubNameSource& source = ScrubNameSlot();
    std::vector<ScopedHandle> created;
    std::vector<std::wstring> names;
    created.reserve(plan.size());
    bool complete = true;
    for (const FreedName& shape : plan) {
        bool made = false;
        for (int draw = 0; draw < kDrawsPerName && !made; ++draw) {
            const std::wstring name = source ? source(shape) : DrawName(random, shape);
            if (name.empty())
                break;
            const LocatedPath entry = Child(folder, name);
            // CREATE_NEW never opens what exists, a link included; the file goes when its last
            // handle closes, whatever ends this process.
            ScopedHandle file(CreateFileW(Extended(entry.path).c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr,
                                          CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT,
                                          nullptr));
            if (!file.IsValid()) {
                const DWORD error = GetLastError();
                // Taken, or taken by something about to go: draw another name.
                if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED)
                    continue;
                break;
            }
            const bool landed = HandleLandsAt(file.Get(), entry.landing);
            created.push_back(std::move(file));
            names.push_back(entry.path);
            if (!landed) {
                complete = false;
                break;
            }
            made = true;
        }
        if (!made) {
            complete = false;
            break;
        }
    }
    // The new entries reach the disk before they are deleted, rather than vanish in the cache.
    FlushFileBuffers(handle.Get());
    for (ScopedHandle& file : created) {
        DeleteByHandle(file.Get());
        file.Close();
    }
    FlushFileBuffers(handle.Get());
    for (const std::wstring& name : names)
        if (GetFileAttributesW(Extended(name).c_str()) != INVALID_FILE_ATTRIBUTES)
            complete = false;
    return complete ? WipeResult::Gone() : kept;
}
