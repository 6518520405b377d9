// A plan as text: the dry run's lines, the plan file's CSV rows and the trace
// lines of cuts that were moved to a pause or found none.
#pragma once

#include "engine/PlanSink.h"
#include "engine/SplitPlan.h"
#include "framework/CString.h"

#include <string>

// "hh:mm:ss.mmm" of a frame count (milliseconds cut, not rounded).
CString FormatPlanTime(ULONGLONG qwFrames, DWORD dwSamplingRate);
// Why the piece ends there: "length", "marker "label"", "pause -1.24 s",
// "no pause", "end", "cut "label"" (a cut the user gave) or "pause" (every
// pause); "trimmed" for a dropped stretch.
CString FormatCutReason(const CMyPlanPiece& piece, DWORD dwSamplingRate);
// The same in the window's words: "区間長" ("等分" or "サイズ上限" when the
// rule is one of those), "マーカー "label"", "無音 -1.24 秒", "無音なし",
// "末尾", "指定 "label"" or "無音" (every pause); "削除 (無音)" for a
// dropped stretch.
CString FormatCutReasonText(const CMyPlanPiece& piece, DWORD dwSamplingRate, PlanRuleKind kind);

// One dry-run line (Shift-JIS): path, start, length and reason, separated by
// tabs, with a line end.
CString FormatPlanLine(const char* pcPath, const CMyPlanPiece& piece, DWORD dwSamplingRate);

// The plan file: RFC 4180 CSV in UTF-8, lines ending CR LF, this header first.
const char* GetPlanCsvHeader();
// The paths (the piece's, its recording's) come in UTF-8 already: only the
// caller knows the system's names. start_frame and frames are exact where
// start and length are cut to the millisecond. The last field is the piece's
// status: "planned", "written", "cut short" or "not written"; "dropped" for a
// stretch no piece holds.
std::string FormatPlanCsvRow(const std::string& strUtf8Path, const std::string& strUtf8Source,
                             const CMyPlanPiece& piece, DWORD dwSamplingRate, PieceStatus status);

// How many of the plan's dropped stretches start before qwFrame: a plan's
// rows in frame order are each piece after the stretches before it, then the
// stretches after the last piece's start.
size_t CountDroppedBefore(const CMyPlan& plan, ULONGLONG qwFrame);

// The trace entry a real run writes before a piece whose cut the pause search
// moved or could not move; empty for other cuts.
CString FormatCutTrace(const char* pcPath, const CMyPlanPiece& piece, DWORD dwSamplingRate);
