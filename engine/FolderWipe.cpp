// The folder wipe of CSDEngine: the file stage through the file wipe, then the folder stage, each
// folder moved and deleted through a handle that was checked to land where the walk listed it.
#include "CSADirRead.h"
#include "CSDEngine.h"
#include "ExactPath.h"
#include "FileError.h"
#include "HandleOps.h"

#include <windows.h>

#include <map>

namespace {

void Absorb(WipeResult& total, WipeResult part)
{
    for (Leftover& leftover : part.leftovers)
        total.leftovers.push_back(std::move(leftover));
}

}  // namespace

WipeResult CSDEngine::WipeFolder(const std::wstring& path)
{
    const Inside inside(*this);
    if (!inside)
        return WipeResult::Left(path, LeftReason::Busy);
    const auto root = Locate(path);
    if (!root)
        return NotLocated(path);
    {
        const Opened opened = OpenLocated(*root, 0);
        if (!opened.IsValid())
            return NotOpened(*root, opened.failure);
        // Without this a file handed here would be moved to a scrambled name without being overwritten.
        if (!(opened.facts.attributes & FILE_ATTRIBUTE_DIRECTORY))
            return WipeResult::Left(root->path, LeftReason::WrongKind);
    }

    CSADirRead reader;
    reader.CollectFolders(*root);
    reader.CollectFiles();
    WipeResult result;
    // The names each folder lost, by the folder's path as the walk gave it.
    std::map<std::wstring, std::vector<FreedName>> freed;
    // Names that earlier file wipes of a run freed inside the tree go with the folder's own scrub,
    // which must come before the folder moves.
    for (const LocatedPath& folder : reader.Folders())
        TakeDeferred(folder, freed[folder.path]);
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
    Absorb(result, ScrubOrDefer(parent, freed[parent.path]));
    result.gone = !PathExists(root->path) && !PathExists(ScrambledPath(root->path));
    return result;
}

WipeResult CSDEngine::RenameAndDeleteFolder(const LocatedPath& folder, std::vector<FreedName>* freed)
{
    Opened opened = OpenLocated(folder, DELETE | FILE_LIST_DIRECTORY | FILE_WRITE_ATTRIBUTES);
    if (!opened.IsValid()) {
        // A folder of the walk that became a link meanwhile stays as it is, the link too.
        if (opened.failure == OpenFailure::Missing)
            return WipeResult::Gone();
        return WipeResult::Left(folder.path, opened.failure == OpenFailure::Elsewhere ? LeftReason::Link : LeftReason::InUse);
    }
    ScopedHandle& handle = opened.handle;
    const FileFacts& facts = opened.facts;
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
