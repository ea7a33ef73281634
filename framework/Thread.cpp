#include "Thread.h"

#include "Unhandled.h"

CWorkerThread::CWorkerThread() : m_stopEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

CWorkerThread::~CWorkerThread()
{
    RequestStop();
    if (m_thread.IsValid())
        WaitForSingleObject(m_thread.Get(), INFINITE);
}

bool CWorkerThread::Start(std::function<void()> work)
{
    if (m_thread.IsValid())
        return false;
    m_work = std::move(work);
    m_thread = ScopedHandle(CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr));
    return m_thread.IsValid();
}

bool CWorkerThread::IsRunning() const
{
    return m_thread.IsValid() && WaitForSingleObject(m_thread.Get(), 0) == WAIT_TIMEOUT;
}

bool CWorkerThread::WaitForStop(DWORD milliseconds) const
{
    if (m_stop)
        return true;
    if (!m_stopEvent.IsValid()) {
        Sleep(milliseconds);
        return m_stop;
    }
    return WaitForSingleObject(m_stopEvent.Get(), milliseconds) == WAIT_OBJECT_0 || m_stop;
}

void CWorkerThread::RequestStop()
{
    m_stop = true;
    if (m_stopEvent.IsValid())
        SetEvent(m_stopEvent.Get());
}

void CWorkerThread::JoinPumpingMessages()
{
    if (m_thread.IsValid())
        WaitPumpingMessages(m_thread.Get());
}

void CWorkerThread::StopAndJoin()
{
    RequestStop();
    JoinPumpingMessages();
}

DWORD WINAPI CWorkerThread::ThreadProc(LPVOID self)
{
    try {
        static_cast<CWorkerThread*>(self)->m_work();
    } catch (...) {
        ReportUnhandled("a worker");
    }
    return 0;
}

void WaitPumpingMessages(HANDLE handle)
{
    bool quit = false;
    int quitCode = 0;
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED)
            break;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                quitCode = static_cast<int>(message.wParam);
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    if (quit)
        PostQuitMessage(quitCode);
}
