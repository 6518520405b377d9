// The texts users give the planning choices.
#include "engine/PlanValues.h"

#include <cstdlib>
#include <cstring>

namespace
{
// Leading decimal digits as a number; 0 digits, or a value past 64 bits,
// give 0 with *ppcEnd at the text.
ULONGLONG ReadDigits(const char* pcText, const char** ppcEnd)
{
    ULONGLONG qwValue = 0;
    const char* pc = pcText;
    for (; *pc >= '0' && *pc <= '9'; ++pc)
    {
        if (qwValue > (0xFFFFFFFFFFFFFFFFull - 9) / 10)
        {
            *ppcEnd = pcText;
            return 0;
        }
        qwValue = qwValue * 10 + (ULONGLONG)(*pc - '0');
    }
    *ppcEnd = pc;
    return qwValue;
}
} // namespace

ULONGLONG ParseByteSize(const char* pcText)
{
    if (pcText == nullptr)
        return 0;
    const char* pcEnd = pcText;
    ULONGLONG qwValue = ReadDigits(pcText, &pcEnd);
    if (pcEnd == pcText)
        return 0;
    int nShift = 0;
    if (*pcEnd != '\0')
    {
        static const char kUnits[] = "KkMmGg";
        const char* pcUnit = strchr(kUnits, *pcEnd);
        if (pcUnit == nullptr || pcEnd[1] != '\0')
            return 0;
        nShift = 10 * (1 + (int)(pcUnit - kUnits) / 2);
    }
    if (qwValue > (0xFFFFFFFFFFFFFFFFull >> nShift))
        return 0;
    return qwValue << nShift;
}

DWORD ParsePartCount(const char* pcText)
{
    if (pcText == nullptr)
        return 0;
    const char* pcEnd = pcText;
    ULONGLONG qwValue = ReadDigits(pcText, &pcEnd);
    if (pcEnd == pcText || *pcEnd != '\0' || qwValue > 0xFFFFFFFFull)
        return 0;
    return (DWORD)qwValue;
}

int ParseDecibels(const char* pcText, double* pdLevel)
{
    if (pcText == nullptr || *pcText == '\0')
        return 0;
    char* pcEnd = nullptr;
    double dLevel = strtod(pcText, &pcEnd);
    if (pcEnd == pcText || (*pcEnd != '\0' && strcmp(pcEnd, "dB") != 0 && strcmp(pcEnd, "db") != 0))
        return 0;
    // strtod also reads "inf", "nan" and hex: only plain decimal text is a level.
    for (const char* pc = pcText; pc < pcEnd; ++pc)
        if (strchr("+-.0123456789", *pc) == nullptr)
            return 0;
    if (!(dLevel <= 0.0))
        return 0;
    *pdLevel = dLevel;
    return 1;
}
