#include "Thread.h"

#include "Dialog.h"

#include <cstdio>
#include <exception>

CWorkerThread::~CWorkerThread()
{
    if (m_thread) {
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
}

bool CWorkerThread::Start(std::function<void()> work)
{
    if (m_thread)
        return false;
    m_work = std::move(work);
    m_thread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    return m_thread != nullptr;
}

bool CWorkerThread::IsRunning() const { return m_thread && WaitForSingleObject(m_thread, 0) == WAIT_TIMEOUT; }

void CWorkerThread::JoinPumpingMessages()
{
    if (m_thread)
        WaitPumpingMessages(m_thread);
}

DWORD WINAPI CWorkerThread::ThreadProc(LPVOID self)
{
    try {
        static_cast<CWorkerThread*>(self)->m_work();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "unhandled error in a worker: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "unhandled error in a worker\n");
    }
    return 0;
}
