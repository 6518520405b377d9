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
    ULONGLONG qwWhole = ReadDigits(pcText, &pcEnd);
    if (pcEnd == pcText)
        return 0;
    // The fraction's first 9 digits: exact against any unit in 64 bits, and
    // finer than a byte of a gigabyte.
    ULONGLONG qwFraction = 0, qwScale = 1;
    if (*pcEnd == '.')
    {
        const char* pcDigit = ++pcEnd;
        for (; *pcEnd >= '0' && *pcEnd <= '9'; ++pcEnd)
            if (pcEnd - pcDigit < 9)
            {
                qwFraction = qwFraction * 10 + (ULONGLONG)(*pcEnd - '0');
                qwScale *= 10;
            }
        if (pcEnd == pcDigit)
            return 0;
    }
    // Upload limits are mostly stated in powers of 1000 ("25MB"); K, M, G
    // alone stay powers of 1024, as they always were.
    static const struct
    {
        const char* pcUnit;
        ULONGLONG qwUnit;
    } kUnits[] = {{"", 1},
                  {"K", 1ull << 10},
                  {"M", 1ull << 20},
                  {"G", 1ull << 30},
                  {"KiB", 1ull << 10},
                  {"MiB", 1ull << 20},
                  {"GiB", 1ull << 30},
                  {"KB", 1000},
                  {"MB", 1000000},
                  {"GB", 1000000000}};
    for (const auto& unit : kUnits)
    {
        if (_stricmp(pcEnd, unit.pcUnit) != 0)
            continue;
        if (qwWhole > 0xFFFFFFFFFFFFFFFFull / unit.qwUnit)
            return 0;
        ULONGLONG qwBytes = qwWhole * unit.qwUnit;
        ULONGLONG qwPart = qwFraction * unit.qwUnit / qwScale; // whole bytes at most
        return qwBytes > 0xFFFFFFFFFFFFFFFFull - qwPart ? 0 : qwBytes + qwPart;
    }
    return 0;
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
