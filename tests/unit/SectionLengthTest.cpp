// Section length text and piece size.
#include "TestSupport.h"
#include "engine/SectionLength.h"

#include <gtest/gtest.h>

namespace
{
struct LengthCase
{
    const char* pcText;
    DWORD dwExpected;
};

const LengthCase kLengthCases[] = {
    {"00:03:00", 180000},
    {"1:30", 90000},
    {"90", 90000},
    {"1.5", 1500},
    {"1.2", 1200}, // x87 extended precision would give 1199
    {"0:0:4.35", 4350},
    {"1.001", 1000}, // the double nearest 1.001, times 1000, rounds below 1001
    {"25:00:00", 90000000},
    {"1.2.3", 1200}, // reading stops where the number cannot go on
    // Malformed text gives 0.
    {"", 0},
    {":", 0},
    {"::", 0},
    {"1:2:3:4", 0},
    {"1:3a", 0},
    {"-1", 0},
    {"1,5", 0},
    {"1\t5", 0},
    {"1　5", 0},  // full-width space
    {"１:00", 0}, // full-width digit
    // Spaces are removed wherever they stand.
    {"0 1 : 3 0", 90000},
    {" 00:03:00 ", 180000},
    // Empty fields.
    {"1:2:", 62000},
    {":5", 5000},
    {"::5", 5000},
    {"1::5", 3605000},
    {"1:", 1000},
    // Zero and below a millisecond.
    {"0", 0},
    {"00:00:00", 0},
    {"0.0004", 0},
    {"0.001", 1},
    // Minutes and hours are whole numbers.
    {"1.5:00", 60000},
    {"1:1.9:00", 3660000},
    // The largest length, and everything beyond it.
    {"1193:02:47.295", 4294967295u},
    {"1193:02:47.296", 0}, // exactly 2^32
    {"1193:02:47.297", 0}, // would wrap to 1
    {"71582:47.295", 4294967295u},
    {"71583:00", 0},    // minutes alone beyond 32 bits
    {"1194:00:00", 0},  // hours alone beyond 32 bits
    {"4294967.296", 0}, // seconds alone beyond 32 bits
    {"99999999999999999999", 0},
    {"99999999999:00", 0}, // minutes beyond the signed 32-bit range
    {"9999999999999999999999:00:00", 0},
};
} // namespace

TEST(SectionLength, ParsesAndRefuses)
{
    for (const LengthCase& c : kLengthCases)
        EXPECT_EQ(ParseSectionLength(c.pcText), c.dwExpected) << "text: " << c.pcText;
    EXPECT_EQ(ParseSectionLength(nullptr), 0u);
}

TEST(SectionLength, HostReadingTracesEveryResult)
{
    EXPECT_EQ(ReadSectionLengthText("1:30"), 90000u);
    EXPECT_EQ(ReadSectionLengthText("x"), 0u);
    EXPECT_EQ(ReadTrace(), "SectorSize = 90000 [ms]\nSectorSize = 0 [ms]\n");
}

TEST(SectionLength, PieceSizeIsWholeFramesIn64Bits)
{
    struct PieceCase
    {
        DWORD dwRate;
        WORD wBlock;
        DWORD dwMs;
        ULONGLONG qwExpected;
    };
    const PieceCase kCases[] = {
        {44100, 4, 180000, 31752000ull},
        {44100, 4, 1, 176ull}, // 44.1 frames: cut down to 44
        {8000, 1, 1, 8ull},
        {999, 2, 1, 0ull}, // shorter than one frame
        {1, 8, 999, 0ull},
        {48000, 6, 3600000, 1036800000ull},
        // Beyond 32 bits: the 32-bit products would have wrapped.
        {200000, 8, 0xFFFFFFFFu, 6871947672000ull},
        {192000, 8, 3000000, 4608000000ull},
    };
    for (const PieceCase& c : kCases)
        EXPECT_EQ(CalcPieceSize(c.dwRate, c.wBlock, c.dwMs), c.qwExpected)
            << c.dwRate << " Hz, block " << c.wBlock << ", " << c.dwMs << " ms";
}
