#pragma once
#include <windows.h>

#include "Handover.h"

#include <string>

// The application: one running copy per desktop, then the program's long-lived objects
// (ProgramObjects, owned here) and the main window run modally until the program ends. There is
// no loop of its own: the main window's modal loop is the program's.
class CQuenzoApp {
public:
    CQuenzoApp() = default;
    CQuenzoApp(const CQuenzoApp&) = delete;
    CQuenzoApp& operator=(const CQuenzoApp&) = delete;

    // Runs the program with the whole argument text `commandLine`. A second copy shows the running
    // copy's main window (SW_SHOW: a minimised one stays minimised) and ends without a word.
    // Returns the process's exit code: 0, or 1 after a failure message.
    // `request` (from the wide arguments): "/add" paths go into the deletion list, the running
    // copy's when there is one (this copy then only hands them over); "/close" only asks the
    // running copy to end and returns 0 once no copy runs, 1 when it refused or did not end.
    int Run(HINSTANCE instance, const std::string& commandLine, const StartRequest& request = {});

    // The running copy's marker: a mutex of this plain name, held for the whole process.
    static constexpr const char* kMutexName = "QuenzoLite";
    // The caption the running copy's main window is found by.
    static constexpr const char* kMainWindowCaption = "Quenzo Lite";

private:
    // Held from the start of the running copy to the process's end, which releases it; a copy
    // that finds another one already holding it closes its own handle at once.
    HANDLE m_mutex = nullptr;
};
