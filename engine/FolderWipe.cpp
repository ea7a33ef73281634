// The folder wipe of CSDEngine: the file stage through WipeFile, then the folder stage through
// the shell.
#include "CSADirRead.h"
#include "CSDEngine.h"
#include "FileError.h"
#include "LinkGuard.h"
#include "Seams.h"

#include <windows.h>
#include <shellapi.h>

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A path list for the shell: the path, its terminating NUL and the NUL that ends the list.
std::string PathList(const std::string& path) { return path + std::string(2, '\0'); }

// The shell's ANSI entry points take MAX_PATH characters at most; a longer path must fail as a
// whole rather than be cut short into some other path.
bool FitsTheShell(const std::string& path) { return !path.empty() && path.size() < MAX_PATH; }

}  // namespace

bool CSDEngine::WipeFolder(const std::string& path)
{
    std::string root = path;
    CSADirRead::NormalizeFolderPath(root);
    const DWORD attributes = GetFileAttributesA(root.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    // Without this a file handed here would be deleted by the shell without being overwritten.
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (IsLinkOrReparsePoint(root))
        return RemoveLinkItself(root);

    CSADirRead reader;
    reader.CollectFolders(root);
    reader.CollectFiles();
    for (const FoundFile& file : reader.Files()) {
        try {
            WipeFile(file.path);
        } catch (const CFileException&) {
            // The file stays where it is; the folders above it then stay too, and the caller
            // learns that from the result.
        }
    }
    // Deepest first: a folder that cannot go stays, and the shell deletion of its parent then
    // removes what it can of it.
    for (const std::string& folder : reader.Folders())
        RenameAndDeleteFolder(ScrambledFolderPath(folder), folder);

    return !Exists(root) && !Exists(ScrambledFolderPath(root));
}

std::string CSDEngine::ScrambledFolderPath(const std::string& path)
{
    std::size_t cut = path.find_last_of("\\/");
    if (cut != std::string::npos)
        ++cut;
    else if (path.size() >= 2 && path[1] == ':')
        cut = 2;
    else
        cut = 0;
    return path.substr(0, cut) + m_digest.HashToHex(path);
}

bool CSDEngine::RenameAndDeleteFolder(const std::string& target, const std::string& source)
{
    if (!FitsTheShell(source) || !FitsTheShell(target))
        return false;
    // The shell would rename on collision, and the deletion below would then remove whatever
    // already carried the target's name.
    if (Exists(target) || !ClearLinksFromTree(source))
        return false;
    if (!RunShellOperation(FO_MOVE, source, target))
        return false;
    return DeleteFolderTree(target) && !Exists(source);
}

bool CSDEngine::DeleteFolderTree(const std::string& path)
{
    if (!FitsTheShell(path) || !ClearLinksFromTree(path))
        return false;
    return RunShellOperation(FO_DELETE, path, path) && !Exists(path);
}

bool CSDEngine::RunShellOperation(unsigned operation, const std::string& source, const std::string& target)
{
    const std::string from = PathList(source);
    const std::string to = PathList(target);
    SHFILEOPSTRUCTA op{};
    op.hwnd = nullptr;
    op.wFunc = operation;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = static_cast<FILEOP_FLAGS>(SHELL_FLAGS);
    const int result = SHFileOperationA(&op);
    if (op.fAnyOperationsAborted) {
        seams::ShowPrompt(seams::PromptKind::Framework, "Aborted!", "", MB_OK);
        return false;
    }
    if (op.hNameMappings)
        SHFreeNameMappings(op.hNameMappings);
    return result == 0;
}

// Whether nothing in the tree is a link any more. On Windows the links found are removed (that
// leaves their targets alone); under Wine they stay and the tree is reported as holding one,
// because the shell's deletion there follows links out of the folder. A part of the tree that
// cannot be listed counts as holding one: what cannot be seen cannot be vouched for.
bool CSDEngine::ClearLinksFromTree(const std::string& folder)
{
    bool clean = true;
    const bool listed = ForEachEntry(folder, [&](const WIN32_FIND_DATAA& entry) {
        const std::string child = folder + "\\" + entry.cFileName;
        if (IsLinkOrReparsePoint(child))
            clean = RemoveLinkItself(child) && clean;
        else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            clean = ClearLinksFromTree(child) && clean;
    });
    return listed && clean;
}
