// The texts users give the planning choices: a size limit, a part count, a
// level in dB. (Durations are read as section lengths: ParseSectionLength.)
#pragma once

#include "platform/Platform.h"

// The smallest piece file there is: the canonical header and one 8-bit mono
// frame. A size limit below it is refused as the user gives it; one that a
// file's own header leaves no room in refuses that file only.
const ULONGLONG kMinPieceFile = 45;

// "1500000", "25M", "1.5G", "700MiB", "25MB": bytes, with K, M, G, KiB,
// MiB, GiB (either case) as powers of 1024 and KB, MB, GB as powers of 1000;
// a fraction gives the whole bytes below it. 0 for text without leading
// digits, anything else after them, 0 bytes, or more than 64 bits hold.
ULONGLONG ParseByteSize(const char* pcText);

// A whole number of pieces from 1 to 4294967295; 0 for anything else (0,
// a sign, other characters).
DWORD ParsePartCount(const char* pcText);

// "-40", "-37.5", "-40dB": dB of full scale, at most 0. 0 (and *pdLevel
// untouched) for other text.
int ParseDecibels(const char* pcText, double* pdLevel);
