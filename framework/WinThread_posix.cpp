// Worker threads on Linux: POSIX threads behind the framework's CWinThread.
#include "framework/WinThread.h"

#include <climits>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <new>
#include <pthread.h>

namespace
{
struct ThreadState
{
    pthread_t thread;
    std::mutex mutex;
    std::condition_variable changed;
    bool bIdKnown = false;
    bool bGo = false;
    bool bReleased = false; // joined or detached
    DWORD dwThreadId = 0;
    DWORD dwExitCode = 0;
};

ThreadState* StateOf(CWinThread* pThread)
{
    return (ThreadState*)pThread->m_pPlatform;
}

void* ThreadEntry(void* pv)
{
    CWinThread* pThread = (CWinThread*)pv;
    ThreadState* pState = StateOf(pThread);
    {
        // The creator needs the identifier before it returns; a suspended
        // thread then waits here until ResumeThread.
        std::unique_lock<std::mutex> lock(pState->mutex);
        pState->dwThreadId = GetCurrentThreadId();
        pState->bIdKnown = true;
        pState->changed.notify_all();
        pState->changed.wait(lock, [pState] { return pState->bGo; });
    }
    // m_bAutoDelete may only change while the thread is suspended; after the
    // thread function returns, a thread that is not auto-deleting must not touch
    // the object, which its owner may already have deleted.
    bool bAutoDelete = pThread->m_bAutoDelete != FALSE;
    UINT nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
    if (bAutoDelete)
        delete pThread;
    return (void*)(uintptr_t)nResult;
}
} // namespace

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_hThread(nullptr), m_nThreadID(0), m_bAutoDelete(TRUE), m_pfnThreadProc(pfnThreadProc),
      m_pThreadParams(pParam), m_pPlatform(nullptr)
{
}

CWinThread::~CWinThread()
{
    ThreadState* pState = StateOf(this);
    if (pState == nullptr)
        return;
    if (!pState->bReleased)
        pthread_detach(pState->thread);
    delete pState;
}

DWORD CWinThread::ResumeThread()
{
    ThreadState* pState = StateOf(this);
    if (pState == nullptr)
        return (DWORD)-1;
    std::lock_guard<std::mutex> guard(pState->mutex);
    if (pState->bGo)
        return 0;
    pState->bGo = true;
    pState->changed.notify_all();
    return 1;
}

int CWinThread::WaitForExit(DWORD* pdwExitCode)
{
    ThreadState* pState = StateOf(this);
    if (pState == nullptr)
        return 0;
    if (!pState->bReleased)
    {
        void* pResult = nullptr;
        if (pthread_join(pState->thread, &pResult) != 0)
            return 0;
        pState->bReleased = true;
        pState->dwExitCode = (DWORD)(uintptr_t)pResult;
    }
    if (pdwExitCode != nullptr)
        *pdwExitCode = pState->dwExitCode;
    return 1;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int /*nPriority*/,
                           UINT nStackSize, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES /*lpSecurityAttrs*/)
{
    if (pfnThreadProc == nullptr)
        return nullptr;
    CWinThread* pThread = new (std::nothrow) CWinThread(pfnThreadProc, pParam);
    ThreadState* pState = new (std::nothrow) ThreadState;
    if (pThread == nullptr || pState == nullptr)
    {
        delete pThread;
        delete pState;
        return nullptr;
    }
    pThread->m_pPlatform = pState;
    pThread->m_hThread = (HANDLE)pState;

    pthread_attr_t attr;
    pthread_attr_init(&attr);
    // PTHREAD_STACK_MIN is a long on 32-bit glibc and a constant on 64-bit.
    const size_t cbStackMin = (size_t)PTHREAD_STACK_MIN;
    if (nStackSize != 0)
        pthread_attr_setstacksize(&attr, nStackSize < cbStackMin ? cbStackMin : nStackSize);
    int iError = pthread_create(&pState->thread, &attr, ThreadEntry, pThread);
    pthread_attr_destroy(&attr);
    if (iError != 0)
    {
        pState->bReleased = true;
        delete pThread;
        return nullptr;
    }
    std::unique_lock<std::mutex> lock(pState->mutex);
    pState->changed.wait(lock, [pState] { return pState->bIdKnown; });
    pThread->m_nThreadID = pState->dwThreadId;
    if ((dwCreateFlags & CREATE_SUSPENDED) == 0)
    {
        // From here on an auto-deleting thread may end and delete the object.
        pState->bGo = true;
        pState->changed.notify_all();
    }
    return pThread;
}
