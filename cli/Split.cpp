// The batch run for the command line: on its worker thread, while the main
// thread draws the progress bar from the run's counters.
#include "cli/Split.h"

#include "cli/Console.h"
#include "cli/FullPath.h"
#include "cli/JobEnd.h"
#include "cli/Messages.h"
#include "cli/ProgressLine.h"
#include "cli/Terminal.h"
#include "engine/BatchRun.h"
#include "engine/SplitFile.h"
#include "engine/SplitPolicy.h"
#include "framework/WinThread.h"
#include "support/Trace.h"

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
    state.m_pPolicy = choice.pPolicy;
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

void DropSplitFiles(CMyPathList* pList, const CString& strOutputFolder, DWORD dwSectionLength,
                    const CMyPlanRequest& request, CMySplitPolicy* pPolicy, DWORD* pdwDone,
                    DWORD* pdwPartial)
{
    *pdwDone = *pdwPartial = 0;
    pPolicy->TakeCollectedFiles(*pList);
    pPolicy->SetNoClobber(1);
    CMyRunState state;
    state.m_pPathList = pList;
    state.m_strOutputFolder = strOutputFolder;
    CMyBatchRun batch(&state, nullptr);
    std::vector<CString> dropped;
    // Decided as a dry run does, silently: a file the split would refuse is
    // left to it, to say why.
    SetTraceMuted(1);
    for (DWORD i = 0; i < pList->GetCount(); i++)
    {
        const CMyPathRecord& record = pList->GetAt(i);
        CString strBase;
        if (!batch.MakeOutputBasePath(&strBase, record))
            continue;
        CMySplitDecision decision;
        SplitVerdict verdict = pPolicy->Decide(strBase, record.FilePath, &request, dwSectionLength,
                                               1, nullptr, &decision);
        const DWORD dwPieces = (DWORD)decision.SourcePlan.Plan.Pieces.size();
        CString strText;
        if (verdict == kVerdictDone)
        {
            PrintError(GetCliText(kMsgDoneBefore) + MakeShownPath(record.FilePath));
            (*pdwDone)++;
        }
        else if (verdict == kVerdictLeftAlone)
        {
            strText.Format(GetCliText(kMsgLeftAlone), decision.dwKept, dwPieces);
            PrintError(strText + MakeShownPath(record.FilePath));
            (*pdwPartial)++;
        }
        else
        {
            if (verdict == kVerdictWrite && decision.dwKept != 0)
            {
                strText.Format(GetCliText(kMsgPartlyKept), decision.dwKept, dwPieces);
                PrintError(strText + MakeShownPath(record.FilePath));
            }
            continue;
        }
        dropped.push_back(record.FilePath);
    }
    SetTraceMuted(0);
    for (const CString& strPath : dropped)
        pList->RemovePath(strPath);
}
