// What a planned piece looks like on disk: the markers it carries, its form
// and the length of its header. The copy writes it so; the policy measures
// pieces that exist already against it.
#pragma once

#include "engine/Markers.h"
#include "platform/Platform.h"

#include <string>
#include <vector>

class CMyWaveHeader;
struct CMyPlanPiece;
struct CMySourcePlan;

// The markers each piece carries inside it, when the request asks for them.
class CMyCarriedMarkers
{
public:
    CMyCarriedMarkers(const CMySourcePlan& sourcePlan, int bCarry);
    std::vector<CMyMarker> Of(const CMyPlanPiece& planned) const;

private:
    const std::vector<CMyMarker>& m_markers;
    int m_bCarry;
    std::vector<size_t> m_regions;
};

// A piece's marker chunks, its form, its JUNK chunk and the length of its
// header.
struct CMyPieceShape
{
    std::string strMarkers;
    int bRf64 = 0;
    DWORD dwJunk = 0; // the aligning JUNK chunk's bytes; 0: none
    DWORD dwHeadLength = 0;
};

// The shape of a piece of qwDataSize bytes from frame qwFramesBefore; with
// bAlign its audio keeps the source's offset within a block, where it can.
CMyPieceShape ShapePiece(const CMyWaveHeader& header, ULONGLONG qwDataSize,
                         ULONGLONG qwFramesBefore, const std::vector<CMyMarker>& markers,
                         int bAlign);
