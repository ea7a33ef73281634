// The main function of every test program: GoogleTest's, with a watchdog. A test that hangs (a
// modal window nobody answers, a wait on a message that never comes) would otherwise run until
// ctest's timeout kills the program without saying where it stood. The watchdog ends the program
// once one test has run for QUENZO_TEST_LIMIT seconds (default 120) or the program for
// QUENZO_PROGRAM_LIMIT seconds (default 540, below ctest's 600), naming the running test and
// the windows that are open.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace {

DWORD LimitFromEnvironment(const char* name, DWORD fallback)
{
    const char* text = std::getenv(name);
    const long seconds = text ? std::strtol(text, nullptr, 10) : 0;
    return seconds > 0 ? static_cast<DWORD>(seconds) : fallback;
}

class Watchdog : public ::testing::EmptyTestEventListener {
public:
    Watchdog()
        : m_testLimit(LimitFromEnvironment("QUENZO_TEST_LIMIT", 120) * 1000),
          m_programLimit(LimitFromEnvironment("QUENZO_PROGRAM_LIMIT", 540) * 1000),
          m_programStart(GetTickCount()),
          m_changed(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
          m_thread(CreateThread(nullptr, 0, &Watchdog::Watch, this, 0, nullptr))
    {
    }
    // GoogleTest deletes its listeners as the program ends: the watch ends first, or it would read
    // a limit of nothing and stop a program whose tests all passed.
    ~Watchdog() override
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_ending = true;
        }
        SetEvent(m_changed);
        if (m_thread)
            WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        CloseHandle(m_changed);
    }

private:
    void OnTestStart(const ::testing::TestInfo& test) override
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_test = std::string(test.test_suite_name()) + "." + test.name();
        m_testStart = GetTickCount();
        SetEvent(m_changed);
    }
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_test.clear();
        SetEvent(m_changed);
    }

    static DWORD WINAPI Watch(void* self)
    {
        static_cast<Watchdog*>(self)->WatchUntilALimitPasses();
        return 0;
    }

    // Waits for the nearer limit, again whenever a test starts or ends.
    void WatchUntilALimitPasses()
    {
        for (DWORD wait = m_programLimit;; WaitForSingleObject(m_changed, wait)) {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (m_ending)
                return;
            const DWORD now = GetTickCount();
            const DWORD testLeft = m_test.empty() ? INFINITE : Remaining(m_testStart, m_testLimit, now);
            const DWORD programLeft = Remaining(m_programStart, m_programLimit, now);
            if (testLeft == 0 || programLeft == 0)
                Stop(testLeft == 0 ? "the test" : "the program", now - (testLeft == 0 ? m_testStart : m_programStart));
            wait = std::min(testLeft, programLeft);
        }
    }

    static DWORD Remaining(DWORD start, DWORD limit, DWORD now)
    {
        return now - start >= limit ? 0 : limit - (now - start);
    }

    void Stop(const char* what, DWORD ranFor)
    {
        std::fflush(stdout);
        std::fprintf(stderr, "\n[ WATCHDOG ] %s: %s still runs after %lu s; the program is stopped.\n",
                     m_test.empty() ? "between tests" : m_test.c_str(), what, static_cast<unsigned long>(ranFor / 1000));
        std::fprintf(stderr, "[ WATCHDOG ] its windows on the screen:\n");
        EnumWindows(&Watchdog::PrintWindow, 0);
        std::fflush(stderr);
        // Not ExitProcess: a thread stuck in the loader or in a modal loop must not hold the end up.
        TerminateProcess(GetCurrentProcess(), 3);
    }

    static BOOL CALLBACK PrintWindow(HWND window, LPARAM)
    {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != GetCurrentProcessId() || !IsWindowVisible(window))
            return TRUE;
        char className[128] = {}, title[256] = {};
        GetClassNameA(window, className, sizeof(className));
        // Read without a message: the window's thread may be the one that hangs.
        wchar_t wide[256] = {};
        InternalGetWindowText(window, wide, 256);
        WideCharToMultiByte(CP_ACP, 0, wide, -1, title, sizeof(title), nullptr, nullptr);
        std::fprintf(stderr, "[ WATCHDOG ]   %s \"%s\"\n", className, title);
        return TRUE;
    }

    const DWORD m_testLimit;
    const DWORD m_programLimit;
    const DWORD m_programStart;
    const HANDLE m_changed;
    std::mutex m_mutex;
    std::string m_test;
    DWORD m_testStart = 0;
    bool m_ending = false;
    const HANDLE m_thread;  // last: it starts watching once everything above is set
};

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
    return RUN_ALL_TESTS();
}
