// UTF-8 one character at a time.
#include "platform/posix/Utf8Text.h"

size_t DecodeUtf8(const unsigned char* p, size_t nLeft, uint32_t* pCodePoint)
{
    unsigned c = p[0];
    size_t nNeed = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (nNeed == 0 || nNeed > nLeft)
        return 0;
    uint32_t cp = nNeed == 1 ? c : (c & (0xFFu >> (nNeed + 1)));
    for (size_t i = 1; i < nNeed; ++i)
    {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3Fu);
    }
    if ((nNeed == 2 && cp < 0x80) || (nNeed == 3 && cp < 0x800) || (nNeed == 4 && cp < 0x10000) ||
        cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    *pCodePoint = cp;
    return nNeed;
}

size_t EncodeUtf8(uint32_t cp, unsigned char* pOut)
{
    if (cp < 0x80)
    {
        pOut[0] = (unsigned char)cp;
        return 1;
    }
    if (cp < 0x800)
    {
        pOut[0] = (unsigned char)(0xC0 | (cp >> 6));
        pOut[1] = (unsigned char)(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000)
    {
        pOut[0] = (unsigned char)(0xE0 | (cp >> 12));
        pOut[1] = (unsigned char)(0x80 | ((cp >> 6) & 0x3F));
        pOut[2] = (unsigned char)(0x80 | (cp & 0x3F));
        return 3;
    }
    pOut[0] = (unsigned char)(0xF0 | (cp >> 18));
    pOut[1] = (unsigned char)(0x80 | ((cp >> 12) & 0x3F));
    pOut[2] = (unsigned char)(0x80 | ((cp >> 6) & 0x3F));
    pOut[3] = (unsigned char)(0x80 | (cp & 0x3F));
    return 4;
}
