// The class of one byte of Shift-JIS text judged in context, as the runtime's
// multibyte byte classification gives it for code page 932.
#pragma once

#include "platform/Platform.h"

enum
{
    SJIS_BYTE_INVALID = -1, // the text ends at or before the index, or a lead byte lacks its trail
    SJIS_BYTE_SINGLE = 0,
    SJIS_BYTE_LEAD = 1,
    SJIS_BYTE_TRAIL = 2,
};

// Lead bytes of code page 932 for the runtime (0x81-0x9F, 0xE0-0xFC); the
// trace's IsSJisLeadByte stops at 0xF5.
int IsCodePageLeadByte(BYTE bChar);

// The class of the byte at dwIndex, found by walking the text from its start.
int GetSJisByteType(const char* pcText, DWORD dwIndex);

// The bytes of the character that starts at pcText: 2 for a lead byte that a
// trail byte follows, else 1 (a lead byte alone is a byte of its own).
int GetSJisCharBytes(const char* pcText);
