#include "CRegInfo.h"

#include "Owned.h"

#include "Version.h"
#include "WebAddresses.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace registry_layout;

constexpr bool IsJoined(std::string_view whole, std::initializer_list<std::string_view> parts)
{
    for (const std::string_view part : parts) {
        if (whole.substr(0, part.size()) != part)
            return false;
        whole.remove_prefix(part.size());
    }
    return whole.empty();
}

// The full paths the layout spells out must be its pieces joined, or reads and writes would part ways.
static_assert(IsJoined(kSettingsGroup, {kProductGroup, "\\", kProductSubkey}));
static_assert(IsJoined(kSettingsKey, {"Software\\", kSettingsGroup, "\\", kSettingsSubkey}));

// A key of the current user's, opened for `access`; empty when it cannot be opened.
ScopedKey OpenUserKey(const std::string& path, REGSAM access)
{
    ScopedKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, key.Receive()) != ERROR_SUCCESS)
        key.Reset();
    return key;
}

DWORD ValueCountOf(HKEY key)
{
    char className[260];
    DWORD classLength = sizeof(className);
    DWORD values = 0;
    if (RegQueryInfoKeyA(key, className, &classLength, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    if (values != 0)
        std::printf("\nNumber of values: %d\n", static_cast<int>(values));
    return values;
}

// The value's bytes up to the first zero byte, however long; the data need not end in a zero.
std::string ReadValueText(const std::string& keyPath, const std::string& name)
{
    std::vector<char> data(256);
    for (;;) {
        DWORD size = static_cast<DWORD>(data.size());
        const LSTATUS status =
            SHGetValueA(HKEY_CURRENT_USER, keyPath.c_str(), name.c_str(), nullptr, data.data(), &size);
        if (status == ERROR_MORE_DATA) {
            data.resize(std::max<std::size_t>(size, data.size() * 2) + 1);
            continue;
        }
        if (status != ERROR_SUCCESS)
            return {};
        const std::string bytes(data.data(), std::min<std::size_t>(size, data.size()));
        return bytes.substr(0, bytes.find('\0'));
    }
}

}  // namespace

int CRegInfo::QueryValueCount(HKEY key) { return static_cast<int>(ValueCountOf(key)); }

std::string CRegInfo::EnumValueName(HKEY key, int index)
{
    const DWORD count = ValueCountOf(key);
    if (index < 0 || static_cast<DWORD>(index) >= count)
        return {};
    // Value names are at most 16,383 characters.
    std::vector<char> name(16384);
    DWORD length = 16383;
    if (RegEnumValueA(key, static_cast<DWORD>(index), name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
        return {};
    const std::string result(name.data(), length);
    std::printf("(%d) %s\n", index + 1, result.c_str());
    return result;
}

std::string CRegInfo::ReadSetting(const std::string& name)
{
    const ScopedKey key = OpenUserKey(kSettingsKey, KEY_READ);
    if (!key.Get())
        return {};
    std::string result;
    const int count = QueryValueCount(key.Get());
    // The walk goes on after a match; the names of one key are unique, so at most one matches.
    for (int i = 0; i < count; ++i)
        if (EnumValueName(key.Get(), i) == name)
            result = ReadValueText(kSettingsKey, name);
    return result;
}

bool CRegInfo::WriteString(const std::string& text, const std::string& group, const std::string& subkey,
                           const std::string& valueName)
{
    const ScopedKey key = OpenUserKey("Software\\" + group + "\\" + subkey, KEY_ALL_ACCESS);
    if (!key.Get())
        return false;
    return RegSetValueExA(key.Get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                          static_cast<DWORD>(text.size())) == ERROR_SUCCESS;
}

bool CRegInfo::CreateSettingsKey()
{
    ScopedKey key;
    return RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, key.Receive(), nullptr) == ERROR_SUCCESS &&
           RegSetValueExA(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 0) == ERROR_SUCCESS;
}

void CRegInfo::RegisterAtStartup()
{
    WriteString(kAutostartCommand, kRunGroup, kRunSubkey, kAutostartValue);

    const struct {
        const char* name;
        const char* data;
    } product[] = {
        {"Company", "Marrowick Co., Ltd."},
        {"Company Homepage", web_addresses::kCompanyHomepage},
        {"Quenzo Homepage", web_addresses::kQuenzoHomepage},
        {"AppName", "Quenzo Lite"},
        {"AppExecFileName", "QuenzoLite.exe"},
        {"AppUpdateFileName", "UpdateQuenzoLite.exe"},
        {"AppVersion", product_version::kText},
    };
    for (const auto& value : product)
        WriteString(value.data, kProductGroup, kProductSubkey, value.name);

    CreateSettingsKey();
    const std::string method = ReadSetting(kMethodValue);
    const std::string top = ReadSetting(kTopValue);
    if (!IsValidMethodText(method))
        WriteString("1", kSettingsGroup, kSettingsSubkey, kMethodValue);
    const std::string persnal = ReadSetting(kPersnalValue);
    if (persnal != "0" && persnal != "1")
        WriteString("1", kSettingsGroup, kSettingsSubkey, kPersnalValue);
    if (top != "0" && top != "1")
        WriteString("1", kSettingsGroup, kSettingsSubkey, kTopValue);
}

bool IsValidMethodText(const std::string& text)
{
    for (int method = 1; method <= 13; ++method)
        if (text == std::to_string(method))
            return true;
    return false;
}
