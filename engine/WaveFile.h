// CMyWaveFile: a file object that reads and checks a PCM WAV file's header.
#pragma once

#include "engine/ByteBuff.h"
#include "engine/LockedFile.h"
#include "engine/WaveHeader.h"

#include <string>

class CMyWaveFile : public CMyLockedFile
{
public:
    CMyWaveFile();
    ~CMyWaveFile() override = default;

    int ReadHeader();
    const CMyWaveHeader& GetHeader() const { return m_Header; }

private:
    int ReadWindowHeader(int* pbTraced);
    int WalkToDataTag(DWORD n, DWORD* pdwTag) const;
    int SearchDataTag(DWORD n, DWORD* pdwTag) const;
    int ReadChunkedHeader();
    int CheckChunkedFormat();
    void TakeWrappedDataSize();
    int ReadBytesAt(ULONGLONG qwPosition, DWORD dwCount, std::string* pstrOut);
    int Refuse(const char* pcReason, ULONGLONG qwPosition);

    CMyWaveHeader m_Header;
    // The first kilobyte of the file, as read by ReadHeader.
    CMyByteBuff m_HeaderWindow;
};
