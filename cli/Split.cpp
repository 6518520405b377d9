// The batch run for the command line: on its worker thread, while the main
// thread draws the progress bar from the run's counters.
#include "cli/Split.h"

#include "cli/Console.h"
#include "cli/FullPath.h"
#include "cli/JobEnd.h"
#include "cli/ProgressLine.h"
#include "cli/Terminal.h"
#include "engine/BatchRun.h"
#include "framework/WinThread.h"
#include "support/FileSystem.h"

#include <vector>

namespace
{
// The main thread reads the counters when it redraws, so progress needs no
// message; the end wakes it at once.
class CMyCliRunHost : public CMyRunHost
{
public:
    void PostRunProgress() override {}
    void PostJobFinished() override { m_end.Signal(); }

    CMyJobEnd m_end;
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

int RunCliBatch(const CMyPathList& list, const CString& strOutputFolder, DWORD dwSectionLength,
                const CliPlanChoice& choice, CliBatchResult* pResult)
{
    CMyRunState state;
    state.m_pPathList = &list;
    state.m_strOutputFolder = strOutputFolder;
    state.m_dwSectionLength = dwSectionLength;
    state.m_pPlanRequest = choice.pRequest;
    state.m_pPlanSink = choice.pSink;
    state.m_bDryRun = choice.bDryRun;
    CMyCliRunHost host;
    CMyBatchRun batch(&state, &host);
    CliBatch run = {&batch, &host, 0};

    g_bIdle.store(0, std::memory_order_relaxed);
    CWinThread* pThread =
        AfxBeginThread(CliBatchProc, &run, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
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
    do
    {
        double dSeconds = (GetTickCount() - dwStart) / 1000.0;
        ShowStatusLine(FormatProgressLine(state.m_ullDoneBytes.load(), ullTotal, dSeconds,
                                          GetTerminalWidth(stderr)));
    } while (!host.m_end.WaitFor(200));
    pThread->WaitForExit(nullptr);
    delete pThread;
    ClearStatusLine();
    pResult->dwSplit = run.dwSplit;
    pResult->dwFinished = state.m_dwFinished;
    pResult->dwCutShort = state.m_dwCutShort;
    return 1;
}

DWORD DropSplitFiles(CMyPathList* pList, const CString& strOutputFolder)
{
    CMyRunState state;
    state.m_pPathList = pList;
    state.m_strOutputFolder = strOutputFolder;
    CMyBatchRun batch(&state, nullptr);
    std::vector<CString> dropped;
    for (DWORD i = 0; i < pList->GetCount(); i++)
    {
        const CMyPathRecord& record = pList->GetAt(i);
        CString strBase;
        if (!batch.MakeOutputBasePath(&strBase, record) || !IsExistFile(strBase + "_001.wav", 0, 0))
            continue;
        PrintError("its pieces exist already, not split (-n): " + MakeShownPath(record.FilePath));
        dropped.push_back(record.FilePath);
    }
    for (const CString& strPath : dropped)
        pList->RemovePath(strPath);
    return (DWORD)dropped.size();
}
