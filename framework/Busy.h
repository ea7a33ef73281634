#pragma once
#include <atomic>

// Marks the stretch in which a window asks about, or carries out, a destruction or a cleaning.
// While any such stretch is open the program must not end: a request to close it from outside
// (the setup program) is refused instead.
class CBusyScope {
public:
    CBusyScope() { ++s_open; }
    ~CBusyScope() { --s_open; }
    CBusyScope(const CBusyScope&) = delete;
    CBusyScope& operator=(const CBusyScope&) = delete;

    static bool AnyOpen() { return s_open.load() > 0; }

private:
    static inline std::atomic<int> s_open{0};
};
