#include "CPersonalCleaner.h"

#include "CSADirRead.h"
#include "CSDEngine.h"
#include "CleaningTargets.h"
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

bool CPersonalCleaner::PurgeShellFolder(int csidl, bool zeroIndexFile)
{
    const auto folder = ResolveShellFolder(csidl);
    return folder && PurgeFolder(*folder, false, zeroIndexFile);
}

int CPersonalCleaner::SecureWipeShellFolder(int csidl)
{
    const auto folder = ResolveShellFolder(csidl);
    if (!folder || IsTooBroadToEmpty(*folder))
        return 0;
    int wiped = 0;
    const auto wipe = [&](const std::string& path) {
        try {
            if (m_engine.WipeFile(path))
                ++wiped;
        } catch (const CFileException&) {
            // A file another program holds open cannot be renamed; it stays, and so does the rest
            // of the run: the next file, the purge below and the next target.
        }
    };
    const DWORD attributes = GetFileAttributesA(folder->c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CSADirRead reader;
        reader.CollectFolders(*folder);
        reader.CollectFiles();
        for (const FoundFile& file : reader.Files()) {
            // The purge below keeps "desktop.ini" (the folder's look); wiping it first would undo that.
            if (!NamesMatch(file.path.substr(file.path.find_last_of('\\') + 1), "desktop.ini"))
                wipe(file.path);
        }
    } else {
        wipe(*folder);
    }
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
        PurgeFolder(*legacy, false, true);
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
        PurgeFolder(*temp, true, false);
}
