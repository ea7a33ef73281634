#pragma once
#include <memory>

class COsVersion;
class CPersonalCleaner;
class CQuenzoAboutDlg;
class CQuenzoFileDeleteDlg;
class CQuenzoOptionDlg;
class CQuenzoPersnalDeleteDlg;
class CRegInfo;
class CSDEngine;
class CTaskbarNotifier;

// The program's long-lived objects, made here in the order they need each other and owned here
// for the program's life; the main window and the others get references. Their windows are made
// later, by the main window, which is their owner on the screen.
struct ProgramObjects {
    ProgramObjects();
    ~ProgramObjects();
    ProgramObjects(const ProgramObjects&) = delete;
    ProgramObjects& operator=(const ProgramObjects&) = delete;

    // The deletion list first: the engine reads the current method from it. The cleaner needs
    // the engine, and the personal-information window the cleaner.
    std::unique_ptr<CQuenzoFileDeleteDlg> deletionList;
    std::unique_ptr<CSDEngine> engine;
    std::unique_ptr<CPersonalCleaner> cleaner;
    std::unique_ptr<CQuenzoPersnalDeleteDlg> personalWindow;
    std::unique_ptr<CQuenzoOptionDlg> preferences;
    std::unique_ptr<CRegInfo> registry;
    std::unique_ptr<COsVersion> osVersion;
    std::unique_ptr<CQuenzoAboutDlg> about;
    std::unique_ptr<CTaskbarNotifier> notifier;
};
