// The plan of one open source.
#include "engine/SourcePlan.h"

#include "engine/ChannelFiles.h"
#include "engine/PieceHeader.h"
#include "engine/PlanCuts.h"
#include "engine/SourceChunks.h"
#include "engine/WaveFile.h"

namespace
{
// Chunks start at even offsets: a piece's audio at an odd offset in the
// source cannot be put at the same offset within a block.
void CountUnalignedPieces(ULONGLONG qwDataStart, CMyPlan* pPlan)
{
    for (const CMyPlanPiece& piece : pPlan->Pieces)
        pPlan->dwUnaligned += (qwDataStart + piece.qwStart * pPlan->wBlockSize) % 2;
    if (pPlan->dwUnaligned == 0)
        return;
    CString strNote;
    strNote.Format("データが奇数バイト目から始まるピースは、ブロックを共有せずにコピーします。"
                   "PlanSourceFile()\n\tPieces[%u], PlannedPieces[%u]\n",
                   pPlan->dwUnaligned, (DWORD)pPlan->Pieces.size());
    pPlan->Notes.push_back(strNote);
}
} // namespace

int NeedsSourceChunks(const CMyNameTemplate& nameTemplate)
{
    for (const CMyNamePart& part : nameTemplate.Parts)
        if (part.Field == kFieldLabel || part.Field == kFieldTime || part.Field == kFieldDate)
            return 1;
    return 0;
}

int PlanSourceFile(CMyWaveFile* pSrc, const CString& strFolderSep, const CString& strTitle,
                   const CMyPlanRequest& request, CMySourcePlan* pOut)
{
    const CMyWaveHeader& header = pSrc->GetHeader();
    CMyPlan& plan = pOut->Plan;
    plan = CMyPlan();
    pOut->Markers.clear();
    // Channel files hold other bytes than the source: none can share its blocks.
    const int bAlign = request.bShareBlocks && !request.Channels.IsSet();
    pOut->bAlignBlocks = bAlign;

    CMyPlanSource src;
    // A header may claim more data than the file holds: plan only what is there.
    src.qwDataBytes = header.DataSize;
    if (pSrc->GetFileSize() - header.DataStart < src.qwDataBytes)
    {
        src.qwDataBytes = pSrc->GetFileSize() - header.DataStart;
        plan.qwClaimedDataBytes = header.DataSize;
        plan.qwPresentDataBytes = src.qwDataBytes;
        CString strNote;
        strNote.Format("※　ヘッダのデータサイズがファイルにあるデータより大きいため、"
                       "ファイルにある分だけを分割します。PlanSourceFile()\n"
                       "\tDataSize[%I64u], DataInFile[%I64u]\n",
                       header.DataSize, src.qwDataBytes);
        plan.Notes.push_back(strNote);
    }
    src.dwSamplingRate = header.Param.SamplingRate;
    src.wBlockSize = header.Param.BlockSize;
    src.wChannels = header.Param.Channels;
    src.wSampleFormat = header.SampleFormat;
    src.dwHeadLength = CalcPieceHeaderLength(header, 0, 0);
    src.dwHeadLengthRf64 = CalcPieceHeaderLength(header, 1, 0);
    src.pHeader = &header;
    src.bCarryMarkers = request.bCarryMarkers;
    src.bAlignBlocks = bAlign;
    src.qwDataStart = header.DataStart;
    src.pMarkers = &pOut->Markers;

    CMyNameTemplate defaultTemplate;
    CString strBad;
    const CMyNameTemplate* pTemplate = &request.NameTemplate;
    if (pTemplate->Parts.empty())
    {
        ParseNameTemplate(request.Channels.IsSet() ? kDefaultChannelNameTemplate
                                                   : kDefaultNameTemplate,
                          &defaultTemplate, &strBad);
        pTemplate = &defaultTemplate;
    }
    CMyNameFacts facts;
    facts.strTitle = strTitle;
    facts.strFolderSep = strFolderSep;
    // The default run reads nothing beyond the header, as it always has.
    if (request.Rule.bMarkers || request.bCarryMarkers || NeedsSourceChunks(*pTemplate))
    {
        CMySourceChunks chunks;
        ReadSourceChunks(pSrc, header, &chunks);
        plan.Notes.insert(plan.Notes.end(), chunks.Notes.begin(), chunks.Notes.end());
        ReadMarkers(chunks.strCue, chunks.strAdtl, src.qwDataBytes / src.wBlockSize, &pOut->Markers,
                    &plan.Notes);
        ReadBextFacts(chunks.strBext, &facts);
    }

    // The user's cuts name the pieces; markers that do not cut then name none.
    std::vector<CMyFixedCut> cuts;
    const int bCuts = request.pCuts != nullptr &&
                      MakeSourceCuts(*request.pCuts, pSrc->GetFilePath(), src.dwSamplingRate,
                                     src.qwDataBytes / src.wBlockSize, &cuts, &plan.Notes);
    src.pCuts = bCuts ? &cuts : nullptr;
    CMyFileFrameReader reader(pSrc, header);
    if (!MakeSplitPlan(src, request.Rule, &reader, &plan))
        return 0;
    if (request.Channels.IsSet() && !PlanChannelFiles(header, request.Channels, &plan))
        return 0;
    NamePlanPieces(*pTemplate, facts, bCuts && !request.Rule.bMarkers ? nullptr : &pOut->Markers,
                   &plan, src.pCuts);
    if (bAlign)
        CountUnalignedPieces(header.DataStart, &plan);
    return 1;
}
