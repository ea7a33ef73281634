#include "ShellFolders.h"

#include "ExactPath.h"
#include "NeverDestroy.h"

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

bool IsTooBroadToEmpty(const std::wstring& folder)
{
    return NeverDestroyPolicy::OfThisMachine().Judge(folder, PathUse::EmptyTraces) != Refusal::None;
}
