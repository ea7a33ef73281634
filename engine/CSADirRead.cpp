#include "CSADirRead.h"

#include "ExactPath.h"

#include <new>

void CSADirRead::CollectFolders(const std::wstring& path)
{
    if (const auto root = Locate(path))
        CollectFolders(*root);
}

void CSADirRead::CollectFolders(const LocatedPath& root)
{
    const Opened opened = OpenLocated(root, 0);
    if (!opened.IsValid() || !(opened.facts.attributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    ListFoldersBelow(root);
    m_folders.push_back(root);
}

void CSADirRead::ListFoldersBelow(const LocatedPath& folder)
{
    ForEachEntry(folder.path, [&](const WIN32_FIND_DATAW& entry) {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return;
        // A folder link may lead anywhere: it is not part of the tree.
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return;
        const LocatedPath child = Child(folder, entry.cFileName);
        ListFoldersBelow(child);
        m_folders.push_back(child);
    });
}

bool CSADirRead::CollectFiles()
{
    try {
        for (const LocatedPath& folder : m_folders) {
            ForEachEntry(folder.path, [&](const WIN32_FIND_DATAW& entry) {
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    return;
                FoundFile file;
                static_cast<LocatedPath&>(file) = Child(folder, entry.cFileName);
                file.attributes = entry.dwFileAttributes;
                file.creationTime = entry.ftCreationTime;
                file.lastWriteTime = entry.ftLastWriteTime;
                file.size = (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
                m_files.push_back(std::move(file));
            });
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}
