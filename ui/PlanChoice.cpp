// The window's choice of how to cut, read into a plan request.
#include "ui/PlanChoice.h"

#include "support/Trace.h"

#include <algorithm>

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
    texts.bMarkers = CutsAtMarkers(choice);
    if (choice.bPause && CanMoveToPause(choice.Kind))
    {
        texts.bPause = 1;
        texts.strPauseWindow = choice.strPauseWindow;
        texts.bPauseMin = 1;
        texts.strPauseMin = choice.strPauseMin;
        texts.bPauseLevel = 1;
        texts.strPauseLevel = choice.strPauseLevel;
    }
    // One pause length and level serve both searches: every pause's boxes,
    // while the others are greyed.
    if (choice.bEveryPause)
    {
        texts.bEveryPause = 1;
        texts.bPauseMin = 1;
        texts.strPauseMin = choice.strEveryPauseMin;
        texts.bPauseLevel = 1;
        texts.strPauseLevel = choice.bAutoLevel ? CString("auto") : choice.strEveryPauseLevel;
        texts.bMinPiece = !choice.strMinPiece.IsEmpty();
        texts.strMinPiece = choice.strMinPiece;
        texts.bTrim = choice.bTrim;
    }
    texts.bChannels = choice.Channels != kChannelsTogether;
    texts.strChannels =
        choice.Channels == kChannelsEach ? CString("each") : choice.strChannelGroups;
    texts.bShareBlocks = choice.bShareBlocks;
    texts.bCuts = choice.Cuts == kCutsFile;
    texts.strCuts = choice.strCutsFile;
    texts.bCutsBeside = choice.Cuts == kCutsBeside;
    // The default name left as it is is no name given: the request's default
    // then names channel files apart and a plan's pieces by its rows.
    texts.bName = choice.strName != kDefaultNameTemplate;
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
    {kRefuseEveryPauseParts, kChoiceParts, "※　等分と無音ごとの分割は組み合わせられません。"},
    {kRefuseMinPiece, kChoiceMinPiece,
     "※　無効な最短の長さです。0 以上の秒数(例: 30)を入れるか、空欄にしてください。"},
    {kRefuseChannels, kChoiceChannels,
     "※　無効なチャンネルの指定です。1 からの番号と範囲(例: 1-2,3,5)を入れてください。"},
    {kRefusePauseShort, kChoicePauseWindow,
     "※　探す範囲 %s が無音の長さ %s より短いため、区切りを動かせません。無音の長さ以上の"
     "秒数を入れるか、空欄にしてください。"},
    {kRefuseNameEmpty, kChoiceName, "※　ファイル名が空です。{title}_{n} などを入れてください。"},
    {kRefuseNameOpen, kChoiceName, "※　ファイル名の「{」が「}」で閉じられていません。"},
    {kRefuseNameField, kChoiceName,
     "※　ファイル名に使えない欄 %s があります。使える欄: {title} {n} {count} {start} {time} "
     "{date} {label}"},
    {kRefuseChannelField, kChoiceName,
     "※　ファイル名の %s は、チャンネルを分けるときだけ使えます。"},
};
// A cut list's refusal, naming the list; 0 for another refusal.
int FormatCutsRefusal(const CMyPlanRefusal& refusal, CString* pstrError)
{
    switch (refusal.Reason)
    {
    case kRefuseCutsLine:
        pstrError->Format("※　カット位置ファイルの %u 行目を読めません。", refusal.dwLine);
        break;
    case kRefuseCutsEmpty:
        *pstrError = "※　カット位置ファイルに区切りがありません。";
        break;
    case kRefuseCutsUnread:
        *pstrError = "※　カット位置ファイルを読めません。";
        break;
    case kRefuseCutsLarge:
        *pstrError = "※　カット位置ファイルとしては大きすぎます（64 MiB 超）。";
        break;
    default:
        return 0;
    }
    *pstrError += "\n" + refusal.strValue;
    return 1;
}
} // namespace

int IsDefaultPlanChoice(const CMyPlanChoice& choice)
{
    return choice.Kind == kRuleLength && !choice.bMarkers && !choice.bPause &&
           choice.strName == kDefaultNameTemplate && !choice.bEveryPause &&
           choice.Channels == kChannelsTogether && !choice.bShareBlocks && choice.Cuts == kCutsNone;
}

int MakePlanChoiceRequest(const CMyPlanChoice& choice, CMyPlanRequest* pRequest, CString* pstrError,
                          PlanChoiceField* pField)
{
    *pField = kChoiceNone;
    CMyPlanRefusal refusal;
    if (BuildPlanRequest(MakeChoiceTexts(choice), pRequest, &refusal))
        return 1;
    if (FormatCutsRefusal(refusal, pstrError))
    {
        *pField = kChoiceCutsFile;
        return 0;
    }
    *pstrError = "※　この組み合わせでは分割できません。";
    for (const auto& entry : kRefusals)
        if (entry.Reason == refusal.Reason)
        {
            pstrError->Format(entry.pcText, (const char*)refusal.strValue,
                              (const char*)refusal.strOther);
            *pField = entry.Field;
        }
    // With every pause the pause length and level are its boxes.
    if (choice.bEveryPause && *pField == kChoicePauseMin)
        *pField = kChoiceEveryPauseMin;
    if (choice.bEveryPause && *pField == kChoicePauseLevel)
        *pField = kChoiceEveryPauseLevel;
    return 0;
}

int AddChoiceCutsBeside(const CMyPathList& files, CMyPlanRequest* pRequest, CString* pstrError)
{
    std::vector<CString> paths;
    for (DWORD i = 0; i < files.GetCount(); i++)
        paths.push_back(files.GetAt(i).FilePath);
    CMyPlanRefusal refusal;
    if (AddCutsBeside(paths, pRequest, &refusal))
        return 1;
    FormatCutsRefusal(refusal, pstrError);
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
    // The cuts in the order they are made, joined by " + ".
    CString strCuts;
    if (CutsAtMarkers(choice))
        strCuts = "マーカー";
    if (choice.Cuts != kCutsNone)
    {
        const CString& strFile = choice.strCutsFile;
        const int iName = std::max(FindLastCharSJis(strFile, '\\'), FindLastCharSJis(strFile, '/'));
        strCuts += strCuts.IsEmpty() ? "" : " + ";
        strCuts += choice.Cuts == kCutsBeside ? CString("カット位置 (同じ名前)")
                                              : "カット位置 " + strFile.Mid(iName + 1);
    }
    if (choice.bEveryPause)
        strCuts += strCuts.IsEmpty() ? "無音ごと" : " + 無音ごと";
    if (!strRule.IsEmpty())
        strCuts += strCuts.IsEmpty() ? strRule : " + " + strRule;
    CString strText = "分割方法: " + strCuts;
    if (choice.bEveryPause && !choice.strMinPiece.IsEmpty())
        strText += ", 最短 " + choice.strMinPiece + " 秒";
    if (choice.bEveryPause && choice.bTrim)
        strText += ", トリム";
    if (choice.bPause && CanMoveToPause(choice.Kind))
        strText += ", 無音で調整";
    if (choice.strName != kDefaultNameTemplate)
        strText += ", 名前 " + choice.strName;
    if (choice.Channels == kChannelsEach)
        strText += ", 1 チャンネルずつ";
    if (choice.Channels == kChannelsGroups)
        strText += ", チャンネル " + choice.strChannelGroups;
    if (choice.bShareBlocks)
        strText += ", ブロック共有";
    return strText;
}
