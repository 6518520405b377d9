// The state one batch run shares between the user-interface thread and its
// worker, and the host interface through which the run reaches its window.
#pragma once

#include "engine/JobFlags.h"
#include "framework/CString.h"

#include <atomic>

class CMyPathList;
class CMyPlanSink;
class CMySplitPolicy;
struct CMyPlanRequest;

// Filled by the host (Execute) before the worker starts. The worker only reads
// the list, the folder and the section length; the counters and the stop flag
// are written by the worker and read by the host's progress display.
struct CMyRunState
{
    const CMyPathList* m_pPathList = nullptr; // the collected files, in list order
    CString m_strOutputFolder;
    DWORD m_dwSectionLength = 0; // milliseconds per piece (ParseSectionLength)
    // How each file is cut (its fixed length is m_dwSectionLength); null:
    // today's pieces of that length, named "<title>_001.wav", ...
    const CMyPlanRequest* m_pPlanRequest = nullptr;
    // Told every file's plan before its first piece (null: no one).
    CMyPlanSink* m_pPlanSink = nullptr;
    // What decides each file, when the host has one (-n, or files decided
    // before the run); null: the run's own, with the listed files collected.
    CMySplitPolicy* m_pPolicy = nullptr;
    // Plan only: no folder, no piece, no summary; a file counts as split
    // when a real run would write its plan.
    int m_bDryRun = 0;
    std::atomic<ULONGLONG> m_ullTotalBytes{0};
    std::atomic<ULONGLONG> m_ullDoneBytes{0};
    std::atomic<int> m_bStopBatch{0}; // set by the split when the output disk is full
    // Written by the worker, for the host once the run has ended: files split
    // to their end, and the file an abort cut short (0xFFFFFFFF: none).
    DWORD m_dwFinished = 0;
    DWORD m_dwCutShort = 0xFFFFFFFF;
};

// What a batch run asks of the window that started it. The main dialog
// implements it, and so does the command line. Both calls come from the worker
// thread: they must only post, never touch the window or block.
//
// Order at the end of a run: the worker posts PostJobFinished, then sets
// g_bIdle to 1 and ends. The host's job-finished handler re-enables its
// controls and clears g_bAbort unless g_bClosing is set.
class CMyRunHost
{
public:
    virtual ~CMyRunHost() = default;
    // The counters moved (message 1525): after every copied block, after every
    // step of files and once at the end of the batch.
    virtual void PostRunProgress() = 0;
    // The job ended (message 1524), once per run.
    virtual void PostJobFinished() = 0;
};

// The usual host: thread messages to the user-interface thread, whose queue
// must exist before the run starts (on Windows a thread that made a window, or
// any thread after one PeekMessageA call). Posting failures are ignored.
// On Windows a nested modal loop on that thread (the user moving the window,
// a message box) takes thread messages and drops them; a window host that
// must not miss the job-finished message posts it to its window instead.
class CMyThreadMessageHost : public CMyRunHost
{
public:
    CMyThreadMessageHost(DWORD dwUIThreadID, HWND hWnd) : m_dwUIThreadID(dwUIThreadID), m_hWnd(hWnd)
    {
    }

    void PostRunProgress() override { PostThreadMessageA(m_dwUIThreadID, WM_RUN_PROGRESS, 0, 0); }
    void PostJobFinished() override
    {
        PostThreadMessageA(m_dwUIThreadID, WM_JOB_FINISHED, (WPARAM)m_hWnd, 0);
    }

    DWORD m_dwUIThreadID; // the target of every message
    HWND m_hWnd;          // carried by the job-finished message
};
