// The pauses of a whole source and what the planner makes of them.
#include "engine/EveryPause.h"

#include "engine/JobFlags.h"
#include "engine/SectionLength.h"

#include <algorithm>

namespace
{
// The pause holding frame qwFrame (its end included when bEnd), or null.
const CMyPause* PauseAt(const std::vector<CMyPause>& pauses, ULONGLONG qwFrame, int bEnd)
{
    auto it =
        std::upper_bound(pauses.begin(), pauses.end(), qwFrame,
                         [](ULONGLONG qw, const CMyPause& pause) { return qw < pause.qwEnd; });
    if (bEnd && it != pauses.begin() && (it - 1)->qwEnd == qwFrame)
        return &*(it - 1);
    if (it != pauses.end() && it->qwFirst <= qwFrame && (!bEnd || it->qwFirst < qwFrame))
        return &*it;
    return nullptr;
}

void AddDropped(CMyPlan* pPlan, ULONGLONG qwFirst, ULONGLONG qwEnd)
{
    if (!pPlan->Dropped.empty() &&
        pPlan->Dropped.back().qwStart + pPlan->Dropped.back().qwFrames == qwFirst)
    {
        pPlan->Dropped.back().qwFrames += qwEnd - qwFirst;
        return;
    }
    CMyPlanPiece piece;
    piece.qwStart = qwFirst;
    piece.qwFrames = qwEnd - qwFirst;
    piece.Cut = kCutTrimmed;
    pPlan->Dropped.push_back(piece);
}
} // namespace

int NeedsPauseScan(const CMyPlanRule& rule)
{
    return rule.bEveryPause || (rule.bPause && rule.bAutoLevel);
}

int ScanSourcePauses(const CMyPlanSource& src, const CMyPlanRule& rule, CMyFrameReader* pReader,
                     CMySourcePauses* pOut, std::vector<CString>* pNotes)
{
    *pOut = CMySourcePauses();
    pOut->dLevelDb = rule.dPauseLevel;
    CMySampleFormat fmt;
    fmt.dwSamplingRate = src.dwSamplingRate;
    fmt.wChannels = src.wChannels;
    fmt.wBytesPerSample = src.wChannels != 0 ? src.wBlockSize / src.wChannels : 0;
    fmt.wSampleFormat = src.wSampleFormat;
    if (!IsPauseFormat(fmt) || pReader == nullptr)
    {
        pNotes->push_back("この形式のサンプルは音量を測れないため、無音を探しません。\n");
        return 1;
    }
    // Only windows below the level matter; the automatic one is never above its cap.
    CMyWindowLevels levels;
    const ULONGLONG qwFrames = src.qwDataBytes / src.wBlockSize;
    const ULONGLONG qwMin = std::max<ULONGLONG>(FramesOfMs(fmt.dwSamplingRate, rule.dwPauseMin), 1);
    if (!MeasureWindowLevels(pReader, fmt, qwFrames,
                             rule.bAutoLevel ? kAutoLevelCapDb : rule.dPauseLevel, qwMin, &levels))
    {
        pNotes->push_back(g_bAbort.load(std::memory_order_relaxed)
                              ? "※　中止されたため計画を途中で終えました。MakeSplitPlan()\n"
                              : "※　無音を探すためにデータを読めませんでした。MakeSplitPlan()\n");
        return 0;
    }
    if (rule.bAutoLevel)
    {
        const ULONGLONG qwWindows = (qwMin + levels.dwWindow - 1) / levels.dwWindow;
        pOut->dLevelDb = FindAutoLevel(levels, (DWORD)std::min<ULONGLONG>(qwWindows, 0xFFFFFFFFu));
        CString strNote;
        // Tenths of a dB, rounded: the level is at most -20.
        const LONG lTenths = (LONG)(-pOut->dLevelDb * 10.0 + 0.5);
        strNote.Format("無音の音量を録音から -%d.%d dB と決めました。\n", (int)(lTenths / 10),
                       (int)(lTenths % 10));
        pNotes->push_back(strNote);
    }
    if (rule.bEveryPause)
        FindPauses(levels, pOut->dLevelDb, qwMin, &pOut->Pauses);
    return 1;
}

std::vector<ULONGLONG> PickPauseCuts(const std::vector<CMyPause>& pauses, ULONGLONG qwFrames,
                                     ULONGLONG qwMinPiece, const std::vector<ULONGLONG>& fixed)
{
    std::vector<ULONGLONG> cuts;
    ULONGLONG qwLast = 0; // the cut before, fixed or kept
    auto itFixed = fixed.begin();
    for (const CMyPause& pause : pauses)
    {
        if (pause.qwFirst == 0 || pause.qwEnd >= qwFrames)
            continue;
        const ULONGLONG qwCut = pause.qwFirst + (pause.qwEnd - pause.qwFirst) / 2;
        for (; itFixed != fixed.end() && *itFixed <= qwCut; ++itFixed)
            qwLast = std::max(qwLast, *itFixed);
        const ULONGLONG qwNext = itFixed != fixed.end() ? *itFixed : qwFrames;
        if (qwCut == qwLast || qwCut - qwLast < qwMinPiece || qwNext - qwCut < qwMinPiece)
            continue;
        cuts.push_back(qwCut);
        qwLast = qwCut;
    }
    return cuts;
}

void AddPauseCuts(const std::vector<CMyPause>& pauses, ULONGLONG qwFrames, ULONGLONG qwMinPiece,
                  std::vector<CMyFixedCut>* pCuts)
{
    std::vector<ULONGLONG> fixed;
    fixed.reserve(pCuts->size());
    for (const CMyFixedCut& cut : *pCuts)
        fixed.push_back(cut.qwFrame);
    // None falls on a fixed cut's frame: the merge keeps one cut a frame.
    std::vector<ULONGLONG> picked = PickPauseCuts(pauses, qwFrames, qwMinPiece, fixed);
    std::vector<CMyFixedCut> merged;
    merged.reserve(pCuts->size() + picked.size());
    size_t iFixed = 0;
    for (ULONGLONG qwCut : picked)
    {
        for (; iFixed < pCuts->size() && (*pCuts)[iFixed].qwFrame < qwCut; ++iFixed)
            merged.push_back((*pCuts)[iFixed]);
        CMyFixedCut cut;
        cut.qwFrame = qwCut;
        cut.Cut = kCutEveryPause;
        merged.push_back(cut);
    }
    merged.insert(merged.end(), pCuts->begin() + (std::ptrdiff_t)iFixed, pCuts->end());
    pCuts->swap(merged);
}

void TrimPlanPieces(const std::vector<CMyPause>& pauses, ULONGLONG qwKeep, CMyPlan* pPlan)
{
    pPlan->Dropped.clear();
    for (CMyPlanPiece& piece : pPlan->Pieces)
    {
        const ULONGLONG qwStart = piece.qwStart, qwEnd = piece.qwStart + piece.qwFrames;
        const CMyPause* pHead = PauseAt(pauses, qwStart, 0);
        const CMyPause* pTail = PauseAt(pauses, qwEnd, 1);
        if (pHead != nullptr && pHead->qwEnd >= qwEnd)
            continue; // silence alone: a piece of nothing would be no piece
        ULONGLONG qwFirst = qwStart, qwLast = qwEnd;
        if (pHead != nullptr && pHead->qwEnd - qwStart > qwKeep)
            qwFirst = pHead->qwEnd - qwKeep;
        if (pTail != nullptr && qwEnd - pTail->qwFirst > qwKeep)
            qwLast = pTail->qwFirst + qwKeep;
        if (qwFirst > qwStart)
            AddDropped(pPlan, qwStart, qwFirst);
        piece.qwStart = qwFirst;
        piece.qwFrames = qwLast - qwFirst;
        if (qwLast < qwEnd)
        {
            AddDropped(pPlan, qwLast, qwEnd);
            piece.dwTailBytes = 0;
        }
    }
}
