#pragma once
#include "CPersonalCleaner.h"
#include "FileHelpers.h"
#include "RecordingEngine.h"
#include "RegistryHelpers.h"
#include "Sandbox.h"
#include "SeamHelpers.h"

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

// An index file of the URL cache as the browser leaves one: its signature, its size at offset 28,
// then whatever it holds.
std::string IndexFile(std::size_t size, const char* signature = "Client UrlCache MMF Ver 5.2");

bool PathExists(const std::string& path);

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
