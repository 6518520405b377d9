// CMyWaveFile: a file object that reads and checks a PCM WAV file's header.
#pragma once

#include "engine/ByteBuff.h"
#include "engine/LockedFile.h"
#include "engine/WaveHeader.h"

#include <string>

class CMyRiffBytes;
struct CMyChunk;

class CMyWaveFile : public CMyLockedFile
{
public:
    CMyWaveFile();
    ~CMyWaveFile() override = default;

    // bReport 0: nothing is written to the trace (a look at the file, not a
    // split of it).
    int ReadHeader(int bReport = 1);
    const CMyWaveHeader& GetHeader() const { return m_Header; }

private:
    enum WindowResult
    {
        kWindowRefused, // not of the canonical kind
        kWindowNoTag,   // of the canonical kind, but its walk found no "data" tag
        kWindowRead
    };

    WindowResult ReadWindowHeader(int* pbTraced);
    int ReadAfterWindow(WindowResult window);
    void TakeCanonicalDataTag(DWORD dwTag);
    int WalkToDataTag(DWORD n, DWORD* pdwTag);
    int SearchDataTag(DWORD n, DWORD* pdwTag) const;
    int ReadChunkedHeader();
    int CheckChunkedFormat();
    void TakeWrappedDataSize();
    int Refuse(const char* pcReason, ULONGLONG qwPosition);
    void Report(const char* pcText) const;
    void ReadCarriedBody(CMyRiffBytes* pBytes, const CMyChunk& chunk);

    CMyWaveHeader m_Header;
    // The first kilobyte of the file, as read by ReadHeader.
    CMyByteBuff m_HeaderWindow;
    // What the chunk walk has to say, written once its reading is taken or
    // every reading refused.
    CString m_strWalkTrace;
    int m_bReport = 1;
};
