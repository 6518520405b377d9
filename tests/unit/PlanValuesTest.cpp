// Size limits, part counts and levels as users type them.
#include "engine/PlanValues.h"

#include <gtest/gtest.h>

TEST(PlanValues, SizesCountsAndLevelsAreReadOrRefused)
{
    const struct
    {
        const char* pcText;
        ULONGLONG qwBytes;
    } sizes[] = {{"1500000", 1500000},
                 {"25M", 25ull << 20},
                 {"700m", 700ull << 20},
                 {"4G", 4ull << 30},
                 {"1k", 1024},
                 {"16777215G", 16777215ull << 30},
                 {"17179869184G", 0},
                 {"M", 0},
                 {"", 0},
                 {"0", 0},
                 {"-5M", 0},
                 {"5MB", 5000000},
                 {"25mb", 25000000},
                 {"2.5KB", 2500},
                 {"1GB", 1000000000},
                 {"700MiB", 700ull << 20},
                 {"1kib", 1024},
                 {"1.5G", 3ull << 29},
                 {"0.5GiB", 1ull << 29},
                 {"1.0000000009G", 1ull << 30},
                 {"1500000.9", 1500000},
                 {"1.G", 0},
                 {".5G", 0},
                 {"1.5.5G", 0},
                 {"5 M", 0},
                 {"5MBs", 0},
                 {"5B", 0},
                 {"5iB", 0},
                 {"16777215.5G", (16777215ull << 30) + (1ull << 29)},
                 {"99999999999999999999", 0}};
    for (const auto& c : sizes)
        EXPECT_EQ(ParseByteSize(c.pcText), c.qwBytes) << c.pcText;

    const struct
    {
        const char* pcText;
        DWORD dwParts;
    } counts[] = {{"3", 3},          {"4294967295", 4294967295u},
                  {"4294967296", 0}, {"0", 0},
                  {"-3", 0},         {"+3", 0},
                  {"3x", 0},         {"", 0}};
    for (const auto& c : counts)
        EXPECT_EQ(ParsePartCount(c.pcText), c.dwParts) << c.pcText;

    const struct
    {
        const char* pcText;
        int bOk;
        double dLevel;
    } levels[] = {{"-40", 1, -40.0}, {"-37.5", 1, -37.5}, {"-60dB", 1, -60.0}, {"0", 1, 0.0},
                  {"3", 0, 0},       {"-inf", 0, 0},      {"nan", 0, 0},       {"-0x10", 0, 0},
                  {"", 0, 0},        {"-40 dB", 0, 0},    {"x", 0, 0}};
    for (const auto& c : levels)
    {
        double dLevel = 1.0;
        EXPECT_EQ(ParseDecibels(c.pcText, &dLevel), c.bOk) << c.pcText;
        EXPECT_EQ(dLevel, c.bOk ? c.dLevel : 1.0) << c.pcText;
    }
}
