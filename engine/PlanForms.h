// A plan written as a cue sheet or as a label list, to be checked and moved
// in an audio editor and read back as cuts (--cuts).
#pragma once

#include "engine/SplitPlan.h"

#include <string>

// The forms --plan writes, by the file's extension.
enum PlanForm
{
    kPlanCsv,   // today's CSV (any other extension, and standard output)
    kPlanCue,   // .cue
    kPlanLabels // .txt
};

PlanForm GetPlanForm(const char* pcPath);

// The first line of every cue sheet this program writes: what tells it from
// one the user keeps, which is never written over.
const char* GetPlanCueHeader();
// The FILE line of a source (its UTF-8 name, without folder).
std::string FormatPlanCueFile(const std::string& strUtf8Name);
// A TRACK per piece: INDEX 01 at its start rounded down to a 75th of a
// second, TITLE its UTF-8 name without ".wav".
std::string FormatPlanCueTrack(DWORD dwTrack, const std::string& strUtf8Title, ULONGLONG qwStart,
                               DWORD dwSamplingRate);
// A label list's line: start and end in seconds with 6 decimals (a frame
// even at 200 kHz is read back exactly), the UTF-8 name without ".wav".
std::string FormatPlanLabel(const std::string& strUtf8Title, ULONGLONG qwStart, ULONGLONG qwFrames,
                            DWORD dwSamplingRate);
// 1 when the start of a file is a label list as FormatPlanLabel writes it.
int IsPlanLabelStart(const std::string& strStart);
