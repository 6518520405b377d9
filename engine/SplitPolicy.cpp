// Whether a file is split, and into what.
#include "engine/SplitPolicy.h"

#include "engine/ExistingPieces.h"
#include "engine/PlanSink.h"
#include "engine/SplitFile.h"
#include "framework/FormatText.h"
#include "support/MyWString.h"
#include "support/Trace.h"

#include <cstdarg>

namespace
{
const ULONGLONG kNotFound = 0xFFFFFFFFFFFFFFFFull;

// The output folder: the base path before its last separator, which must
// leave at least two characters in front of it; the folder with that
// separator, to which the pieces' names are joined; the title after it.
int SplitBasePath(const CString& strBasePath, CString* pstrFolder, CString* pstrFolderSep,
                  CString* pstrTitle)
{
    CMyWString strBase(strBasePath);
    DWORD dwSep = strBase.ReverseFindOneOf(0xFFFFFFFF, WSTR("\\/"));
    if (dwSep == 0xFFFFFFFF || dwSep <= 1)
        return 0;
    *pstrFolder = strBase.GetSectorData(0, dwSep);
    // The same separator in the narrow text: the folder and the title keep
    // their bytes, so that the pieces' paths are the base path's own.
    int iSep = FindLastCharSJis(strBasePath, '\\');
    int iSlash = FindLastCharSJis(strBasePath, '/');
    iSep = iSlash > iSep ? iSlash : iSep;
    *pstrFolderSep = strBasePath.Left(iSep + 1);
    *pstrTitle = strBasePath.Mid(iSep + 1);
    return 1;
}

// "{title}_{n}" (or no template): names that two files with different
// titles never share.
int IsTodaysNames(const CMyNameTemplate& nameTemplate)
{
    const std::vector<CMyNamePart>& parts = nameTemplate.Parts;
    return parts.empty() ||
           (parts.size() == 3 && parts[0].Field == kFieldTitle && parts[1].Field == kFieldText &&
            parts[1].strText == "_" && parts[2].Field == kFieldNumber);
}

// Prepares the source for block reads; the source is only opened for reading.
int OpenSource(CMyWaveFile* pSrc, const CString& strSrcPath)
{
    if (!pSrc->SetFilePath(strSrcPath) || pSrc->RefreshFileSize() == kNotFound)
        return 0;
    if (!pSrc->GetTransferBuff().Reallocate(kSplitBlockSize, 1))
        return 0;
    pSrc->SetTransferLimit(kSplitBlockSize);
    return pSrc->OpenForRead();
}
} // namespace

SplitVerdict CMySplitPolicy::Refuse(const CString& strSrcPath, const char* pcFormat, ...)
{
    // The trace's own limit, so that its entries stay as they were.
    char acText[1024];
    va_list args;
    va_start(args, pcFormat);
    FormatTextV(acText, sizeof(acText), pcFormat, args);
    va_end(args);
    if (!m_bDryRun)
        WriteTraceText(acText, 0);
    if (m_pSink != nullptr)
        m_pSink->TakeRefusal(strSrcPath, acText);
    return kVerdictRefused;
}

SplitVerdict CMySplitPolicy::Decide(const CString& strBasePath, const CString& strSrcPath,
                                    const CMyPlanRequest* pRequest, DWORD dwSectionLength,
                                    int bDryRun, CMyPlanSink* pSink, CMySplitDecision* pOut)
{
    m_bDryRun = bDryRun;
    m_pSink = pSink;
    pOut->Verdict = kVerdictRefused;
    CString strTitle;
    if (!SplitBasePath(strBasePath, &pOut->strFolder, &pOut->strFolderSep, &strTitle))
        return Refuse(strSrcPath, "※　出力基本パスが無効です。[ %s ]\n", (const char*)strBasePath);
    CMyWaveFile& src = pOut->Src;
    if (!OpenSource(&src, strSrcPath))
        return Refuse(strSrcPath, "※　入力ファイルのオープンに失敗。\n");
    if (!src.ReadHeader())
        return Refuse(strSrcPath, "※　無効なWAVEヘッダです。\n");
    const CMyWaveHeader& header = src.GetHeader();

    ULONGLONG qwFileSize = src.RefreshFileSize();
    if (qwFileSize == kNotFound || qwFileSize <= header.DataStart)
        return Refuse(strSrcPath, "※　ファイルサイズがデータ先頭アドレスより小さいです。\n");
    if (header.DataSize == 0)
    {
        // Bytes may follow, but the header says none of them is audio.
        return Refuse(strSrcPath,
                      "※　%sのデータサイズが0のため分割しません。SplitFile()\n\t"
                      "DataStart[%I64u], FileSize[%I64u]\n",
                      header.bRf64 ? "ds64チャンク" : "dataチャンク", header.DataStart, qwFileSize);
    }

    CMyPlanRequest& request = pOut->Request;
    request = pRequest != nullptr ? *pRequest : CMyPlanRequest();
    request.Rule.dwSectionLength = dwSectionLength;
    int bPlanned = PlanSourceFile(&src, pOut->strFolderSep, strTitle, request, &pOut->SourcePlan);
    const CMyPlan& plan = pOut->SourcePlan.Plan;
    // The notes end with the reason when the file cannot be planned.
    if (!bDryRun)
    {
        for (const CString& strNote : plan.Notes)
            WriteTraceText(strNote, 0);
        if (!bPlanned && pSink != nullptr)
            pSink->TakeRefusal(strSrcPath, plan.Notes.empty() ? "" : plan.Notes.back());
    }
    else if (!bPlanned)
        Refuse(strSrcPath, "%s", plan.Notes.empty() ? "" : (const char*)plan.Notes.back());
    if (!bPlanned)
        return kVerdictRefused;
    // Nothing is written when one of the pieces would overwrite a collected
    // file or the source.
    CString strClash;
    if (m_collected.FindClash(pOut->strFolderSep, plan, strSrcPath, &strClash))
        return Refuse(strSrcPath,
                      "※　ピースが収集済みのファイルを上書きするため分割しません。"
                      "CMyBatchRun::RunBatch()\n\tFilePath[%s]\n",
                      (const char*)strClash);
    // Today's names of two files never meet, unless cut to the system's limit.
    if ((!IsTodaysNames(request.NameTemplate) || request.Channels.IsSet() ||
         plan.dwShortNames != 0) &&
        !TakeNames(strSrcPath, pOut->strFolderSep, plan))
        return kVerdictRefused;
    pOut->Verdict = m_bNoClobber ? LookAtExisting(strSrcPath, pOut) : kVerdictWrite;
    return pOut->Verdict;
}

// A plan whose piece paths another file of the run has taken is not written
// (letter case aside, as Windows names go); otherwise its paths are the
// source's.
int CMySplitPolicy::TakeNames(const CString& strSrcPath, const CString& strFolderSep,
                              const CMyPlan& plan)
{
    const DWORD dwOwner =
        m_owners.emplace(strSrcPath.GetString(), (DWORD)m_owners.size()).first->second;
    std::vector<std::string> keys;
    keys.reserve(plan.Pieces.size());
    for (const CMyPlanPiece& piece : plan.Pieces)
    {
        CString strKey = strFolderSep + piece.strName;
        strKey.MakeUpper();
        keys.push_back(strKey.GetString());
        auto it = m_takenPaths.find(keys.back());
        if (it != m_takenPaths.end() && it->second != dwOwner)
        {
            Refuse(strSrcPath,
                   "※　ピースが先に分割したファイルのピースと同じ名前になるため分割しません。"
                   "SplitFile()\n\tPiecePath[%s]\n",
                   (const char*)(strFolderSep + piece.strName));
            return 0;
        }
    }
    for (std::string& key : keys)
        m_takenPaths.emplace(std::move(key), dwOwner);
    return 1;
}

// -n: the pieces on disk whole are kept; pieces unlike the plan leave the
// file alone.
SplitVerdict CMySplitPolicy::LookAtExisting(const CString& strSrcPath, CMySplitDecision* pOut)
{
    CString strUnlike;
    switch (FindExistingPieces(pOut->strFolderSep, pOut->Src.GetHeader(), pOut->SourcePlan,
                               pOut->Request.bCarryMarkers, &pOut->Kept, &pOut->dwKept, &strUnlike))
    {
    case kExistingNone:
        pOut->Kept.clear();
        return kVerdictWrite;
    case kExistingAll:
        return kVerdictDone;
    case kExistingPart:
        return kVerdictWrite;
    case kExistingUnlike:
        break;
    }
    Refuse(strSrcPath,
           "※　既にあるピースが分割の計画と合わないため分割せず、上書きもしません。"
           "SplitFile()\n\tPiecePath[%s]\n",
           (const char*)strUnlike);
    return kVerdictLeftAlone;
}
