// The section length ("hh:mm:ss" text to milliseconds) and the piece size.
#include "engine/SectionLength.h"

#include "framework/CStringArray.h"
#include "support/MyWString.h"
#include "support/Trace.h"

#include <cmath>
#include <cstdlib>

namespace
{
const ULONGLONG kMaxLength = 0xFFFFFFFFull;
const ULONGLONG kMaxField = 2147483647ull;

// Leading decimal digits up to the first other character; values beyond the
// signed 32-bit range read as its maximum. Exact on every platform, where the
// runtime's strtoul would differ with the width of long.
ULONGLONG ReadWholeNumber(const char* pcText)
{
    ULONGLONG qwValue = 0;
    for (const char* p = pcText; *p >= '0' && *p <= '9'; ++p)
    {
        qwValue = qwValue * 10 + (ULONGLONG)(*p - '0');
        if (qwValue > kMaxField)
            return kMaxField;
    }
    return qwValue;
}

// Whole milliseconds in dSeconds x 1000 (0 <= dSeconds < 2^32), with the
// product rounded to double as SSE2 arithmetic rounds it, then truncated. Done
// in integers: the 32-bit builds would multiply in x87 extended precision,
// where 1.2 x 1000 stays just below 1200 and truncates to 1199.
ULONGLONG TruncMilliseconds(double dSeconds)
{
    int nExp = 0;
    double dFrac = frexp(dSeconds, &nExp);                  // exact: dSeconds = dFrac x 2^nExp
    ULONGLONG qwValue = (ULONGLONG)ldexp(dFrac, 53) * 1000; // < 2^63, exact
    nExp -= 53;
    int nBits = 0;
    while (nBits < 64 && (qwValue >> nBits) != 0)
        ++nBits;
    if (nBits > 53) // round to 53 significant bits, ties to even
    {
        int nDrop = nBits - 53;
        ULONGLONG qwRest = qwValue & ((1ull << nDrop) - 1);
        ULONGLONG qwHalf = 1ull << (nDrop - 1);
        qwValue >>= nDrop;
        nExp += nDrop;
        if (qwRest > qwHalf || (qwRest == qwHalf && (qwValue & 1) != 0))
            ++qwValue;
    }
    // Below 2^42, so nExp < 0 here.
    return -nExp >= 64 ? 0 : qwValue >> -nExp;
}
} // namespace

// Fields are read from the last (seconds) to the first (hours). The seconds are
// a decimal fraction read by the runtime and truncated after multiplying by
// 1000 in double precision; minutes and hours are whole numbers, an empty one
// counting as 0. A total that would not fit in 32 bits gives 0: cutting at
// the wrapped value would give pieces of an unrelated length.
DWORD ParseSectionLength(const char* pcText)
{
    if (pcText == nullptr)
        return 0;
    CMyWString strText(pcText);
    strText.RemoveChars(WSTR(" "));
    if (!strText.ConsistsOf(WSTR("0123456789:.")))
        return 0;
    CStringArray arrFields;
    int nFields = (int)strText.Split(&arrFields, WSTR(":"));
    if (nFields < 1 || nFields > 3)
        return 0;

    ULONGLONG qwTotal = 0;
    for (int k = 0; k < nFields; ++k)
    {
        const CString& strField = arrFields[nFields - 1 - k];
        if (k == 0)
        {
            double dSeconds = strtod(strField, nullptr);
            if (!(dSeconds < 4294967296.0)) // also refuses infinity
                return 0;
            qwTotal = TruncMilliseconds(dSeconds);
            if (qwTotal > kMaxLength)
                return 0;
            continue;
        }
        if (strField.IsEmpty())
            continue;
        qwTotal += ReadWholeNumber(strField) * (k == 1 ? 60000ull : 3600000ull);
        if (qwTotal > kMaxLength)
            return 0;
    }
    return (DWORD)qwTotal;
}

DWORD ReadSectionLengthText(const char* pcText)
{
    DWORD dwLength = ParseSectionLength(pcText);
    WriteTraceFormat("SectorSize = %u [ms]\n", dwLength);
    return dwLength;
}

ULONGLONG CalcPieceSize(DWORD dwSamplingRate, WORD wBlockSize, DWORD dwSectionLength)
{
    ULONGLONG qwFrames = (ULONGLONG)dwSamplingRate * dwSectionLength / 1000;
    return qwFrames * wBlockSize;
}
