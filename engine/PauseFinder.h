// Pauses in sample data: stretches in which every 10 ms window's level (the
// RMS of its loudest channel, in dB of full scale) stays below a threshold for
// at least a minimum time.
#pragma once

#include "engine/SplitPlan.h"
#include "platform/Platform.h"

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

// 1 when the mean square of every channel over dwFrames frames (full scale
// 1.0) is below dPowerLimit, 10^(dB/10); a sample that is no number counts as
// loud.
int IsQuietWindow(const BYTE* pbFrames, DWORD dwFrames, const CMySampleFormat& fmt,
                  double dPowerLimit);

// The mean square of the loudest channel of dwFrames frames, measured only
// until one channel reaches dPowerCap (then at least the cap is returned); a
// sample that is no number counts as loud.
double MeasureWindowPower(const BYTE* pbFrames, DWORD dwFrames, const CMySampleFormat& fmt,
                          double dPowerCap);

// The pause nearest qwEnd within frames [qwFirst, qwEnd): the windows are
// laid back from qwEnd and read through the reader from qwEnd backwards, only
// as far as it takes to find it. A pause reaching past either end counts with
// the part inside. 1 with *pPause set, or with pPause->qwEnd 0 when there is
// none; 0 when a read fails or the job's abort flag is set (tested before
// every read).
int FindNearestPause(CMyFrameReader* pReader, const CMySampleFormat& fmt, double dLevelDb,
                     ULONGLONG qwMinFrames, ULONGLONG qwFirst, ULONGLONG qwEnd, CMyPause* pPause);
