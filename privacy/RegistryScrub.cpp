#include "RegistryScrub.h"

#include "CleaningTargets.h"
#include "Cp949Text.h"
#include "ExactPath.h"
#include "Owned.h"

#include <windows.h>
#include <shlwapi.h>

#include <optional>
#include <vector>

namespace {

// One overwrite of one value, by its exact name. The key is opened anew for each write, as a run
// that lost its key half-way still counts every attempt; a key that cannot be opened writes nothing.
// The data is the marker's text as the narrow call would store it, without a terminating zero.
bool WriteMarker(const std::wstring& key, const std::wstring& name, const std::wstring& marker)
{
    ScopedKey writable;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, writable.Receive(),
                        nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(writable.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(marker.data()),
                          static_cast<DWORD>(marker.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// The exact name of value `index`; nothing when there is no such value. A narrow enumeration
// would best-fit the name, and the write would then create a new value beside the real one.
std::optional<std::wstring> ValueName(HKEY key, DWORD index)
{
    DWORD longest = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<wchar_t> name(longest + 2);
    DWORD length = static_cast<DWORD>(name.size());
    if (RegEnumValueW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(name.data(), length);
}

}  // namespace

int OverwriteRegValues(const std::string& key, const std::string& marker, int* writes)
{
    if (writes)
        *writes = 0;
    const std::wstring wideKey = Widen949(key);
    const std::wstring wideMarker = Widen949(marker);
    ScopedKey names;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, wideKey.c_str(), 0, KEY_READ, names.Receive()) != ERROR_SUCCESS)
        return 0;
    // Overwriting keeps every name and the number of values, so the indices stay valid.
    DWORD count = 0;
    if (RegQueryInfoKeyW(names.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        count = 0;
    int overwritten = 0;
    for (DWORD index = 0; index < count; ++index) {
        const auto name = ValueName(names.Get(), index);
        if (!name)
            continue;
        bool written = false;
        for (int pass = 0; pass < cleaning_targets::kOverwriteCount; ++pass) {
            const bool once = WriteMarker(wideKey, *name, wideMarker);
            written = once || written;
            if (once && writes)
                ++*writes;
        }
        if (written)
            ++overwritten;
    }
    return overwritten;
}

bool DeleteUserKey(const std::string& key)
{
    return SHDeleteKeyA(HKEY_CURRENT_USER, key.c_str()) == ERROR_SUCCESS;
}

bool ClearRunMruValues()
{
    ScopedKey runMru;
    if (RegOpenKeyA(HKEY_CURRENT_USER, cleaning_targets::kRunMruKey, runMru.Receive()) != ERROR_SUCCESS)
        return false;
    for (const char* letter = cleaning_targets::kRunMruLetters; *letter; ++letter) {
        const char name[2] = {*letter, '\0'};
        RegDeleteValueA(runMru.Get(), name);
    }
    RegDeleteValueA(runMru.Get(), cleaning_targets::kRunMruOrderValue);
    return true;
}
