// The batch run for the command line: on its worker thread, while the main
// thread draws the progress bar from the run's counters.
#pragma once

#include "sources/PathList.h"

class CMyPlanSink;
class CMySplitPolicy;
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
    // The policy DropSplitFiles decided with (null: the run's own).
    CMySplitPolicy* pPolicy = nullptr;
};

// Splits every record into the output folder (in a dry run, plans it); 0
// when the worker could not be started.
int RunCliBatch(const CMyPathList& list, const CString& strOutputFolder, DWORD dwSectionLength,
                const CliPlanChoice& choice, CliBatchResult* pResult);

// -n: decides every record with the run's policy (which then splits them:
// the piece names each file takes stay its own), and takes out, with a
// message each, every record whose pieces need no writing or must not be
// overwritten. A file whose planned pieces are all on disk whole was split
// before (counted in *pdwDone); one with pieces unlike its plan is not split
// (counted in *pdwPartial). One whose pieces are whole in part, the rest
// missing or the last cut short, stays: the run writes the rest.
void DropSplitFiles(CMyPathList* pList, const CString& strOutputFolder, DWORD dwSectionLength,
                    const CMyPlanRequest& request, CMySplitPolicy* pPolicy, DWORD* pdwDone,
                    DWORD* pdwPartial);
