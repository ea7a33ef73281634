#pragma once
#include <string>

// The update program's work, without windows of its own: it reads the product web site's update
// manifest, and when the site names a newer version it downloads that version's setup program
// into the temporary folder, checks its SHA-256 against the manifest and starts it. Every end but
// a started setup is told in one message box (caption "Quenzo Light") through the prompts seam;
// the setup is started through the outside-effects seam (StartProgram).

struct UpdateRequest {
    std::string site;            // the product web site's address, e.g. "http://127.0.0.1:18731"
    std::string currentVersion;  // the running product's version
    std::string tempFolder;      // where the setup lands; empty: the Windows temporary folder
    bool requireHttps = false;   // the setup only from https addresses (release builds)
};

enum class UpdateOutcome {
    UpToDate,            // the site names no newer version
    SetupStarted,        // the checked setup program runs; the update program's part is done
    Unreachable,         // the site cannot be reached
    ManifestUnreadable,  // no manifest, or one that breaks its rules
    NotSecure,           // the setup's address is not https where https is required
    DownloadFailed,      // the setup's download failed (status, broken transfer, too large)
    ChecksumMismatch,    // the downloaded setup is not the one the manifest names
    CannotSave,          // the temporary folder does not take the file
    CannotStart,         // the checked setup program does not start
};

// The message box text of an outcome; empty for SetupStarted, which shows none.
const char* OutcomeMessage(UpdateOutcome outcome);

// Runs the whole update once and returns how it ended, after its message box (if any) is closed.
// Leaves behind only a started setup program, under a new name in the temporary folder (never
// over an existing file); a download that fails or does not match is deleted.
UpdateOutcome RunUpdate(const UpdateRequest& request);
