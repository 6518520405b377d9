// What a planned piece looks like on disk.
#include "engine/PieceShape.h"

#include "engine/PieceHeader.h"
#include "engine/SourcePlan.h"

CMyCarriedMarkers::CMyCarriedMarkers(const CMySourcePlan& sourcePlan, int bCarry)
    : m_markers(sourcePlan.Markers), m_bCarry(bCarry && !sourcePlan.Markers.empty())
{
    for (size_t i = 0; m_bCarry && i < m_markers.size(); ++i)
        if (m_markers[i].qwLength > 0)
            m_regions.push_back(i);
}

std::vector<CMyMarker> CMyCarriedMarkers::Of(const CMyPlanPiece& planned) const
{
    if (!m_bCarry)
        return std::vector<CMyMarker>();
    return PickPieceMarkers(m_markers, m_regions, planned.qwStart,
                            planned.qwStart + planned.qwFrames);
}

CMyPieceShape ShapePiece(const CMyWaveHeader& header, ULONGLONG qwDataSize,
                         ULONGLONG qwFramesBefore, const std::vector<CMyMarker>& markers,
                         int bAlign)
{
    CMyPieceShape shape;
    if (!markers.empty())
        shape.strMarkers =
            BuildPieceMarkerChunks(markers, qwFramesBefore, qwDataSize / header.Param.BlockSize);
    shape.dwHeadLength = (DWORD)CalcPieceLeadLength(
        CalcPieceHeaderLength(header, 0, qwFramesBefore),
        CalcPieceHeaderLength(header, 1, qwFramesBefore), shape.strMarkers.size(), qwDataSize,
        bAlign, header.DataStart + qwFramesBefore * header.Param.BlockSize, &shape.bRf64,
        &shape.dwJunk);
    return shape;
}
