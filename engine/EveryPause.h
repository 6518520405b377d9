// The pauses of a whole source and what the planner makes of them: the
// level (given, or found from the recording), a cut in the middle of every
// pause, and the pause audio trimmed from the pieces' ends.
#pragma once

#include "engine/PauseScan.h"
#include "engine/SplitPlan.h"

#include <vector>

struct CMySourcePauses
{
    double dLevelDb = -40.0;      // the level the pauses are below
    std::vector<CMyPause> Pauses; // every pause of the rule's length, in frame order
};

// 1 when the rule needs the whole data scanned: every pause, or a level
// found from the recording.
int NeedsPauseScan(const CMyPlanRule& rule);

// Reads the whole data once (NeedsPauseScan) for its window levels, then
// sets the level (the rule's, or found: the notes say which) and, for every
// pause, the pauses. 0 with a note when a read failed or the job was
// aborted; 1 otherwise, also for a format whose level cannot be measured
// (noted; no pause).
int ScanSourcePauses(const CMyPlanSource& src, const CMyPlanRule& rule, CMyFrameReader* pReader,
                     CMySourcePauses* pOut, std::vector<CString>* pNotes);

// Where every pause cuts: the middle of each pause that lies inside frames
// [0, qwFrames) (one reaching the start or the end cuts nothing), but not
// one that would leave a piece shorter than qwMinPiece frames after the cut
// before it (a fixed cut, a pause cut kept, or the start) or before the
// next fixed cut or the end. fixed: the other cuts, in frame order.
std::vector<ULONGLONG> PickPauseCuts(const std::vector<CMyPause>& pauses, ULONGLONG qwFrames,
                                     ULONGLONG qwMinPiece, const std::vector<ULONGLONG>& fixed);

// The pause cuts (PickPauseCuts) among the fixed cuts, in frame order
// (kCutEveryPause).
void AddPauseCuts(const std::vector<CMyPause>& pauses, ULONGLONG qwFrames, ULONGLONG qwMinPiece,
                  std::vector<CMyFixedCut>* pCuts);

// Each piece end that lies in a pause keeps qwKeep frames of it; the rest is
// dropped, listed in pPlan->Dropped (kCutTrimmed; stretches that meet at a
// cut make one). A piece lying wholly in a pause is kept whole. A trimmed
// last piece loses the partial frame at the end of the data too.
void TrimPlanPieces(const std::vector<CMyPause>& pauses, ULONGLONG qwKeep, CMyPlan* pPlan);
