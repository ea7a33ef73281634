#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct FoundFile {
    std::string path;  // folder path, a backslash, the file's name
    bool isFolder = false;  // always false: only files are recorded
    DWORD attributes = 0;
    FILETIME creationTime{};
    FILETIME lastWriteTime{};
    std::uint64_t size = 0;
};

// Lists a folder tree for one walk: its folders deepest first with the root last, then the files
// of those folders in that order. Folder links (junctions, symbolic links, any reparse point) are
// neither descended into nor listed, so a walk never leaves the chosen folder.
class CSADirRead {
public:
    // Sets the root (normalised) and fills the folder list in post-order, the root last.
    // A folder that cannot be enumerated contributes nothing below it.
    void CollectFolders(const std::string& path);

    // Fills the file list from the folder list. False only if the walk itself failed (memory).
    bool CollectFiles();

    // Trims trailing blanks and trailing separators: "C:\data\ " becomes "C:\data", "C:\" "C:".
    static void NormalizeFolderPath(std::string& path);

    const std::string& Root() const { return m_root; }
    const std::vector<std::string>& Folders() const { return m_folders; }
    const std::vector<FoundFile>& Files() const { return m_files; }

private:
    void ListFoldersBelow(const std::string& folder);

    std::string m_root;
    std::vector<std::string> m_folders;
    std::vector<FoundFile> m_files;
};

// Calls `visit` for every entry of `folder` but "." and ".."; false if it cannot be enumerated.
template <typename Visit>
bool ForEachEntry(const std::string& folder, Visit visit)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            visit(found);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return true;
}
