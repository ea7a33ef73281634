#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Why something the user chose is still on the disk after a wipe.
enum class LeftReason {
    InvalidPath,  // empty, relative, a drive root or no name at all: refused before anything happened
    Link,         // a link: nothing behind it is touched (under Wine the link itself stays too)
    HardLinks,    // the data has another name elsewhere, which overwriting would destroy too
    WrongKind,    // a folder given to the file wipe, or a file given to the folder wipe
    InUse,        // it could not be opened (another program holds it, access denied)
    Overwrite,    // not every pass could be written: not renamed, not deleted
    Rename,       // overwritten, but it could not be moved to its scrambled name
    Delete,       // overwritten (and scrambled), but it could not be deleted
    NotEmpty,     // a folder that still holds something
    TooBroad,     // a folder that holds far more than traces (a root, the profile...): never emptied
    NamesKept,    // a folder in which the removed names could not be overwritten: they may still be read there
    Missing,      // nothing was found under the chosen path when its turn came
    NotReached,   // the run was cancelled before it came to this item, which is untouched
    Interrupted,  // a folder the run was cancelled inside: some of its files are gone, the rest stay
    Protected,    // the never-destroy policy refused it when the run came to it
    Busy,         // the engine was serving another thread's wipe: untouched
};

// What remains, where it now is (its scrambled name when it was left there), and why.
struct Leftover {
    std::wstring path;
    LeftReason reason;
    std::size_t filesInside = 0;  // for a folder left Interrupted: how many files it still holds
    bool operator==(const Leftover&) const = default;
};

// The outcome of a wipe: whether the chosen item is gone, and everything of it that remains.
struct WipeResult {
    bool gone = false;
    std::vector<Leftover> leftovers;

    explicit operator bool() const { return gone; }
    static WipeResult Gone() { return {true, {}}; }
    static WipeResult Left(std::wstring path, LeftReason reason) { return {false, {{std::move(path), reason}}}; }
};

// The reason in a few words of code page 949, as the messages show it.
const char* ReasonText(LeftReason reason);

// What remains, in code page 949: a blank line, then the first `shown` paths, one a line, each with
// its reason (and the files a folder still holds), then how many more after another blank line.
std::string RemainingLines(const std::vector<Leftover>& remaining, std::size_t shown = 10);

// The message of a run that left something behind: a heading, then RemainingLines.
std::string RemainingMessage(const std::vector<Leftover>& remaining, std::size_t shown = 10);
