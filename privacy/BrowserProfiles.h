#pragma once
#include <optional>
#include <string>
#include <vector>

// The browsers whose traces the cleaner knows, where each keeps its profiles, and the profiles
// found there. Finding reads only: nothing is created, changed or assumed to exist.

enum class BrowserKind { Edge, Chrome, Whale, Firefox };
enum class BrowserFamily { Chromium, Firefox };

struct BrowserInfo {
    BrowserKind kind;
    BrowserFamily family;
    const char* name;           // code page 949, as the windows and reports show it
    const wchar_t* executable;  // compared without regard to letter case
    // Where its data lies below the user's local (Chromium: the "User Data" folder) or roaming
    // (Firefox: the folder of profiles.ini) application data.
    const wchar_t* dataFolder;
};

// Every browser the cleaner knows, in the order they are shown.
const std::vector<BrowserInfo>& KnownBrowsers();
const BrowserInfo& InfoOf(BrowserKind kind);

// The two folders below which the browsers keep their data.
struct BrowserRoots {
    std::wstring localAppData;    // %LOCALAPPDATA%
    std::wstring roamingAppData;  // %APPDATA%
    // The current user's; nothing when either cannot be resolved.
    static std::optional<BrowserRoots> OfCurrentUser();
};

struct BrowserProfile {
    BrowserKind kind;
    std::wstring name;    // the profile's folder name (Chromium) or its name in profiles.ini
    std::wstring folder;  // exact whole path of the profile folder
    // Where the profile's cache lives: the profile folder itself for Chromium; for Firefox the
    // matching folder under %LOCALAPPDATA% (empty for a profile outside the usual place).
    std::wstring localFolder;
};

// Why a profile (or a browser's whole data) is not cleaned.
enum class SkipReason {
    Missing,      // listed, but its folder is not there
    HalfWritten,  // its folder lacks the file every used profile has
    Link,         // the profile folder (or the data folder above it) is a link: never followed
    BadPath,      // its path in profiles.ini is not a whole path inside the data folder
    Running,      // the browser did not close
    Locked,       // a database another program holds or locks
    NotCleaned,   // a file or folder that could not be removed (see the leftovers)
    Unreadable,   // a database in a form that is not the browser's
};
const char* SkipReasonText(SkipReason reason);  // code page 949

struct SkippedItem {
    BrowserKind kind;
    std::wstring what;  // a profile's name or folder, or a file's path
    SkipReason reason;
};

struct FoundProfiles {
    std::vector<BrowserProfile> profiles;
    std::vector<SkippedItem> skipped;
};

// Every profile of every known browser below `roots`: for Chromium browsers those listed in
// "Local State" (profile.info_cache) and the folders "Default" and "Profile N"; for Firefox those
// of profiles.ini. A browser whose data folder is absent is not installed and is not mentioned.
FoundProfiles FindBrowserProfiles(const BrowserRoots& roots);

// Every "url" string of a Chromium profile's "Bookmarks" file (UTF-8): empty when there is no such
// file, nothing when it is there but cannot be read or is not whole JSON (then no icon may go).
std::optional<std::vector<std::string>> ChromiumBookmarkUrls(const std::wstring& bookmarksFile);

// The whole file by its exact path, read with full sharing; nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::wstring& path);
