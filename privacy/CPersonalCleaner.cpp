#include "CPersonalCleaner.h"

#include "CSADirRead.h"
#include "CSDEngine.h"
#include "CleaningTargets.h"
#include "ExactPath.h"
#include "FileError.h"
#include "FolderPurge.h"
#include "RegistryScrub.h"
#include "ShellFolders.h"
#include "UrlCache.h"

#include <windows.h>
#include <shlobj.h>

using namespace cleaning_targets;

CPersonalCleaner::CPersonalCleaner(CSDEngine& engine) : m_engine(engine) {}

bool CPersonalCleaner::DeleteKey(const std::string& key) { return DeleteUserKey(key); }

bool CPersonalCleaner::Purge(const std::wstring& folder, bool deleteDesktopIni, bool zeroIndexFile)
{
    if (IsTooBroadToEmpty(folder)) {
        m_remaining.push_back({folder, LeftReason::TooBroad});
        return false;
    }
    return PurgeFolder(folder, deleteDesktopIni, zeroIndexFile);
}

bool CPersonalCleaner::PurgeShellFolder(int csidl, bool zeroIndexFile)
{
    const auto folder = ResolveShellFolder(csidl);
    return folder && Purge(*folder, false, zeroIndexFile);
}

int CPersonalCleaner::SecureWipeShellFolder(int csidl)
{
    const auto folder = ResolveShellFolder(csidl);
    if (!folder)
        return 0;
    if (IsTooBroadToEmpty(*folder)) {
        m_remaining.push_back({*folder, LeftReason::TooBroad});
        return 0;
    }
    int wiped = 0;
    // One scrub per folder for all its files, before the purge below removes the folders.
    CSDEngine::WipeRun run(m_engine);
    const auto wipe = [&](const auto& file, const std::wstring& path) {
        try {
            const WipeResult result = m_engine.WipeFile(file);
            if (result)
                ++wiped;
            m_remaining.insert(m_remaining.end(), result.leftovers.begin(), result.leftovers.end());
        } catch (const CFileException&) {
            // A file another program holds open cannot be renamed; it stays, and so does the rest
            // of the run: the next file, the purge below and the next target.
            m_remaining.push_back({path, LeftReason::Rename});
        }
    };
    if (IsFolderPath(*folder)) {
        // The walk fixes the folder where it is now; a shell folder that is a link lists nothing.
        CSADirRead reader;
        reader.CollectFolders(*folder);
        reader.CollectFiles();
        for (const FoundFile& file : reader.Files()) {
            // The purge below keeps "desktop.ini" (the folder's look); wiping it first would undo that.
            if (!NamesMatch(NameOf(file.path), L"desktop.ini"))
                wipe(file, file.path);
        }
    } else {
        wipe(*folder, *folder);
    }
    const WipeResult scrubs = run.Finish();
    m_remaining.insert(m_remaining.end(), scrubs.leftovers.begin(), scrubs.leftovers.end());
    PurgeFolder(*folder, false, false);
    return wiped;
}

void CPersonalCleaner::CleanInternetCache()
{
    CleanUrlCache(kContentEntries);
    PurgeShellFolder(CSIDL_INTERNET_CACHE);
}

void CPersonalCleaner::SecureCleanInternetCache()
{
    CleanUrlCache(kContentEntries);
    SecureWipeShellFolder(CSIDL_INTERNET_CACHE);
}

void CPersonalCleaner::CleanCookies()
{
    CleanUrlCache(kContentEntries);
    PurgeShellFolder(CSIDL_COOKIES);
}

void CPersonalCleaner::SecureCleanCookies()
{
    CleanUrlCache(kContentEntries);
    SecureWipeShellFolder(CSIDL_COOKIES);
}

void CPersonalCleaner::CleanSavedPasswords()
{
    CleanUrlCache(kCookieEntries);
    PurgeShellFolder(CSIDL_COOKIES);
}

void CPersonalCleaner::SecureCleanSavedPasswords()
{
    CleanUrlCache(kCookieEntries);
    SecureWipeShellFolder(CSIDL_COOKIES);
}

void CPersonalCleaner::CleanHistory()
{
    ClearUrlHistory();
    if (const auto legacy = LegacyHistoryFolder())
        Purge(*legacy, false, true);
    PurgeShellFolder(CSIDL_HISTORY, true);
    DeleteKey(kTypedUrlsKey);
}

void CPersonalCleaner::SecureCleanHistory()
{
    OverwriteRegValues(kTypedUrlsKey, kTypedUrlsMarker);
    CleanHistory();
}

void CPersonalCleaner::CleanRecentDocs()
{
    PurgeShellFolder(CSIDL_RECENT);
    DeleteKey(kRecentDocsKey);
}

void CPersonalCleaner::SecureCleanRecentDocs()
{
    OverwriteRegValues(kRecentDocsKey, kRecentDocsMarker);
    PurgeShellFolder(CSIDL_RECENT);
    DeleteKey(kRecentDocsKey);
}

void CPersonalCleaner::ClearRunMru() { ClearRunMruValues(); }

void CPersonalCleaner::DeleteIntelliForms() { DeleteKey(kIntelliFormsKey); }

void CPersonalCleaner::SecureCleanIntelliForms()
{
    OverwriteRegValues(kIntelliFormsKey, kIntelliFormsMarker);
    DeleteKey(kIntelliFormsKey);
}

void CPersonalCleaner::CleanFavorites() { PurgeShellFolder(CSIDL_FAVORITES); }

void CPersonalCleaner::SecureCleanFavorites() { SecureWipeShellFolder(CSIDL_FAVORITES); }

void CPersonalCleaner::CleanNetHood() { PurgeShellFolder(CSIDL_NETHOOD); }

void CPersonalCleaner::SecureCleanNetHood() { SecureWipeShellFolder(CSIDL_NETHOOD); }

void CPersonalCleaner::CleanTempFiles()
{
    if (const auto temp = TemporaryFolder())
        Purge(*temp, true, false);
}
