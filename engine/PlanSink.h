// Who hears of each file's plan and of each piece's fate: the dry run's
// lines, a plan file, the window's preview.
#pragma once

#include "framework/CString.h"
#include "platform/Platform.h"

struct CMyPlan;

// What became of a piece of a plan.
enum PieceStatus
{
    kStatusPlanned,   // a dry run: nothing is written
    kStatusWritten,   // on disk whole
    kStatusCutShort,  // on disk shorter than planned, its header true
    kStatusNotWritten // not on disk
};

// Called on the run's worker thread.
class CMyPlanSink
{
public:
    virtual ~CMyPlanSink() = default;
    // The plan of a file about to be split (in a dry run, instead of
    // splitting it): each piece's path is strFolder (which ends with its
    // separator) and its name.
    virtual void TakePlan(const CString& strSrcPath, const CString& strFolder,
                          const CMyPlan& plan) = 0;
    // A file that is not split (in a dry run: would not be), and the trace
    // entry that says why (Shift-JIS; empty when the trace would say nothing).
    virtual void TakeRefusal(const CString& strSrcPath, const CString& strReason) = 0;
    // After TakePlan, each piece in order once it is finished or given up
    // (a dry run: once planned); the plan is the one TakePlan was given.
    virtual void TakePiece(const CString& strFolder, const CMyPlan& plan, DWORD dwIndex,
                           PieceStatus status)
    {
        (void)strFolder;
        (void)plan;
        (void)dwIndex;
        (void)status;
    }
};
