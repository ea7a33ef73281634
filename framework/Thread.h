#pragma once
#include "ScopedHandle.h"

#include <windows.h>

#include <atomic>
#include <functional>

// One worker thread running one function, which can be asked to stop. Nothing thrown by the
// function leaves the thread.
class CWorkerThread {
public:
    CWorkerThread();
    // Asks the work to stop and waits for it (without handling messages: join while pumping
    // first where the work may be sending to this thread's windows).
    ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Starts `work` at once with normal priority; false if the thread could not be made or one
    // already runs.
    bool Start(std::function<void()> work);
    bool IsRunning() const;

    // For the work: whether it has been asked to stop, and a wait of `milliseconds` that ends
    // early (true) when it is.
    bool StopRequested() const { return m_stop; }
    bool WaitForStop(DWORD milliseconds) const;

    void RequestStop();
    // Waits for the end while handling the calling thread's messages, so that the worker may
    // still SendMessage to windows of the caller meanwhile.
    void JoinPumpingMessages();
    // Both: what a window does before the controls its worker talks to go away.
    void StopAndJoin();

private:
    static DWORD WINAPI ThreadProc(LPVOID self);

    std::function<void()> m_work;
    ScopedHandle m_thread{nullptr};
    ScopedHandle m_stopEvent;
    std::atomic<bool> m_stop{false};
};

// Runs until `handle` is signalled while still handling this thread's messages, so that a worker
// blocked in SendMessage to this thread can finish. A WM_QUIT met meanwhile is posted again.
void WaitPumpingMessages(HANDLE handle);
