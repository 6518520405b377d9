// Pauses in sample data: stretches in which every 10 ms window's level (RMS
// over all channels, in dB of full scale) stays below a threshold for at least
// a minimum time.
#pragma once

#include "engine/SplitPlan.h"
#include "platform/Platform.h"

#include <vector>

struct CMySampleFormat
{
    DWORD dwSamplingRate = 0;
    WORD wChannels = 0;
    WORD wBytesPerSample = 0; // container bytes: 1 to 4 integer, 4 or 8 float
    WORD wSampleFormat = 1;   // 1 integer PCM (8-bit unsigned), 3 IEEE float
};

// Frames [qwFirst, qwEnd) of the data.
struct CMyPause
{
    ULONGLONG qwFirst = 0;
    ULONGLONG qwEnd = 0;
};

// 1 for the sample formats the level can be measured in.
int IsPauseFormat(const CMySampleFormat& fmt);

// Fed consecutive frames from qwFirst on; windows start at qwFirst.
class CMyPauseFinder
{
public:
    CMyPauseFinder(const CMySampleFormat& fmt, double dLevelDb, ULONGLONG qwMinFrames,
                   ULONGLONG qwFirst);

    void Feed(const BYTE* pbFrames, DWORD dwFrames);
    // Closes the last window and the stretch; the pauses in frame order.
    const std::vector<CMyPause>& Finish();

private:
    void CloseWindow();

    CMySampleFormat m_Fmt;
    double m_dPowerLimit; // mean square of full-scale samples that is quiet
    ULONGLONG m_qwMinFrames;
    DWORD m_dwWindowFrames;
    ULONGLONG m_qwWindowFirst;
    DWORD m_dwInWindow = 0;
    double m_dSum = 0.0;
    int m_bInPause = 0;
    ULONGLONG m_qwPauseFirst = 0;
    std::vector<CMyPause> m_Pauses;
};

// Reads frames [qwFirst, qwFirst + qwCount) through the reader in blocks of
// about 1 MiB and finds their pauses; 0 when a read fails.
int FindPauses(CMyFrameReader* pReader, const CMySampleFormat& fmt, double dLevelDb,
               ULONGLONG qwMinFrames, ULONGLONG qwFirst, ULONGLONG qwCount,
               std::vector<CMyPause>* pPauses);
