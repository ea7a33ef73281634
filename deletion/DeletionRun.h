#pragma once
#include "WipeResult.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CSDEngine;
class NeverDestroyPolicy;

// What the deletion worker shows, in the order it happens. The progress window implements it with
// messages to its own controls; the worker never touches a control itself.
class DeletionDisplay {
public:
    virtual ~DeletionDisplay() = default;
    virtual void SetTotalRange(std::int64_t maximum) = 0;
    virtual void SetFileRange(int passCount) = 0;
    // The path as code page 949 text, for showing only.
    virtual void ShowPath(const std::string& path) = 0;
    // One paced step: pass `pass` of `passCount` of the current file, with both percentages
    // already formatted, and the total number of steps taken after this one.
    virtual void ShowStep(int passCount, int pass, const std::string& filePercent,
                          const std::string& totalPercent, std::int64_t stepsDone) = 0;
    // Checked at every step boundary: true stops the run for good.
    virtual bool IsHalted() const = 0;
};

struct DeletionOutcome {
    bool halted = false;
    // How many of the chosen entries the engine destroyed and that are really gone afterwards.
    std::size_t destroyed = 0;
    // What could not be destroyed, where it now is, and why: each once, with the chosen entries the
    // run found missing, never reached, or was stopped inside.
    std::vector<Leftover> remaining;
};

// Destroys the entries (exact paths) in order: a folder's files one by one through WipeFile, then
// the folder through WipeFolder; a file through WipeFile. An entry that is not there when its turn
// comes is neither counted, shown nor handed to the engine, but reported missing (unless an entry
// destroyed earlier in the run held it). After every file the display steps through `passCount`
// passes, pausing 100 ms per pass and 500 ms per file. A failed rename is caught per file and the
// run goes on. The whole run is one run of the engine (CSDEngine::BeginRun): each folder's freed
// names are scrubbed once, before the outcome is returned. A halt makes no further wipe: the entry
// it came in stays with the files it still holds, and those after it stay untouched.
// With a `policy`, every entry is judged again before anything is counted or destroyed (it was
// judged when it was added, but a folder above it may have been swapped for a link since); a
// refused one stays, untouched and uncounted, and is reported first.
DeletionOutcome RunDeletion(CSDEngine& engine, const std::vector<std::wstring>& entries, int passCount,
                            DeletionDisplay& display, const NeverDestroyPolicy* policy = nullptr);

// The one message that ends a run of `chosen` entries, in code page 949: "퀜조 하였습니다." only when
// every entry was destroyed and nothing remains; otherwise whether it was cancelled, how many of the
// entries were destroyed, and what remains and why.
std::string EndReport(const DeletionOutcome& outcome, std::size_t chosen);

// How many passes the progress window shows per file for `method`: its listed passes, none for a
// number outside 1..13 (whose files still get the final step).
int DisplayedPassCount(int method);

// "%d%%" of numerator / denominator, 0 for an empty denominator, in 64 bits.
std::string PercentText(std::int64_t numerator, std::int64_t denominator);
