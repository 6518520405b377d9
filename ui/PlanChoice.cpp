// The window's choice of how to cut, read into a plan request.
#include "ui/PlanChoice.h"

namespace
{
// The choice as the request builder takes it: the boxes the dialog leaves
// off (another rule's value, the pause settings without their rule) are
// not given.
CMyPlanTexts MakeChoiceTexts(const CMyPlanChoice& choice)
{
    CMyPlanTexts texts;
    texts.bLength = choice.Kind == kRuleLength;
    texts.bParts = choice.Kind == kRuleParts;
    texts.strParts = choice.strParts;
    texts.bMaxSize = choice.Kind == kRuleMaxSize;
    texts.strMaxSize = choice.strMaxSize;
    texts.bMarkers = choice.bMarkers || choice.Kind == kRuleWhole;
    if (choice.bPause && CanMoveToPause(choice.Kind))
    {
        texts.bPause = 1;
        texts.strPauseWindow = choice.strPauseWindow;
        texts.bPauseMin = 1;
        texts.strPauseMin = choice.strPauseMin;
        texts.bPauseLevel = 1;
        texts.strPauseLevel = choice.strPauseLevel;
    }
    texts.bName = 1;
    texts.strName = choice.strName;
    return texts;
}

// Each refusal's message (%s: the value as typed) and the box it is about.
// The window asks for one rule at a time, and for pause settings only with
// a rule they apply to: the other refusals are not met here.
const struct
{
    PlanRefusal Reason;
    PlanChoiceField Field;
    const char* pcText;
} kRefusals[] = {
    {kRefuseParts, kChoiceParts, "※　無効な分割数です。1 以上の整数を入れてください。"},
    {kRefuseMaxSize, kChoiceMaxSize,
     "※　無効なサイズ上限です。バイト数か、K・M・G を付けた数(例: 700M)を入れてください。"},
    {kRefuseMaxSizeSmall, kChoiceMaxSize,
     "※　サイズ上限が小さすぎます。ヘッダと 1 サンプルが入る 45 バイト以上にしてください。"},
    {kRefusePauseWindow, kChoicePauseWindow,
     "※　無効な探す範囲です。0 より長い秒数(例: 5)を入れるか、空欄にしてください。"},
    {kRefusePauseMin, kChoicePauseMin,
     "※　無効な無音の長さです。0 より長い秒数(例: 0.3)を入れてください。"},
    {kRefusePauseLevel, kChoicePauseLevel,
     "※　無効なレベルです。0 以下の dB の値(例: -40)を入れてください。"},
    {kRefusePauseShort, kChoicePauseWindow,
     "※　探す範囲 %s が無音の長さ %s より短いため、区切りを動かせません。無音の長さ以上の"
     "秒数を入れるか、空欄にしてください。"},
    {kRefuseNameEmpty, kChoiceName, "※　ファイル名が空です。{title}_{n} などを入れてください。"},
    {kRefuseNameOpen, kChoiceName, "※　ファイル名の「{」が「}」で閉じられていません。"},
    {kRefuseNameField, kChoiceName,
     "※　ファイル名に使えない欄 %s があります。使える欄: {title} {n} {count} {start} {time} "
     "{date} {label}"},
    // The window splits no file by channel: {channel} is a field it does not have.
    {kRefuseChannelField, kChoiceName,
     "※　ファイル名に使えない欄 %s があります。使える欄: {title} {n} {count} {start} {time} "
     "{date} {label}"},
};
} // namespace

int IsDefaultPlanChoice(const CMyPlanChoice& choice)
{
    return choice.Kind == kRuleLength && !choice.bMarkers && !choice.bPause &&
           choice.strName == kDefaultNameTemplate;
}

int MakePlanChoiceRequest(const CMyPlanChoice& choice, CMyPlanRequest* pRequest, CString* pstrError,
                          PlanChoiceField* pField)
{
    *pField = kChoiceNone;
    CMyPlanRefusal refusal;
    if (BuildPlanRequest(MakeChoiceTexts(choice), pRequest, &refusal))
        return 1;
    *pstrError = "※　この組み合わせでは分割できません。";
    for (const auto& entry : kRefusals)
        if (entry.Reason == refusal.Reason)
        {
            pstrError->Format(entry.pcText, (const char*)refusal.strValue,
                              (const char*)refusal.strOther);
            *pField = entry.Field;
        }
    return 0;
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
