#include "PrivacyTestSupport.h"

#include "ExactPath.h"
#include "LinkGuard.h"
#include "Seams.h"
#include "ShellFolders.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

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


std::string Guarded(const std::string& folder, const char* what)
{
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
    const auto resolved = ResolveShellFolder(csidl);
    if (!resolved) {
        ADD_FAILURE() << "shell folder " << csidl << " does not resolve";
        return {};
    }
    return Guarded(Narrow949(*resolved), "shell folder");
}

std::string PrefixTempFolder()
{
    const auto temp = TemporaryFolder();
    if (!temp) {
        ADD_FAILURE() << "no temporary folder";
        return {};
    }
    return Guarded(Narrow949(*temp), "temporary folder");
}

std::string PrefixLegacyHistoryFolder()
{
    const auto legacy = LegacyHistoryFolder();
    if (!legacy) {
        ADD_FAILURE() << "no Windows directory";
        return {};
    }
    CreateDirectoryW(legacy->c_str(), nullptr);
    return Guarded(Narrow949(*legacy), "legacy history folder");
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

InUse::InUse(const std::string& path)
    : m_handle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr))
{
}

InUse::~InUse()
{
    if (m_handle != INVALID_HANDLE_VALUE)
        CloseHandle(m_handle);
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

long long SizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool CountingEngine::WritePass(const LocatedPath& file, const PatternBuffer& pattern)
{
    passes.push_back(Narrow949(file.path));
    return CSDEngine::WritePass(file, pattern);
}

bool CountingEngine::Wrote(const std::string& path) const
{
    return std::find(passes.begin(), passes.end(), path) != passes.end();
}

QuietSeams::QuietSeams()
    : m_pauses([](unsigned) {}), m_prompts([](const seams::Prompt& prompt) {
          ADD_FAILURE() << "unexpected message box: " << prompt.text;
          return IDNO;
      })
{
}

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

