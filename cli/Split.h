// The batch run for the command line: on its worker thread, while the main
// thread draws the progress bar from the run's counters.
#pragma once

#include "sources/PathList.h"

class CMyPlanSink;
struct CMyPlanRequest;

struct CliBatchResult
{
    DWORD dwSplit = 0;             // files of which at least one piece was written
    DWORD dwFinished = 0;          // files split to their end
    DWORD dwCutShort = 0xFFFFFFFF; // the file an interrupt cut short, if any
};

// How the run cuts and who hears of its plans (CMyRunState's fields).
struct CliPlanChoice
{
    const CMyPlanRequest* pRequest = nullptr;
    CMyPlanSink* pSink = nullptr;
    int bDryRun = 0;
};

// Splits every record into the output folder (in a dry run, plans it); 0
// when the worker could not be started.
int RunCliBatch(const CMyPathList& list, const CString& strOutputFolder, DWORD dwSectionLength,
                const CliPlanChoice& choice, CliBatchResult* pResult);

// -n: takes out, with a message each, every record some of whose pieces
// exist already in the output folder. A file whose planned pieces all exist
// with their planned sizes was split before (counted in *pdwDone); one whose
// pieces exist in part, or with other sizes, is not split (counted in
// *pdwPartial).
void DropSplitFiles(CMyPathList* pList, const CString& strOutputFolder, DWORD dwSectionLength,
                    const CMyPlanRequest& request, DWORD* pdwDone, DWORD* pdwPartial);
