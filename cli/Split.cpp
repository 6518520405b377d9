// The batch run for the command line: on its worker thread, while the main
// thread draws the progress bar from the run's counters.
#include "cli/Split.h"

#include "cli/Console.h"
#include "cli/ProgressLine.h"
#include "cli/Terminal.h"
#include "engine/BatchRun.h"
#include "framework/WinThread.h"

#include <atomic>

namespace
{
// The main thread polls the counters, so progress needs no message.
class CMyCliRunHost : public CMyRunHost
{
public:
    void PostRunProgress() override {}
    void PostJobFinished() override { m_bFinished.store(1, std::memory_order_relaxed); }

    std::atomic<int> m_bFinished{0};
};

struct CliBatch
{
    CMyBatchRun* pBatch;
    CMyCliRunHost* pHost;
    DWORD dwSplit;
};

// RunThreadProc's order, keeping the count for the exit status: the batch,
// the job-finished message, then the idle flag.
UINT CliBatchProc(LPVOID pParam)
{
    CliBatch* pRun = (CliBatch*)pParam;
    pRun->dwSplit = pRun->pBatch->RunBatch();
    pRun->pHost->PostJobFinished();
    g_bIdle.store(1, std::memory_order_relaxed);
    return 0;
}
} // namespace

DWORD RunCliBatch(const CMyPathList& list, const CString& strOutputFolder, DWORD dwSectionLength,
                  int* pbStarted)
{
    CMyRunState state;
    state.m_pPathList = &list;
    state.m_strOutputFolder = strOutputFolder;
    state.m_dwSectionLength = dwSectionLength;
    CMyCliRunHost host;
    CMyBatchRun batch(&state, &host);
    CliBatch run = {&batch, &host, 0};

    g_bIdle.store(0, std::memory_order_relaxed);
    CWinThread* pThread =
        AfxBeginThread(CliBatchProc, &run, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    *pbStarted = pThread != nullptr;
    if (pThread == nullptr)
    {
        g_bIdle.store(1, std::memory_order_relaxed);
        return 0;
    }
    pThread->m_bAutoDelete = FALSE;
    // The run adds the sizes up again when it starts; the bar needs them now.
    ULONGLONG ullTotal = list.GetTotalSize();
    DWORD dwStart = GetTickCount();
    pThread->ResumeThread();
    while (!host.m_bFinished.load(std::memory_order_relaxed))
    {
        double dSeconds = (GetTickCount() - dwStart) / 1000.0;
        ShowStatusLine(FormatProgressLine(state.m_ullDoneBytes.load(), ullTotal, dSeconds,
                                          GetTerminalWidth(stderr)));
        Sleep(200);
    }
    pThread->WaitForExit(nullptr);
    delete pThread;
    ClearStatusLine();
    return run.dwSplit;
}
