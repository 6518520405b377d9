// RIFF chunks: little-endian fields, chunk ids, the walk through the chunks
// of a RIFF or RF64 body with its one rule for a missing pad byte, and the
// writing of chunks.
#pragma once

#include "engine/LockedFile.h"
#include "platform/Platform.h"

#include <string>

WORD GetLE16(const void* pv);
DWORD GetLE32(const void* pv);
ULONGLONG GetLE64(const void* pv);
// The nBytes low bytes of qw, lowest first.
void PutLE(void* pv, ULONGLONG qw, int nBytes);
void AppendLE(std::string* pstr, ULONGLONG qw, int nBytes);
// The id, the body's size, the body and a pad byte after an odd body.
void AppendChunk(std::string* pstr, const char* pcId, const std::string& strBody);

// Four printable ASCII characters, as every chunk id is.
int IsChunkId(const void* pv);
// Four bytes against a four-letter tag, without regard to ASCII letter case.
int IsTag(const void* pv, const char* pcTag);

// The bytes a walk reads: [0, GetEnd()).
class CMyRiffBytes
{
public:
    virtual ~CMyRiffBytes() = default;
    virtual ULONGLONG GetEnd() const = 0;
    // dwCount bytes at qwPos into *pstrOut; 0 when they are not all there.
    virtual int ReadAt(ULONGLONG qwPos, DWORD dwCount, std::string* pstrOut) = 0;
};

// Bytes in memory, which the walk does not own.
class CMyMemoryRiffBytes : public CMyRiffBytes
{
public:
    explicit CMyMemoryRiffBytes(const std::string& strBytes) : m_strBytes(strBytes) {}
    ULONGLONG GetEnd() const override { return m_strBytes.size(); }
    int ReadAt(ULONGLONG qwPos, DWORD dwCount, std::string* pstrOut) override;

private:
    const std::string& m_strBytes;
};

// An open file up to its recorded size, read through its transfer buffer in
// as many reads as its limit needs; its position is left anywhere.
class CMyFileRiffBytes : public CMyRiffBytes
{
public:
    explicit CMyFileRiffBytes(CMyLockedFile* pFile) : m_pFile(pFile) {}
    ULONGLONG GetEnd() const override { return m_pFile->GetFileSize(); }
    int ReadAt(ULONGLONG qwPos, DWORD dwCount, std::string* pstrOut) override;

private:
    CMyLockedFile* m_pFile;
};

// One chunk header as it stands: the id need not be printable.
struct CMyChunk
{
    char acId[4] = {0, 0, 0, 0};
    DWORD dwSize = 0;
    ULONGLONG qwPos = 0; // where the id starts; the body starts 8 bytes later
};

// A whole chunk header at qwPos: four printable id bytes and a size that
// fits before the end (any size for "data", which recorders leave too large
// or all ones).
int IsChunkHeaderAt(CMyRiffBytes* pBytes, ULONGLONG qwPos);

// Where the next chunk starts after a body of qwSize bytes that ends at
// qwBodyEnd. An odd size is followed by a pad byte, unless the writer forgot
// it: the padded position wins; the unpadded one is taken only when the
// padded one cannot be a chunk header and the unpadded one can.
ULONGLONG SkipChunkPad(CMyRiffBytes* pBytes, ULONGLONG qwBodyEnd, ULONGLONG qwSize);

// The chunks one after the other from a position; the caller judges each
// header and says where to stop.
class CMyChunkWalk
{
public:
    CMyChunkWalk(CMyRiffBytes* pBytes, ULONGLONG qwPos) : m_pBytes(pBytes), m_qwPos(qwPos) {}

    ULONGLONG GetPos() const { return m_qwPos; }
    // The header at the walk's position; 0 when its 8 bytes are not there.
    int Read(CMyChunk* pChunk);
    // On to the chunk after this one, past its pad byte.
    void Skip(const CMyChunk& chunk);

private:
    CMyRiffBytes* m_pBytes;
    ULONGLONG m_qwPos;
};
