#include "FolderPurge.h"

#include "CSADirRead.h"
#include "LinkGuard.h"
#include "ScopedHandle.h"
#include "ShellFolders.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

constexpr LONGLONG kIndexHeaderSize = 64;
constexpr DWORD kZeroChunkSize = 10000;

}  // namespace

bool NamesMatch(const std::string& name, const char* reference)
{
    const std::string other = reference;
    return name.size() == other.size() && std::equal(name.begin(), name.end(), other.begin(), [](char a, char b) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(a) == lower(b);
           });
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        return folder + name;
    return folder + "\\" + name;
}

namespace {

bool PurgeTree(const std::string& listed, bool deleteDesktopIni, bool zeroIndexFile)
{
    return ForEachEntry(listed, [&](const WIN32_FIND_DATAA& entry) {
        const std::string name = entry.cFileName;
        if (!deleteDesktopIni && NamesMatch(name, "desktop.ini"))
            return;
        const std::string path = JoinPath(listed, name);
        // Before anything else: even clearing an attribute through a link changes its target.
        // A link that cannot be removed alone stays.
        if (IsLinkOrReparsePoint(path)) {
            RemoveLinkItself(path);
            return;
        }
        ClearReadOnly(path);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            PurgeTree(path, deleteDesktopIni, zeroIndexFile);
            RemoveDirectoryA(path.c_str());
            return;
        }
        if (zeroIndexFile && NamesMatch(name, "index.dat"))
            ZeroIndexFile(listed, name);
        DeleteFileA(path.c_str());
    });
}

}  // namespace

bool PurgeFolder(const std::string& folder, bool deleteDesktopIni, bool zeroIndexFile)
{
    // ForEachEntry lists folder + "\*.*"; a folder given with its trailing backslash must not
    // produce a doubled one.
    std::string listed = folder;
    while (listed.size() > 3 && (listed.back() == '\\' || listed.back() == '/'))
        listed.pop_back();
    if (IsTooBroadToEmpty(listed))
        return false;
    return PurgeTree(listed, deleteDesktopIni, zeroIndexFile);
}

bool ZeroIndexFile(const std::string& folder, const std::string& name)
{
    const std::string path = JoinPath(folder, name);
    const auto expected = ExpectedFinalPath(path);
    if (!expected)
        return false;
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid() || !HandleLandsAt(file.Get(), *expected))
        return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size))
        return false;
    // Writing from the header's end of a shorter file would extend it with zeros.
    if (size.QuadPart <= kIndexHeaderSize)
        return true;
    LARGE_INTEGER start{};
    start.QuadPart = kIndexHeaderSize;
    if (!SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN))
        return false;

    const std::vector<char> zeros(kZeroChunkSize, '\0');
    LONGLONG remaining = size.QuadPart - kIndexHeaderSize;
    while (remaining > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<LONGLONG>(remaining, kZeroChunkSize));
        DWORD written = 0;
        if (!WriteFile(file.Get(), zeros.data(), chunk, &written, nullptr) || written != chunk)
            return false;
        remaining -= chunk;
    }
    return true;
}
