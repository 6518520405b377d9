// One way from a front end's texts to a run's plan request.
#include "engine/RequestBuilder.h"

#include "engine/PlanValues.h"
#include "engine/SectionLength.h"

#include <cstring>

namespace
{
int Refuse(CMyPlanRefusal* pRefusal, PlanRefusal reason, const CString& strValue = CString())
{
    pRefusal->Reason = reason;
    pRefusal->strValue = strValue;
    return 0;
}

int ReadRule(const CMyPlanTexts& texts, CMyPlanRule* pRule, CMyPlanRefusal* pRefusal)
{
    if (texts.bParts && texts.bLength)
        return Refuse(pRefusal, kRefusePartsAndLength);
    if (texts.bParts && texts.bMaxSize)
        return Refuse(pRefusal, kRefusePartsAndMaxSize);
    // Equal parts are counted over the whole file, not between pauses.
    if (texts.bParts && texts.bEveryPause)
        return Refuse(pRefusal, kRefuseEveryPauseParts);
    // Pieces of a length and files of a size are two rules for one cut.
    if (texts.bMaxSize && texts.bLength)
        return Refuse(pRefusal, kRefuseMaxSizeAndLength);
    if (texts.bParts)
    {
        pRule->Kind = kRuleParts;
        pRule->dwParts = ParsePartCount(texts.strParts);
        if (pRule->dwParts == 0)
            return Refuse(pRefusal, kRefuseParts, texts.strParts);
    }
    else if (texts.bMaxSize)
    {
        pRule->Kind = kRuleMaxSize;
        pRule->qwMaxSize = ParseByteSize(texts.strMaxSize);
        if (pRule->qwMaxSize == 0)
            return Refuse(pRefusal, kRefuseMaxSize, texts.strMaxSize);
        if (pRule->qwMaxSize < kMinPieceFile)
            return Refuse(pRefusal, kRefuseMaxSizeSmall, texts.strMaxSize);
    }
    else if ((texts.bMarkers || texts.bEveryPause || texts.bCuts || texts.bAt ||
              texts.bCutsBeside) &&
             !texts.bLength)
        pRule->Kind = kRuleWhole;
    pRule->bMarkers = texts.bMarkers;
    return 1;
}

// Pause values are times as the section length reads them ("2.5", "0:30").
int ReadPause(const CMyPlanTexts& texts, CMyPlanRule* pRule, CMyPlanRefusal* pRefusal)
{
    if (texts.bPause)
    {
        // The fixed length a front end falls back to is no length asked for.
        if (!texts.bLength && !texts.bMaxSize)
            return Refuse(pRefusal, kRefusePauseRule);
        pRule->bPause = 1;
        if (!texts.strPauseWindow.IsEmpty() &&
            (pRule->dwPauseWindow = ParseSectionLength(texts.strPauseWindow)) == 0)
            return Refuse(pRefusal, kRefusePauseWindow, texts.strPauseWindow);
    }
    else if ((texts.bPauseMin || texts.bPauseLevel) && !texts.bEveryPause)
        return Refuse(pRefusal, kRefusePauseValues);
    if (texts.bEveryPause && !texts.bPauseMin)
        pRule->dwPauseMin = ParseSectionLength(kDefaultEveryPauseMin);
    if (texts.bPauseMin && (pRule->dwPauseMin = ParseSectionLength(texts.strPauseMin)) == 0)
        return Refuse(pRefusal, kRefusePauseMin, texts.strPauseMin);
    if (texts.bPauseLevel && texts.strPauseLevel == "auto")
        pRule->bAutoLevel = 1;
    else if (texts.bPauseLevel && !ParseDecibels(texts.strPauseLevel, &pRule->dPauseLevel))
        return Refuse(pRefusal, kRefusePauseLevel, texts.strPauseLevel);
    // A pause longer than the stretch searched can never be found in it.
    if (pRule->bPause && pRule->dwPauseWindow != 0 && pRule->dwPauseWindow < pRule->dwPauseMin)
    {
        pRefusal->strOther = texts.bPauseMin     ? texts.strPauseMin
                             : texts.bEveryPause ? CString(kDefaultEveryPauseMin)
                                                 : CString(kDefaultPauseMin);
        return Refuse(pRefusal, kRefusePauseShort, texts.strPauseWindow);
    }
    return 1;
}

// A zero piece length is the default said aloud: every pause cuts.
int ReadEveryPause(const CMyPlanTexts& texts, CMyPlanRule* pRule, CMyPlanRefusal* pRefusal)
{
    if ((texts.bMinPiece || texts.bTrim) && !texts.bEveryPause)
        return Refuse(pRefusal, kRefuseEveryPauseValues);
    pRule->bEveryPause = texts.bEveryPause;
    pRule->bTrim = texts.bTrim;
    if (!texts.bMinPiece)
        return 1;
    pRule->dwMinPiece = ParseSectionLength(texts.strMinPiece);
    const char* pc = texts.strMinPiece;
    const int bZero = *pc != '\0' && pc[strspn(pc, "0.:")] == '\0';
    if (pRule->dwMinPiece == 0 && !bZero)
        return Refuse(pRefusal, kRefuseMinPiece, texts.strMinPiece);
    return 1;
}

// A list's fault as the request's refusal, naming the list.
int RefuseCutList(const CString& strPath, const CMyCutListError& error, CMyPlanRefusal* pRefusal)
{
    static const PlanRefusal kReasons[] = {kRefuseNone, kRefuseCutsLine, kRefuseCutsEmpty,
                                           kRefuseCutsUnread, kRefuseCutsLarge};
    pRefusal->dwLine = error.dwLine;
    pRefusal->dwError = error.dwError;
    return Refuse(pRefusal, kReasons[error.Fault], strPath);
}

int ReadCuts(const CMyPlanTexts& texts, CMyPlanRequest* pRequest, CMyPlanRefusal* pRefusal)
{
    if (!texts.bCuts && !texts.bAt && !texts.bCutsBeside)
        return 1;
    auto pCuts = std::make_shared<CMyRunCuts>();
    CMyCutListError error;
    if (texts.bCuts && !ReadCutListFile(texts.strCuts, &pCuts->Listed, &error))
        return RefuseCutList(texts.strCuts, error, pRefusal);
    if (texts.bAt && !ReadCutTimes(texts.strAt, &pCuts->Typed))
        return Refuse(pRefusal, kRefuseAt, texts.strAt);
    pCuts->bBeside = texts.bCutsBeside;
    pRequest->pCuts = pCuts;
    return 1;
}

int ReadName(const CMyPlanTexts& texts, CMyPlanRequest* pRequest, CMyPlanRefusal* pRefusal)
{
    CMyNameTemplate* pTemplate = &pRequest->NameTemplate;
    CString strBad;
    // A plan's rows name their pieces: an edited name is the piece's new name.
    if (!texts.bName && pRequest->pCuts != nullptr && pRequest->pCuts->Listed.Kind == kListPlan &&
        !pRequest->pCuts->Listed.Groups.empty())
        return ParseNameTemplate("{label}", pTemplate, &strBad);
    if (!texts.bName)
        return 1;
    if (texts.strName.IsEmpty())
        return Refuse(pRefusal, kRefuseNameEmpty);
    if (!ParseNameTemplate(texts.strName, pTemplate, &strBad))
        return Refuse(pRefusal, strBad == "{" ? kRefuseNameOpen : kRefuseNameField, strBad);
    return 1;
}

// The channel list, and no {channel} in a name unless the pieces are split
// by channel.
int ReadChannels(const CMyPlanTexts& texts, CMyPlanRequest* pRequest, CMyPlanRefusal* pRefusal)
{
    if (texts.bChannels && !ParseChannelList(texts.strChannels, &pRequest->Channels))
        return Refuse(pRefusal, kRefuseChannels, texts.strChannels);
    for (const CMyNamePart& part : pRequest->NameTemplate.Parts)
        if (part.Field == kFieldChannel && !pRequest->Channels.IsSet())
            return Refuse(pRefusal, kRefuseChannelField, "{channel}");
    return 1;
}
} // namespace

int BuildPlanRequest(const CMyPlanTexts& texts, CMyPlanRequest* pRequest, CMyPlanRefusal* pRefusal)
{
    *pRequest = CMyPlanRequest();
    *pRefusal = CMyPlanRefusal();
    CMyPlanRule& rule = pRequest->Rule;
    if (!ReadRule(texts, &rule, pRefusal) || !ReadPause(texts, &rule, pRefusal) ||
        !ReadEveryPause(texts, &rule, pRefusal) || !ReadCuts(texts, pRequest, pRefusal) ||
        !ReadName(texts, pRequest, pRefusal) || !ReadChannels(texts, pRequest, pRefusal))
        return 0;
    // Markers that cut are carried by the pieces, either front end alike.
    pRequest->bCarryMarkers = rule.bMarkers;
    pRequest->bShareBlocks = texts.bShareBlocks;
    return 1;
}

int AddCutsBeside(const std::vector<CString>& srcPaths, CMyPlanRequest* pRequest,
                  CMyPlanRefusal* pRefusal)
{
    *pRefusal = CMyPlanRefusal();
    if (pRequest->pCuts == nullptr || !pRequest->pCuts->bBeside)
        return 1;
    auto pCuts = std::make_shared<CMyRunCuts>(*pRequest->pCuts);
    for (const CString& strSrcPath : srcPaths)
    {
        const CString strList = FindCutsBeside(strSrcPath);
        CMyCutList list;
        CMyCutListError error;
        if (strList.IsEmpty())
            continue;
        if (!ReadCutListFile(strList, &list, &error))
            return RefuseCutList(strList, error, pRefusal);
        pCuts->Beside[strSrcPath.GetString()] = std::move(list);
    }
    pRequest->pCuts = pCuts;
    return 1;
}
