#include "FolderPurge.h"

#include "ExactPath.h"
#include "HandleOps.h"
#include "ShellFolders.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr LONGLONG kIndexHeaderSize = 64;
constexpr DWORD kZeroChunkSize = 10000;
constexpr char kIndexSignature[] = "Client UrlCache MMF Ver ";
constexpr std::size_t kIndexSizeOffset = 28;

// Whether the header read from a file of `size` bytes is that of an index file of the URL cache.
bool IsIndexHeader(const unsigned char* header, LONGLONG size)
{
    if (std::memcmp(header, kIndexSignature, sizeof(kIndexSignature) - 1) != 0)
        return false;
    DWORD recorded = 0;
    std::memcpy(&recorded, header + kIndexSizeOffset, sizeof(recorded));
    return static_cast<LONGLONG>(recorded) == size;
}

void PurgeTree(const LocatedPath& folder, bool deleteDesktopIni, bool zeroIndexFile)
{
    ForEachEntry(folder.path, [&](const WIN32_FIND_DATAW& entry) {
        const std::wstring name = entry.cFileName;
        if (!deleteDesktopIni && NamesMatch(name, L"desktop.ini"))
            return;
        const LocatedPath child = Child(folder, name);
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // The zero-fill opens the file for writing, which a handle held for deletion would refuse.
        if (!isFolder && zeroIndexFile && NamesMatch(name, L"index.dat"))
            ZeroIndexFile(child);
        Opened opened = OpenLocated(child, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
        if (!opened.IsValid()) {
            // Before anything else: even clearing an attribute through a link changes its target.
            if (opened.failure == OpenFailure::Elsewhere)
                RemoveLinkItself(child.path);
            return;
        }
        const DWORD attributes = opened.facts.attributes;
        if (attributes & FILE_ATTRIBUTE_READONLY)
            SetAttributesByHandle(opened.handle.Get(), attributes & ~FILE_ATTRIBUTE_READONLY);
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            // Listing the folder needs it free of a handle held for deletion; the handle opened
            // again afterwards must land where the first one did.
            opened.handle.Close();
            PurgeTree(child, deleteDesktopIni, zeroIndexFile);
            opened = OpenLocated(child, DELETE);
        }
        // A folder that still holds something refuses; so does a file in use. Both stay.
        if (opened.IsValid())
            DeleteByHandle(opened.handle.Get());
    });
}

}  // namespace

bool PurgeFolder(const std::wstring& folder, bool deleteDesktopIni, bool zeroIndexFile)
{
    const auto checked = CheckedPath(folder);
    if (!checked || IsTooBroadToEmpty(*checked))
        return false;
    const auto root = Locate(*checked);
    if (!root)
        return false;
    const Opened opened = OpenLocated(*root, 0);
    if (!opened.IsValid() || !(opened.facts.attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    PurgeTree(*root, deleteDesktopIni, zeroIndexFile);
    return true;
}

bool ZeroIndexFile(const std::wstring& folder, const std::wstring& name)
{
    const auto file = Locate(JoinPath(folder, name));
    return file && ZeroIndexFile(*file);
}

bool ZeroIndexFile(const LocatedPath& file)
{
    const Opened opened = OpenLocated(file, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!opened.IsValid() || (opened.facts.attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const ScopedHandle& handle = opened.handle;
    const auto size = static_cast<LONGLONG>(opened.facts.size);
    // Writing from the header's end of a shorter file would extend it with zeros.
    if (size <= kIndexHeaderSize)
        return false;
    unsigned char header[kIndexHeaderSize];
    DWORD got = 0;
    if (!ReadFile(handle.Get(), header, sizeof(header), &got, nullptr) || got != sizeof(header) ||
        !IsIndexHeader(header, size))
        return false;

    const std::vector<char> zeros(kZeroChunkSize, '\0');
    LONGLONG remaining = size - kIndexHeaderSize;
    while (remaining > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<LONGLONG>(remaining, kZeroChunkSize));
        DWORD written = 0;
        if (!WriteFile(handle.Get(), zeros.data(), chunk, &written, nullptr) || written != chunk)
            return false;
        remaining -= chunk;
    }
    return true;
}
