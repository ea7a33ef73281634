// The folder wipe of CSDEngine: the file stage through the file wipe, then the folder stage, each
// folder moved and deleted through a handle that was checked to land where the walk listed it.
#include "CSADirRead.h"
#include "CSDEngine.h"
#include "ExactPath.h"
#include "FileError.h"

#include <windows.h>

#include <map>

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool Exists(const std::wstring& path) { return GetFileAttributesW(Extended(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

void Absorb(WipeResult& total, WipeResult part)
{
    for (Leftover& leftover : part.leftovers)
        total.leftovers.push_back(std::move(leftover));
}

}  // namespace

WipeResult CSDEngine::WipeFolder(const std::wstring& path)
{
    const auto root = Locate(path);
    if (!root) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return WipeResult::Gone();
        return WipeResult::Left(path, error == ERROR_INVALID_NAME ? LeftReason::InvalidPath : LeftReason::InUse);
    }
    {
        OpenFailure failure;
        FileFacts facts;
        const ScopedHandle handle = OpenLocated(*root, 0, kShareAll, 0, failure, &facts);
        if (!handle.IsValid()) {
            if (failure == OpenFailure::Missing)
                return WipeResult::Gone();
            if (failure == OpenFailure::Elsewhere)
                return RemoveLinkItself(root->path) ? WipeResult::Gone() : WipeResult::Left(root->path, LeftReason::Link);
            return WipeResult::Left(root->path, LeftReason::InUse);
        }
        // Without this a file handed here would be moved to a scrambled name without being overwritten.
        if (!(facts.attributes & FILE_ATTRIBUTE_DIRECTORY))
            return WipeResult::Left(root->path, LeftReason::WrongKind);
    }

    CSADirRead reader;
    reader.CollectFolders(*root);
    reader.CollectFiles();
    WipeResult result;
    // The names each folder lost, by the folder's path as the walk gave it.
    std::map<std::wstring, std::vector<FreedName>> freed;
    for (const FoundFile& file : reader.Files()) {
        try {
            Absorb(result, WipeFileKeepingSlots(file, freed[ParentOf(file.path)]));
        } catch (const CFileException&) {
            // The file stays where it is; the folders above it then stay too.
            result.leftovers.push_back({file.path, LeftReason::Rename});
        }
    }
    // One scrub per folder, not per file: its entries are overwritten once, just before the
    // folder itself goes (its blocks are then freed holding random names only).
    for (const LocatedPath& folder : reader.Folders()) {
        if (const auto lost = freed.find(folder.path); lost != freed.end())
            Absorb(result, ScrubNames(folder, m_scrubs.Plan(folder.path, lost->second)));
        const WipeResult moved = RenameAndDeleteFolder(folder, &freed[ParentOf(folder.path)]);
        if (moved)
            m_scrubs.Forget(folder.path);
        Absorb(result, moved);
    }
    const LocatedPath parent{ParentOf(root->path), ParentOf(root->landing)};
    Absorb(result, ScrubNames(parent, m_scrubs.Plan(parent.path, freed[parent.path])));
    result.gone = !Exists(root->path) && !Exists(ScrambledPath(root->path));
    return result;
}

WipeResult CSDEngine::RenameAndDeleteFolder(const LocatedPath& folder, std::vector<FreedName>* freed)
{
    OpenFailure failure;
    FileFacts facts;
    ScopedHandle handle =
        OpenLocated(folder, DELETE | FILE_LIST_DIRECTORY | FILE_WRITE_ATTRIBUTES, kShareAll, 0, failure, &facts);
    if (!handle.IsValid()) {
        if (failure == OpenFailure::Missing)
            return WipeResult::Gone();
        return WipeResult::Left(folder.path, failure == OpenFailure::Elsewhere ? LeftReason::Link : LeftReason::InUse);
    }
    if (!(facts.attributes & FILE_ATTRIBUTE_DIRECTORY))
        return WipeResult::Left(folder.path, LeftReason::WrongKind);
    // A folder that keeps something keeps its name, so the report says where that something is.
    if (!HoldsNothing(handle.Get()))
        return WipeResult::Left(folder.path, LeftReason::NotEmpty);
    // Windows refuses to remove a read-only folder.
    if (facts.attributes & FILE_ATTRIBUTE_READONLY)
        SetAttributesByHandle(handle.Get(), facts.attributes & ~FILE_ATTRIBUTE_READONLY);
    const std::wstring scrambled = ScrambledPath(folder.path);
    if (RenameByHandle(handle.Get(), scrambled) != 0)
        return WipeResult::Left(folder.path, LeftReason::Rename);
    if (freed)
        freed->push_back(FreedNameOf(NameOf(folder.path)));
    if (!DeleteByHandle(handle.Get()))
        return WipeResult::Left(scrambled, LeftReason::Delete);
    handle.Close();
    if (freed)
        freed->push_back(FreedNameOf(NameOf(scrambled)));
    return WipeResult::Gone();
}
