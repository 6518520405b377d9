// The planners: where a source's pieces start and end, and why, from its
// data size, its markers, its pauses and the rule the user chose. Pure but for
// the pause search, which reads only the frames it looks at.
#pragma once

#include "engine/SplitPlan.h"

// Today's fixed length: pieces of CalcPieceSize bytes while the data holds a
// whole one, then the rest (a partial frame included) as a shorter last piece
// marked bRest. 0, with the refusal in the notes, when a section is shorter
// than one frame.
int PlanFixedLength(const CMyPlanSource& src, DWORD dwSectionLength, CMyPlan* pPlan);

// The plan for one source under the rule: with bMarkers the markers cut first
// (no empty pieces for markers at 0, at the end or on one frame), then the
// rule cuts each part: the fixed length, N equal parts (piece k of a part of F
// frames covers frames k*F/N up to (k+1)*F/N, rounded down), or the longest
// pieces whose files stay within the size limit (RF64 from 4 GiB on). With
// bPause each length or size cut moves back to the middle of the pause
// nearest it within the search window, read through pReader; without one it
// stays exact ("no pause"). The last piece carries a partial frame at the end
// of the data. 0 when the file cannot be planned (more parts than frames, a
// limit that cannot hold one frame, an abort during the pause search): the
// reason is in the notes, which also name what the planner could not use.
int MakeSplitPlan(const CMyPlanSource& src, const CMyPlanRule& rule, CMyFrameReader* pReader,
                  CMyPlan* pPlan);

// The most frames a piece from qwStart may hold so that its file (header,
// carried marker chunks, frames, and dwTailBytes when it takes all qwLeft
// frames) stays within qwMaxSize; 0 when not even one frame fits.
ULONGLONG CalcMaxSizeFrames(const CMyPlanSource& src, ULONGLONG qwMaxSize, ULONGLONG qwStart,
                            ULONGLONG qwLeft, DWORD dwTailBytes);

// The refusal of a plan that would pass kMaxPlanPieces; qwPieces 0: the
// planner stopped at the limit without counting on.
CString FormatTooManyPieces(ULONGLONG qwPieces);
