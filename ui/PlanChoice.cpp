// The window's choice of how to cut, read into a plan request.
#include "ui/PlanChoice.h"

#include "engine/PlanValues.h"
#include "engine/SectionLength.h"

namespace
{
int Refuse(CString* pstrError, PlanChoiceField* pField, PlanChoiceField field,
           const CString& strText)
{
    *pstrError = strText;
    *pField = field;
    return 0;
}

int ReadRule(const CMyPlanChoice& choice, CMyPlanRule* pRule, CString* pstrError,
             PlanChoiceField* pField)
{
    pRule->Kind = choice.Kind;
    switch (choice.Kind)
    {
    case kRuleParts:
        pRule->dwParts = ParsePartCount(choice.strParts);
        if (pRule->dwParts == 0)
            return Refuse(pstrError, pField, kChoiceParts,
                          "※　無効な分割数です。1 以上の整数を入れてください。");
        return 1;
    case kRuleMaxSize:
        pRule->qwMaxSize = ParseByteSize(choice.strMaxSize);
        if (pRule->qwMaxSize == 0)
            return Refuse(pstrError, pField, kChoiceMaxSize,
                          "※　無効なサイズ上限です。バイト数か、K・M・G を付けた数"
                          "(例: 700M)を入れてください。");
        if (pRule->qwMaxSize < kMinPieceFile)
            return Refuse(pstrError, pField, kChoiceMaxSize,
                          "※　サイズ上限が小さすぎます。ヘッダと 1 サンプルが入る 45 バイト"
                          "以上にしてください。");
        return 1;
    default:
        return 1;
    }
}

// Pause values are times as the section length reads them ("2.5", "0:30").
int ReadPause(const CMyPlanChoice& choice, CMyPlanRule* pRule, CString* pstrError,
              PlanChoiceField* pField)
{
    if (!choice.bPause || !CanMoveToPause(choice.Kind))
        return 1;
    pRule->bPause = 1;
    if (!choice.strPauseWindow.IsEmpty() &&
        (pRule->dwPauseWindow = ParseSectionLength(choice.strPauseWindow)) == 0)
        return Refuse(
            pstrError, pField, kChoicePauseWindow,
            "※　無効な探す範囲です。0 より長い秒数(例: 5)を入れるか、空欄にしてください。");
    if ((pRule->dwPauseMin = ParseSectionLength(choice.strPauseMin)) == 0)
        return Refuse(pstrError, pField, kChoicePauseMin,
                      "※　無効な無音の長さです。0 より長い秒数(例: 0.3)を入れてください。");
    if (!ParseDecibels(choice.strPauseLevel, &pRule->dPauseLevel))
        return Refuse(pstrError, pField, kChoicePauseLevel,
                      "※　無効なレベルです。0 以下の dB の値(例: -40)を入れてください。");
    return 1;
}
} // namespace

int IsDefaultPlanChoice(const CMyPlanChoice& choice)
{
    return choice.Kind == kRuleLength && !choice.bMarkers && !choice.bPause &&
           choice.strName == kDefaultNameTemplate;
}

int MakePlanChoiceRequest(const CMyPlanChoice& choice, CMyPlanRequest* pRequest, CString* pstrError,
                          PlanChoiceField* pField)
{
    *pRequest = CMyPlanRequest();
    *pField = kChoiceNone;
    CMyPlanRule& rule = pRequest->Rule;
    if (!ReadRule(choice, &rule, pstrError, pField) || !ReadPause(choice, &rule, pstrError, pField))
        return 0;
    // Markers alone are the markers' rule; with a rule they cut first. Either
    // way the pieces carry their markers, as the command line's -m has them.
    rule.bMarkers = choice.bMarkers || choice.Kind == kRuleWhole;
    pRequest->bCarryMarkers = rule.bMarkers;

    CString strBad;
    if (choice.strName.IsEmpty())
        return Refuse(pstrError, pField, kChoiceName,
                      "※　ファイル名が空です。{title}_{n} などを入れてください。");
    if (!ParseNameTemplate(choice.strName, &pRequest->NameTemplate, &strBad))
    {
        CString strText;
        if (strBad == "{")
            strText = "※　ファイル名の「{」が「}」で閉じられていません。";
        else
            strText.Format("※　ファイル名に使えない欄 %s があります。使える欄: {title} {n} "
                           "{count} {start} {time} {date} {label}",
                           (const char*)strBad);
        return Refuse(pstrError, pField, kChoiceName, strText);
    }
    return 1;
}

CString DescribePlanChoice(const CMyPlanChoice& choice, const char* pcSectionLength)
{
    if (IsDefaultPlanChoice(choice))
        return CString();
    CString strRule;
    switch (choice.Kind)
    {
    case kRuleLength:
        strRule = CString("区間長 ") + pcSectionLength;
        break;
    case kRuleParts:
        strRule = "等分 " + choice.strParts;
        break;
    case kRuleMaxSize:
        strRule = "サイズ上限 " + choice.strMaxSize;
        break;
    case kRuleWhole:
        break;
    }
    CString strText = "分割方法: ";
    if (choice.bMarkers || choice.Kind == kRuleWhole)
        strText += strRule.IsEmpty() ? "マーカー" : "マーカー + ";
    strText += strRule;
    if (choice.bPause && CanMoveToPause(choice.Kind))
        strText += ", 無音で調整";
    if (choice.strName != kDefaultNameTemplate)
        strText += ", 名前 " + choice.strName;
    return strText;
}
