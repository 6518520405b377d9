// Every pause of a whole recording, found in one pass over its data in large
// blocks, and the level that tells its pauses from its sound when the user
// leaves it to the recording.
#pragma once

#include "engine/PauseFinder.h"

#include <vector>

// The level a pause stays below, found from the recording: the noise floor
// (the level its quietest stretch of dwMinWindows windows stays below) plus a
// margin, never above kAutoLevelCapDb.
const double kAutoLevelCapDb = -20.0;
const double kAutoLevelMarginDb = 6.0;

struct CMyWindowLevels
{
    DWORD dwWindow = 0; // frames per window (10 ms); the last may be shorter
    ULONGLONG qwFrames = 0;
    // Per window, the mean square of its loudest channel (full scale 1.0);
    // a window that passed dPowerCap while measured holds at least the cap.
    std::vector<float> Powers;
};

// The levels of every 10 ms window of frames [0, qwFrames), read through the
// reader in blocks of several MiB; windows louder than dCapDb are only known
// to be loud. 0 when the format cannot be measured, a read fails or the job's
// abort flag is set (tested before every read).
int MeasureWindowLevels(CMyFrameReader* pReader, const CMySampleFormat& fmt, ULONGLONG qwFrames,
                        double dCapDb, CMyWindowLevels* pLevels);

// The automatic level in dBFS (see above); dwMinWindows at least 1.
double FindAutoLevel(const CMyWindowLevels& levels, DWORD dwMinWindows);

// The pauses: runs of windows below dLevelDb of at least qwMinFrames, in
// frame order, a run at either end of the data included.
void FindPauses(const CMyWindowLevels& levels, double dLevelDb, ULONGLONG qwMinFrames,
                std::vector<CMyPause>* pPauses);
