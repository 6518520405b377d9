// The WAV format parameters (CSonvelBaseParam) and what is known of one file's
// header (CMyWaveHeader), which also writes the canonical 44-byte header.
#include "engine/WaveHeader.h"

#include "engine/RiffChunks.h"
#include "support/Trace.h"

#include <cstring>

namespace
{
const DWORD kMaxSamplingRate = 200000;
const WORD kMaxChunkedChannels = 32;

// The first inconsistency, as the reason's code: 0 when there is none.
int FindInconsistency(const CSonvelBaseParam& p)
{
    if (p.FormatID != 1)
        return -1;
    if (p.Channels != 1 && p.Channels != 2)
        return -2;
    if (p.SamplingRate == 0 || p.SamplingRate > kMaxSamplingRate)
        return -3;
    if (p.DataRate == 0)
        return -4;
    if (p.BlockSize == 0 || p.BlockSize > 8)
        return -5;
    // A resolution of 0 passes here and fails the block-size comparison.
    if (p.Resolution % 8 != 0 || p.Resolution > 32)
        return -6;
    if (p.BlockSize != (WORD)(p.Channels * (p.Resolution / 8)))
        return -5;
    if (p.DataRate != (DWORD)(p.BlockSize * p.SamplingRate))
        return -4;
    return 0;
}

// The same for a file read by the chunk walk: more channels, any integer
// width of whole bytes up to 32 bits, and IEEE float of 32 or 64 bits.
int FindChunkedInconsistency(const CSonvelBaseParam& p, WORD wSampleFormat)
{
    if (wSampleFormat != 1 && wSampleFormat != 3)
        return -1;
    if (p.Channels == 0 || p.Channels > kMaxChunkedChannels)
        return -2;
    if (p.SamplingRate == 0 || p.SamplingRate > kMaxSamplingRate)
        return -3;
    if (p.DataRate == 0)
        return -4;
    if (p.BlockSize == 0)
        return -5;
    int bWidthOk = wSampleFormat == 1
                       ? p.Resolution != 0 && p.Resolution % 8 == 0 && p.Resolution <= 32
                       : p.Resolution == 32 || p.Resolution == 64;
    if (!bWidthOk)
        return -6;
    if ((DWORD)p.BlockSize != (DWORD)p.Channels * (p.Resolution / 8))
        return -5;
    if ((ULONGLONG)p.DataRate != (ULONGLONG)p.BlockSize * p.SamplingRate)
        return -4;
    return 0;
}

const char* ReasonText(int iCode)
{
    switch (iCode)
    {
    case -1:
        return "未対応のフォーマットIDです。\n";
    case -2:
        return "無効なチャンネル数です。\n";
    case -3:
        return "無効なサンプリングレートです。\n";
    case -4:
        return "無効なデータレートです。\n";
    case -5:
        return "無効なブロックサイズです。\n";
    default:
        return "無効な分解能です。\n";
    }
}
// 1 for the code 0; else 0, with the reason and the parameters traced when asked.
int ReportInconsistency(const CSonvelBaseParam& p, int iCode, int bReport)
{
    if (iCode == 0)
        return 1;
    if (bReport)
    {
        WriteTraceText(ReasonText(iCode), 0);
        p.Dump(0);
    }
    return 0;
}
} // namespace

int CSonvelBaseParam::SetFormatID(WORD wFormatID)
{
    // Uncompressed PCM only.
    if (wFormatID != 1)
        return 0;
    FormatID = wFormatID;
    return 1;
}

int CSonvelBaseParam::SetChannels(WORD wChannels)
{
    if (wChannels != 1 && wChannels != 2)
        return 0;
    Channels = wChannels;
    return 1;
}

int CSonvelBaseParam::SetSamplingRate(DWORD dwSamplingRate)
{
    if (dwSamplingRate == 0 || dwSamplingRate > kMaxSamplingRate)
        return 0;
    SamplingRate = dwSamplingRate;
    return 1;
}

int CSonvelBaseParam::SetDataRate(DWORD dwDataRate)
{
    if (dwDataRate == 0)
        return 0;
    DataRate = dwDataRate;
    return 1;
}

int CSonvelBaseParam::SetBlockSize(WORD wBlockSize)
{
    if (wBlockSize == 0 || wBlockSize > 8)
        return 0;
    BlockSize = wBlockSize;
    return 1;
}

int CSonvelBaseParam::SetResolution(WORD wResolution)
{
    if (wResolution == 0 || wResolution % 8 != 0 || wResolution > 32)
        return 0;
    Resolution = wResolution;
    return 1;
}

// CD-quality stereo.
void CSonvelBaseParam::SetDefault()
{
    FormatID = 1;
    Channels = 2;
    SamplingRate = 44100;
    DataRate = 176400;
    BlockSize = 4;
    Resolution = 16;
}

void CSonvelBaseParam::CopyFrom(const CSonvelBaseParam& src)
{
    *this = src;
}

// 1 when the six fields agree with each other. With bReport a refusal writes
// its reason and the parameter lines to the trace.
int CSonvelBaseParam::Validate(int bReport) const
{
    return ReportInconsistency(*this, FindInconsistency(*this), bReport);
}

int CSonvelBaseParam::ValidateChunked(WORD wSampleFormat, int bReport) const
{
    return ReportInconsistency(*this, FindChunkedInconsistency(*this, wSampleFormat), bReport);
}

void CSonvelBaseParam::Dump(int bBanner) const
{
    WriteTraceFormat("%sフォーマットID: %u\nチャンネル数: %u\n分解能: %u\nブロックサイズ: %u\n"
                     "サンプリングレート: %u\nデータレート: %u\n",
                     bBanner ? "=====  CSonvelBaseParam  =====\n" : "", (UINT)FormatID,
                     (UINT)Channels, (UINT)Resolution, (UINT)BlockSize, (UINT)SamplingRate,
                     (UINT)DataRate);
}

void CMyWaveHeader::Clear()
{
    RiffSize = 0;
    Param.SetDefault();
    FmtSize = 0;
    DataTagOffset = 0;
    DataSize = 0;
    HeaderLength = 0;
    DataStart = 0;
    bChunked = 0;
    bRf64 = 0;
    SampleFormat = 1;
    FmtBody.clear();
    BextBody.clear();
    IXmlBody.clear();
}

// Writes the canonical PCM header with these parameters for dwDataSize bytes
// of samples into *pOut (grown to 44 bytes if smaller). Gives 44, or 0 when
// the buffer cannot grow.
int CMyWaveHeader::BuildHeader(CMyByteBuff* pOut, DWORD dwDataSize) const
{
    if (pOut == nullptr || !pOut->Reserve(kCanonicalHeaderSize, 1))
        return 0;
    BYTE* pb = pOut->GetBuff();
    memcpy(pb, "RIFF", 4);
    // Past 4 GiB the RIFF size cannot be told; all ones rather than a wrapped count.
    DWORD dwRiffSize = dwDataSize <= 0xFFFFFFFFu - 36 ? dwDataSize + 36 : 0xFFFFFFFFu;
    PutLE(pb + 4, dwRiffSize, 4);
    memcpy(pb + 8, "WAVEfmt ", 8);
    PutLE(pb + 16, 16, 4);
    PutLE(pb + 20, Param.FormatID, 2);
    PutLE(pb + 22, Param.Channels, 2);
    PutLE(pb + 24, Param.SamplingRate, 4);
    PutLE(pb + 28, Param.DataRate, 4);
    PutLE(pb + 32, Param.BlockSize, 2);
    PutLE(pb + 34, Param.Resolution, 2);
    memcpy(pb + 36, "data", 4);
    PutLE(pb + 40, dwDataSize, 4);
    pOut->SetLength(kCanonicalHeaderSize);
    return (int)kCanonicalHeaderSize;
}
