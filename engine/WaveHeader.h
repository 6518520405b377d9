// The WAV format parameters (CSonvelBaseParam) and what is known of one file's
// header (CMyWaveHeader), which also writes the canonical 44-byte header.
#pragma once

#include "engine/ByteBuff.h"
#include "platform/Platform.h"

#include <string>

// The length of the canonical PCM header every piece starts with.
const DWORD kCanonicalHeaderSize = 44;
// Where a bext body holds its 64-bit TimeReference (sample frames since
// midnight at the first sample).
const DWORD kBextTimeReference = 338;
// The body of an RF64 ds64 chunk without its table: RIFF size, data size,
// sample count, table length.
const DWORD kDs64Body = 28;

class CSonvelBaseParam
{
public:
    CSonvelBaseParam() { SetDefault(); }
    virtual ~CSonvelBaseParam() = default;
    CSonvelBaseParam(const CSonvelBaseParam&) = default;
    CSonvelBaseParam& operator=(const CSonvelBaseParam&) = default;

    // Each setter stores an acceptable value and gives 1, or gives 0 and
    // leaves the field as it was.
    int SetFormatID(WORD wFormatID);
    int SetChannels(WORD wChannels);
    int SetSamplingRate(DWORD dwSamplingRate);
    int SetDataRate(DWORD dwDataRate);
    int SetBlockSize(WORD wBlockSize);
    int SetResolution(WORD wResolution);

    void SetDefault();
    void CopyFrom(const CSonvelBaseParam& src);
    int Validate(int bReport) const;
    // Validate's rules widened for a file only the chunk walk accepts:
    // wSampleFormat 1 (integer PCM, 8 to 32 bits) or 3 (float, 32 or 64
    // bits), 1 to 32 channels. Reports as Validate does.
    int ValidateChunked(WORD wSampleFormat, int bReport) const;
    void Dump(int bBanner) const;

    WORD FormatID;
    WORD Channels;
    DWORD SamplingRate;
    DWORD DataRate;
    WORD BlockSize;
    WORD Resolution;
};

class CMyWaveHeader
{
public:
    CMyWaveHeader() = default;
    virtual ~CMyWaveHeader() = default;
    CMyWaveHeader(const CMyWaveHeader&) = default;
    CMyWaveHeader& operator=(const CMyWaveHeader&) = default;

    // Zeros every size and offset and gives the parameters their defaults.
    void Clear();
    int BuildHeader(CMyByteBuff* pOut, DWORD dwDataSize) const;

    DWORD RiffSize = 0;
    CSonvelBaseParam Param;
    DWORD FmtSize = 0;
    // Where the "data" tag starts, counted from byte 36 (0 to 255; 0 for a
    // file read by the chunk walk, whose tag may lie anywhere).
    WORD DataTagOffset = 0;
    ULONGLONG DataSize = 0;
    // Bytes before the sample data in a written piece below 4 GiB.
    DWORD HeaderLength = 0;
    // File offset of the first sample byte.
    ULONGLONG DataStart = 0;

    // Set for a file only the chunk walk accepts (broadcast wave, extensible,
    // float, more channels, RF64): its pieces carry the chunks below instead
    // of the canonical header.
    int bChunked = 0;
    // Set for an RF64/BW64 source, whose data size came from its ds64 chunk.
    int bRf64 = 0;
    // 1 integer PCM, 3 IEEE float (the sub-format of an extensible file).
    WORD SampleFormat = 1;
    // Chunk bodies as the source holds them; empty when absent.
    std::string FmtBody;
    std::string BextBody;
    std::string IXmlBody;
};
