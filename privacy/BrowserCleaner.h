#pragma once
#include "BrowserProfiles.h"
#include "BrowserShutdown.h"
#include "BrowserStores.h"
#include "WipeResult.h"

#include <functional>
#include <string>
#include <vector>

class CSDEngine;

// What a cleaning of one profile removed (or, previewed, would remove).
struct RemovedAmount {
    BrowserKind kind;
    std::wstring profile;
    long long files = 0;  // whole files, journals of removed databases included
    long long rows = 0;   // rows of databases that keep the rest of what they hold
    long long bytes = 0;  // the files' sizes, plus what the databases shrink by
};

struct BrowserReport {
    std::vector<RemovedAmount> removed;  // one per profile cleaned, in the order given
    std::vector<SkippedItem> skipped;    // profiles and stores left alone, and why
    std::vector<Leftover> leftovers;     // what the secure form could not destroy
};

// What cleaning `categories` of `profiles` would remove; reads only (databases are worked on in
// memory). A database that cannot be read is listed as skipped, as the cleaning would skip it.
BrowserReport PreviewBrowserCleaning(const std::vector<BrowserProfile>& profiles, unsigned categories);

// Asked while a browser is still running after its windows were asked to close: true to ask and
// wait again, false to leave that browser's profiles alone.
using KeepWaitingForBrowser = std::function<bool(BrowserKind)>;

// Cleans `categories` of each profile. First every browser that owns one of the profiles is asked
// to close (CloseBrowserWindows; never terminated); the profiles of one still running are skipped.
// A profile whose folder has become a link meanwhile is skipped. Plain: files and folder contents
// deleted, databases' rows deleted and the files vacuumed. Secure: files destroyed with the
// engine's file wipe under the current method; a database rebuilt without the rows into a new
// file, the old file and its journals destroyed with the file wipe, the new one moved into its
// place. Whatever fails is reported and the run goes on with the next store.
BrowserReport CleanBrowsers(CSDEngine& engine, const std::vector<BrowserProfile>& profiles, unsigned categories,
                            bool secure, const KeepWaitingForBrowser& keepWaiting,
                            unsigned waitMs = kBrowserCloseWaitMs);

// The report as the windows show it, in code page 949: per browser what goes (or went), then what
// was skipped and why.
std::string BrowserReportText(const BrowserReport& report, bool preview);
