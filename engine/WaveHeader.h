// The WAV format parameters (CSonvelBaseParam) and what is known of one file's
// header (CMyWaveHeader), which also writes the canonical 44-byte header.
#pragma once

#include "engine/ByteBuff.h"
#include "platform/Platform.h"

// The length of the canonical PCM header every piece starts with.
const DWORD kCanonicalHeaderSize = 44;

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
    // Where the "data" tag starts, counted from byte 36 (0 to 255).
    WORD DataTagOffset = 0;
    DWORD DataSize = 0;
    // Bytes before the sample data in a written piece.
    DWORD HeaderLength = 0;
    // File offset of the first sample byte.
    DWORD DataStart = 0;
};
