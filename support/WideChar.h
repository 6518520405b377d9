// UTF-16 character helpers: lengths, comparison with and without case, the
// letter test and membership in a set of characters.
#pragma once

#include "platform/Platform.h"

// Characters before the terminating zero (0 for null).
DWORD WideStrLen(const WCHAR* pwcStr);

// The lower-case form that comparisons without case use: ASCII, Latin-1,
// Latin Extended-A, Greek, Cyrillic, Roman numerals and full-width Latin.
WCHAR WideToLower(WCHAR wc);
// Letters for the drive-letter test: Latin, Greek, Cyrillic, full-width Latin,
// kana and CJK ideographs.
int IsWideAlpha(WCHAR wc);

// Like wcscmp and _wcsicmp: the sign of the first difference, the shorter text
// first; -1, 0 or 1.
int CompareWide(const WCHAR* pwcA, const WCHAR* pwcB, int bIgnoreCase);
// Like wcsncmp and _wcsnicmp: at most dwCount characters, stopping at a zero.
int CompareWideN(const WCHAR* pwcA, const WCHAR* pwcB, DWORD dwCount, int bIgnoreCase);

// 1 when wc is one of the characters of the zero-terminated set (never for 0).
int IsWideCharInSet(WCHAR wc, const WCHAR* pwcSet);
