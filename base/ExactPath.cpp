#include "ExactPath.h"

#include <vector>

namespace {

// Characters that no Windows name holds: a path with them would be a pattern or a stream, not a name.
constexpr wchar_t kNotInNames[] = L"*?\"<>|:";

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// Splits at separators; false when a component is empty, "." or "..".
bool SplitComponents(std::wstring_view rest, std::vector<std::wstring_view>& parts)
{
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = start;
        while (end < rest.size() && !IsSeparator(rest[end]))
            ++end;
        const std::wstring_view part = rest.substr(start, end - start);
        if (part.empty() || part == L"." || part == L".." || part.find_first_of(kNotInNames) != std::wstring_view::npos)
            return false;
        parts.push_back(part);
        start = end + 1;
    }
    return true;
}

}  // namespace

void TrimTrailingSeparators(std::wstring& path)
{
    while (!path.empty() && IsSeparator(path.back())) {
        // "C:\" names the root; "C:" alone would name the drive's current folder.
        if (path.size() == 3 && path[1] == L':')
            return;
        path.pop_back();
    }
}

std::optional<std::wstring> CheckedPath(std::wstring_view path)
{
    std::wstring text(path);
    for (wchar_t& c : text)
        if (c == L'/')
            c = L'\\';
    if (text.rfind(L"\\\\?\\UNC\\", 0) == 0)
        text = L"\\\\" + text.substr(8);
    else if (text.rfind(L"\\\\?\\", 0) == 0 || text.rfind(L"\\??\\", 0) == 0)
        text = text.substr(4);
    while (text.size() > 1 && text.back() == L'\\')
        text.pop_back();

    std::vector<std::wstring_view> parts;
    std::wstring prefix;
    std::size_t rootParts = 0;
    if (text.size() >= 3 && IsDriveLetter(text[0]) && text[1] == L':' && text[2] == L'\\') {
        prefix = text.substr(0, 2);
        if (!SplitComponents(std::wstring_view(text).substr(3), parts))
            return std::nullopt;
    } else if (text.rfind(L"\\\\", 0) == 0 && text.size() > 2 && text[2] != L'?' && text[2] != L'.') {
        if (!SplitComponents(std::wstring_view(text).substr(2), parts))
            return std::nullopt;
        prefix = L"\\";
        rootParts = 2;  // server and share
    } else {
        return std::nullopt;
    }
    if (parts.size() <= rootParts)
        return std::nullopt;
    std::wstring checked = prefix;
    for (const std::wstring_view part : parts)
        checked.append(L"\\").append(part);
    return checked;
}

std::wstring Extended(const std::wstring& path)
{
    if (path.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

std::wstring ParentOf(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos)
        return {};
    // The parent of "C:\b" (or "\\?\C:\b") is the root, which keeps its backslash.
    if (slash > 0 && path[slash - 1] == L':')
        return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

std::wstring NameOf(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name)
{
    if (!folder.empty() && IsSeparator(folder.back()))
        return folder + name;
    return folder + L"\\" + name;
}

bool PathExists(const std::wstring& path) { return GetFileAttributesW(Extended(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool SamePathText(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() &&
           CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
               CSTR_EQUAL;
}

bool SameOrInside(std::wstring_view inner, std::wstring_view outer)
{
    if (outer.empty() || inner.size() < outer.size() || !SamePathText(inner.substr(0, outer.size()), outer))
        return false;
    return inner.size() == outer.size() || outer.back() == L'\\' || inner[outer.size()] == L'\\';
}

bool NamesMatch(std::wstring_view name, std::wstring_view reference)
{
    if (name.size() != reference.size())
        return false;
    const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    for (std::size_t i = 0; i < name.size(); ++i)
        if (lower(name[i]) != lower(reference[i]))
            return false;
    return true;
}

bool IsFolderPath(const std::wstring& path)
{
    const auto checked = CheckedPath(path);
    if (!checked)
        return false;
    WIN32_FIND_DATAW found;
    const ScopedFind find(FindFirstFileW(Extended(*checked).c_str(), &found));
    return find.IsValid() && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
