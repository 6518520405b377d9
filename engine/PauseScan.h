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
    // infinity for a window louder than the cap, or one no quiet run can
    // hold.
    std::vector<float> Powers;
};

// The levels of every 10 ms window of frames [0, qwFrames) that a quiet run
// (below dCapDb) of qwMinFrames could hold, the data read through the reader
// once, in order, in blocks of 1 MiB: between two loud windows too near
// each other for such a run, no window is measured. 0 when the format
// cannot be measured, a read fails or the job's abort flag is set (tested
// before every read).
int MeasureWindowLevels(CMyFrameReader* pReader, const CMySampleFormat& fmt, ULONGLONG qwFrames,
                        double dCapDb, ULONGLONG qwMinFrames, CMyWindowLevels* pLevels);

// The automatic level in dBFS (see above); dwMinWindows at least 1.
double FindAutoLevel(const CMyWindowLevels& levels, DWORD dwMinWindows);

// The pauses: runs of windows below dLevelDb (at most the cap measured with)
// of at least qwMinFrames (at least the length measured for), in frame
// order, a run at either end of the data included.
void FindPauses(const CMyWindowLevels& levels, double dLevelDb, ULONGLONG qwMinFrames,
                std::vector<CMyPause>* pPauses);
