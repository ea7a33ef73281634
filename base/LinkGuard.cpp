#include "LinkGuard.h"

#include "ExactPath.h"
#include "HandleOps.h"
#include "Owned.h"

#include <string_view>
#include <vector>

namespace {

// Whether two final paths name the same entries once Wine's losses are allowed for: it reports
// every name without its trailing dots and spaces, and a name may differ in letter case only.
bool AlikeButForWinesLosses(const std::wstring& a, const std::wstring& b)
{
    const auto names = [](const std::wstring& path) {
        std::vector<std::wstring> parts;
        std::size_t start = 0;
        for (std::size_t end = 0; end != std::wstring::npos; start = end + 1) {
            end = path.find(L'\\', start);
            std::wstring part = path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
            while (part.size() > 1 && (part.back() == L'.' || part.back() == L' ') && part != L"..")
                part.pop_back();
            parts.push_back(std::move(part));
        }
        return parts;
    };
    const auto first = names(a);
    const auto second = names(b);
    if (first.size() != second.size())
        return false;
    for (std::size_t i = 0; i < first.size(); ++i)
        if (!SamePathText(first[i], second[i]))
            return false;
    return true;
}

bool SameFile(HANDLE a, HANDLE b)
{
    BY_HANDLE_FILE_INFORMATION first, second;
    return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

// Wine's GetFinalPathNameByHandleW fails for a path longer than MAX_PATH; the object's own name,
// "\??\C:\...", is the same path in its platform form. Windows never needs this (its names
// there are device paths, which are not accepted).
std::optional<std::wstring> ObjectPathOf(HANDLE handle)
{
    struct UnicodeString {
        USHORT Length;
        USHORT MaximumLength;
        PWSTR Buffer;
    };
    using QueryObject = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const auto query = ntdll ? reinterpret_cast<QueryObject>(
                                   reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryObject")))
                             : nullptr;
    constexpr int kObjectNameInformation = 1;
    std::vector<unsigned char> buffer(sizeof(UnicodeString) + 65536 * sizeof(wchar_t));
    ULONG returned = 0;
    if (!query || query(handle, kObjectNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &returned) < 0)
        return std::nullopt;
    const auto* name = reinterpret_cast<const UnicodeString*>(buffer.data());
    std::wstring path(name->Buffer, name->Length / sizeof(wchar_t));
    if (path.rfind(L"\\??\\", 0) != 0)
        return std::nullopt;
    path[1] = L'\\';
    return path;
}

// Under Wine, deleting a link to a file deletes its target, so links are left alone there.
bool IsRunningOnWine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace

LocatedPath Child(const LocatedPath& folder, const std::wstring& name)
{
    return {JoinPath(folder.path, name), JoinPath(folder.landing, name)};
}

std::optional<std::wstring> FinalPathOf(HANDLE handle)
{
    std::vector<wchar_t> buffer(512);
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                       FILE_NAME_NORMALIZED);
        if (length == 0)
            return ObjectPathOf(handle);
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

ScopedHandle OpenForQuery(const std::wstring& path, DWORD access)
{
    return ScopedHandle(CreateFileW(Extended(path).c_str(), access,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

std::optional<LocatedPath> Locate(const std::wstring& path)
{
    const auto checked = CheckedPath(path);
    if (!checked) {
        SetLastError(ERROR_INVALID_NAME);
        return std::nullopt;
    }
    WIN32_FIND_DATAW found;
    if (!ScopedFind(FindFirstFileW(Extended(*checked).c_str(), &found)).IsValid())
        return std::nullopt;
    const std::wstring parent = ParentOf(*checked);
    const ScopedHandle folder = OpenForQuery(parent);
    if (!folder.IsValid())
        return std::nullopt;
    const auto parentLanding = FinalPathOf(folder.Get());
    if (!parentLanding)
        return std::nullopt;
    return LocatedPath{JoinPath(parent, found.cFileName), JoinPath(*parentLanding, found.cFileName)};
}

bool HandleLandsAt(HANDLE handle, const std::wstring& landing)
{
    const auto actual = FinalPathOf(handle);
    if (!actual)
        return false;
    if (*actual == landing)
        return true;
    // Wine drops trailing dots and spaces from the names it reports (and a name may differ in
    // letter case only). The handle is then either the entry asked for, or a link's target that
    // bears the reported path: only that target opens under it as the same file.
    if (!AlikeButForWinesLosses(*actual, landing))
        return false;
    const ScopedHandle sibling(CreateFileW(actual->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return !sibling.IsValid() || !SameFile(handle, sibling.Get());
}

Opened OpenLocated(const LocatedPath& entry, DWORD access, DWORD share, DWORD flags)
{
    // The facts read below need the attributes right, whatever the caller asked for (on Windows a
    // handle opened for DELETE alone cannot be queried); it never conflicts with another's sharing.
    Opened opened;
    opened.handle = ScopedHandle(CreateFileW(Extended(entry.path).c_str(), access | FILE_READ_ATTRIBUTES, share,
                                             nullptr, OPEN_EXISTING,
                                             flags | FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!opened.IsValid()) {
        const DWORD error = GetLastError();
        opened.failure = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? OpenFailure::Missing
                                                                                         : OpenFailure::Refused;
        return opened;
    }
    // Opened as a reparse point, a Windows link is the link itself and lands at its own name.
    const auto facts = FactsOf(opened.handle.Get());
    if (!facts || (facts->attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        !HandleLandsAt(opened.handle.Get(), entry.landing)) {
        opened.handle.Close();
        opened.failure = OpenFailure::Elsewhere;
        return opened;
    }
    opened.facts = *facts;
    return opened;
}

bool IsLink(const std::wstring& path)
{
    const auto entry = Locate(path);
    if (!entry)
        return false;
    return OpenLocated(*entry, 0).failure == OpenFailure::Elsewhere;
}

bool RemoveLinkItself(const std::wstring& path)
{
    if (IsRunningOnWine())
        return false;
    const ScopedHandle link = OpenForQuery(path, DELETE | FILE_READ_ATTRIBUTES);
    const auto facts = link.IsValid() ? FactsOf(link.Get()) : std::nullopt;
    // Opened as a reparse point, the handle is the link itself; anything else is not one.
    if (!facts || !(facts->attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    return DeleteByHandle(link.Get());
}
