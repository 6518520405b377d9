// Shift-JIS byte classes by position. A byte can only be judged by walking
// from the start: 0x83 0x5C is one character whose second byte merely looks
// like a backslash, and 0x81 is a lead byte or a trail byte by context.
#include "support/SJisByteType.h"

#include "support/Trace.h"

int IsCodePageLeadByte(BYTE bChar)
{
    return (bChar >= 0x81 && bChar <= 0x9F) || (bChar >= 0xE0 && bChar <= 0xFC);
}

int GetSJisByteType(const char* pcText, DWORD dwIndex)
{
    if (pcText == nullptr)
        return SJIS_BYTE_INVALID;
    int iType = SJIS_BYTE_INVALID;
    for (DWORD i = 0;; ++i)
    {
        BYTE b = (BYTE)pcText[i];
        if (b == 0)
            return SJIS_BYTE_INVALID;
        if (iType == SJIS_BYTE_LEAD)
            iType = IsSJisTrailByte(b) ? SJIS_BYTE_TRAIL : SJIS_BYTE_INVALID;
        else
            // Every other byte, control bytes included, is a character of its
            // own: only a broken pair or the end of the text is invalid.
            iType = IsCodePageLeadByte(b) ? SJIS_BYTE_LEAD : SJIS_BYTE_SINGLE;
        if (i == dwIndex)
            return iType;
    }
}

int GetSJisCharBytes(const char* pcText)
{
    return IsCodePageLeadByte((BYTE)pcText[0]) && IsSJisTrailByte((BYTE)pcText[1]) ? 2 : 1;
}
