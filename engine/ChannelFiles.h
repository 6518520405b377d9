// The files of a split by channel: the header of a file of some of a
// source's channels, and the plan's entry for each channel file of a piece.
#pragma once

#include "engine/ChannelList.h"
#include "engine/SplitPlan.h"
#include "engine/WaveHeader.h"

#include <vector>

// The header of a file that holds the group's channels of src: the usual
// format rules (mono or stereo PCM of up to 16 bits plain, anything else
// extensible with the kept channels' mask bits, or mask 0 when one lies
// outside the source's mask or the order leaves the mask's), the bext as it
// is, the iXML with its track list reduced to the group.
void MakeChannelHeader(const CMyWaveHeader& src, const CMyChannelGroup& group, CMyWaveHeader* pOut);

// Gives the plan one entry per channel file of each piece (the piece's
// files in a row, in the request's order; a partial frame at the end of the
// data is no channel's and is left out), and each output its channels and
// {channel}. 0 with the refusal in the notes when the source lacks a channel
// or the files would pass kMaxPlanPieces.
int PlanChannelFiles(const CMyWaveHeader& header, const CMyChannelRequest& request, CMyPlan* pPlan);

// The header each entry of a plan is written with: the source's, or its
// output's.
class CMyOutputHeaders
{
public:
    CMyOutputHeaders(const CMyWaveHeader& src, const CMyPlan& plan);
    const CMyWaveHeader& Of(const CMyPlanPiece& planned) const
    {
        return m_headers.empty() ? m_src : m_headers[planned.wOutput];
    }

private:
    const CMyWaveHeader& m_src;
    std::vector<CMyWaveHeader> m_headers;
};
