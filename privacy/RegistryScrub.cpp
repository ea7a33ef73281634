#include "RegistryScrub.h"

#include "CRegInfo.h"
#include "CleaningTargets.h"

#include <windows.h>
#include <shlwapi.h>

namespace {

// One overwrite of one value. The key is opened anew for each write, as a run that lost its key
// half-way still counts every attempt; a key that cannot be opened writes nothing.
bool WriteMarker(const std::string& key, const std::string& name, const std::string& marker)
{
    HKEY writable = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &writable,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LSTATUS status = RegSetValueExA(writable, name.c_str(), 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(marker.data()),
                                          static_cast<DWORD>(marker.size()));
    RegCloseKey(writable);
    return status == ERROR_SUCCESS;
}

}  // namespace

int OverwriteRegValues(const std::string& key, const std::string& marker)
{
    HKEY names = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &names) != ERROR_SUCCESS)
        return 0;
    // Overwriting keeps every name and the number of values, so the indices stay valid.
    CRegInfo registry;
    const int count = registry.QueryValueCount(names);
    int overwritten = 0;
    for (int index = 0; index < count; ++index) {
        const std::string name = registry.EnumValueName(names, index);
        bool written = false;
        for (int pass = 0; pass < cleaning_targets::kOverwriteCount; ++pass)
            written = WriteMarker(key, name, marker) || written;
        if (written)
            ++overwritten;
    }
    RegCloseKey(names);
    return overwritten;
}

bool DeleteUserKey(const std::string& key)
{
    return SHDeleteKeyA(HKEY_CURRENT_USER, key.c_str()) == ERROR_SUCCESS;
}

bool ClearRunMruValues()
{
    HKEY runMru = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, cleaning_targets::kRunMruKey, &runMru) != ERROR_SUCCESS)
        return false;
    for (const char* letter = cleaning_targets::kRunMruLetters; *letter; ++letter) {
        const char name[2] = {*letter, '\0'};
        RegDeleteValueA(runMru, name);
    }
    RegDeleteValueA(runMru, cleaning_targets::kRunMruOrderValue);
    RegCloseKey(runMru);
    return true;
}
