// The batch run: every collected file split in list order on a worker thread,
// its sub-folder under the browsed folder mirrored under the output folder.
//
// Host protocol (the main dialog, or the command line):
//   1. Fill a CMyRunState: the path list, the output folder, the section length
//      (ReadSectionLengthText, refusing 0); counters and stop flag 0.
//   2. Make sure the user-interface thread has a message queue, set g_bIdle to
//      0 and start AfxBeginThread(RunThreadProc, &batchRun). If no thread
//      starts, set g_bIdle back to 1.
//   3. Handle WM_RUN_PROGRESS (position = done / total) and WM_JOB_FINISHED
//      (re-enable the controls; g_bAbort = 0 unless g_bClosing) as they come.
//   4. Abort: g_bAbort = 1. Closing: g_bAbort = g_bClosing = 1, then wait
//      until g_bIdle is 1 again.
// The run shows its own message boxes (disk full, summary) with AfxMessageBox
// from the worker thread.
#pragma once

#include "engine/RunState.h"

class CMyPathRecord;

class CMyBatchRun
{
public:
    CMyBatchRun(CMyRunState* pState, CMyRunHost* pHost) : m_pState(pState), m_pHost(pHost) {}

    // RunBatch, then the job-finished message; 0.
    int RunSplitJob();
    // Splits every record and shows the summary unless aborted; the number of
    // files split, every piece of their plan written whole.
    DWORD RunBatch();
    // Output folder + mirrored sub-folder + "\" + file title; 0 when the
    // record cannot be given one (the record is then passed over).
    int MakeOutputBasePath(CString* pstrBasePath, const CMyPathRecord& record) const;

private:
    CMyRunState* m_pState;
    CMyRunHost* m_pHost;
};

// The worker thread's entry: pParam is the CMyBatchRun. Runs the job, then
// sets g_bIdle to 1 (after the job-finished message is posted) and returns 0;
// (UINT)-1 at once for a null parameter.
UINT RunThreadProc(LPVOID pParam);

// Creates every missing folder on the path. With bFile the path names a file
// and its last component is left out. Nonzero when all the folders exist;
// otherwise the system's error code is left as the last error.
int MakeSureFolderOfPath(const char* pcPath, int bFile);
