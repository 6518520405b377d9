// CMyWaveFile: a file object that reads and checks a PCM WAV file's header.
#pragma once

#include "engine/ByteBuff.h"
#include "engine/LockedFile.h"
#include "engine/WaveHeader.h"

class CMyWaveFile : public CMyLockedFile
{
public:
    CMyWaveFile();
    ~CMyWaveFile() override = default;

    int ReadHeader();
    const CMyWaveHeader& GetHeader() const { return m_Header; }

private:
    CMyWaveHeader m_Header;
    // The first kilobyte of the file, as read by ReadHeader.
    CMyByteBuff m_HeaderWindow;
};
