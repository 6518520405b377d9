// A plan written as a cue sheet or as a label list, to be checked and moved
// in an audio editor and read back as cuts (--cuts).
#pragma once

#include "engine/PlanSink.h"
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

// The file's first bytes: the CSV's header row, the cue sheet's header, or
// nothing (a label list).
const char* GetPlanFileHeader(PlanForm form);

// What a plan file says of one entry, in UTF-8: only the caller knows the
// system's names.
struct CMyPlanFileRow
{
    std::string strPath;       // the piece's path; a stretch left out: the recording's
    std::string strSource;     // the recording's path
    std::string strSourceName; // a cue sheet's FILE line before this track when not empty
    std::string strTitle;      // the piece's name without ".wav"
};

// The entry in the form: a CSV row, a label list's line, or a cue sheet's
// track, numbered from *pdwTrack + 1. A stretch left out (kCutTrimmed) is a
// CSV row only.
std::string FormatPlanFileRow(PlanForm form, const CMyPlanFileRow& row, const CMyPlanPiece& piece,
                              DWORD dwSamplingRate, PieceStatus status, DWORD* pdwTrack);
