#include "ShellFolders.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

namespace {

void DropTrailingSeparators(std::string& path)
{
    // "C:\" keeps its backslash: without it "C:" means the drive's current folder.
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
}

// Calls `query(buffer, size)` with a buffer that grows until the whole text fits; `query` returns
// the length written, or the size needed when the buffer is too small, or 0 on failure.
template <typename Query>
std::optional<std::string> QueryText(Query query)
{
    std::vector<char> buffer(MAX_PATH + 1);
    for (int attempt = 0; attempt < 4; ++attempt) {
        const UINT length = query(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0)
            return std::nullopt;
        if (length < buffer.size()) {
            std::string path(buffer.data(), length);
            DropTrailingSeparators(path);
            return path;
        }
        buffer.resize(length + 1);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ResolveShellFolder(int csidl)
{
    // The shell's ANSI lookup writes at most MAX_PATH bytes, so this buffer cannot be overrun.
    char path[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE) || path[0] == '\0')
        return std::nullopt;
    std::string folder = path;
    DropTrailingSeparators(folder);
    return folder;
}

std::optional<std::string> TemporaryFolder()
{
    return QueryText([](char* buffer, UINT size) { return static_cast<UINT>(GetTempPathA(size, buffer)); });
}

std::optional<std::string> LegacyHistoryFolder()
{
    auto windows = QueryText([](char* buffer, UINT size) { return GetWindowsDirectoryA(buffer, size); });
    if (!windows)
        return std::nullopt;
    return *windows + (windows->back() == '\\' ? "History" : "\\History");
}
