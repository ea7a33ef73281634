#pragma once
#include <windows.h>

#include <functional>

// One worker thread running one function. Nothing thrown by the function leaves the thread.
class CWorkerThread {
public:
    CWorkerThread() = default;
    ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Starts `work` at once with normal priority; false if the thread could not be made.
    bool Start(std::function<void()> work);
    bool IsRunning() const;
    // Waits for the end while handling the calling thread's messages, so that the worker may
    // still SendMessage to windows of the caller meanwhile.
    void JoinPumpingMessages();

private:
    static DWORD WINAPI ThreadProc(LPVOID self);

    std::function<void()> m_work;
    HANDLE m_thread = nullptr;
};
