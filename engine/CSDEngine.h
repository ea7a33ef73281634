#pragma once
#include "Cmd5Capi.h"
#include "MethodCatalogue.h"

#include <functional>
#include <string>

// The secure-delete engine. It runs on the caller's thread and keeps the digest's result text as
// member state, so one instance must not run two wipes at once. Paths are code page 949 texts.
class CSDEngine {
public:
    // Reads the current method, which the deletion list window owns; called afresh for every file.
    using MethodAccessor = std::function<int()>;

    static constexpr unsigned CLOSING_PASS_PAUSE_MS = 500;

    explicit CSDEngine(MethodAccessor currentMethod);
    virtual ~CSDEngine() = default;

    // Overwrites the file with the current method's schedule (none outside 1..13), then runs the
    // final step. Returns whether the file is gone. A link is never written through: on Windows
    // the link alone is removed, under Wine it is left in place (false). Throws CFileException
    // when the final step's rename fails; the file then keeps its name and the passes written.
    bool WipeFile(const std::string& path);

    // Runs method `method`'s listed passes, then after a pause the closing 0x00 pass. Seeds the
    // random source first if the schedule has random passes. Stops at the first failed pass and
    // returns false; true when every pass was written. False for a method outside 1..13.
    bool RunSchedule(const std::string& path, int method);

    // One complete overwrite: reads the whole file, then writes the pattern over it in place from
    // byte 0 across exactly its former length and flushes it to the disk. Clears the read-only
    // attribute first. Returns false, with the file possibly partly overwritten but never shorter,
    // when the file cannot be opened, read or written, or when it is a link.
    // Virtual so that a caller can watch every pass as it lands on the disk.
    virtual bool WritePass(const std::string& path, const PatternBuffer& pattern);

    // The final step: renames the file to its scrambled name in its own folder, runs method 5's
    // schedule on it and deletes it. Returns whether the file is gone. Throws CFileException with
    // the platform's error code when the rename fails (nothing else then happens to the file).
    // A link is handled as by WipeFile.
    bool ScrambleAndDelete(const std::string& path);

    // Destroys a folder tree: every file through the file wipe (a failed rename is caught per file
    // and the file stays), then every folder, deepest first and the root last, moved to its
    // scrambled name in its parent and deleted there by the shell. Returns whether the folder is
    // gone. Nothing outside the folder is touched: folder links are not walked, file links not
    // written through, and a folder still holding a link is never handed to the shell (on Windows
    // the link itself is removed first; under Wine the link and the folders above it stay). A path
    // that is not a folder is left alone (false); a missing one is already gone (true).
    bool WipeFolder(const std::string& path);

    // Moves `source` to `target` through the shell, then deletes it there. Returns whether the
    // folder is gone from both places. Refuses (false, nothing moved) a target that already exists,
    // a path the shell cannot take whole, and a tree that still holds a link.
    bool RenameAndDeleteFolder(const std::string& target, const std::string& source);

    // Shell deletion of a folder with everything still in it. Returns whether it is gone; refuses
    // a path the shell cannot take whole and a tree that still holds a link.
    bool DeleteFolderTree(const std::string& path);

    // The file's folder (up to and including the last backslash) followed by the 32 hex digits of
    // the MD5 of the whole path.
    std::string ScrambledFilePath(const std::string& path);

    // The folder's drive and directory part (ending in its separator) followed by the 32 hex
    // digits of the MD5 of the whole path: a new name in the same parent folder.
    std::string ScrambledFolderPath(const std::string& path);

    // FOF_SILENT | FOF_RENAMEONCOLLISION | FOF_NOCONFIRMATION | FOF_FILESONLY | FOF_SIMPLEPROGRESS
    // | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI: no questions, no error boxes, no recycle bin.
    static constexpr unsigned SHELL_FLAGS = 0x79C;

private:
    bool ClearLinksFromTree(const std::string& folder);
    bool RunShellOperation(unsigned operation, const std::string& source, const std::string& target);

    MethodAccessor m_currentMethod;
    Cmd5Capi m_digest;
};
