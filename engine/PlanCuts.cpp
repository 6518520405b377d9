// The planners: where a source's pieces start and end, and why.
#include "engine/PlanCuts.h"

#include "engine/EveryPause.h"
#include "engine/JobFlags.h"
#include "engine/Markers.h"
#include "engine/PauseFinder.h"
#include "engine/PieceHeader.h"
#include "engine/SectionLength.h"

#include <algorithm>

namespace
{
// The pause search looks at most this far back by default.
const DWORD kMaxPauseWindowMs = 30000;

// The header of a piece starting at qwStart, in either form.
DWORD GetHeadLength(const CMyPlanSource& src, int bRf64, ULONGLONG qwStart)
{
    if (src.pHeader != nullptr)
        return CalcPieceHeaderLength(*src.pHeader, bRf64, qwStart);
    return bRf64 ? src.dwHeadLengthRf64 : src.dwHeadLength;
}

// 0 when the plan is full (kMaxPlanPieces).
int AddPiece(CMyPlan* pPlan, ULONGLONG qwStart, ULONGLONG qwFrames, PlanCut cut)
{
    if (pPlan->Pieces.size() >= kMaxPlanPieces)
        return 0;
    CMyPlanPiece piece;
    piece.qwStart = qwStart;
    piece.qwFrames = qwFrames;
    piece.Cut = cut;
    pPlan->Pieces.push_back(piece);
    return 1;
}

// One source's planning under one rule; the parts between markers are cut in
// turn, each ending at a marker or at the end of the data.
class CMyPlanner
{
public:
    CMyPlanner(const CMyPlanSource& src, const CMyPlanRule& rule, CMyFrameReader* pReader,
               CMyPlan* pPlan)
        : m_Src(src), m_Rule(rule), m_pReader(pReader), m_pPlan(pPlan)
    {
    }

    int Plan();

private:
    int CheckRule();
    void GatherCuts(std::vector<CMyFixedCut>* pCuts);
    void Reserve(size_t nCuts);
    int Add(ULONGLONG qwStart, ULONGLONG qwFrames, PlanCut cut);
    int CutPart(ULONGLONG qwFirst, ULONGLONG qwEnd, int bLast);
    int CutPartEqually(ULONGLONG qwFirst, ULONGLONG qwEnd);
    ULONGLONG MoveToPause(ULONGLONG qwStart, ULONGLONG qwCut, ULONGLONG qwFrames, PlanCut* pCut);

    const CMyPlanSource& m_Src;
    const CMyPlanRule& m_Rule;
    CMyFrameReader* m_pReader;
    CMyPlan* m_pPlan;
    ULONGLONG m_qwFrames = 0;
    DWORD m_dwTail = 0;
    ULONGLONG m_qwLengthFrames = 0;
    int m_bReadFailed = 0;
    int m_bAborted = 0;
    CMySourcePauses m_Pauses; // the level, and with every pause the pauses
};

// Room for about as many pieces as the rule will make: a plan of many
// pieces is not copied as it grows (pauses shorten pieces by a tenth at most
// by default, hence the eighth more).
void CMyPlanner::Reserve(size_t nCuts)
{
    ULONGLONG qwPieces = 1;
    if (m_Rule.Kind == kRuleParts)
        qwPieces = m_Rule.dwParts;
    else if (m_Rule.Kind == kRuleLength)
        qwPieces = m_qwFrames / m_qwLengthFrames + 1;
    else if (m_Rule.Kind == kRuleMaxSize)
        qwPieces = m_Src.qwDataBytes / m_Rule.qwMaxSize + 1;
    if (m_Rule.bPause)
        qwPieces += qwPieces / 8;
    if (nCuts != 0)
        qwPieces = (qwPieces + 1) * (m_Rule.Kind == kRuleParts ? nCuts + 1 : 1) + nCuts;
    m_pPlan->Pieces.reserve((size_t)(qwPieces < kMaxPlanPieces ? qwPieces : kMaxPlanPieces));
}

// AddPiece, with the refusal noted when the plan is full.
int CMyPlanner::Add(ULONGLONG qwStart, ULONGLONG qwFrames, PlanCut cut)
{
    if (AddPiece(m_pPlan, qwStart, qwFrames, cut))
        return 1;
    m_pPlan->Notes.push_back(FormatTooManyPieces(0));
    return 0;
}

int CMyPlanner::CheckRule()
{
    switch (m_Rule.Kind)
    {
    case kRuleLength:
        m_qwLengthFrames = FramesOfMs(m_Src.dwSamplingRate, m_Rule.dwSectionLength);
        if (m_qwLengthFrames == 0)
        {
            m_pPlan->Notes.push_back("※　区間長が1サンプルより短いため分割できません。\n");
            return 0;
        }
        return 1;
    case kRuleParts:
        if (m_Rule.dwParts == 0 || m_Rule.dwParts > m_qwFrames)
        {
            CString strNote;
            strNote.Format("※　分割数が0か、サンプル数より多いため分割できません。MakeSplitPlan()\n"
                           "\tParts[%u], Frames[%I64u]\n",
                           m_Rule.dwParts, m_qwFrames);
            m_pPlan->Notes.push_back(strNote);
            return 0;
        }
        if (m_Rule.dwParts > kMaxPlanPieces)
        {
            m_pPlan->Notes.push_back(FormatTooManyPieces(m_Rule.dwParts));
            return 0;
        }
        return 1;
    case kRuleMaxSize:
        if (m_Rule.qwMaxSize < (ULONGLONG)m_Src.dwHeadLength + m_Src.wBlockSize)
        {
            CString strNote;
            strNote.Format("※　サイズ上限にヘッダと1サンプルが収まりません。MakeSplitPlan()\n"
                           "\tMaxSize[%I64u], HeaderLength[%u], BlockSize[%u]\n",
                           m_Rule.qwMaxSize, m_Src.dwHeadLength, (DWORD)m_Src.wBlockSize);
            m_pPlan->Notes.push_back(strNote);
            return 0;
        }
        if (m_dwTail > 0 &&
            m_Rule.qwMaxSize < (ULONGLONG)m_Src.dwHeadLength + m_Src.wBlockSize + m_dwTail)
        {
            // A last piece of one frame could not hold them: they are no sample.
            CString strNote;
            strNote.Format("データ末尾の半端なバイトはサイズ上限に収まらないため書きません。"
                           "MakeSplitPlan()\n\tTailBytes[%u]\n",
                           m_dwTail);
            m_pPlan->Notes.push_back(strNote);
            m_dwTail = 0;
        }
        return 1;
    case kRuleWhole:
        return 1;
    }
    return 0;
}

// Every fixed cut in frame order, one a frame: the markers (with bMarkers),
// then the user's. On a frame several give, the first with a label names the
// cut. Cuts at 0 or at or past the end make no piece and are left out.
void CMyPlanner::GatherCuts(std::vector<CMyFixedCut>* pCuts)
{
    std::vector<CMyFixedCut> all;
    if (m_Rule.bMarkers)
    {
        const std::vector<CMyMarker>* pMarkers = m_Src.pMarkers;
        if (pMarkers == nullptr || pMarkers->empty())
            m_pPlan->Notes.push_back("マーカーがないため、マーカーでは区切りません。\n");
        else
            for (DWORD i = 0; i < (DWORD)pMarkers->size(); ++i)
            {
                CMyFixedCut cut;
                cut.qwFrame = (*pMarkers)[i].qwFrame;
                cut.dwMarker = i;
                cut.strLabel = (*pMarkers)[i].strLabel;
                all.push_back(cut);
            }
    }
    if (m_Src.pCuts != nullptr)
        all.insert(all.end(), m_Src.pCuts->begin(), m_Src.pCuts->end());
    std::stable_sort(all.begin(), all.end(),
                     [](const CMyFixedCut& a, const CMyFixedCut& b)
                     { return a.qwFrame < b.qwFrame; });
    for (const CMyFixedCut& cut : all)
    {
        if (cut.qwFrame == 0 && m_pPlan->strFirstLabel.IsEmpty())
            m_pPlan->strFirstLabel = cut.strLabel;
        if (cut.qwFrame == 0 || cut.qwFrame >= m_qwFrames)
            continue;
        if (pCuts->empty() || pCuts->back().qwFrame != cut.qwFrame)
            pCuts->push_back(cut);
        else if (pCuts->back().strLabel.IsEmpty() && !cut.strLabel.IsEmpty())
            pCuts->back() = cut;
    }
}

int CMyPlanner::Plan()
{
    m_qwFrames = m_Src.qwDataBytes / m_Src.wBlockSize;
    m_dwTail = (DWORD)(m_Src.qwDataBytes % m_Src.wBlockSize);
    if (!CheckRule())
        return 0;
    if (m_qwFrames == 0)
        return 1;
    std::vector<CMyFixedCut> cuts;
    GatherCuts(&cuts);
    m_Pauses.dLevelDb = m_Rule.dPauseLevel;
    if (NeedsPauseScan(m_Rule))
    {
        if (!ScanSourcePauses(m_Src, m_Rule, m_pReader, &m_Pauses, &m_pPlan->Notes))
            return 0;
        if (m_Rule.bEveryPause)
            AddPauseCuts(m_Pauses.Pauses, m_qwFrames,
                         FramesOfMs(m_Src.dwSamplingRate, m_Rule.dwMinPiece), &cuts);
    }
    Reserve(cuts.size());

    ULONGLONG qwFirst = 0;
    for (const CMyFixedCut& cut : cuts)
    {
        if (!CutPart(qwFirst, cut.qwFrame, 0))
            return 0;
        CMyPlanPiece& last = m_pPlan->Pieces.back();
        last.Cut = cut.Cut;
        last.dwMarker = cut.dwMarker;
        last.strLabel = cut.strLabel;
        qwFirst = cut.qwFrame;
    }
    if (!CutPart(qwFirst, m_qwFrames, 1))
        return 0;
    m_pPlan->Pieces.back().Cut = kCutEnd;
    m_pPlan->Pieces.back().dwTailBytes = m_dwTail;
    if (m_Rule.bTrim)
        TrimPlanPieces(m_Pauses.Pauses, FramesOfMs(m_Src.dwSamplingRate, kTrimKeepMs), m_pPlan);
    return 1;
}

// Pieces for frames [qwFirst, qwEnd); the last one's cut is set by the caller.
int CMyPlanner::CutPart(ULONGLONG qwFirst, ULONGLONG qwEnd, int bLast)
{
    if (m_Rule.Kind == kRuleWhole)
        return Add(qwFirst, qwEnd - qwFirst, kCutEnd);
    if (m_Rule.Kind == kRuleParts)
        return CutPartEqually(qwFirst, qwEnd);
    for (ULONGLONG qwStart = qwFirst; qwStart < qwEnd;)
    {
        ULONGLONG qwLeft = qwEnd - qwStart;
        ULONGLONG qwMax = m_qwLengthFrames;
        if (m_Rule.Kind == kRuleMaxSize)
        {
            qwMax =
                CalcMaxSizeFrames(m_Src, m_Rule.qwMaxSize, qwStart, qwLeft, bLast ? m_dwTail : 0);
            if (qwMax == 0)
            {
                CString strNote;
                strNote.Format("※　サイズ上限にヘッダとマーカーと1サンプルが収まりません。"
                               "MakeSplitPlan()\n\tMaxSize[%I64u], Start[%I64u]\n",
                               m_Rule.qwMaxSize, qwStart);
                m_pPlan->Notes.push_back(strNote);
                return 0;
            }
        }
        if (qwMax >= qwLeft)
            return Add(qwStart, qwLeft, kCutEnd);
        PlanCut cut = kCutLength;
        ULONGLONG qwCut = qwStart + qwMax;
        if (m_Rule.bPause)
            qwCut = MoveToPause(qwStart, qwCut, qwMax, &cut);
        if (m_bAborted)
        {
            m_pPlan->Notes.push_back("※　中止されたため計画を途中で終えました。MakeSplitPlan()\n");
            return 0;
        }
        if (!Add(qwStart, qwCut - qwStart, cut))
            return 0;
        m_pPlan->Pieces.back().llShift = (LONGLONG)qwCut - (LONGLONG)(qwStart + qwMax);
        qwStart = qwCut;
    }
    return 1;
}

int CMyPlanner::CutPartEqually(ULONGLONG qwFirst, ULONGLONG qwEnd)
{
    const ULONGLONG qwLength = qwEnd - qwFirst;
    const DWORD dwParts = m_Rule.dwParts;
    if (qwLength < dwParts)
    {
        CString strNote;
        strNote.Format("マーカー間のサンプル数が分割数より少ないため、そのまま1つにします。"
                       "MakeSplitPlan()\n\tStart[%I64u], Frames[%I64u]\n",
                       qwFirst, qwLength);
        m_pPlan->Notes.push_back(strNote);
        return Add(qwFirst, qwLength, kCutEnd);
    }
    // k x length / parts without a 64-bit overflow: k x (length mod parts) < 2^64.
    const ULONGLONG qwWhole = qwLength / dwParts;
    const ULONGLONG qwRest = qwLength % dwParts;
    ULONGLONG qwStart = qwFirst;
    for (DWORD k = 1; k <= dwParts; ++k)
    {
        ULONGLONG qwNext = qwFirst + k * qwWhole + (ULONGLONG)k * qwRest / dwParts;
        if (!Add(qwStart, qwNext - qwStart, kCutLength))
            return 0;
        qwStart = qwNext;
    }
    return 1;
}

// The cut moved back to the middle of the pause nearest it within the search
// window, which never reaches back to the piece's start.
ULONGLONG CMyPlanner::MoveToPause(ULONGLONG qwStart, ULONGLONG qwCut, ULONGLONG qwFrames,
                                  PlanCut* pCut)
{
    const DWORD dwRate = m_Src.dwSamplingRate;
    ULONGLONG qwWindow =
        m_Rule.dwPauseWindow != 0 ? FramesOfMs(dwRate, m_Rule.dwPauseWindow) : qwFrames / 10;
    if (m_Rule.dwPauseWindow == 0 && qwWindow > FramesOfMs(dwRate, kMaxPauseWindowMs))
        qwWindow = FramesOfMs(dwRate, kMaxPauseWindowMs);
    if (qwWindow > qwCut - qwStart - 1)
        qwWindow = qwCut - qwStart - 1;
    *pCut = kCutNoPause;
    if (qwWindow == 0 || m_pReader == nullptr)
        return qwCut;

    CMySampleFormat fmt;
    fmt.dwSamplingRate = dwRate;
    fmt.wChannels = m_Src.wChannels;
    fmt.wBytesPerSample = m_Src.wChannels != 0 ? m_Src.wBlockSize / m_Src.wChannels : 0;
    fmt.wSampleFormat = m_Src.wSampleFormat;
    ULONGLONG qwMin = FramesOfMs(dwRate, m_Rule.dwPauseMin);
    CMyPause pause;
    if (!FindNearestPause(m_pReader, fmt, m_Pauses.dLevelDb, qwMin > 0 ? qwMin : 1,
                          qwCut - qwWindow, qwCut, &pause))
    {
        m_bAborted = g_bAbort.load(std::memory_order_relaxed);
        if (!m_bReadFailed && !m_bAborted)
        {
            CString strNote;
            strNote.Format("※　無音を探す範囲を読めないため、区切りを動かしません。"
                           "MakeSplitPlan()\n\tStart[%I64u], Frames[%I64u]\n",
                           qwCut - qwWindow, qwWindow);
            m_pPlan->Notes.push_back(strNote);
            m_bReadFailed = 1;
        }
        return qwCut;
    }
    if (pause.qwEnd == 0)
        return qwCut;
    *pCut = kCutPause;
    return pause.qwFirst + (pause.qwEnd - pause.qwFirst) / 2;
}
} // namespace

CString FormatTooManyPieces(ULONGLONG qwPieces)
{
    CString strNote;
    strNote.Format("※　分割ファイルが多すぎるため分割しません。MakeSplitPlan()\n"
                   "\tMaxPieces[%u]\n",
                   kMaxPlanPieces);
    if (qwPieces != 0)
        strNote.AppendFormat("\tPieces[%I64u]\n", qwPieces);
    return strNote;
}

ULONGLONG CalcMaxSizeFrames(const CMyPlanSource& src, ULONGLONG qwMaxSize, ULONGLONG qwStart,
                            ULONGLONG qwLeft, DWORD dwTailBytes)
{
    if (src.wBlockSize == 0 || qwLeft == 0)
        return 0;
    ULONGLONG qwHigh = (qwMaxSize / src.wBlockSize < qwLeft) ? qwMaxSize / src.wBlockSize : qwLeft;
    // Only the markers the longest piece could hold are measured at each step.
    std::vector<CMyMarker> nearby;
    if (src.bCarryMarkers && src.pMarkers != nullptr)
        for (const CMyMarker& marker : *src.pMarkers)
        {
            if (marker.qwFrame >= qwStart + qwHigh)
                break; // in frame order
            if (marker.qwFrame >= qwStart || marker.qwFrame + marker.qwLength > qwStart)
                nearby.push_back(marker);
        }
    const DWORD dwHead = GetHeadLength(src, 0, qwStart);
    const DWORD dwHeadRf64 = GetHeadLength(src, 1, qwStart);
    // A file's size grows with its frames, so the answer is found by halving.
    const ULONGLONG qwSrcOffset = src.qwDataStart + qwStart * src.wBlockSize;
    auto fits = [&](ULONGLONG qwFrames)
    {
        ULONGLONG qwData = qwFrames * src.wBlockSize + (qwFrames == qwLeft ? dwTailBytes : 0);
        ULONGLONG qwChunks =
            nearby.empty() ? 0 : BuildPieceMarkerChunks(nearby, qwStart, qwFrames).size();
        return CalcPieceLeadLength(dwHead, dwHeadRf64, qwChunks, qwData, src.bAlignBlocks,
                                   qwSrcOffset, nullptr, nullptr) +
                   qwData <=
               qwMaxSize;
    };
    if (fits(qwHigh))
        return qwHigh;
    ULONGLONG qwLow = 0; // fits(qwLow) holds, fits(qwHigh) does not
    while (qwHigh - qwLow > 1)
    {
        ULONGLONG qwMid = qwLow + (qwHigh - qwLow) / 2;
        if (fits(qwMid))
            qwLow = qwMid;
        else
            qwHigh = qwMid;
    }
    return qwLow;
}

int PlanFixedLength(const CMyPlanSource& src, DWORD dwSectionLength, CMyPlan* pPlan)
{
    pPlan->dwSamplingRate = src.dwSamplingRate;
    pPlan->wBlockSize = src.wBlockSize;
    const ULONGLONG qwPieceSize =
        CalcPieceSize(src.dwSamplingRate, src.wBlockSize, dwSectionLength);
    if (qwPieceSize == 0)
    {
        // Pieces of no data would never use the data up.
        pPlan->Notes.push_back("※　区間長が1サンプルより短いため分割できません。\n");
        return 0;
    }
    const ULONGLONG qwPieceFrames = qwPieceSize / src.wBlockSize;
    const ULONGLONG qwPieces =
        src.qwDataBytes / qwPieceSize + (src.qwDataBytes % qwPieceSize != 0 ? 1 : 0);
    if (qwPieces > kMaxPlanPieces)
    {
        pPlan->Notes.push_back(FormatTooManyPieces(qwPieces));
        return 0;
    }
    pPlan->Pieces.reserve((size_t)qwPieces);
    ULONGLONG qwRemaining = src.qwDataBytes;
    ULONGLONG qwStart = 0;
    // A piece size above the data (even one beyond 32 bits) leaves everything
    // to the last piece.
    for (; qwPieceSize <= qwRemaining; qwRemaining -= qwPieceSize, qwStart += qwPieceFrames)
        AddPiece(pPlan, qwStart, qwPieceFrames, kCutLength);
    if (qwRemaining > 0)
    {
        AddPiece(pPlan, qwStart, qwRemaining / src.wBlockSize, kCutEnd);
        pPlan->Pieces.back().dwTailBytes = (DWORD)(qwRemaining % src.wBlockSize);
        pPlan->Pieces.back().bRest = 1;
    }
    else if (!pPlan->Pieces.empty())
        pPlan->Pieces.back().Cut = kCutEnd;
    return 1;
}

int MakeSplitPlan(const CMyPlanSource& src, const CMyPlanRule& rule, CMyFrameReader* pReader,
                  CMyPlan* pPlan)
{
    pPlan->Pieces.clear();
    pPlan->Dropped.clear();
    pPlan->strFirstLabel.Empty();
    pPlan->dwSamplingRate = src.dwSamplingRate;
    pPlan->wBlockSize = src.wBlockSize;
    if (src.wBlockSize == 0 || src.dwSamplingRate == 0)
        return 0;
    if (rule.Kind == kRuleLength && !rule.bMarkers && !rule.bPause && !rule.bEveryPause &&
        (src.pCuts == nullptr || src.pCuts->empty()))
        return PlanFixedLength(src, rule.dwSectionLength, pPlan);
    CMyPlanner planner(src, rule, pReader, pPlan);
    if (planner.Plan())
        return 1;
    std::vector<CMyPlanPiece>().swap(pPlan->Pieces);
    pPlan->Dropped.clear();
    return 0;
}
