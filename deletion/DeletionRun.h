#pragma once
#include "WipeResult.h"

#include <cstdint>
#include <string>
#include <vector>

class CSDEngine;

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
    // What could not be destroyed, where it now is, and why.
    std::vector<Leftover> remaining;
};

// Destroys the entries (exact paths) in order: a folder's files one by one through WipeFile, then
// the folder through WipeFolder; a file (or a path that is not found) through WipeFile. After
// every file the display steps through `passCount` passes, pausing 100 ms per pass and 500 ms per
// file. A failed rename is caught per file and the run goes on. Returns what remains (each once)
// and whether it was halted.
DeletionOutcome RunDeletion(CSDEngine& engine, const std::vector<std::wstring>& entries, int passCount,
                            DeletionDisplay& display);

// How many passes the progress window shows per file for `method`: its listed passes, none for a
// number outside 1..13 (whose files still get the final step).
int DisplayedPassCount(int method);

// "%d%%" of numerator / denominator, 0 for an empty denominator, in 64 bits.
std::string PercentText(std::int64_t numerator, std::int64_t denominator);
