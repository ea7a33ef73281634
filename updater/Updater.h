#pragma once
#include <cstdint>
#include <functional>
#include <string>

// The update program's work, without windows of its own: it reads the product web site's update
// manifest, and when the site names a newer version it asks whether to install it, downloads that
// version's setup program into a folder of its own, checks its SHA-256 against the manifest and
// starts it. The question and every end but a started setup, a "no" or a cancelled download are
// told in message boxes (caption "Quenzo Light") through the prompts seam; the setup is started
// through the outside-effects seam (StartProgram).

// Shows the setup's download while it runs and lets the user stop it (the update program's
// progress window; tests may leave it out).
class DownloadWatcher {
public:
    virtual ~DownloadWatcher() = default;
    // Runs `download` of version `version` (on a thread of its choice) and returns once it ended.
    virtual void Watch(const std::string& version, const std::function<void()>& download) = 0;
    // From the downloading thread: the bytes received so far and those announced (0: none
    // announced). False once the user has asked to stop.
    virtual bool Report(std::uint64_t received, std::uint64_t announced) = 0;
    // Whether the user asked to stop, also when the download ended before it heard so.
    virtual bool CancelRequested() const = 0;
};

struct UpdateRequest {
    std::string site;            // the product web site's address, e.g. "http://127.0.0.1:18731"
    std::string currentVersion;  // the running product's version
    // The update program's own folder for the setup: empty for "QuenzoLiteUpdate" in the Windows
    // temporary folder. The setups and partial downloads an earlier run left in it are deleted at
    // the start (a setup that still runs stays); nothing else in it is touched.
    std::string downloadFolder;
    bool requireHttps = false;           // the setup only from https addresses (release builds)
    DownloadWatcher* watcher = nullptr;  // none: the download runs unwatched
};

enum class UpdateOutcome {
    UpToDate,            // the site names no newer version
    SetupStarted,        // the checked setup program runs; the update program's part is done
    Declined,            // the user answered "no" to the newer version
    Cancelled,           // the user stopped the download
    Unreachable,         // the site cannot be reached
    ManifestUnreadable,  // no manifest, or one that breaks its rules
    NotSecure,           // the setup's address is not https where https is required
    DownloadFailed,      // the setup's download failed (status, broken transfer, too large)
    ChecksumMismatch,    // the downloaded setup is not the one the manifest names
    CannotSave,          // the download folder does not take the file
    CannotStart,         // the checked setup program does not start
};

// The message box text of an outcome; empty for those that show none (a started setup, a "no",
// a cancelled download).
const char* OutcomeMessage(UpdateOutcome outcome);

// Runs the whole update once and returns how it ended, after its message box (if any) is closed.
// Leaves behind only a started setup program, under a new name in the download folder (never over
// an existing file), which the next run deletes; a download that fails, does not match or is
// cancelled is deleted at once, and the folder itself once it is empty.
UpdateOutcome RunUpdate(const UpdateRequest& request);
