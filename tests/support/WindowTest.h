#pragma once
#include "Seams.h"

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class CDialog;

// Answers every message box from a script and records it. A box without a scripted answer gets
// OK, or No when it asks Yes or No: the answer that changes nothing.
class ScriptedPrompts {
public:
    ScriptedPrompts();
    void Answer(const std::string& textStart, int button);  // for boxes whose text starts so; latest first
    // Runs while a box is up, before it is answered, as a user acting around an open box would.
    void WhileShown(std::function<void(const seams::Prompt&)> action) { m_whileShown = std::move(action); }
    const std::vector<seams::Prompt>& Shown() const { return m_shown; }
    std::vector<std::string> Texts() const;
    // From another thread: waits (up to 10 s) until `count` boxes have been answered; false if not.
    bool WaitUntilAnswered(std::size_t count) const;

private:
    std::vector<seams::Prompt> m_shown;
    std::atomic<std::size_t> m_answered{0};
    std::vector<std::pair<std::string, int>> m_answers;
    std::function<void(const seams::Prompt&)> m_whileShown;
    seams::ScopedPrompts m_scope;
};

// Runs `dialog` modally; inside its message loop one step runs every 30 ms, in order. Each step
// acts as a user would (posting clicks and keys) or reads the window. If the dialog is still up
// 3 s after the last step it is ended with -2, so a stuck test fails instead of hanging.
INT_PTR RunModalScript(CDialog& dialog, HWND owner, std::vector<std::function<void()>> steps);

// A step that holds the script, tick after tick, until `ready` says so; after 30 s it fails the
// test and lets the script go on.
std::function<void()> Until(std::function<bool()> ready, const char* what);

// Drives a modal window of the system's (a common dialog) that `open` shows on this thread and
// waits in, as a user would, from a thread of its own: once a dialog owned by `owner` is on the
// screen (a dialog is shown only after its initialisation, which would undo what was typed into
// it before) and `ready` says so, `act` runs, and again every two seconds while it stays open.
// After `limit` ms the test fails, naming `what`, and the dialog and its message boxes are
// cancelled so that `open` returns.
void DriveSystemDialog(HWND owner, const std::function<void()>& open, const std::function<bool(HWND)>& ready,
                       const std::function<void(HWND)>& act, const char* what, DWORD limit = 30000);

// Handles this thread's pending messages for `milliseconds`.
void PumpMessages(unsigned milliseconds);

// A real WM_DROPFILES for `paths`, as the shell sends it (the window frees the block).
void DropFiles(HWND window, const std::vector<std::string>& paths);
// The same with a wide block, as Explorer drops names that code page 949 cannot hold.
void DropFilesW(HWND window, const std::vector<std::wstring>& paths);

// A click on a dialog button, as the button itself reports it.
void ClickButton(HWND dialog, int id, bool post = false);

// Saves what the screen shows of `window` as screenshots/<name>.bmp in the test environment; the
// environment's removal converts it to PNG into the build tree.
void SaveScreenshot(HWND window, const std::string& name);
