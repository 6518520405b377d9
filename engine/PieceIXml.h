// The iXML chunk a piece carries: the source's text, with the values that
// belong to each file set to the piece's own.
#pragma once

#include "platform/Platform.h"

#include <string>

// strSource with BWF_TIME_REFERENCE_LOW/_HIGH and, where present,
// TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_LO/_HI moved on by qwFramesBefore frames
// (at TIMESTAMP_SAMPLE_RATE where that differs from dwSamplingRate), and a
// FILE_UID of the same length derived from the source's and the piece number
// dwPiece (1 on). Every other byte stays as it was; a pair of which one half
// is missing or not a 32-bit decimal number is left alone.
std::string MakePieceIXml(const std::string& strSource, ULONGLONG qwFramesBefore, DWORD dwPiece,
                          DWORD dwSamplingRate);
