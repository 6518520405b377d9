// The command line's choice of how to cut, read into a plan request.
#include "cli/PlanOptions.h"

#include "cli/ErrorText.h"
#include "cli/FullPath.h"
#include "cli/Messages.h"
#include "engine/RequestBuilder.h"
#include "sources/PathList.h"

namespace
{
// The options as the request builder takes them: a value left out (or given
// empty) is not given.
CMyPlanTexts MakeCliPlanTexts(const CliOptions& options)
{
    CMyPlanTexts texts;
    texts.bLength = options.bLengthGiven;
    texts.bParts = !options.strParts.IsEmpty();
    texts.strParts = options.strParts;
    texts.bMaxSize = !options.strMaxSize.IsEmpty();
    texts.strMaxSize = options.strMaxSize;
    texts.bMarkers = options.bMarkers;
    texts.bPause = options.bPause;
    texts.strPauseWindow = options.strPause;
    texts.bPauseMin = !options.strPauseMin.IsEmpty();
    texts.strPauseMin = options.strPauseMin;
    texts.bPauseLevel = !options.strPauseLevel.IsEmpty();
    texts.strPauseLevel = options.strPauseLevel;
    texts.bEveryPause = options.bEveryPause;
    texts.bMinPiece = !options.strMinPiece.IsEmpty();
    texts.strMinPiece = options.strMinPiece;
    texts.bTrim = options.bTrim;
    texts.bName = !options.strName.IsEmpty();
    texts.strName = options.strName;
    texts.bShareBlocks = options.bShareBlocks;
    texts.bChannels = options.bChannels;
    texts.strChannels = options.strChannels;
    texts.bCuts = !options.strCuts.IsEmpty();
    texts.strCuts = options.strCuts;
    texts.bAt = !options.strAt.IsEmpty();
    texts.strAt = options.strAt;
    texts.bCutsBeside = options.bCutsBeside;
    return texts;
}

// The usage line's reason; %s is the value as typed.
const char* GetRefusalFormat(PlanRefusal reason)
{
    switch (reason)
    {
    case kRefusePartsAndLength:
        return "-N (equal parts) and -l (a length) cannot be combined";
    case kRefusePartsAndMaxSize:
        return "-N (equal parts) and -S (a size limit) cannot be combined";
    case kRefuseMaxSizeAndLength:
        return "-S (a size limit) and -l (a length) cannot be combined";
    case kRefuseParts:
        return "invalid part count '%s' (a whole number from 1)";
    case kRefuseMaxSize:
        return "invalid size '%s' (bytes above 0, or with K, M or G: KiB, MiB, GiB)";
    case kRefuseMaxSizeSmall:
        return "size limit '%s' cannot hold one frame with its header (45 bytes at least)";
    case kRefusePauseRule:
        return "--pause moves the cuts of -l or -S: give one of them";
    case kRefusePauseWindow:
        return "invalid --pause '%s' (seconds above 0, such as 5 or 2.5)";
    case kRefusePauseValues:
        return "--pause-min and --pause-level need --pause or --every-pause";
    case kRefusePauseMin:
        return "invalid --pause-min '%s' (seconds above 0, such as 0.3)";
    case kRefusePauseLevel:
        return "invalid --pause-level '%s' (dB of full scale, 0 or below, such as -40, or "
               "auto)";
    case kRefuseEveryPauseParts:
        return "-P (every pause) and -N (equal parts) cannot be combined";
    case kRefuseMinPiece:
        return "invalid --min-piece '%s' (seconds, 0 or above, such as 30 or 1:00)";
    case kRefuseEveryPauseValues:
        return "--min-piece and --trim need -P (--every-pause)";
    case kRefusePauseShort:
        return "--pause '%s' searches less than --pause-min '%s' of quiet: no cut could move "
               "(search longer, or look for shorter pauses)";
    case kRefuseNameEmpty: // not met: an empty --name is no --name
        return "--name is empty (a template such as {title}_{n})";
    case kRefuseNameOpen:
        return "a '{' in --name is not closed with '}'";
    case kRefuseNameField:
        return "unknown field '%s' in --name (known: {title} {n} {count} {start} {time} {date} "
               "{label} {performer} {channel})";
    case kRefuseChannels:
        return "invalid --channels '%s' (each, or channels from 1 and ranges such as 1-2,3,5)";
    case kRefuseChannelField:
        return "--name uses {channel}: give --channels";
    case kRefuseNone:
    case kRefuseCutsUnread:
    case kRefuseCutsLarge:
    case kRefuseCutsLine:
    case kRefuseCutsEmpty:
    case kRefuseAt:
        break;
    }
    return "";
}
// A cut list's refusal in the user's language, naming the list; 0 for
// another refusal.
int FormatCutsRefusal(const CMyPlanRefusal& refusal, CString* pstrError)
{
    const CString strPath = MakeShownPath(refusal.strValue);
    switch (refusal.Reason)
    {
    case kRefuseCutsLine:
        pstrError->Format(GetCliText(kMsgCutsLine), refusal.dwLine);
        break;
    case kRefuseCutsEmpty:
        *pstrError = GetCliText(kMsgCutsEmpty);
        break;
    case kRefuseCutsUnread:
        pstrError->Format(GetCliText(kMsgCutsUnread),
                          (const char*)GetSystemErrorText(refusal.dwError));
        break;
    case kRefuseCutsLarge:
        *pstrError = GetCliText(kMsgCutsLarge);
        break;
    case kRefuseAt:
        pstrError->Format(GetCliText(kMsgBadAt), (const char*)refusal.strValue);
        return 1;
    default:
        return 0;
    }
    *pstrError += strPath;
    return 1;
}
} // namespace

int MakeCliPlanRequest(const CliOptions& options, CMyPlanRequest* pRequest, CString* pstrError)
{
    CMyPlanRefusal refusal;
    if (BuildPlanRequest(MakeCliPlanTexts(options), pRequest, &refusal))
        return 1;
    if (!FormatCutsRefusal(refusal, pstrError))
        pstrError->Format(GetRefusalFormat(refusal.Reason), (const char*)refusal.strValue,
                          (const char*)refusal.strOther);
    return 0;
}

int AddCliCutsBeside(const CMyPathList& list, CMyPlanRequest* pRequest, CString* pstrError)
{
    std::vector<CString> paths;
    for (DWORD i = 0; i < list.GetCount(); i++)
        paths.push_back(list.GetAt(i).FilePath);
    CMyPlanRefusal refusal;
    if (AddCutsBeside(paths, pRequest, &refusal))
        return 1;
    FormatCutsRefusal(refusal, pstrError);
    return 0;
}
