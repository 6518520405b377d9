// CMyWaveFile: a file object that reads and checks a PCM WAV file's header.
#include "engine/WaveFile.h"

#include "engine/PieceHeader.h"
#include "engine/RiffChunks.h"

#include "support/Trace.h"

#include <cstring>
#include <string>

namespace
{
// The header is looked for in the first kilobyte only.
const DWORD kWindowSize = 1024;
// The "data" tag may start this far after byte 36, no further.
const DWORD kFirstDataTag = 36;
const DWORD kMaxDataTagOffset = 255;
const DWORD kMaxFmtSize = 0xFFFFFF00u;
// The chunk walk: a "fmt " body beyond this is no format we know; a bext or
// iXML body beyond this is not carried into the pieces.
const DWORD kMaxFmtBody = 0x10000;
const DWORD kMaxCarriedBody = 0x1000000;
// A walk through more chunks than this is taken for garbage.
const DWORD kMaxChunks = 100000;
// The sub-format GUID of an extensible "fmt " after its first two bytes.
const BYTE kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                            0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
const WORD kTagPcm = 1;
const WORD kTagFloat = 3;
const WORD kTagExtensible = 0xFFFE;
} // namespace

CMyWaveFile::CMyWaveFile()
{
    m_HeaderWindow.Reallocate(kWindowSize, 0);
}

// Reads and checks the header of the open file; 1 with the header record
// filled, else 0. Files of the canonical kind are read by walking the chunks
// of the first kilobyte; a file that walk refuses (and whose parameters were
// not found inconsistent there) by walking all its chunks; only when both
// walks refuse is the first kilobyte searched for the bytes "data", which may
// stand inside another chunk's text.
int CMyWaveFile::ReadHeader(int bReport)
{
    m_bReport = bReport;
    if (!IsOpen())
        return 0;
    if (!m_HeaderWindow.Reallocate(kWindowSize, 1))
        return 0;
    m_Header.Clear();
    int bTraced = 0;
    WindowResult window = ReadWindowHeader(&bTraced);
    if (window == kWindowRefused && bTraced)
        return 0;
    if (window != kWindowRead && !ReadAfterWindow(window))
        return 0;
    if (m_bReport)
        m_Header.Param.Dump(1);
    TakeWrappedDataSize();
    return 1;
}

// The chunk walk, then the byte search, after the first kilobyte's walk found
// no "data" tag. A file the first kilobyte's rules take (window is
// kWindowNoTag) whose data tag stands where the byte search looks keeps the
// canonical header its pieces always had; the walk's own trace lines are
// written only when its reading is the one taken, or when all refuse.
int CMyWaveFile::ReadAfterWindow(WindowResult window)
{
    CMyWaveHeader windowHeader = m_Header;
    m_Header.Clear();
    m_strWalkTrace.Empty();
    int bWalked = ReadChunkedHeader();
    DWORD dwTag = 0;
    if (bWalked && window == kWindowNoTag &&
        m_Header.DataStart - 8 <= kFirstDataTag + kMaxDataTagOffset)
        dwTag = (DWORD)m_Header.DataStart - 8;
    else if (bWalked)
    {
        Report(m_strWalkTrace);
        return 1;
    }
    else if (window != kWindowNoTag || !SearchDataTag(m_HeaderWindow.GetLength(), &dwTag))
    {
        Report(m_strWalkTrace);
        return 0;
    }
    m_Header = windowHeader;
    TakeCanonicalDataTag(dwTag);
    return 1;
}

void CMyWaveFile::TakeCanonicalDataTag(DWORD dwTag)
{
    m_Header.DataTagOffset = (WORD)(dwTag - kFirstDataTag);
    m_Header.DataSize = GetLE32(m_HeaderWindow.GetBuff() + dwTag + 4);
    m_Header.HeaderLength = kCanonicalHeaderSize;
    m_Header.DataStart = kCanonicalHeaderSize + m_Header.DataTagOffset;
}

// The canonical rules: RIFF, WAVE and "fmt " at fixed places, PCM mono or
// stereo, and a "data" tag starting at most 255 bytes after byte 36, found by
// walking the chunks. Sets *pbTraced when it refused inconsistent parameters
// (and said why).
CMyWaveFile::WindowResult CMyWaveFile::ReadWindowHeader(int* pbTraced)
{
    if (GetFileSize() <= kCanonicalHeaderSize)
        return kWindowRefused;
    DWORD dwWant = GetFileSize() < kWindowSize ? (DWORD)GetFileSize() : kWindowSize;
    if (!Seek(0))
        return kWindowRefused;
    DWORD dwGot = 0;
    const BYTE* pbRead = Read(dwWant, &dwGot);
    if (pbRead == nullptr)
        return kWindowRefused;
    // Only the bytes that really arrived count: the file may be shorter than
    // its directory entry said, and the read may fail.
    DWORD n = dwGot;
    memcpy(m_HeaderWindow.GetBuff(), pbRead, n);
    m_HeaderWindow.SetLength(n);
    const BYTE* pb = m_HeaderWindow.GetBuff();

    if (n < kCanonicalHeaderSize)
        return kWindowRefused;
    if (!IsTag(pb, "RIFF"))
        return kWindowRefused;
    m_Header.RiffSize = GetLE32(pb + 4);
    if (m_Header.RiffSize < 36)
        return kWindowRefused;
    if (!IsTag(pb + 8, "WAVE") || !IsTag(pb + 12, "fmt "))
        return kWindowRefused;
    m_Header.FmtSize = GetLE32(pb + 16);
    if (m_Header.FmtSize < 16 || m_Header.FmtSize > kMaxFmtSize ||
        m_Header.FmtSize + 8 >= m_Header.RiffSize)
        return kWindowRefused;

    // A refused field is not worth a trace line: it is simply not PCM we take.
    CSonvelBaseParam& param = m_Header.Param;
    if (!param.SetFormatID(GetLE16(pb + 20)) || !param.SetChannels(GetLE16(pb + 22)) ||
        !param.SetSamplingRate(GetLE32(pb + 24)) || !param.SetDataRate(GetLE32(pb + 28)) ||
        !param.SetBlockSize(GetLE16(pb + 32)) || !param.SetResolution(GetLE16(pb + 34)))
        return kWindowRefused;
    if (!param.Validate(m_bReport))
    {
        Report("※　無効なWaveパラメータです。\n");
        *pbTraced = 1;
        return kWindowRefused;
    }

    DWORD dwTag = 0;
    if (!WalkToDataTag(n, &dwTag))
        return kWindowNoTag;
    TakeCanonicalDataTag(dwTag);
    return kWindowRead;
}

// Walks the chunks from "fmt " on. A byte search for "data" would take the
// four letters inside another chunk (a LIST chunk's text) for the tag.
int CMyWaveFile::WalkToDataTag(DWORD n, DWORD* pdwTag)
{
    const BYTE* pb = m_HeaderWindow.GetBuff();
    CMyFileRiffBytes bytes(this);
    DWORD dwTag = 12;
    for (;;)
    {
        if (dwTag + 8 > n)
            return 0; // the tag and its size field must lie inside the window
        if (dwTag >= kFirstDataTag && IsTag(pb + dwTag, "data"))
        {
            *pdwTag = dwTag;
            return 1;
        }
        // Counted in 64 bits so that a huge size cannot wrap back into the window.
        DWORD dwChunkSize = GetLE32(pb + dwTag + 4);
        ULONGLONG qwNext = SkipChunkPad(&bytes, (ULONGLONG)dwTag + 8 + dwChunkSize, dwChunkSize);
        if (qwNext > kFirstDataTag + kMaxDataTagOffset)
            return 0; // the tag would start too far away
        dwTag = (DWORD)qwNext;
    }
}

// When both walks fail (a "fmt " size that does not say where the next chunk
// starts, a chunk size that runs past the file): the first "data" at bytes
// 36 to 291 whose size field lies inside the window.
int CMyWaveFile::SearchDataTag(DWORD n, DWORD* pdwTag) const
{
    const BYTE* pb = m_HeaderWindow.GetBuff();
    for (DWORD i = 0; i + 39 < n; ++i)
    {
        if (!IsTag(pb + kFirstDataTag + i, "data"))
            continue;
        if (i > kMaxDataTagOffset || n - i - 40 < 4)
            return 0;
        *pdwTag = kFirstDataTag + i;
        return 1;
    }
    return 0;
}

void CMyWaveFile::Report(const char* pcText) const
{
    if (m_bReport)
        WriteTraceText(pcText, 0);
}

int CMyWaveFile::Refuse(const char* pcReason, ULONGLONG qwPosition)
{
    m_strWalkTrace.AppendFormat("※　%sCMyWaveFile::ReadHeader()\n\tPosition[%I64u]\n", pcReason,
                                qwPosition);
    return 0;
}

// Walks the RIFF (or RF64/BW64) chunks from byte 12 to "data" wherever it
// lies, keeping "fmt ", "bext", "iXML" and "ds64" on the way; every refusal
// says why in the trace.
int CMyWaveFile::ReadChunkedHeader()
{
    CMyFileRiffBytes bytes(this);
    std::string strBytes;
    if (GetFileSize() < 12)
        return Refuse("WAVEファイルとしては短すぎます。", 0);
    if (!bytes.ReadAt(0, 12, &strBytes))
        return Refuse("ファイルを読み込めません。", 0);
    const BYTE* pb = (const BYTE*)strBytes.data();
    int bRf64 = IsTag(pb, "RF64") || IsTag(pb, "BW64");
    if (!bRf64 && !IsTag(pb, "RIFF"))
        return Refuse("RIFFファイルではありません。", 0);
    if (!IsTag(pb + 8, "WAVE"))
        return Refuse("WAVEファイルではありません。", 8);
    m_Header.RiffSize = GetLE32(pb + 4);

    const ULONGLONG qwFileSize = GetFileSize();
    CMyChunkWalk walk(&bytes, 12);
    int bFmt = 0;
    int bDs64 = 0;
    ULONGLONG qwDs64DataSize = 0;
    for (DWORD nChunks = 0;; ++nChunks)
    {
        CMyChunk chunk;
        if (nChunks >= kMaxChunks)
            return Refuse("チャンクが多すぎます。", walk.GetPos());
        if (!walk.Read(&chunk))
            return Refuse("dataチャンクがありません。", walk.GetPos());
        const char* pcId = chunk.acId;
        const DWORD dwSize = chunk.dwSize;
        const ULONGLONG qwPos = chunk.qwPos;
        const ULONGLONG qwBody = qwPos + 8;
        if (IsTag(pcId, "data"))
        {
            if (!bFmt)
                return Refuse("dataチャンクの前にfmtチャンクがありません。", qwPos);
            if (bRf64 && !bDs64)
                return Refuse("RF64ファイルにds64チャンクがありません。", qwPos);
            if (qwBody >= qwFileSize)
                return Refuse("dataチャンクにデータがありません。", qwPos);
            m_Header.bRf64 = bRf64;
            m_Header.DataStart = qwBody;
            m_Header.DataSize = bRf64 ? qwDs64DataSize : dwSize;
            break;
        }
        if (dwSize > qwFileSize - qwBody)
            return Refuse("チャンクがファイルの終わりを越えています。", qwPos);
        if (IsTag(pcId, "fmt "))
        {
            if (dwSize < 16 || dwSize > kMaxFmtBody)
                return Refuse("fmtチャンクの大きさが無効です。", qwPos);
            if (!bytes.ReadAt(qwBody, dwSize, &m_Header.FmtBody))
                return Refuse("fmtチャンクを読めません。", qwPos);
            m_Header.FmtSize = dwSize;
            bFmt = 1;
        }
        else if (IsTag(pcId, "ds64"))
        {
            if (dwSize < kDs64Body || !bytes.ReadAt(qwBody, kDs64Body, &strBytes))
                return Refuse("ds64チャンクが無効です。", qwPos);
            qwDs64DataSize = GetLE64(strBytes.data() + 8);
            bDs64 = 1;
        }
        else if (IsTag(pcId, "bext") || IsTag(pcId, "iXML"))
            ReadCarriedBody(&bytes, chunk);
        walk.Skip(chunk);
    }
    return CheckChunkedFormat();
}

// A bext or iXML body the pieces carry; one they cannot is named in the
// walk's trace and left out.
void CMyWaveFile::ReadCarriedBody(CMyRiffBytes* pBytes, const CMyChunk& chunk)
{
    int bBext = IsTag(chunk.acId, "bext");
    std::string* pstrBody = bBext ? &m_Header.BextBody : &m_Header.IXmlBody;
    // A bext too short to hold the time reference is no broadcast wave.
    if ((bBext && chunk.dwSize < kBextTimeReference + 8) || chunk.dwSize > kMaxCarriedBody ||
        !pBytes->ReadAt(chunk.qwPos + 8, chunk.dwSize, pstrBody))
    {
        pstrBody->clear();
        m_strWalkTrace.AppendFormat("分割ファイルに写さないチャンクがあります。"
                                    "CMyWaveFile::ReadHeader()\n\tChunkSize[%u], Position[%I64u]\n",
                                    chunk.dwSize, chunk.qwPos);
    }
}

// The "fmt " body of a walked file: tag 1 or 3, or extensible with the PCM
// or float sub-format; then the parameters' widened consistency.
int CMyWaveFile::CheckChunkedFormat()
{
    const std::string& strFmt = m_Header.FmtBody;
    const BYTE* pb = (const BYTE*)strFmt.data();
    CSonvelBaseParam& param = m_Header.Param;
    param.FormatID = GetLE16(pb);
    param.Channels = GetLE16(pb + 2);
    param.SamplingRate = GetLE32(pb + 4);
    param.DataRate = GetLE32(pb + 8);
    param.BlockSize = GetLE16(pb + 12);
    param.Resolution = GetLE16(pb + 14);
    WORD wSampleFormat = param.FormatID;
    if (param.FormatID == kTagExtensible)
    {
        if (strFmt.size() < 40 || GetLE16(pb + 16) < 22 || memcmp(pb + 26, kGuidTail, 14) != 0)
            return Refuse("拡張フォーマットのfmtチャンクが無効です。", 0);
        wSampleFormat = GetLE16(pb + 24);
        if (GetLE16(pb + 18) > param.Resolution)
            return Refuse("拡張フォーマットの有効ビット数が無効です。", 0);
    }
    else if (param.FormatID != kTagPcm && param.FormatID != kTagFloat)
        wSampleFormat = 0;
    if (!param.ValidateChunked(wSampleFormat, m_bReport))
    {
        Report("※　無効なWaveパラメータです。\n");
        return 0;
    }
    m_Header.SampleFormat = wSampleFormat;
    m_Header.bChunked = 1;
    m_Header.HeaderLength = CalcPieceHeaderLength(m_Header, 0, 0);
    return 1;
}

// A recorder that kept writing past 4 GiB leaves 32-bit sizes that wrapped
// (or stayed all ones): when the bytes after the data start agree with the
// size field modulo 2^32, the data runs to the end of the file.
void CMyWaveFile::TakeWrappedDataSize()
{
    ULONGLONG qwFileSize = GetFileSize();
    if (m_Header.bRf64 || m_Header.DataSize > 0xFFFFFFFFull || qwFileSize < 0x100000000ull ||
        qwFileSize <= m_Header.DataStart)
        return;
    ULONGLONG qwAfter = qwFileSize - m_Header.DataStart;
    if (qwAfter <= m_Header.DataSize ||
        ((qwAfter & 0xFFFFFFFFull) != m_Header.DataSize && m_Header.DataSize != 0xFFFFFFFFull))
        return;
    CString strText;
    strText.Format("4GiBを超えるRIFFファイルのため、ファイルの終わりまでをデータとします。"
                   "CMyWaveFile::ReadHeader()\n\tDataSize[%I64u], WrittenDataSize[%I64u]\n",
                   qwAfter, m_Header.DataSize);
    Report(strText);
    m_Header.DataSize = qwAfter;
}
