#pragma once
#include <windows.h>

#include <map>
#include <string>

// Registry values of a key in HKEY_CURRENT_USER, by name, with their type and bytes (a REG_SZ's
// terminating zero dropped: Wine stores one whatever length was written).
struct RegValue {
    DWORD type = 0;
    std::string data;
    bool operator==(const RegValue&) const = default;
};
using RegValues = std::map<std::string, RegValue>;

// Every value of the key; empty when the key is missing.
RegValues ReadValues(const std::string& key);
// Creates the key as needed and writes the value; fails the test if either is refused.
void SetValue(const std::string& key, const std::string& name, DWORD type, const std::string& data);
bool KeyExists(const std::string& key);
