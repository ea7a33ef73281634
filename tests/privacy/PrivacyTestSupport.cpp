#include "PrivacyTestSupport.h"

#include "Cp949Text.h"
#include "ExactPath.h"
#include "LinkGuard.h"
#include "ShellFolders.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>

namespace {

[[noreturn]] void Refuse(const std::string& why)
{
    std::fprintf(stderr, "privacy tests: %s\n", why.c_str());
    std::fflush(stderr);
    std::abort();
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                                  std::tolower(static_cast<unsigned char>(b)); });
}

std::string FinalPathOf(const std::string& path)
{
    HANDLE handle = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    char buffer[4096];
    const DWORD length = GetFinalPathNameByHandleA(handle, buffer, sizeof(buffer), FILE_NAME_NORMALIZED);
    CloseHandle(handle);
    return length && length < sizeof(buffer) ? std::string(buffer, length) : std::string();
}

// The folder a lookup gave, if it lies inside the prefix; empty, with a test failure, if not.
std::string Guarded(const std::optional<std::wstring>& found, const std::string& what)
{
    if (!found) {
        ADD_FAILURE() << "no " << what;
        return {};
    }
    const std::string folder = Narrow949(*found);
    if (!LiesInsidePrefix(folder)) {
        ADD_FAILURE() << what << " lies outside the test prefix: " << folder << " -> " << FinalPathOf(folder);
        return {};
    }
    return folder;
}

}  // namespace

bool LiesInsidePrefix(const std::string& path)
{
    if (!std::getenv("QUENZO_TEST_ENV") || path.find("..") != std::string::npos)
        return false;
    // Both the path as typed and where an opened handle really lands, so that no link on the way
    // (Wine links some profile folders to HOME) leads out of the prefix.
    const std::string typed = path + "\\";
    const std::string landed = FinalPathOf(path) + "\\";
    for (const std::string root : {"C:\\users\\", "C:\\windows\\History\\"})
        if (StartsWithNoCase(typed, root) && StartsWithNoCase(landed, "\\\\?\\" + root))
            return true;
    return false;
}

std::string PrefixShellFolder(int csidl)
{
    char path[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE)) {
        ADD_FAILURE() << "no shell folder " << csidl;
        return {};
    }
    return Guarded(ResolveShellFolder(csidl), "resolved shell folder " + std::to_string(csidl));
}

std::string PrefixTempFolder() { return Guarded(TemporaryFolder(), "temporary folder"); }

std::string PrefixLegacyHistoryFolder()
{
    const auto legacy = LegacyHistoryFolder();
    if (legacy)
        CreateDirectoryW(legacy->c_str(), nullptr);
    return Guarded(legacy, "legacy history folder");
}

void PlantLink(const Sandbox& sandbox, const std::string& linkPath, const std::string& targetRelative)
{
    const std::string parent = linkPath.substr(0, linkPath.find_last_of('\\'));
    if (!LiesInsidePrefix(parent))
        Refuse("link outside the prefix's folders: " + linkPath);
    if (PathExists(linkPath))
        Refuse("something is already at " + linkPath);
    MakeLinuxSymlink(linkPath, sandbox.Path(targetRelative));
    if (!PathExists(linkPath) || !IsLink(W(linkPath)))
        Refuse("ln -s made no link at " + linkPath);
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void SetPersnal(const char* text)
{
    const char* settings = "Software\\Marrowick\\QuenzoLite\\Data";
    if (text) {
        SetValue(settings, "Persnal", REG_SZ, text);
        return;
    }
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, settings, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Persnal");
        RegCloseKey(key);
    }
}

bool SnapshotCleaner::DeleteKey(const std::string& key)
{
    beforeDeletion[key] = ReadValues(key);
    return CPersonalCleaner::DeleteKey(key);
}

std::string IndexFile(std::size_t size, const char* signature)
{
    std::string bytes = Canary(size);
    std::string header(signature);
    header.resize(28, '\0');
    for (int i = 0; i < 4; ++i)
        header.push_back(static_cast<char>((size >> (8 * i)) & 0xFF));
    bytes.replace(0, std::min(header.size(), size), header, 0, std::min(header.size(), size));
    return bytes;
}

