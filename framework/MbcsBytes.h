// Walking Shift-JIS (code page 932) text byte by byte, as a multibyte build's
// string functions do.
#pragma once

// Lead bytes of code page 932: 0x81-0x9F and 0xE0-0xFC.
inline bool MbcsIsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Index of the character after the one at i (a lead byte followed by a
// non-zero byte makes one two-byte character).
inline int MbcsNextIndex(const char* pcText, int i)
{
    if (MbcsIsLead((unsigned char)pcText[i]) && pcText[i + 1] != '\0')
        return i + 2;
    return i + 1;
}

int MbcsCompareNoCase(const char* a, const char* b);
void MbcsChangeCase(char* pcText, int nLength, bool bUpper);
