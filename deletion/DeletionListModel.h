#pragma once
#include "NeverDestroy.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// The rows of the deletion list: the one store of what a run destroys. The window only shows
// them, and a run takes a copy of their paths when it starts. It lives while the window is open,
// so a row the user no longer sees can never be destroyed. Row 0 is the top row.

struct ListedEntry {
    std::wstring path;     // exact, as the engine takes it
    std::string sizeText;  // code page 949, as the size column shows it
};

// The size column: the size in bytes / 1024 with two decimals ("%.2f"), all 64 bits of it; a
// folder shows 0.00; a path whose attributes cannot be read shows nothing.
std::string SizeText(const std::wstring& path);

// How a path comes in, which decides where its row goes and what is said about a repeat.
enum class EntrySource {
    Chosen,     // file picker or drop: at the top; a path already listed is left out and named
    Folder,     // folder picker: the second row (the only one of an empty list); may repeat a row
    Requested,  // Explorer's verb: a folder as Folder, anything else as Chosen, repeats left out quietly
};

// What one batch of paths left out, to be told in one message.
struct AddingOutcome {
    std::vector<std::wstring> duplicates;
    std::vector<std::pair<std::wstring, Refusal>> refused;
};

class DeletionListModel {
public:
    const std::vector<ListedEntry>& Entries() const { return m_entries; }
    std::size_t Count() const { return m_entries.size(); }
    // The exact paths in row order: what a run started now would destroy.
    std::vector<std::wstring> Paths() const;

    // Adds `paths` in order as `source` says. Each is judged by `policy` first: a refused path and
    // a repeat (compared exactly, letter case included) are left out and named in the outcome;
    // the others are added. Reads each added path's size from the file system.
    AddingOutcome Add(const std::vector<std::wstring>& paths, EntrySource source, const NeverDestroyPolicy& policy);
    // Removes the rows at `rows`, in any order; an index past the end is ignored.
    void Remove(std::vector<std::size_t> rows);
    void Clear() { m_entries.clear(); }

private:
    bool Contains(const std::wstring& path) const;

    std::vector<ListedEntry> m_entries;
};

// The one message about a batch's left-out paths, in code page 949; "" when none was left out.
// It names at most kReportedPaths paths of each kind and counts the rest.
std::string AddingReport(const AddingOutcome& outcome);
constexpr std::size_t kReportedPaths = 10;
