// The real program started while a copy runs: it shows the running copy's window and ends.
#include "CQuenzoApp.h"
#include "Sandbox.h"
#include "Thread.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Starts a copy of the program from the sandbox and waits for its end while handling this
// thread's messages (it shows a window of this thread). Returns its exit code, or -1.
long RunProgram(const Sandbox& sandbox, const std::string& arguments)
{
    const std::string exe = sandbox.Path("QuenzoLite.exe");
    if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES && !CopyFileA(UnixPath(QUENZO_PROGRAM_PATH).c_str(), exe.c_str(), TRUE))
        return -1;
    std::string command = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    WaitPumpingMessages(process.hProcess);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return static_cast<long>(code);
}

}  // namespace

// The running copy is this test: it holds the mutex and a hidden window with the main window's
// caption. A second copy shows that window (a minimised one stays minimised) and ends at once
// with nothing of its own: no banner download, no window, no message.
TEST(SecondCopy, ShowsTheRunningCopysWindowAndEnds)
{
    Sandbox sandbox;
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, CQuenzoApp::kMutexName);
    ASSERT_NE(mutex, nullptr);
    const HWND running = CreateWindowExA(0, "STATIC", CQuenzoApp::kMainWindowCaption, WS_POPUP | WS_CAPTION, 10, 10,
                                         200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(running, nullptr);

    EXPECT_EQ(RunProgram(sandbox, "trayOn"), 0);
    EXPECT_TRUE(IsWindowVisible(running));

    ShowWindow(running, SW_MINIMIZE);
    EXPECT_EQ(RunProgram(sandbox, ""), 0);
    EXPECT_TRUE(IsIconic(running));
    EXPECT_EQ(sandbox.List(), std::vector<std::string>{"QuenzoLite.exe"});

    DestroyWindow(running);
    CloseHandle(mutex);
}
