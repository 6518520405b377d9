// CMyWaveFile: a file object that reads and checks a PCM WAV file's header.
#include "engine/WaveFile.h"

#include "support/Trace.h"

#include <cstring>

namespace
{
// The header is looked for in the first kilobyte only.
const DWORD kWindowSize = 1024;
// The "data" tag may start this far after byte 36, no further.
const DWORD kFirstDataTag = 36;
const DWORD kMaxDataTagOffset = 255;
const DWORD kMaxFmtSize = 0xFFFFFF00u;

WORD GetLE16(const BYTE* pb)
{
    return (WORD)(pb[0] | (pb[1] << 8));
}

DWORD GetLE32(const BYTE* pb)
{
    return (DWORD)pb[0] | ((DWORD)pb[1] << 8) | ((DWORD)pb[2] << 16) | ((DWORD)pb[3] << 24);
}

// Four bytes against a four-letter tag, without regard to ASCII letter case.
bool IsTag(const BYTE* pb, const char* pcTag)
{
    for (int i = 0; i < 4; ++i)
    {
        BYTE b = pb[i];
        BYTE t = (BYTE)pcTag[i];
        if (b >= 'a' && b <= 'z')
            b = (BYTE)(b - 32);
        if (t >= 'a' && t <= 'z')
            t = (BYTE)(t - 32);
        if (b != t)
            return false;
    }
    return true;
}
} // namespace

CMyWaveFile::CMyWaveFile()
{
    m_HeaderWindow.Reallocate(kWindowSize, 0);
}

// Reads the first kilobyte of the open file and checks its RIFF, WAVE and
// "fmt " parts and its PCM parameters; finds the "data" chunk by walking the
// chunk headers from byte 12. 1 with the header record filled, else 0. Only
// an inconsistent set of parameters is written to the trace here.
int CMyWaveFile::ReadHeader()
{
    if (!IsOpen())
        return 0;
    if (!m_HeaderWindow.Reallocate(kWindowSize, 1))
        return 0;
    if (GetFileSize() <= kCanonicalHeaderSize)
        return 0;
    DWORD dwWant = GetFileSize() < kWindowSize ? (DWORD)GetFileSize() : kWindowSize;
    if (!Seek(0))
        return 0;
    DWORD dwGot = 0;
    const BYTE* pbRead = Read(dwWant, &dwGot);
    if (pbRead == nullptr)
        return 0;
    // Only the bytes that really arrived count: the file may be shorter than
    // its directory entry said, and the read may fail.
    DWORD n = dwGot;
    memcpy(m_HeaderWindow.GetBuff(), pbRead, n);
    m_HeaderWindow.SetLength(n);
    const BYTE* pb = m_HeaderWindow.GetBuff();

    m_Header.Clear();
    if (n < kCanonicalHeaderSize)
        return 0;
    if (!IsTag(pb, "RIFF"))
        return 0;
    m_Header.RiffSize = GetLE32(pb + 4);
    if (m_Header.RiffSize < 36)
        return 0;
    if (!IsTag(pb + 8, "WAVE") || !IsTag(pb + 12, "fmt "))
        return 0;
    m_Header.FmtSize = GetLE32(pb + 16);
    if (m_Header.FmtSize < 16 || m_Header.FmtSize > kMaxFmtSize ||
        m_Header.FmtSize + 8 >= m_Header.RiffSize)
        return 0;

    // A refused field is not worth a trace line: it is simply not PCM we take.
    CSonvelBaseParam& param = m_Header.Param;
    if (!param.SetFormatID(GetLE16(pb + 20)) || !param.SetChannels(GetLE16(pb + 22)) ||
        !param.SetSamplingRate(GetLE32(pb + 24)) || !param.SetDataRate(GetLE32(pb + 28)) ||
        !param.SetBlockSize(GetLE16(pb + 32)) || !param.SetResolution(GetLE16(pb + 34)))
        return 0;
    if (!param.Validate(1))
    {
        WriteTraceText("※　無効なWaveパラメータです。\n", 0);
        return 0;
    }

    // Walk the chunks from "fmt " on. A byte search for "data" would take the
    // four letters inside another chunk (a LIST chunk's text) for the tag.
    DWORD dwTag = 12;
    for (;;)
    {
        if (dwTag + 8 > n)
            return 0; // the tag and its size field must lie inside the window
        DWORD dwChunkSize = GetLE32(pb + dwTag + 4);
        if (dwTag >= kFirstDataTag && IsTag(pb + dwTag, "data"))
        {
            m_Header.DataTagOffset = (WORD)(dwTag - kFirstDataTag);
            m_Header.DataSize = dwChunkSize;
            break;
        }
        // Odd-sized chunks are followed by a pad byte. Counted in 64 bits so
        // that a huge size cannot wrap back into the window.
        ULONGLONG qwNext = (ULONGLONG)dwTag + 8 + dwChunkSize + (dwChunkSize & 1);
        if (qwNext > kFirstDataTag + kMaxDataTagOffset)
            return 0; // the tag would start too far away
        dwTag = (DWORD)qwNext;
    }
    m_Header.HeaderLength = kCanonicalHeaderSize;
    m_Header.DataStart = kCanonicalHeaderSize + m_Header.DataTagOffset;
    m_Header.Param.Dump(1);
    return 1;
}
