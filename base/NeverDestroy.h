#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

// What QuenzoLite never destroys, however a path comes in: the file and folder pickers, a drop,
// Explorer's verb, the command line and the cleaner's folders all ask this one policy. A path is
// judged where it really lands, never by its words: a short name ("C:\PROGRA~1"), a substituted
// drive, a link or a "\\?\" form of a protected folder is that folder.

// Why a path is refused. The messages are in one table (RefusalText).
enum class Refusal {
    None,
    NotAPath,      // empty, relative, "." or ".." names, a name outside every drive and share, or one
                   // that opens where no drive or share names and whose words name nothing protected
    DriveRoot,     // a drive or share root, or a folder that lands on one
    Windows,       // the Windows folder, everything inside it, and the folders above it
    ProgramFiles,  // each Program Files folder and the folders above it
    Profiles,      // the users' folder, each profile folder, and the folders above them
    SharedData,    // where programs keep their data (ProgramData, AppData and its roots) and above
    UserFolders,   // the user's own shell folders (documents, desktop, pictures...) and above
};

// The reason in code page 949, a whole sentence; "" for Refusal::None.
const char* RefusalText(Refusal refusal);

// What a path is wanted for. Destroying takes the path and everything in it. Emptying takes the
// traces inside a folder the cleaner knows, some of which the system keeps inside the Windows
// folder (its legacy history); the folder itself stays.
enum class PathUse { Destroy, EmptyTraces };

// A file system object's identity: its volume's serial number and its file index. The same
// folder reached through a network share name has another final path but the same identity.
struct FileIdentity {
    unsigned long volume = 0;
    unsigned long long index = 0;
    bool operator==(const FileIdentity&) const = default;
};

class NeverDestroyPolicy {
public:
    // How far a folder's protection reaches beyond itself and the folders above it.
    enum class Reach {
        ItAndAbove,    // the folder and every folder that holds it
        AlsoChildren,  // and each folder directly in it (the users' folder: every profile)
        AlsoInside,    // and everything inside it (the Windows folder), when destroying
    };
    struct Protected {
        std::wstring folder;  // as the platform names it; where it lands is read once, here
        Reach reach;
        Refusal refusal;
    };

    // The given folders; a folder that does not exist protects its words only.
    explicit NeverDestroyPolicy(const std::vector<Protected>& folders);

    // This machine's folders, read now: the Windows and system folders, every Program Files
    // folder, the users' folder and every profile the system lists, the data folders of programs,
    // and the current user's own shell folders.
    static NeverDestroyPolicy OfThisMachine();

    // Why `path` may not be used as `use` says; Refusal::None when it may. A path that does not
    // exist is judged where its longest existing part lands, with the rest of its names.
    Refusal Judge(const std::wstring& path, PathUse use = PathUse::Destroy) const;

    const std::vector<Protected>& Folders() const { return m_given; }

private:
    struct Place {
        std::wstring landing;  // "C:\..." or "\\server\share\...", without "\\?\"
        std::vector<FileIdentity> chain;  // the identities of it (when it exists) and its holders
        bool exists = false;
        bool unnamed = false;  // it opens where no drive or share names: only its words are known
    };
    struct Kept {
        std::vector<std::wstring> landings;  // as named and where it lands
        std::optional<FileIdentity> identity;
        std::vector<FileIdentity> holders;  // the folders above it, by identity
        Reach reach;
        Refusal refusal;
    };
    Place PlaceOf(const std::wstring& checked) const;
    std::vector<FileIdentity> ChainOf(const std::wstring& landing) const;

    std::vector<Protected> m_given;
    std::vector<Kept> m_kept;
    // Identities read while judging, by landing: a picker's hundred files share their folders.
    mutable std::map<std::wstring, std::optional<FileIdentity>> m_identities;
};

// `path` (a whole path, as CheckedPath gives it, or a drive root) where it lands: its final path,
// or where its longest existing part lands followed by the rest of its names; its own words when
// it lands outside every drive and share. Empty when it is not a whole path.
std::optional<std::wstring> LandingOf(const std::wstring& path);
