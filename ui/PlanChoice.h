// The window's choice of how to cut, as the "分割方法" dialog holds it: the
// texts the user typed, read into the engine's plan request by the request
// builder the command line's options use, so that both refuse the same values.
#pragma once

#include "engine/RequestBuilder.h"
#include "framework/CString.h"
#include "sources/PathList.h"

// The box a value comes from (a refusal puts the focus there).
enum PlanChoiceField
{
    kChoiceNone,
    kChoiceLength,
    kChoiceParts,
    kChoiceMaxSize,
    kChoicePauseWindow,
    kChoicePauseMin,
    kChoicePauseLevel,
    kChoiceName,
    kChoiceEveryPauseMin,
    kChoiceEveryPauseLevel,
    kChoiceMinPiece,
    kChoiceChannels,
    kChoiceCutsFile
};

// Where the user's cuts come from.
enum CutsChoice
{
    kCutsNone,
    kCutsFile,  // one cue sheet, label list or plan for every file
    kCutsBeside // each recording's own TITLE.cue or TITLE.txt
};

// How the channels of a piece are written.
enum ChannelChoice
{
    kChannelsTogether, // one file, as ever
    kChannelsEach,     // one file per channel
    kChannelsGroups    // one file per group typed as the command line takes it
};

// The default is the window's way of cutting before the dialog existed. The
// fixed length itself stays the main window's section length.
struct CMyPlanChoice
{
    // kRuleLength, kRuleParts, kRuleMaxSize, or kRuleWhole: the markers alone.
    PlanRuleKind Kind = kRuleLength;
    int bMarkers = 0; // cut at the markers first (kRuleWhole cuts there unless pauses or a list do)
    CString strParts;
    CString strMaxSize;
    int bPause = 0;         // with kRuleLength or kRuleMaxSize only
    CString strPauseWindow; // empty: a tenth of the piece, at most 30 s
    CString strPauseMin = kDefaultPauseMin;
    CString strPauseLevel = kDefaultPauseLevel;
    CString strName = kDefaultNameTemplate;
    // Cut at every pause first; the rule then cuts between them (分けない:
    // nothing more, the markers only when ticked).
    int bEveryPause = 0;
    CString strEveryPauseMin = kDefaultEveryPauseMin;
    CString strEveryPauseLevel = kDefaultPauseLevel;
    int bAutoLevel = 0;  // the level found per file
    CString strMinPiece; // empty: every pause cuts
    int bTrim = 0;
    ChannelChoice Channels = kChannelsTogether;
    CString strChannelGroups; // "1-2,3,5"
    int bShareBlocks = 0;
    // Cut where a list says first; the rule then cuts between (分けない:
    // nothing more, the markers only when ticked).
    CutsChoice Cuts = kCutsNone;
    CString strCutsFile;
};

// 1 when the choice cuts as the window always has: the fixed length alone,
// today's names.
int IsDefaultPlanChoice(const CMyPlanChoice& choice);
// 1 when the markers cut: ticked, or the only cut there is.
inline int CutsAtMarkers(const CMyPlanChoice& choice)
{
    return choice.bMarkers ||
           (choice.Kind == kRuleWhole && !choice.bEveryPause && choice.Cuts == kCutsNone);
}
// 1 when the rule cuts by the main window's section length.
inline int UsesSectionLength(const CMyPlanChoice& choice)
{
    return choice.Kind == kRuleLength;
}

// Reads the choice into *pRequest (its fixed length is the section length,
// read apart). 0 for a value the parsers refuse, with the message to show
// and the box it is about.
int MakePlanChoiceRequest(const CMyPlanChoice& choice, CMyPlanRequest* pRequest, CString* pstrError,
                          PlanChoiceField* pField);

// The lists beside the files (kCutsBeside) read into *pRequest, which
// MakePlanChoiceRequest made. 0 with the message for one that cannot be read.
int AddChoiceCutsBeside(const CMyPathList& files, CMyPlanRequest* pRequest, CString* pstrError);

// The main window's line for a choice other than the default, such as
// "分割方法: マーカー + 区間長 00:03:00, 無音で調整"; empty for the default.
CString DescribePlanChoice(const CMyPlanChoice& choice, const char* pcSectionLength);
