// The files of a split by channel.
#include "engine/ChannelFiles.h"

#include "engine/IXmlTracks.h"
#include "engine/Markers.h"
#include "engine/PieceHeader.h"
#include "engine/PlanCuts.h"
#include "engine/RiffChunks.h"

#include <string>

namespace
{
const WORD kTagPcm = 1;
const WORD kTagExtensible = 0xFFFE;
const BYTE kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                            0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// The mask of the group's channels: channel k of the source is the
// speaker of the k-th bit set in its mask. 0 when a channel has none, or
// when the group's order is not the bits' order, which a mask cannot tell.
DWORD MaskOfGroup(DWORD dwSourceMask, const CMyChannelGroup& group)
{
    std::vector<DWORD> bits;
    for (DWORD dwBit = 1; dwBit != 0; dwBit <<= 1)
        if (dwSourceMask & dwBit)
            bits.push_back(dwBit);
    DWORD dwMask = 0;
    DWORD dwLast = 0;
    for (WORD wChannel : group)
    {
        if (wChannel >= bits.size() || bits[wChannel] <= dwLast)
            return 0;
        dwLast = bits[wChannel];
        dwMask |= dwLast;
    }
    return dwMask;
}
} // namespace

void MakeChannelHeader(const CMyWaveHeader& src, const CMyChannelGroup& group, CMyWaveHeader* pOut)
{
    *pOut = src;
    CSonvelBaseParam& param = pOut->Param;
    const WORD wBytes = src.Param.Channels != 0 ? src.Param.BlockSize / src.Param.Channels : 0;
    param.Channels = (WORD)group.size();
    param.BlockSize = (WORD)(wBytes * group.size());
    param.DataRate = param.SamplingRate * param.BlockSize;
    pOut->DataSize =
        src.Param.BlockSize != 0 ? src.DataSize / src.Param.BlockSize * param.BlockSize : 0;

    const std::string& strFmt = src.FmtBody;
    const int bExtensible =
        src.bChunked && src.Param.FormatID == kTagExtensible && strFmt.size() >= 40;
    const WORD wValid = bExtensible && GetLE16(strFmt.data() + 18) != 0
                            ? GetLE16(strFmt.data() + 18)
                            : src.Param.Resolution;
    const DWORD dwSourceMask = bExtensible ? GetLE32(strFmt.data() + 20) : 0;
    const int bPlain = src.SampleFormat == kTagPcm && src.Param.Resolution <= 16 &&
                       wValid == src.Param.Resolution && group.size() <= 2;
    param.FormatID = bPlain ? kTagPcm : kTagExtensible;
    // A file the first kilobyte describes keeps the canonical header.
    if (!src.bChunked && bPlain)
        return;
    pOut->bChunked = 1;
    std::string strBody;
    AppendLE(&strBody, param.FormatID, 2);
    AppendLE(&strBody, param.Channels, 2);
    AppendLE(&strBody, param.SamplingRate, 4);
    AppendLE(&strBody, param.DataRate, 4);
    AppendLE(&strBody, param.BlockSize, 2);
    AppendLE(&strBody, param.Resolution, 2);
    if (!bPlain)
    {
        AppendLE(&strBody, 22, 2);
        AppendLE(&strBody, wValid, 2);
        AppendLE(&strBody, MaskOfGroup(dwSourceMask, group), 4);
        AppendLE(&strBody, src.SampleFormat, 2);
        strBody.append((const char*)kGuidTail, sizeof(kGuidTail));
    }
    pOut->FmtBody = strBody;
    pOut->FmtSize = (DWORD)strBody.size();
    if (!src.IXmlBody.empty())
        pOut->IXmlBody = ReduceIXmlTracks(src.IXmlBody, group);
    pOut->HeaderLength = CalcPieceHeaderLength(*pOut, 0, 0);
}

int PlanChannelFiles(const CMyWaveHeader& header, const CMyChannelRequest& request, CMyPlan* pPlan)
{
    std::vector<CMyChannelGroup> groups;
    DWORD dwMissing = 0;
    if (!ResolveChannelGroups(request, header.Param.Channels, &groups, &dwMissing))
    {
        CString strNote;
        strNote.Format("※　指定したチャンネルがファイルにないため分割しません。PlanSourceFile()\n"
                       "\tChannel[%u], Channels[%u]\n",
                       dwMissing, (DWORD)header.Param.Channels);
        pPlan->Notes.push_back(strNote);
        return 0;
    }
    const ULONGLONG qwFiles = (ULONGLONG)pPlan->Pieces.size() * groups.size();
    // An output is counted in a WORD.
    if (qwFiles > kMaxPlanPieces || groups.size() > 0xFFFF)
    {
        pPlan->Notes.push_back(FormatTooManyPieces(qwFiles));
        return 0;
    }
    std::vector<std::string> names;
    ReadIXmlTrackNames(header.IXmlBody, header.Param.Channels, &names);
    std::vector<CString> texts;
    for (const std::string& strName : names)
        texts.push_back(DecodeMarkerText(strName.data(), strName.size()));
    const WORD wBytes = header.Param.BlockSize / header.Param.Channels;
    pPlan->Outputs.clear();
    for (const CMyChannelGroup& group : groups)
    {
        CMyPlanOutput output;
        output.Channels = group;
        output.strChannel = MakeChannelName(group, texts);
        output.wBlockSize = (WORD)(wBytes * group.size());
        pPlan->Outputs.push_back(output);
    }
    std::vector<CMyPlanPiece> files;
    files.reserve((size_t)qwFiles);
    for (const CMyPlanPiece& piece : pPlan->Pieces)
        for (size_t k = 0; k < groups.size(); ++k)
        {
            files.push_back(piece);
            files.back().dwTailBytes = 0;
            files.back().wOutput = (WORD)k;
        }
    pPlan->Pieces.swap(files);
    return 1;
}

CMyOutputHeaders::CMyOutputHeaders(const CMyWaveHeader& src, const CMyPlan& plan) : m_src(src)
{
    m_headers.resize(plan.Outputs.size());
    for (size_t k = 0; k < plan.Outputs.size(); ++k)
        MakeChannelHeader(src, plan.Outputs[k].Channels, &m_headers[k]);
}
