#pragma once
#include "LinkGuard.h"
#include "Seams.h"
#include "WipeResult.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Deleting a name does not erase it from its folder: FAT and exFAT only mark its entries free,
// NTFS leaves it in the unused tail of an index node or of the folder's record. The only way to
// those bytes through file calls is to make the file system write new entries where the old ones
// were: empty files with random names, all held at once (one at a time would take the same free
// entries again and again), then all deleted. File systems take the first free run of entries
// that a name fits, so the new names mirror the freed ones in length and form, and short 8.3
// names and a few long ones fill what is left over.

// One name a wipe removed from a folder, by what decides the room its entry took.
struct FreedName {
    std::size_t length = 0;  // in UTF-16 units
    bool shortForm = false;  // an 8.3 name in one letter case: a single FAT entry, no long name
    std::size_t baseLength = 0;  // of a short form: before the dot, and after it
    std::size_t extensionLength = 0;
    bool operator==(const FreedName&) const = default;
};

FreedName FreedNameOf(const std::wstring& name);

// Random names for the scrub: `length` characters of the scrub's alphabet, made in 8.3 form
// (lowercase letters and digits, a dot after `baseLength`) when `shortForm` is set, otherwise
// with upper and lower case letters mixed so that FAT must give them a long name.
using ScrubNameSource = std::function<std::wstring(const FreedName& shape)>;

// The names to create for `freed`: per freed name one 15 characters longer, then one mirror per
// freed name (each group longest first), then one 8.3 name per freed name, then kLongNames names
// of kLongNameLength characters; never more than kMaxNames.
constexpr std::size_t kLongNameLength = 64;
constexpr std::size_t kLongNames = 2;
constexpr std::size_t kMaxNames = 128;
std::vector<FreedName> PlanScrub(const std::vector<FreedName>& freed);

// Overwrites the entries that freed names left in `folder`: creates the names of `plan` (see
// PlanScrub) there, each new (a name that exists is never opened: another is drawn), none through
// a link, each checked to land in the folder, all held open together, flushes the folder, then
// deletes every one of them by its own handle and flushes again. Only what it created is deleted;
// a file that landed elsewhere (the folder was swapped meanwhile) is ours too and goes. A crash in
// between leaves nothing: the files are created to be deleted when their handles close.
// Returns Gone() when every planned name was written and removed; Left(folder, NamesKept) when
// the folder could not be opened where it must be, refused a name or could not be flushed, or a
// created file stayed.
WipeResult ScrubNames(const LocatedPath& folder, const std::vector<FreedName>& plan);

// What the scrubs of one engine created, per folder. Their entries are free again once they are
// deleted, and a file system that takes the first free run a name fits would put the next scrub's
// names there rather than where the next file's names were. So a folder's next scrub creates the
// earlier ones' names again first, in the same order and of the same shapes, which fall into the
// same runs; kMaxNames bounds it, the earlier names cut first.
class ScrubHistory {
public:
    std::vector<FreedName> Plan(const std::wstring& folder, const std::vector<FreedName>& freed);
    // The folder is gone: its runs with it.
    void Forget(const std::wstring& folder) { m_created.erase(folder); }

private:
    std::map<std::wstring, std::vector<FreedName>> m_created;
};

// Replaces the random source of the names for its lifetime (tests force collisions with it).
ScrubNameSource& ScrubNameSlot();
// The scrub's own draw, for a replacement that watches or forces some names: a name from the
// platform's cryptographic provider, empty when the provider fails.
std::wstring RandomScrubName(const FreedName& shape);
struct ScopedScrubNames : seams::Scoped<ScrubNameSource> {
    explicit ScopedScrubNames(ScrubNameSource source) : Scoped(ScrubNameSlot(), std::move(source)) {}
};
