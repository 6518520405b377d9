// One way from a front end's texts to a run's plan request: the command
// line's options and the window's "分割方法" dialog both describe what the
// user gave in the same terms, and one function decides what that means and
// what is refused, so that both refuse the same things for the same reasons.
#pragma once

#include "engine/SourcePlan.h"
#include "framework/CString.h"

// The pause settings a front end shows before the user changes them.
const char* const kDefaultPauseMin = "0.3";
// The gap between tracks: the pause length of a cut at every pause.
const char* const kDefaultEveryPauseMin = "2";
const char* const kDefaultPauseLevel = "-40";

// What the user gave, as typed (Shift-JIS). A value not given keeps the
// request's default; one given empty is refused where empty means nothing.
struct CMyPlanTexts
{
    // The rules asked for; two of them cannot be combined. None: the fixed
    // length, or with bMarkers each part between markers whole.
    int bLength = 0; // the fixed length (its text is read apart, as the run's)
    int bParts = 0;
    CString strParts;
    int bMaxSize = 0;
    CString strMaxSize;
    int bMarkers = 0;       // cut at the markers first; pieces carry their markers
    int bPause = 0;         // move the length or size cuts back into pauses
    CString strPauseWindow; // empty: a tenth of the piece, at most 30 s
    int bPauseMin = 0;      // not given: kDefaultPauseMin
    CString strPauseMin;
    int bPauseLevel = 0; // not given: kDefaultPauseLevel; "auto": found per file
    CString strPauseLevel;
    int bEveryPause = 0; // cut at every pause (alone, or then the rule)
    int bMinPiece = 0;   // not given: every pause cuts
    CString strMinPiece;
    int bTrim = 0; // leave the pause audio at the pieces' ends out
    int bName = 0; // not given: "{title}_{n}" ("{label}" for a plan's cuts)
    CString strName;
    int bShareBlocks = 0; // pieces share whole blocks with their source
    // Each piece one file per channel or group ("each", "1-2,3,5").
    int bChannels = 0;
    CString strChannels;
    // The user's cuts: a list's path (read here, once), times typed, the
    // lists beside each source (read by AddCutsBeside). Any of them without
    // a rule: each part between cuts whole.
    int bCuts = 0;
    CString strCuts;
    int bAt = 0;
    CString strAt;
    int bCutsBeside = 0;
};

// Why the texts make no request. Each front end words these its own way.
enum PlanRefusal
{
    kRefuseNone,
    kRefusePartsAndLength,
    kRefusePartsAndMaxSize,
    kRefuseMaxSizeAndLength,
    kRefuseParts,        // not a part count
    kRefuseMaxSize,      // not a size
    kRefuseMaxSizeSmall, // cannot hold a header and one frame
    kRefusePauseRule,    // a pause search without a length or size rule
    kRefusePauseWindow,  // not a time
    kRefusePauseValues,  // a pause length or level without a pause search
    kRefusePauseMin,     // not a time
    kRefusePauseLevel,   // not a level
    kRefusePauseShort,   // a window shorter than a pause: no cut could move
    // Every pause and equal parts; a shortest piece that is not a time; a
    // shortest piece or a trim without every pause.
    kRefuseEveryPauseParts,
    kRefuseMinPiece,
    kRefuseEveryPauseValues,
    kRefuseNameEmpty,
    kRefuseNameOpen,     // a '{' not closed
    kRefuseNameField,    // a field no piece has
    kRefuseChannels,     // not a channel list
    kRefuseChannelField, // {channel} in a name without a channel list
    kRefuseCutsUnread,   // the cut list cannot be read (dwError)
    kRefuseCutsLarge,    // too large to be a cut list
    kRefuseCutsLine,     // a line of it cannot be parsed (dwLine)
    kRefuseCutsEmpty,    // it has no cut
    kRefuseAt,           // not times
};

struct CMyPlanRefusal
{
    PlanRefusal Reason = kRefuseNone;
    // The text at fault as given; for kRefuseNameField the unknown field.
    CString strValue;
    // kRefusePauseShort: the pause length the window is shorter than.
    CString strOther;
    DWORD dwLine = 0;  // kRefuseCutsLine
    DWORD dwError = 0; // kRefuseCutsUnread: the system's error
};

// 1 when the pause search applies to the rule (a length or a size limit).
inline int CanMoveToPause(PlanRuleKind kind)
{
    return kind == kRuleLength || kind == kRuleMaxSize;
}

// Fills *pRequest from the texts (its fixed length is the run's section
// length, read apart). 0 with *pRefusal set at the first value refused.
int BuildPlanRequest(const CMyPlanTexts& texts, CMyPlanRequest* pRequest, CMyPlanRefusal* pRefusal);

// --cuts-beside, once the sources are known: the list beside each source
// (FindCutsBeside) that has one joins the request's cuts. 0 with *pRefusal
// set (its strValue the list's path) at the first that cannot be read.
int AddCutsBeside(const std::vector<CString>& srcPaths, CMyPlanRequest* pRequest,
                  CMyPlanRefusal* pRefusal);
