// The header every piece starts with.
#include "engine/PieceHeader.h"

#include "engine/PieceIXml.h"
#include "engine/RiffChunks.h"

#include <cstring>
#include <string>

namespace
{
const DWORD kAllOnes = 0xFFFFFFFFu;

// The "fmt " body a piece carries: the source's own, or the 16 PCM bytes of
// the parameters for a file read by its first kilobyte.
std::string PieceFmtBody(const CMyWaveHeader& src)
{
    if (src.bChunked)
        return src.FmtBody;
    std::string str;
    const CSonvelBaseParam& p = src.Param;
    AppendLE(&str, p.FormatID, 2);
    AppendLE(&str, p.Channels, 2);
    AppendLE(&str, p.SamplingRate, 4);
    AppendLE(&str, p.DataRate, 4);
    AppendLE(&str, p.BlockSize, 2);
    AppendLE(&str, p.Resolution, 2);
    return str;
}

// Everything from "RIFF"/"RF64" to the "data" size field.
std::string MakeHeader(const CMyWaveHeader& src, ULONGLONG qwDataSize, ULONGLONG qwFramesBefore,
                       DWORD dwPiece, int bRf64, const std::string& strMarkers, DWORD dwJunk)
{
    ULONGLONG qwFrames = src.Param.BlockSize != 0 ? qwDataSize / src.Param.BlockSize : 0;
    std::string strChunks;
    AppendChunk(&strChunks, "fmt ", PieceFmtBody(src));
    if (src.bChunked && src.SampleFormat == 3)
    {
        std::string strFact;
        AppendLE(&strFact, qwFrames > kAllOnes ? kAllOnes : qwFrames, 4);
        AppendChunk(&strChunks, "fact", strFact);
    }
    if (!src.BextBody.empty())
    {
        std::string strBext = src.BextBody;
        char* pcTime = &strBext[kBextTimeReference];
        PutLE(pcTime, GetLE64(pcTime) + qwFramesBefore, 8);
        AppendChunk(&strChunks, "bext", strBext);
    }
    if (!src.IXmlBody.empty())
        AppendChunk(&strChunks, "iXML",
                    MakePieceIXml(src.IXmlBody, qwFramesBefore, dwPiece, src.Param.SamplingRate));
    // Last before the data: a piece cut short rewrites them in the same space.
    strChunks.append(strMarkers);
    if (dwJunk >= 8)
        AppendChunk(&strChunks, "JUNK", std::string(dwJunk - 8, '\0'));

    std::string str;
    DWORD dwDs64 = bRf64 ? 8 + kDs64Body : 0;
    ULONGLONG qwRiffSize = 4 + dwDs64 + strChunks.size() + 8 + qwDataSize;
    str.append(bRf64 ? "RF64" : "RIFF", 4);
    AppendLE(&str, bRf64 ? kAllOnes : qwRiffSize, 4);
    str.append("WAVE", 4);
    if (bRf64)
    {
        str.append("ds64", 4);
        AppendLE(&str, kDs64Body, 4);
        AppendLE(&str, qwRiffSize, 8);
        AppendLE(&str, qwDataSize, 8);
        AppendLE(&str, qwFrames, 8);
        AppendLE(&str, 0, 4); // no table: no other chunk passes 4 GiB
    }
    str.append(strChunks);
    str.append("data", 4);
    AppendLE(&str, bRf64 ? kAllOnes : qwDataSize, 4);
    return str;
}
} // namespace

int IsRf64Piece(const CMyWaveHeader& src, ULONGLONG qwDataSize, ULONGLONG qwFramesBefore)
{
    return CalcPieceHeaderLength(src, 0, qwFramesBefore) + qwDataSize >= 0x100000000ull;
}

DWORD CalcPieceHeaderLength(const CMyWaveHeader& src, int bRf64, ULONGLONG qwFramesBefore)
{
    // The FILE_UID keeps its length whatever the piece's number.
    return (DWORD)MakeHeader(src, 0, qwFramesBefore, 1, bRf64, std::string(), 0).size();
}

DWORD BuildPieceHeader(const CMyWaveHeader& src, ULONGLONG qwDataSize, ULONGLONG qwFramesBefore,
                       DWORD dwPiece, int bRf64, CMyByteBuff* pOut)
{
    return BuildPieceHeaderWith(src, qwDataSize, qwFramesBefore, dwPiece, bRf64, std::string(),
                                pOut);
}

DWORD BuildPieceHeaderWith(const CMyWaveHeader& src, ULONGLONG qwDataSize, ULONGLONG qwFramesBefore,
                           DWORD dwPiece, int bRf64, const std::string& strMarkers,
                           CMyByteBuff* pOut, DWORD dwJunk)
{
    // The canonical header stays exactly as it always was.
    if (!src.bChunked && !bRf64 && strMarkers.empty() && dwJunk == 0)
        return (DWORD)src.BuildHeader(pOut, (DWORD)qwDataSize);
    std::string str =
        MakeHeader(src, qwDataSize, qwFramesBefore, dwPiece, bRf64, strMarkers, dwJunk);
    if (pOut == nullptr || !pOut->Reserve((DWORD)str.size(), 1))
        return 0;
    memcpy(pOut->GetBuff(), str.data(), str.size());
    pOut->SetLength((DWORD)str.size());
    return (DWORD)str.size();
}

DWORD CalcAlignJunkLength(ULONGLONG qwHeadLength, ULONGLONG qwSrcOffset)
{
    if (qwSrcOffset % 2 != 0 || qwHeadLength % 2 != 0)
        return 0;
    // The smallest chunk is its 8-byte header: the body fills what is left
    // up to the offset, a block further on when less than 8 bytes are left.
    ULONGLONG qwBody =
        (qwSrcOffset + 2 * kShareBlockSize - qwHeadLength % kShareBlockSize - 8) % kShareBlockSize;
    return (DWORD)(8 + qwBody);
}

ULONGLONG CalcPieceLeadLength(DWORD dwHead, DWORD dwHeadRf64, ULONGLONG qwChunks,
                              ULONGLONG qwDataSize, int bAlign, ULONGLONG qwSrcOffset, int* pbRf64,
                              DWORD* pdwJunk)
{
    auto lead = [&](DWORD dwHeadForm, DWORD* pdw)
    {
        *pdw = bAlign ? CalcAlignJunkLength(dwHeadForm + qwChunks, qwSrcOffset) : 0;
        return dwHeadForm + qwChunks + *pdw;
    };
    DWORD dwJunk = 0;
    ULONGLONG qwLead = lead(dwHead, &dwJunk);
    // The form follows the plain file's size: a RIFF size field holds less.
    const int bRf64 = qwLead + qwDataSize >= 0x100000000ull;
    if (bRf64)
        qwLead = lead(dwHeadRf64, &dwJunk);
    if (pbRf64 != nullptr)
        *pbRf64 = bRf64;
    if (pdwJunk != nullptr)
        *pdwJunk = dwJunk;
    return qwLead;
}
