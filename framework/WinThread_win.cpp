// Worker threads on Windows: _beginthreadex, so the C runtime is set up per thread.
#include "framework/WinThread.h"

#include <new>
#include <process.h>

namespace
{
unsigned __stdcall ThreadEntry(void* pv)
{
    CWinThread* pThread = (CWinThread*)pv;
    UINT nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
    if (pThread->m_bAutoDelete)
        delete pThread;
    return nResult;
}
} // namespace

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_hThread(nullptr), m_nThreadID(0), m_bAutoDelete(TRUE), m_pfnThreadProc(pfnThreadProc),
      m_pThreadParams(pParam), m_pPlatform(nullptr)
{
}

CWinThread::~CWinThread()
{
    if (m_hThread != nullptr)
        CloseHandle(m_hThread);
}

DWORD CWinThread::ResumeThread()
{
    return ::ResumeThread(m_hThread);
}

int CWinThread::WaitForExit(DWORD* pdwExitCode)
{
    if (m_hThread == nullptr || WaitForSingleObject(m_hThread, INFINITE) != WAIT_OBJECT_0)
        return 0;
    DWORD dwCode = 0;
    if (!GetExitCodeThread(m_hThread, &dwCode))
        return 0;
    if (pdwExitCode != nullptr)
        *pdwExitCode = dwCode;
    return 1;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                           UINT nStackSize, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (pfnThreadProc == nullptr)
        return nullptr;
    CWinThread* pThread = new (std::nothrow) CWinThread(pfnThreadProc, pParam);
    if (pThread == nullptr)
        return nullptr;
    // Always started suspended, so the object is complete before the thread
    // can run (and, with auto-delete, delete it).
    unsigned nId = 0;
    HANDLE hThread = (HANDLE)_beginthreadex(lpSecurityAttrs, nStackSize, ThreadEntry, pThread,
                                            CREATE_SUSPENDED, &nId);
    if (hThread == nullptr)
    {
        delete pThread;
        return nullptr;
    }
    pThread->m_hThread = hThread;
    pThread->m_nThreadID = nId;
    SetThreadPriority(hThread, nPriority);
    if ((dwCreateFlags & CREATE_SUSPENDED) == 0)
        ::ResumeThread(hThread);
    return pThread;
}
