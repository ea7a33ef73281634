#include "LinkGuard.h"

#include "ScopedHandle.h"

#include <vector>

namespace {

std::optional<std::wstring> FullPathOf(const std::wstring& path)
{
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return std::nullopt;
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length)
        return std::nullopt;
    full.resize(written);
    return full;
}

// Opens an entry for nothing but queries; folders need backup semantics to be opened at all.
HANDLE OpenForQuery(const std::wstring& path)
{
    return CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

std::wstring Widen(const std::string& text)
{
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::optional<std::wstring> FinalPathOf(HANDLE handle)
{
    std::vector<wchar_t> buffer(512);
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                       FILE_NAME_NORMALIZED);
        if (length == 0)
            return std::nullopt;
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

std::optional<std::wstring> ExpectedFinalPath(const std::string& path)
{
    const auto full = FullPathOf(Widen(path));
    if (!full)
        return std::nullopt;
    const std::size_t slash = full->find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash + 1 == full->size())
        return std::nullopt;
    const std::wstring name = full->substr(slash + 1);
    // The parent of C:\file is C:\ itself, which must keep its backslash to name the root.
    std::wstring parent = full->substr(0, slash);
    if (parent.size() == 2 && parent[1] == L':')
        parent += L'\\';

    ScopedHandle folder(OpenForQuery(parent));
    if (!folder.IsValid())
        return std::nullopt;
    auto expected = FinalPathOf(folder.Get());
    if (!expected)
        return std::nullopt;
    if (expected->empty() || expected->back() != L'\\')
        *expected += L'\\';
    *expected += name;
    return expected;
}

bool HandleLandsAt(HANDLE handle, const std::wstring& expected)
{
    const auto actual = FinalPathOf(handle);
    return actual && CompareStringOrdinal(actual->c_str(), static_cast<int>(actual->size()), expected.c_str(),
                                          static_cast<int>(expected.size()), TRUE) == CSTR_EQUAL;
}

bool IsLinkOrReparsePoint(const std::string& path)
{
    const std::wstring wide = Widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return true;
    ScopedHandle entry(OpenForQuery(wide));
    const auto expected = ExpectedFinalPath(path);
    // An entry that exists but cannot be resolved is treated as a link: refusing is the safe side.
    return !entry.IsValid() || !expected || !HandleLandsAt(entry.Get(), *expected);
}

bool IsRunningOnWine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool RemoveLinkItself(const std::string& path)
{
    if (IsRunningOnWine())
        return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return RemoveDirectoryA(path.c_str()) != FALSE;
    return DeleteFileA(path.c_str()) != FALSE;
}

void ClearReadOnly(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}
