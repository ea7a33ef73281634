#pragma once
#include "Cmd5Capi.h"
#include "LinkGuard.h"
#include "MethodCatalogue.h"
#include "NameScrub.h"
#include "WipeResult.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The secure-delete engine. It runs on the caller's thread and keeps a run's state (the digest's
// text, the file between its passes, the names waiting for their scrub) as members, so it serves
// one thread at a time: a wipe asked for on another thread while one is under way, or while
// another thread's run is open, is refused (LeftReason::Busy) and touches nothing. Paths are exact names (UTF-16,
// see ExactPath.h); every handle it opens must land where the walk expects (LinkGuard.h).
class CSDEngine {
public:
    // Reads the current method, which the deletion list window owns; called afresh for every file.
    using MethodAccessor = std::function<int()>;

    static constexpr unsigned CLOSING_PASS_PAUSE_MS = 500;
    // A pass reads and writes in calls of up to this many patterns (about 1 MiB): the bytes on the
    // disk are those of pattern-sized calls, with a hundredth of the calls.
    static constexpr std::size_t PATTERNS_PER_CALL = 102;

    // `closingPassPauseMs` is the wait before every closing pass. The windows keep the default:
    // it is part of the pace they show a user. QuenzoWipe passes 0 and waits nowhere; every pass
    // is flushed to the disk, so the wait protects nothing.
    explicit CSDEngine(MethodAccessor currentMethod, unsigned closingPassPauseMs = CLOSING_PASS_PAUSE_MS);
    // Finishes a run that its owner left open (see BeginRun), so that no freed name stays unscrubbed.
    virtual ~CSDEngine();
    CSDEngine(const CSDEngine&) = delete;
    CSDEngine& operator=(const CSDEngine&) = delete;

    // A run of wipes, such as a command line's paths or a list's rows. Between BeginRun and
    // FinishRun the names that file wipes remove are collected per folder instead of being
    // scrubbed after every file, and FinishRun scrubs each folder once, as the folder wipe does:
    // one scrub for many files costs about what one scrub per file did, and its names still
    // follow every freed one. A folder wipe inside the run scrubs the names collected within its
    // tree before its folders move; the names it frees in its parent wait for FinishRun. Runs
    // nest; only the outermost FinishRun scrubs. False, and no run, while another thread is inside.
    bool BeginRun();
    // Ends the run: scrubs every folder where it freed names, in the order it first did; where
    // several files freed them, twice (the second time its names shortest first). Returns Gone(),
    // plus Left(folder, NamesKept) for every folder whose scrub was not complete. Ends nothing on a
    // thread that has no run open.
    WipeResult FinishRun();
    // A run for the lifetime of the object; Finish() ends it and returns what FinishRun does.
    class WipeRun {
    public:
        explicit WipeRun(CSDEngine& engine) : m_engine(engine), m_finished(!engine.BeginRun()) {}
        ~WipeRun()
        {
            if (!m_finished)
                m_engine.FinishRun();
        }
        WipeRun(const WipeRun&) = delete;
        WipeRun& operator=(const WipeRun&) = delete;
        WipeResult Finish()
        {
            if (std::exchange(m_finished, true))
                return WipeResult::Gone();
            return m_engine.FinishRun();
        }

    private:
        CSDEngine& m_engine;
        bool m_finished;
    };

    // Destroys a chosen file: the current method's schedule (none outside 1..13), then the final
    // step. Gone only when every pass was written and the file deleted; a file that does not exist
    // is gone. Left, untouched, when the path is not a whole absolute path, names a folder or a
    // link (on Windows the link alone is removed), or the data has another hard link. Left under
    // its own name, read-only bit restored, when a pass could not be written. Throws
    // CFileException when the final step's rename fails: the file keeps its name and the passes.
    // Once the file's names are gone from its folder, their entries there are overwritten
    // (NameScrub.h), at once or, within a run, by FinishRun; where that fails the folder is
    // reported (NamesKept) beside a file that is gone.
    WipeResult WipeFile(const std::wstring& path);
    // The same for a file that a walk found, which must land where the walk listed it.
    WipeResult WipeFile(const LocatedPath& file);

    // Runs method `method`'s listed passes, then after a pause the closing 0x00 pass. Seeds the
    // random source first if the schedule has random passes. Stops at the first failed pass and
    // returns false; true when every pass was written. False for a method outside 1..13.
    bool RunSchedule(const LocatedPath& file, int method);

    // One complete overwrite: reads the whole file, then writes the pattern over it in place from
    // byte 0 across exactly its former length and flushes it to the disk. Clears the read-only
    // attribute first. Returns false, with the file possibly partly overwritten but never shorter,
    // when the file cannot be opened, read or written, lands elsewhere (a link) or has another
    // hard link. Within RunSchedule the file stays open from the first pass to the last, shared
    // with nobody; on its own a pass opens and closes it. Virtual so that a caller can watch
    // every pass as it lands on the disk (see ReadScheduledFile).
    virtual bool WritePass(const LocatedPath& file, const PatternBuffer& pattern);

    // The final step: renames the file to its scrambled name in its own folder, runs method 5's
    // schedule on it and deletes it. Throws CFileException with the platform's error code when the
    // rename fails (nothing else then happens to the file). When a pass fails the file stays under
    // its scrambled name and is reported there. Links and hard links are left as by WipeFile. The
    // names it removed are overwritten in the folder as by WipeFile.
    WipeResult ScrambleAndDelete(const LocatedPath& file);

    // Destroys a folder tree: every file through the file wipe (a failed rename is caught per file
    // and the file stays), then every folder, deepest first and the root last, moved to its
    // scrambled name in its parent and deleted there. Nothing outside the folder is touched:
    // folder links are not walked, nothing is opened that lands elsewhere than the walk listed,
    // and a folder that still holds anything is left under its own name. A path that is not a
    // folder or is a link is left (on Windows a link alone is removed); a missing one is gone.
    // The names removed from each folder are overwritten there once its files are gone, before
    // it moves, and those of the chosen folder in its parent at the end (NameScrub.h).
    WipeResult WipeFolder(const std::wstring& path);

    // The item's own folder followed by the 32 hex digits of the MD5 of its whole path (over
    // DigestInput: its code page 949 text where that is exact): a new name in the same folder.
    std::wstring ScrambledPath(const std::wstring& path);

protected:
    // The contents of the file that the running schedule holds, read through its handle (nobody
    // else can open the file until the schedule ends); nothing when no schedule holds a file.
    std::optional<std::string> ReadScheduledFile();

private:
    // Marks the calling thread as the one inside the engine, nested calls and runs counted; false
    // while another thread is inside. Every Enter that returned true is matched by one Leave.
    bool Enter();
    void Leave();
    // Enter for the span of one public operation.
    class Inside {
    public:
        explicit Inside(CSDEngine& engine) : m_engine(engine), m_entered(engine.Enter()) {}
        ~Inside()
        {
            if (m_entered)
                m_engine.Leave();
        }
        Inside(const Inside&) = delete;
        Inside& operator=(const Inside&) = delete;
        explicit operator bool() const { return m_entered; }

    private:
        CSDEngine& m_engine;
        bool m_entered;
    };

    // Moves one folder of a walk, empty by now, to its scrambled name and deletes it there.
    // Left when it lands elsewhere, still holds something, or cannot be moved or deleted. Adds
    // the names it removed from the parent to `freed` when given.
    WipeResult RenameAndDeleteFolder(const LocatedPath& folder, std::vector<FreedName>* freed);

    // The file wipe without the scrub: adds the names it removed from the folder to `freed`.
    WipeResult WipeFileKeepingSlots(const LocatedPath& file, std::vector<FreedName>& freed);
    WipeResult FinishFile(const LocatedPath& file, DWORD originalAttributes, std::vector<FreedName>& freed);
    WipeResult ScrubAfterFile(const LocatedPath& file, WipeResult result, const std::vector<FreedName>& freed);
    // Outside a run, scrubs `folder` for `freed` now; within one, adds them to the folder's names
    // that FinishRun scrubs.
    WipeResult ScrubOrDefer(const LocatedPath& folder, const std::vector<FreedName>& freed);
    // Moves the names the run collected for `folder` to `freed` (the folder wipe scrubs them).
    void TakeDeferred(const LocatedPath& folder, std::vector<FreedName>& freed);

    // The passes' handle: checked to land where the file was listed, shared with nobody.
    ScopedHandle OpenForPasses(const LocatedPath& file);
    // Opens a file of a wipe for `access` and checks that it is one file with one name; when it
    // is not, the handle is closed and `refusal` says what the wipe reports.
    static Opened OpenWipeable(const LocatedPath& file, DWORD access, DWORD share, WipeResult& refusal);
    // What an open that did not land leaves to report: nothing when the entry is gone, the link
    // removed where that is safe, or the entry left with its reason.
    static WipeResult NotOpened(const LocatedPath& entry, OpenFailure failure);
    // The attributes of a file a wipe may take, read through such a check that is closed again at
    // once (the passes that follow share the file with nobody); nothing, with `refusal`, if not.
    static std::optional<DWORD> CheckedAttributes(const LocatedPath& file, WipeResult& refusal);
    // What a chosen path that Locate refused leaves to report, from the platform's error.
    static WipeResult NotLocated(const std::wstring& path);

    // The file that a running schedule keeps open between its passes.
    struct HeldFile {
        LocatedPath file;
        ScopedHandle handle;
    };

    // The names a run freed in one folder, waiting for its scrub.
    struct DeferredScrub {
        LocatedPath folder;
        std::vector<FreedName> freed;
    };

    MethodAccessor m_currentMethod;
    unsigned m_closingPassPauseMs;
    std::atomic<DWORD> m_occupant{0};  // the thread inside, 0 when none
    int m_entries = 0;                 // its nested entries, an open run counting as one
    int m_runDepth = 0;
    std::vector<DeferredScrub> m_deferred;  // in the order the run first freed names there
    HeldFile* m_held = nullptr;
    Cmd5Capi m_digest;
    std::vector<unsigned char> m_ioBuffer;  // one pass's reads and writes, kept between passes
    ScrubHistory m_scrubs;
};
