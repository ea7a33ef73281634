#pragma once
#include <windows.h>
#include <sddl.h>

#include <string>
#include <vector>

// While it lives, a key of the current user's hive refuses to have its values set, as a key
// locked by policy does: its security denies everyone KEY_SET_VALUE, so an open for full access
// fails while reading still works. The key's own security comes back at the end.
class RefusedWrites {
public:
    explicit RefusedWrites(const char* keyPath) : m_path(keyPath)
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, READ_CONTROL | WRITE_DAC, &key) != ERROR_SUCCESS)
            return;
        DWORD size = 0;
        RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
        m_own.resize(size);
        PSECURITY_DESCRIPTOR locked = nullptr;
        if (RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, m_own.data(), &size) == ERROR_SUCCESS &&
            ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;0x2;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                 &locked, nullptr)) {
            m_locked = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, locked) == ERROR_SUCCESS;
            LocalFree(locked);
        }
        RegCloseKey(key);
    }
    ~RefusedWrites()
    {
        HKEY key;
        if (!m_locked || RegOpenKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS)
            return;
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, m_own.data());
        RegCloseKey(key);
    }
    RefusedWrites(const RefusedWrites&) = delete;
    RefusedWrites& operator=(const RefusedWrites&) = delete;

    // Whether the platform now refuses the open for full access that every write of the program makes.
    bool Refuses() const
    {
        HKEY key;
        const LSTATUS status = RegOpenKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, KEY_ALL_ACCESS, &key);
        if (status == ERROR_SUCCESS)
            RegCloseKey(key);
        return m_locked && status == ERROR_ACCESS_DENIED;
    }

private:
    std::string m_path;
    std::vector<BYTE> m_own;
    bool m_locked = false;
};
