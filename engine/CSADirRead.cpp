#include "CSADirRead.h"

#include <cctype>
#include <new>

void CSADirRead::NormalizeFolderPath(std::string& path)
{
    for (;;) {
        while (!path.empty() && std::isspace(static_cast<unsigned char>(path.back())))
            path.pop_back();
        std::size_t separator = path.find_last_of('\\');
        if (separator == std::string::npos)
            separator = path.find_last_of('/');
        if (separator == std::string::npos || separator + 1 != path.size())
            return;
        path.pop_back();
    }
}

void CSADirRead::CollectFolders(const std::string& path)
{
    m_root = path;
    NormalizeFolderPath(m_root);
    ListFoldersBelow(m_root);
    m_folders.push_back(m_root);
}

void CSADirRead::ListFoldersBelow(const std::string& folder)
{
    ForEachEntry(folder, [&](const WIN32_FIND_DATAA& entry) {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return;
        // A folder link may lead anywhere: it is not part of the tree.
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return;
        const std::string child = folder + "\\" + entry.cFileName;
        ListFoldersBelow(child);
        m_folders.push_back(child);
    });
}

bool CSADirRead::CollectFiles()
{
    try {
        for (const std::string& listed : m_folders) {
            if (listed.empty())
                continue;
            std::string folder = listed;
            NormalizeFolderPath(folder);
            ForEachEntry(folder, [&](const WIN32_FIND_DATAA& entry) {
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    return;
                FoundFile file;
                file.path = folder + "\\" + entry.cFileName;
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
