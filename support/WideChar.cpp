// UTF-16 character helpers. Comparison without case folds to lower case, as
// the runtime does, and covers the letters that Japanese file names hold
// (ASCII, full-width Latin, Greek, Cyrillic, Roman numerals) plus Latin-1, so
// that names which the file system treats as equal compare equal here too, on
// every platform alike.
#include "support/WideChar.h"

DWORD WideStrLen(const WCHAR* pwcStr)
{
    DWORD dwLen = 0;
    if (pwcStr != nullptr)
        while (pwcStr[dwLen] != 0)
            ++dwLen;
    return dwLen;
}

WCHAR WideToLower(WCHAR wc)
{
    unsigned c = wc;
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? (WCHAR)(c + 0x20) : wc;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F) || (c >= 0xFF21 && c <= 0xFF3A))
        return (WCHAR)(c + 0x20);
    if (c >= 0x100 && c <= 0x17F)
    {
        // Latin Extended-A pairs its capitals with the next code, the even
        // one first, except in the two odd-first runs; U+0130, U+0131, U+0138
        // and U+0149 have no simple partner here, U+0178 is the capital of
        // U+00FF.
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
            return wc;
        if (c == 0x178)
            return 0xFF;
        bool bOddFirst = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        bool bCapital = bOddFirst ? (c & 1) != 0 : (c & 1) == 0;
        return bCapital ? (WCHAR)(c + 1) : wc;
    }
    if (c == 0x386)
        return 0x3AC;
    if (c >= 0x388 && c <= 0x38A)
        return (WCHAR)(c + 0x25);
    if (c == 0x38C)
        return 0x3CC;
    if (c == 0x38E || c == 0x38F)
        return (WCHAR)(c + 0x3F);
    if (c >= 0x400 && c <= 0x40F)
        return (WCHAR)(c + 0x50);
    if (c >= 0x2160 && c <= 0x216F)
        return (WCHAR)(c + 0x10);
    return wc;
}

int IsWideAlpha(WCHAR wc)
{
    unsigned c = wc;
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (c == 0xAA || c == 0xB5 || c == 0xBA)
        return 1;
    if (c >= 0xC0 && c <= 0x24F)
        return c != 0xD7 && c != 0xF7;
    return (c >= 0x386 && c <= 0x3FF && c != 0x387) || (c >= 0x400 && c <= 0x481) ||
           (c >= 0x48A && c <= 0x52F) || (c >= 0x3041 && c <= 0x3096) ||
           (c >= 0x30A1 && c <= 0x30FA) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF21 && c <= 0xFF3A) || (c >= 0xFF41 && c <= 0xFF5A) ||
           (c >= 0xFF66 && c <= 0xFF9D);
}

int CompareWideN(const WCHAR* pwcA, const WCHAR* pwcB, DWORD dwCount, int bIgnoreCase)
{
    for (DWORD i = 0; i < dwCount; ++i)
    {
        WCHAR a = pwcA[i], b = pwcB[i];
        if (bIgnoreCase)
        {
            a = WideToLower(a);
            b = WideToLower(b);
        }
        if (a != b)
            return a < b ? -1 : 1;
        if (a == 0)
            return 0;
    }
    return 0;
}

int CompareWide(const WCHAR* pwcA, const WCHAR* pwcB, int bIgnoreCase)
{
    return CompareWideN(pwcA, pwcB, 0xFFFFFFFF, bIgnoreCase);
}

int IsWideCharInSet(WCHAR wc, const WCHAR* pwcSet)
{
    if (wc == 0 || pwcSet == nullptr)
        return 0;
    for (; *pwcSet != 0; ++pwcSet)
        if (*pwcSet == wc)
            return 1;
    return 0;
}
