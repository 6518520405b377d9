// The framework's worker threads: AfxBeginThread and the CWinThread it returns.
#pragma once

#include "platform/Platform.h"

typedef UINT (*AFX_THREADPROC)(LPVOID pParam);

class CWinThread
{
public:
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    virtual ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // Starts a thread started with CREATE_SUSPENDED; gives the previous suspend
    // count (1), 0 when it was running, (DWORD)-1 on failure.
    DWORD ResumeThread();
    // Waits until the thread function has returned and stores its result in
    // *pdwExitCode (may be null); 1 on success. Only for threads whose
    // m_bAutoDelete was cleared while suspended: an auto-deleting thread
    // deletes this object when it ends.
    int WaitForExit(DWORD* pdwExitCode);

    HANDLE m_hThread;   // Windows: the thread's handle; elsewhere an opaque token
    DWORD m_nThreadID;  // the identifier GetCurrentThreadId gives inside the thread
    BOOL m_bAutoDelete; // TRUE: the object deletes itself when the thread ends

    // Used by the platform halves only.
    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;
    void* m_pPlatform;
};

// Starts pfnThreadProc(pParam) on a new thread. The returned object deletes
// itself when the thread ends unless the caller clears m_bAutoDelete before
// resuming a thread started with CREATE_SUSPENDED. Null when no thread starts.
// The stack size (0: default) and security attributes are passed to the
// platform; the priority is applied where the platform has thread priorities.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
