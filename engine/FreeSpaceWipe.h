#pragma once
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Wiping a drive's free space: what files deleted earlier by other means left in free clusters,
// and on NTFS in free records of the file table, is overwritten by files of our own that fill the
// drive, which are then deleted. Existing files are never opened. Roots are "D:\" (see DriveRootOf).

// Why a drive is not wiped at all.
enum class FreeSpaceRefusal {
    None,
    NotADriveRoot,  // not a drive letter alone ("D:", "D:\"): a folder or a share is not a drive
    NotLocal,       // a network drive: its free space lies on another machine's disk
    NotWritable,    // a CD, a drive that does not exist, or one of unknown kind
    ReadOnly,       // read-only, or our folder may not be made there (Wine says the same of both)
    FolderInUse,    // our fill folder exists and holds something not ours, so it cannot be made afresh
};

// What a caller sees while the operation runs, on the operation's own thread.
struct FreeSpaceProgress {
    ULONGLONG written = 0;  // bytes written so far, every pass counted
    ULONGLONG total = 0;    // the free space at the start times the passes of the schedule
    std::size_t smallFiles = 0;  // small files made so far, once the fill has reached the end
};

class FreeSpaceObserver {
public:
    virtual ~FreeSpaceObserver() = default;
    // After every pass of every fill file, and every few hundred small files.
    virtual void Progress(const FreeSpaceProgress& progress) = 0;
    // Asked before every pass and every small file; true stops the operation, which then deletes
    // everything it made before it returns.
    virtual bool Cancelled() = 0;
};

// The honest outcome of one run.
struct FreeSpaceResult {
    FreeSpaceRefusal refusal = FreeSpaceRefusal::None;
    ULONGLONG freeAtStart = 0;
    ULONGLONG bytesWritten = 0;  // every pass counted
    ULONGLONG filled = 0;        // free space covered by every pass of the schedule
    int passes = 0;              // listed passes plus the closing pass
    bool reachedEnd = false;     // the fill went on until the drive had no room left
    std::size_t smallFiles = 0;
    bool recordsExhausted = false;  // small files were made until the drive would take no more
    bool cancelled = false;
    DWORD error = 0;        // the platform error that stopped the fill; 0 when none did
    bool released = true;   // everything made is deleted and the fill folder removed

    // The whole free space received every pass, and nothing of ours is left on the drive.
    bool Complete() const
    {
        return refusal == FreeSpaceRefusal::None && reachedEnd && !cancelled && error == 0 && released;
    }
};

// The name of our fill folder at a drive's root ("QuenzoLite free space" where the drive refuses it).
std::wstring FillFolderName();

// "D:\" for "D:", "d:\" or "D:/"; nothing for anything else (a folder, a share, "\\?\D:").
std::optional<std::wstring> DriveRootOf(const std::wstring& given);

// Whether the drive at `root` (from DriveRootOf) may have its free space wiped. Asks the platform
// for the drive's kind and flags only; a read-only drive that does not say so is found when the
// fill folder cannot be made.
FreeSpaceRefusal JudgeFreeSpaceDrive(const std::wstring& root);

// The drives a user may choose: local fixed and removable drives that are not refused, as roots.
std::vector<std::wstring> WipeableDrives();

// The bytes the drive has free for us now; 0 when it cannot be asked.
ULONGLONG FreeBytesOf(const std::wstring& root);

// Removes a fill folder that an earlier run left (a crash, a power cut): only our fill and small
// files in it, never a link, a folder or a file of another name; then the folder if empty.
// Returns true when no fill folder remains on the drive; false leaves it with what it holds.
bool RemoveLeftoverFill(const std::wstring& root);

// Wipes the free space of the drive at `root` with method `method`'s schedule (1..13; its listed
// passes and the closing 0x00 pass). Removes a leftover fill folder first, then makes ours and
// fills the drive with files, each given every pass before the next is made, until the drive has
// no room; then makes small files until it takes no more, flushes them, deletes everything and
// removes the folder. On cancel or an error it stops and deletes everything at once. Returns what
// happened; with `released` false, files of ours stay in the fill folder (named in it as F... and
// S...), which the next run or the program's next start removes.
FreeSpaceResult WipeFreeSpace(const std::wstring& root, int method, FreeSpaceObserver& observer);

// The outcome in a few lines of code page 949, as the window and QuenzoWipe tell it.
std::string FreeSpaceReport(const FreeSpaceResult& result);

// A size for people in code page 949: "8.0 MB", "1.5 GB".
std::string BytesText(ULONGLONG bytes);

// The progress for people: "1.5 GB / 8.0 GB (18%)", or the small files made once the fill is done.
std::string WrittenText(const FreeSpaceProgress& progress);
// The time left at the pace so far, "남은 시간 3분 20초"; empty until there is a pace to tell.
std::string TimeLeftText(const FreeSpaceProgress& progress, ULONGLONG elapsedMs);
