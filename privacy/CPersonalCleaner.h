#pragma once
#include "WipeResult.h"

#include <string>
#include <vector>

class CSDEngine;

// The cleaning targets of the personal-information cleaner, each in a plain form (delete only)
// and a secure form (files destroyed with the engine's file wipe under the current method,
// registry values overwritten with a marker, then the same deletions). They work on the current
// user's real folders and registry, take no arguments, ask nothing and show nothing; every failure
// is absorbed where it happens, and a file that cannot be wiped or deleted is left behind while
// the run goes on. The engine is only borrowed for the file wipe and must outlive the cleaner.
// The targets are virtual so that a test can watch the order in which a run calls them.
class CPersonalCleaner {
public:
    explicit CPersonalCleaner(CSDEngine& engine);
    virtual ~CPersonalCleaner() = default;

    // Content entries of the URL cache deleted; Temporary Internet Files emptied.
    virtual void CleanInternetCache();
    virtual void SecureCleanInternetCache();
    // Content entries of the URL cache deleted; Cookies emptied.
    virtual void CleanCookies();
    virtual void SecureCleanCookies();
    // Cookie entries of the URL cache deleted; Cookies emptied.
    virtual void CleanSavedPasswords();
    virtual void SecureCleanSavedPasswords();
    // URL history cleared; the legacy history folder and History emptied with every "index.dat"
    // zero-filled first; TypedURLs deleted (secure: its values overwritten first).
    virtual void CleanHistory();
    virtual void SecureCleanHistory();
    // Recent emptied (never wiped: it holds shortcuts); RecentDocs deleted (secure: overwritten
    // first), even when Recent cannot be resolved.
    virtual void CleanRecentDocs();
    virtual void SecureCleanRecentDocs();
    // The Run dialog's list: "a" to "z" and "MRUList" deleted, the key kept. One form only.
    virtual void ClearRunMru();
    // IntelliForms deleted (secure: its values overwritten first).
    virtual void DeleteIntelliForms();
    virtual void SecureCleanIntelliForms();
    virtual void CleanFavorites();
    virtual void SecureCleanFavorites();
    virtual void CleanNetHood();
    virtual void SecureCleanNetHood();
    // The temporary folder emptied, "desktop.ini" included. One form only: nothing is wiped.
    virtual void CleanTempFiles();

    // Destroys every file of the shell folder's tree but "desktop.ini" with the file wipe (a file
    // whose rename fails stays, and the wipe goes on with the next), then empties the folder,
    // keeping "desktop.ini".
    // Returns the number of files wiped; nothing happens when the folder cannot be resolved or is
    // too broad to empty (redirected to a drive root or the profile, for instance).
    int SecureWipeShellFolder(int csidl);

    // What was not cleaned since the cleaner was made (or last cleared): every file the secure
    // forms could not destroy, where it now is and why (the purge after a wipe may still delete
    // such a file without overwriting it, as a plain cleaning would: it is listed because it was
    // never overwritten), and every folder refused as too broad to empty.
    const std::vector<Leftover>& Remaining() const { return m_remaining; }
    // The engine whose file wipe the secure forms use, for the other browsers' cleaning.
    CSDEngine& Engine() const { return m_engine; }
    void ClearRemaining() { m_remaining.clear(); }

protected:
    // Every key deletion of the targets passes here: a test reads the key just before it goes.
    virtual bool DeleteKey(const std::string& key);

private:
    // Empties the shell folder if it resolves, keeping "desktop.ini"; false when it does not.
    bool PurgeShellFolder(int csidl, bool zeroIndexFile = false);
    // Empties `folder` unless it is too broad, which is recorded as not cleaned.
    bool Purge(const std::wstring& folder, bool deleteDesktopIni, bool zeroIndexFile);

    CSDEngine& m_engine;
    std::vector<Leftover> m_remaining;
};
