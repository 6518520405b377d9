// The section length ("hh:mm:ss" text to milliseconds) and the piece size it
// gives for one source file.
#pragma once

#include "platform/Platform.h"

// Milliseconds for "hh:mm:ss", "mm:ss" or "ss" (seconds may have a fraction;
// spaces anywhere are ignored). 0 for text that is not a valid length,
// including every length of 2^32 ms or more.
DWORD ParseSectionLength(const char* pcText);

// ParseSectionLength, with the "SectorSize = %u [ms]\n" trace line every host
// writes when it takes the user's text for a run (the dialog's
// GetSectionLength, the command line). A host refuses a result of 0.
DWORD ReadSectionLengthText(const char* pcText);

// Bytes per piece: whole sample frames, BlockSize x floor(SamplingRate x
// milliseconds / 1000), exact in 64 bits. 0 when the section is shorter than
// one sample frame.
ULONGLONG CalcPieceSize(DWORD dwSamplingRate, WORD wBlockSize, DWORD dwSectionLength);

// The whole frames of dwMs milliseconds at dwSamplingRate, rounded down.
inline ULONGLONG FramesOfMs(DWORD dwSamplingRate, DWORD dwMs)
{
    return (ULONGLONG)dwSamplingRate * dwMs / 1000;
}
