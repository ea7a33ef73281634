#pragma once
#include "LinkGuard.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// One file of a walk: its exact path, where a handle to it must land, and what the listing said.
struct FoundFile : LocatedPath {
    bool isFolder = false;  // always false: only files are recorded
    DWORD attributes = 0;
    FILETIME creationTime{};
    FILETIME lastWriteTime{};
    std::uint64_t size = 0;
};

// Lists a folder tree for one walk: its folders deepest first with the root last, then the files
// of those folders in that order, by their exact names. The root's final path is fixed once, and
// every entry is recorded as that final path followed by the names listed (LinkGuard.h), so a
// folder swapped for a link later lands elsewhere and is refused by whoever opens it. Folder
// links are neither descended into nor listed; a root that is a link or not a folder lists nothing.
class CSADirRead {
public:
    // Locates `path` (an exact, whole path) and fills the folder list in post-order, the root
    // last. A folder that cannot be enumerated contributes nothing below it.
    void CollectFolders(const std::wstring& path);
    void CollectFolders(const LocatedPath& root);

    // Fills the file list from the folder list. False only if the walk itself failed (memory).
    bool CollectFiles();

    const std::vector<LocatedPath>& Folders() const { return m_folders; }
    const std::vector<FoundFile>& Files() const { return m_files; }

private:
    void ListFoldersBelow(const LocatedPath& folder);

    std::vector<LocatedPath> m_folders;
    std::vector<FoundFile> m_files;
};
