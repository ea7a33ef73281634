#include "RegistryHelpers.h"

#include <gtest/gtest.h>

RegValues ReadValues(const std::string& keyPath)
{
    RegValues values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        std::string name(16384, '\0');
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        name.resize(nameLength);
        RegValue value{type, std::string(size, '\0')};
        RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(value.data.data()), &size);
        value.data.resize(size);
        if (type == REG_SZ && !value.data.empty() && value.data.back() == '\0')
            value.data.pop_back();
        values[name] = value;
    }
    RegCloseKey(key);
    return values;
}

void SetValue(const std::string& keyPath, const std::string& name, DWORD type, const std::string& data)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

bool KeyExists(const std::string& keyPath)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}
