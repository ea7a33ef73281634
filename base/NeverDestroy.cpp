#include "NeverDestroy.h"

#include "ExactPath.h"
#include "LinkGuard.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cwctype>

namespace {

struct RefusalRow {
    Refusal refusal;
    const char* text;
};
constexpr RefusalRow kRefusals[] = {
    {Refusal::None, ""},
    {Refusal::NotAPath, "올바른 경로가 아닙니다."},
    {Refusal::DriveRoot, "드라이브 전체는 지울 수 없습니다."},
    {Refusal::Windows, "Windows 폴더와 그 안의 항목, 그 위의 폴더는 지울 수 없습니다."},
    {Refusal::ProgramFiles, "Program Files 폴더와 그 위의 폴더는 지울 수 없습니다."},
    {Refusal::Profiles, "사용자 폴더, 각 사용자 프로필 폴더와 그 위의 폴더는 지울 수 없습니다."},
    {Refusal::SharedData, "프로그램 데이터 폴더(ProgramData, AppData)와 그 위의 폴더는 지울 수 없습니다."},
    {Refusal::UserFolders, "문서, 바탕 화면 같은 사용자 기본 폴더와 그 위의 폴더는 지울 수 없습니다. 안의 항목을 추가하십시오."},
};

// "C:\..." or "\\server\share\..." from a final path ("\\?\C:\...", "\\?\UNC\server\share\...");
// nothing for a name outside every drive and share (Wine's "\\?\unix\...").
std::optional<std::wstring> DosForm(std::wstring path)
{
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        path = L"\\\\" + path.substr(8);
    else if (path.rfind(L"\\\\?\\", 0) == 0)
        path = path.substr(4);
    TrimTrailingSeparators(path);
    if (path.size() >= 2 && path[1] == L':' && std::iswalpha(path[0]))
        return path.size() == 2 ? path + L"\\" : path;
    if (path.rfind(L"\\\\", 0) == 0 && path.size() > 2 && path[2] != L'?' && path[2] != L'.')
        return path;
    return std::nullopt;
}

// A drive root "C:\" or a share root "\\server\share": what CheckedPath refuses as a root.
bool IsRootLanding(const std::wstring& landing)
{
    if (landing.size() <= 3 && landing.size() >= 2 && landing[1] == L':')
        return true;
    if (landing.rfind(L"\\\\", 0) != 0)
        return false;
    const std::size_t server = landing.find(L'\\', 2);
    return server == std::wstring::npos || landing.find(L'\\', server + 1) == std::wstring::npos;
}

ScopedHandle OpenFollowing(const std::wstring& path)
{
    // Links followed: what matters is where a path leads.
    return ScopedHandle(CreateFileW(Extended(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

std::optional<FileIdentity> IdentityOf(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info))
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

bool Holds(const std::vector<FileIdentity>& chain, const std::optional<FileIdentity>& identity)
{
    return identity && std::find(chain.begin(), chain.end(), *identity) != chain.end();
}

std::optional<std::wstring> KnownFolder(int csidl)
{
    wchar_t path[MAX_PATH + 1] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) || path[0] == L'\0')
        return std::nullopt;
    std::wstring folder = path;
    TrimTrailingSeparators(folder);
    return folder;
}

// A value of HKEY_LOCAL_MACHINE with its environment variables expanded.
std::optional<std::wstring> MachineText(const wchar_t* key, const wchar_t* name)
{
    wchar_t raw[MAX_PATH * 2] = {};
    DWORD size = sizeof(raw) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, raw,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    wchar_t expanded[MAX_PATH * 2] = {};
    const DWORD length = ExpandEnvironmentStringsW(raw, expanded, MAX_PATH * 2);
    if (length == 0 || length > MAX_PATH * 2)
        return std::nullopt;
    std::wstring text = expanded;
    TrimTrailingSeparators(text);
    return text;
}

constexpr const wchar_t* kProfileList = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// Every profile folder the system lists.
std::vector<std::wstring> ListedProfiles()
{
    std::vector<std::wstring> profiles;
    HKEY list = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProfileList, 0, KEY_READ, &list) != ERROR_SUCCESS)
        return profiles;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(list, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (auto path = MachineText((std::wstring(kProfileList) + L"\\" + name).c_str(), L"ProfileImagePath"))
            profiles.push_back(*path);
    }
    RegCloseKey(list);
    return profiles;
}

}  // namespace

const char* RefusalText(Refusal refusal)
{
    for (const RefusalRow& row : kRefusals)
        if (row.refusal == refusal)
            return row.text;
    return "";
}

namespace {

// Where `path` lands and whether all of it exists (see LandingOf).
std::optional<std::wstring> Land(const std::wstring& path, bool& exists, bool& unnamed)
{
    exists = false;
    unnamed = false;
    std::wstring start = path;
    TrimTrailingSeparators(start);
    if (start.size() == 2 && start[1] == L':')
        start += L'\\';
    if (!CheckedPath(start) && !IsRootLanding(start))
        return std::nullopt;
    // Up from the path itself to the first part that opens; the names below it are taken as given.
    std::wstring probe = start;
    std::wstring rest;
    for (;;) {
        if (const ScopedHandle handle = OpenFollowing(probe); handle.IsValid()) {
            exists = rest.empty();
            const auto final = FinalPathOf(handle.Get());
            // A place outside every drive (Wine's view of a Linux folder, and for a while what lies
            // on a drive letter just made) has only its words.
            const auto landing = final ? DosForm(*final) : std::nullopt;
            if (!landing) {
                unnamed = true;
                return start;
            }
            return rest.empty() ? *landing : JoinPath(*landing, rest);
        }
        if (IsRootLanding(probe))
            return start;  // nothing of it opens: its words are all there is to judge
        rest = rest.empty() ? NameOf(probe) : JoinPath(NameOf(probe), rest);
        probe = ParentOf(probe);
        if (probe.size() == 2 && probe[1] == L':')
            probe += L'\\';
    }
}

}  // namespace

std::optional<std::wstring> LandingOf(const std::wstring& path)
{
    bool exists = false, unnamed = false;
    return Land(path, exists, unnamed);
}

NeverDestroyPolicy::NeverDestroyPolicy(const std::vector<Protected>& folders) : m_given(folders)
{
    for (const Protected& folder : folders) {
        Kept kept{{}, std::nullopt, {}, folder.reach, folder.refusal};
        if (const auto checked = CheckedPath(folder.folder))
            kept.landings.push_back(*checked);
        bool exists = false, unnamed = false;
        if (const auto landing = Land(folder.folder, exists, unnamed))
            kept.landings.push_back(*landing);
        if (kept.landings.empty())
            continue;
        // The chain starts with the folder itself only when it exists.
        kept.holders = ChainOf(kept.landings.back());
        if (exists && !kept.holders.empty()) {
            kept.identity = kept.holders.front();
            kept.holders.erase(kept.holders.begin());
        }
        m_kept.push_back(std::move(kept));
    }
}

std::vector<FileIdentity> NeverDestroyPolicy::ChainOf(const std::wstring& landing) const
{
    std::vector<FileIdentity> chain;
    std::wstring path = landing;
    for (;;) {
        auto [known, fresh] = m_identities.try_emplace(path);
        if (fresh)
            if (const ScopedHandle handle = OpenFollowing(path); handle.IsValid())
                known->second = IdentityOf(handle.Get());
        if (known->second)
            chain.push_back(*known->second);
        if (IsRootLanding(path))
            return chain;
        path = ParentOf(path);
        if (path.size() == 2 && path[1] == L':')
            path += L'\\';
    }
}

NeverDestroyPolicy::Place NeverDestroyPolicy::PlaceOf(const std::wstring& checked) const
{
    Place place;
    place.landing = Land(checked, place.exists, place.unnamed).value_or(std::wstring());
    if (!place.landing.empty())
        place.chain = ChainOf(place.landing);
    return place;
}

Refusal NeverDestroyPolicy::Judge(const std::wstring& path, PathUse use) const
{
    const auto checked = CheckedPath(path);
    if (!checked) {
        const auto asRoot = DosForm(path);
        return asRoot && IsRootLanding(*asRoot) ? Refusal::DriveRoot : Refusal::NotAPath;
    }
    const Place place = PlaceOf(*checked);
    if (place.landing.empty())
        return Refusal::NotAPath;
    if (IsRootLanding(place.landing))
        return Refusal::DriveRoot;
    // The path as given counts too: a folder that does not exist yet lands where its words say.
    const std::wstring named[] = {*checked, place.landing};
    const std::optional<FileIdentity> itself =
        place.exists && !place.chain.empty() ? std::optional(place.chain.front()) : std::nullopt;
    for (const Kept& kept : m_kept) {
        for (const std::wstring& protectedLanding : kept.landings) {
            for (const std::wstring& target : named) {
                if (SameOrInside(protectedLanding, target))
                    return kept.refusal;
                if (kept.reach == Reach::AlsoChildren && SamePathText(ParentOf(target), protectedLanding))
                    return kept.refusal;
                if (kept.reach == Reach::AlsoInside && use == PathUse::Destroy && SameOrInside(target, protectedLanding))
                    return kept.refusal;
            }
        }
        // By identity, for names the words cannot tie together (a network share of a local folder).
        if (itself && (kept.identity == itself || Holds(kept.holders, itself)))
            return kept.refusal;
        if (kept.reach == Reach::AlsoChildren && place.chain.size() > 1 && itself && kept.identity == place.chain[1])
            return kept.refusal;
        if (kept.reach == Reach::AlsoInside && use == PathUse::Destroy && Holds(place.chain, kept.identity))
            return kept.refusal;
    }
    // Its words name nothing protected, but where it really leads cannot be told.
    return place.unnamed ? Refusal::NotAPath : Refusal::None;
}

NeverDestroyPolicy NeverDestroyPolicy::OfThisMachine()
{
    using R = Reach;
    struct Source {
        int csidl;
        Reach reach;
        Refusal refusal;
    };
    static constexpr Source kSources[] = {
        {CSIDL_WINDOWS, R::AlsoInside, Refusal::Windows},
        {CSIDL_SYSTEM, R::AlsoInside, Refusal::Windows},
        {CSIDL_PROGRAM_FILES, R::ItAndAbove, Refusal::ProgramFiles},
        {CSIDL_PROGRAM_FILESX86, R::ItAndAbove, Refusal::ProgramFiles},
        {CSIDL_PROGRAM_FILES_COMMON, R::ItAndAbove, Refusal::ProgramFiles},
        {CSIDL_PROGRAM_FILES_COMMONX86, R::ItAndAbove, Refusal::ProgramFiles},
        {CSIDL_PROFILE, R::ItAndAbove, Refusal::Profiles},
        {CSIDL_COMMON_APPDATA, R::ItAndAbove, Refusal::SharedData},
        {CSIDL_APPDATA, R::ItAndAbove, Refusal::SharedData},
        {CSIDL_LOCAL_APPDATA, R::ItAndAbove, Refusal::SharedData},
        {CSIDL_PERSONAL, R::ItAndAbove, Refusal::UserFolders},
        {CSIDL_DESKTOPDIRECTORY, R::ItAndAbove, Refusal::UserFolders},
        {CSIDL_MYPICTURES, R::ItAndAbove, Refusal::UserFolders},
        {CSIDL_MYMUSIC, R::ItAndAbove, Refusal::UserFolders},
        {CSIDL_MYVIDEO, R::ItAndAbove, Refusal::UserFolders},
        {CSIDL_COMMON_DOCUMENTS, R::ItAndAbove, Refusal::UserFolders},
        {CSIDL_COMMON_DESKTOPDIRECTORY, R::ItAndAbove, Refusal::UserFolders},
    };
    std::vector<Protected> folders;
    for (const Source& source : kSources)
        if (auto folder = KnownFolder(source.csidl))
            folders.push_back({*folder, source.reach, source.refusal});
    // The 64-bit Program Files as a 32-bit program would not be told it.
    wchar_t native[MAX_PATH] = {};
    if (const DWORD length = GetEnvironmentVariableW(L"ProgramW6432", native, MAX_PATH); length > 0 && length < MAX_PATH)
        folders.push_back({native, R::ItAndAbove, Refusal::ProgramFiles});
    // AppData itself, which holds the roaming and the local roots.
    if (const auto roaming = KnownFolder(CSIDL_APPDATA))
        folders.push_back({ParentOf(*roaming), R::ItAndAbove, Refusal::SharedData});
    // The users' folder holds every profile; each folder directly in it is one (Public and
    // Default too), and the system lists profiles that live elsewhere.
    std::optional<std::wstring> users = MachineText(kProfileList, L"ProfilesDirectory");
    if (!users)
        if (const auto profile = KnownFolder(CSIDL_PROFILE))
            users = ParentOf(*profile);
    if (users)
        folders.push_back({*users, R::AlsoChildren, Refusal::Profiles});
    for (const std::wstring& profile : ListedProfiles())
        folders.push_back({profile, R::ItAndAbove, Refusal::Profiles});
    // A path refused on several counts is told the broadest: "C:\users\Public" holds the shared
    // documents, but it is a profile first.
    std::stable_sort(folders.begin(), folders.end(),
                     [](const Protected& a, const Protected& b) { return a.refusal < b.refusal; });
    return NeverDestroyPolicy(folders);
}
