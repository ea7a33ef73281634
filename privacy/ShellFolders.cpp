#include "ShellFolders.h"

#include "ExactPath.h"
#include "LinkGuard.h"

#include <windows.h>
#include <shlobj.h>

#include <optional>
#include <vector>

namespace {

// Calls `query(buffer, size)` with a buffer that grows until the whole text fits; `query` returns
// the length written, or the size needed when the buffer is too small, or 0 on failure.
template <typename Query>
std::optional<std::wstring> QueryText(Query query)
{
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (int attempt = 0; attempt < 4; ++attempt) {
        const UINT length = query(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0)
            return std::nullopt;
        if (length < buffer.size()) {
            std::wstring path(buffer.data(), length);
            TrimTrailingSeparators(path);
            return path;
        }
        buffer.resize(length + 1);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::wstring> ResolveShellFolder(int csidl)
{
    // The shell's lookup writes at most MAX_PATH characters, so this buffer cannot be overrun.
    wchar_t path[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE) || path[0] == L'\0')
        return std::nullopt;
    std::wstring folder = path;
    TrimTrailingSeparators(folder);
    return folder;
}

std::optional<std::wstring> TemporaryFolder()
{
    return QueryText([](wchar_t* buffer, UINT size) { return static_cast<UINT>(GetTempPathW(size, buffer)); });
}

std::optional<std::wstring> LegacyHistoryFolder()
{
    auto windows = QueryText([](wchar_t* buffer, UINT size) { return GetWindowsDirectoryW(buffer, size); });
    if (!windows)
        return std::nullopt;
    return JoinPath(*windows, L"History");
}

namespace {

std::wstring WithoutTrailingSeparators(std::wstring path)
{
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    return path;
}

// The full path as typed, nothing resolved; no trailing backslash.
std::wstring FullPathOf(const std::wstring& path)
{
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return {};
    std::wstring full(length, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), length, full.data(), nullptr));
    return WithoutTrailingSeparators(full);
}

// Where the folder really lands, links resolved and "\\?\" or "\\?\UNC\" taken off; its full
// path when it cannot be opened. No trailing backslash.
std::wstring LandingOf(const std::wstring& path)
{
    std::wstring result;
    const ScopedHandle handle(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (handle.IsValid())
        result = FinalPathOf(handle.Get()).value_or(std::wstring());
    if (result.empty())
        return FullPathOf(path);
    if (result.rfind(L"\\\\?\\UNC\\", 0) == 0)
        result = L"\\" + result.substr(7);
    else if (result.rfind(L"\\\\?\\", 0) == 0)
        result = result.substr(4);
    return WithoutTrailingSeparators(result);
}

bool IsRoot(const std::wstring& landing)
{
    if (landing.size() <= 2)
        return true;  // "C:" (its backslash taken off) or nothing at all
    if (landing.rfind(L"\\\\", 0) == 0) {
        // \\server\share: two components after the leading backslashes.
        const std::size_t server = landing.find(L'\\', 2);
        return server == std::wstring::npos || landing.find(L'\\', server + 1) == std::wstring::npos;
    }
    return false;
}

bool SameOrInside(const std::wstring& inner, const std::wstring& outer)
{
    if (inner.size() < outer.size())
        return false;
    if (CompareStringOrdinal(inner.c_str(), static_cast<int>(outer.size()), outer.c_str(),
                             static_cast<int>(outer.size()), TRUE) != CSTR_EQUAL)
        return false;
    return inner.size() == outer.size() || inner[outer.size()] == L'\\';
}

}  // namespace

bool IsTooBroadToEmpty(const std::wstring& folder)
{
    // Judged as the purge names the entries, folder + "\": "C:" alone would be the current folder,
    // yet "C:" + "\name" lies in the root.
    std::wstring wide = folder;
    if (wide.empty() || (wide.back() != L'\\' && wide.back() != L'/'))
        wide += L'\\';
    const std::wstring candidates[] = {LandingOf(wide), FullPathOf(wide)};
    for (const std::wstring& candidate : candidates)
        if (IsRoot(candidate))
            return true;
    static constexpr int kKept[] = {CSIDL_PROFILE,       CSIDL_PERSONAL,      CSIDL_DESKTOPDIRECTORY,
                                    CSIDL_MYPICTURES,    CSIDL_MYMUSIC,       CSIDL_MYVIDEO,
                                    CSIDL_APPDATA,       CSIDL_LOCAL_APPDATA, CSIDL_COMMON_DOCUMENTS,
                                    CSIDL_WINDOWS,       CSIDL_SYSTEM,        CSIDL_PROGRAM_FILES};
    for (const int csidl : kKept) {
        wchar_t path[MAX_PATH + 1] = {};
        if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE) || path[0] == L'\0')
            continue;
        // Both as the platform names it and where it lands: Wine links some of them out of the drive.
        for (const std::wstring& kept : {LandingOf(path), FullPathOf(path)})
            for (const std::wstring& candidate : candidates)
                if (!kept.empty() && SameOrInside(kept, candidate))
                    return true;
    }
    return false;
}
