#pragma once
#include "CPersonalCleaner.h"
#include "CSDEngine.h"
#include "Sandbox.h"
#include "Seams.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

// The cleaner works on the real folders of the Wine user in the test prefix. Before a test puts
// anything there, the folder must exist and lie on the prefix's drive C: without any link leading
// elsewhere (HOME, \\?\unix, another drive). Returns the folder; empty, with a test failure, if not.
std::string PrefixShellFolder(int csidl);
std::string PrefixTempFolder();
std::string PrefixLegacyHistoryFolder();  // created if missing, like the shell folders
bool LiesInsidePrefix(const std::string& path);

// A Linux symbolic link at `linkPath` (a full path in a folder inside the prefix's C:\users)
// pointing at `targetRelative` in the sandbox. Moving a link made in the sandbox will not do:
// Wine's MoveFileA moves the link's target instead. Aborts if the link does not appear.
void PlantLink(const Sandbox& sandbox, const std::string& linkPath, const std::string& targetRelative);

// Holds a file open for reading as a browser holds its index: others may read and write it, but
// not delete or rename it, so a deletion fails and what was written stays to be read back.
class InUse {
public:
    explicit InUse(const std::string& path);
    ~InUse();
    InUse(const InUse&) = delete;
    InUse& operator=(const InUse&) = delete;
    bool IsHeld() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

// An index file of the URL cache as the browser leaves one: its signature, its size at offset 28,
// then whatever it holds.
std::string IndexFile(std::size_t size, const char* signature = "Client UrlCache MMF Ver 5.2");

void WriteBytes(const std::string& path, const std::string& bytes);
bool PathExists(const std::string& path);
long long SizeOf(const std::string& path);  // -1 when missing

// The real engine, with the path of every overwrite pass recorded: a plain form writes none.
class CountingEngine : public CSDEngine {
public:
    explicit CountingEngine(int method = 13) : CSDEngine([method] { return method; }) {}
    bool WritePass(const LocatedPath& file, const PatternBuffer& pattern) override;
    bool Wrote(const std::string& path) const;
    std::vector<std::string> passes;
};

// Pauses return at once; any message box fails the test (the cleaner must ask nothing). Restores
// the real seams when it goes out of scope.
class QuietSeams {
public:
    QuietSeams();

private:
    seams::ScopedPauses m_pauses;
    seams::ScopedPrompts m_prompts;
};

// Registry values of a key in HKEY_CURRENT_USER, by name, with their type and bytes (a REG_SZ's
// terminating zero dropped: Wine stores one whatever length was written).
struct RegValue {
    DWORD type = 0;
    std::string data;
    bool operator==(const RegValue&) const = default;
};
using RegValues = std::map<std::string, RegValue>;
RegValues ReadValues(const std::string& key);
void SetValue(const std::string& key, const std::string& name, DWORD type, const std::string& data);
bool KeyExists(const std::string& key);

// Sets the setting "Persnal" (nullptr: removes it).
void SetPersnal(const char* text);

// The real cleaner, reading each key just before a target deletes it.
class SnapshotCleaner : public CPersonalCleaner {
public:
    using CPersonalCleaner::CPersonalCleaner;
    std::map<std::string, RegValues> beforeDeletion;

protected:
    bool DeleteKey(const std::string& key) override;
};

// Records the targets a run calls, in order, instead of cleaning: for the runs' order and the
// window's choice of run, while the targets themselves are tested on the real folders.
class RecordingCleaner : public CPersonalCleaner {
public:
    using CPersonalCleaner::CPersonalCleaner;
    std::vector<std::string> calls;

    void CleanInternetCache() override { calls.push_back("CleanInternetCache"); }
    void SecureCleanInternetCache() override { calls.push_back("SecureCleanInternetCache"); }
    void CleanCookies() override { calls.push_back("CleanCookies"); }
    void SecureCleanCookies() override { calls.push_back("SecureCleanCookies"); }
    void CleanSavedPasswords() override { calls.push_back("CleanSavedPasswords"); }
    void SecureCleanSavedPasswords() override { calls.push_back("SecureCleanSavedPasswords"); }
    void CleanHistory() override { calls.push_back("CleanHistory"); }
    void SecureCleanHistory() override { calls.push_back("SecureCleanHistory"); }
    void CleanRecentDocs() override { calls.push_back("CleanRecentDocs"); }
    void SecureCleanRecentDocs() override { calls.push_back("SecureCleanRecentDocs"); }
    void ClearRunMru() override { calls.push_back("ClearRunMru"); }
    void DeleteIntelliForms() override { calls.push_back("DeleteIntelliForms"); }
    void SecureCleanIntelliForms() override { calls.push_back("SecureCleanIntelliForms"); }
    void CleanFavorites() override { calls.push_back("CleanFavorites"); }
    void SecureCleanFavorites() override { calls.push_back("SecureCleanFavorites"); }
    void CleanNetHood() override { calls.push_back("CleanNetHood"); }
    void SecureCleanNetHood() override { calls.push_back("SecureCleanNetHood"); }
    void CleanTempFiles() override { calls.push_back("CleanTempFiles"); }
};
