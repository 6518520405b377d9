// Every pause of a whole recording: the window levels read once, the level
// found from them, the pauses, where they cut and what trimming drops.
#include "engine/EveryPause.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace
{
// 16-bit frames from memory; remembers what was asked of it.
class CMemoryFrames : public CMyFrameReader
{
public:
    CMemoryFrames(const std::vector<short>& samples, WORD wChannels)
        : m_Samples(samples), m_wChannels(wChannels)
    {
    }

    const BYTE* ReadFrames(ULONGLONG qwFirst, DWORD dwFrames, DWORD* pdwGot) override
    {
        m_Asked.push_back({qwFirst, qwFirst + dwFrames});
        *pdwGot = dwFrames;
        return (const BYTE*)(m_Samples.data() + qwFirst * m_wChannels);
    }

    std::vector<short> m_Samples;
    WORD m_wChannels;
    std::vector<std::pair<ULONGLONG, ULONGLONG>> m_Asked;
};

// Stereo at 1000 Hz (windows of 10 frames): a square wave of dLoud on both
// channels, dQuiet inside the quiet stretches on the channels of wMask
// (bit 0 left, bit 1 right).
std::vector<short> MakeStereo(ULONGLONG qwFrames,
                              const std::vector<std::pair<ULONGLONG, ULONGLONG>>& quiet,
                              double dLoud, double dQuiet, int nMask = 3)
{
    std::vector<short> samples;
    for (ULONGLONG f = 0; f < qwFrames; ++f)
        for (int c = 0; c < 2; ++c)
        {
            double dLevel = dLoud;
            for (const auto& q : quiet)
                if (f >= q.first && f < q.second && (nMask >> c & 1))
                    dLevel = dQuiet;
            samples.push_back((short)std::lround((f % 2 ? dLevel : -dLevel) * 32767));
        }
    return samples;
}

CMySampleFormat Stereo16()
{
    CMySampleFormat fmt;
    fmt.dwSamplingRate = 1000;
    fmt.wChannels = 2;
    fmt.wBytesPerSample = 2;
    return fmt;
}

std::string Describe(const std::vector<CMyPause>& pauses)
{
    std::string str;
    for (const CMyPause& p : pauses)
        str += std::to_string(p.qwFirst) + "-" + std::to_string(p.qwEnd) + " ";
    return str;
}
} // namespace

// Loud at -20 dBFS, quiet at -50; a pause counts only where both channels
// are quiet, and at either end of the data as well.
TEST(PauseScan, PausesAreTheQuietRunsOfTheLoudestChannel)
{
    const struct
    {
        const char* pcName;
        std::vector<std::pair<ULONGLONG, ULONGLONG>> quiet;
        int nMask;
        ULONGLONG qwMin;
        const char* pcPauses;
    } cases[] = {
        {"inside", {{200, 500}, {700, 720}}, 3, 100, "200-500 "},
        {"short ones too", {{200, 500}, {700, 720}}, 3, 20, "200-500 700-720 "},
        {"at both ends", {{0, 150}, {1850, 2005}}, 3, 100, "0-150 1850-2005 "},
        {"one channel talks", {{200, 500}}, 1, 100, ""},
        {"windows half quiet", {{205, 495}}, 3, 280, "210-490 "},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pcName);
        CMemoryFrames reader(MakeStereo(2005, c.quiet, 0.1, 0.003, c.nMask), 2);
        CMyWindowLevels levels;
        ASSERT_EQ(1, MeasureWindowLevels(&reader, Stereo16(), 2005, -40.0, &levels));
        EXPECT_EQ(201u, levels.Powers.size());
        std::vector<CMyPause> pauses;
        FindPauses(levels, -40.0, c.qwMin, &pauses);
        EXPECT_EQ(c.pcPauses, Describe(pauses));
    }
}

// A long recording is read once, in order, in blocks of many windows.
TEST(PauseScan, TheDataIsReadOnceInLargeBlocks)
{
    const ULONGLONG qwFrames = 3000000 + 7; // 12 MB of 16-bit stereo
    CMemoryFrames reader(std::vector<short>(2 * qwFrames, 100), 2);
    CMyWindowLevels levels;
    ASSERT_EQ(1, MeasureWindowLevels(&reader, Stereo16(), qwFrames, -40.0, &levels));
    ASSERT_GE(reader.m_Asked.size(), 2u);
    EXPECT_LE(reader.m_Asked.size(), 4u);
    ULONGLONG qwNext = 0;
    for (const auto& asked : reader.m_Asked)
    {
        EXPECT_EQ(qwNext, asked.first);
        EXPECT_EQ(0u, (asked.second - asked.first) % 10 * (asked.second != qwFrames));
        qwNext = asked.second;
    }
    EXPECT_EQ(qwFrames, qwNext);
    EXPECT_EQ(qwFrames / 10 + 1, levels.Powers.size());
}

// The level is the floor (the quietest stretch a pause long) plus the
// margin, never above the cap; digital silence counts as -90 dBFS.
TEST(PauseScan, TheAutomaticLevelLiesAboveTheNoiseFloor)
{
    const struct
    {
        double dFloorDb; // most quiet windows; 0: none
        DWORD dwQuiet;   // how many
        double dSoundDb; // the rest of 1000 windows
        DWORD dwMin;     // windows of a pause
        double dLevelDb;
    } cases[] = {
        {-30.0, 300, -10.0, 200, -22.0},
        {-60.0, 300, -10.0, 200, -52.0},
        {-15.0, 300, -5.0, 200, -20.0},
        {-200.0, 300, -10.0, 200, -82.0},
        // Fewer quiet windows than a pause: the floor is in the sound.
        {-45.0, 100, -25.0, 200, -20.0},
        {-45.0, 100, -35.0, 200, -27.0},
    };
    for (const auto& c : cases)
    {
        CMyWindowLevels levels;
        levels.dwWindow = 10;
        for (DWORD i = 0; i < 1000; ++i)
            levels.Powers.push_back(
                (float)pow(10.0, (i % 10 < c.dwQuiet / 100 ? c.dFloorDb : c.dSoundDb) / 10.0));
        EXPECT_NEAR(c.dLevelDb, FindAutoLevel(levels, c.dwMin), 0.01) << c.dFloorDb;
    }
}

// Cuts in the middle of the pauses inside the data, none closer than the
// shortest piece to the cut before or the next fixed cut or the end.
TEST(PauseScan, PausesCutInTheirMiddleUnlessAPieceWouldBeTooShort)
{
    const std::vector<CMyPause> pauses = {{0, 100},     {1000, 1100}, {1500, 1700},
                                          {3000, 3200}, {9000, 9500}, {9800, 10000}};
    const struct
    {
        ULONGLONG qwMinPiece;
        std::vector<ULONGLONG> fixed;
        std::vector<ULONGLONG> cuts;
    } cases[] = {
        {0, {}, {1050, 1600, 3100, 9250}},
        {1000, {}, {1050, 3100}},       // 1600 too near 1050; 9250 too near the end
        {1000, {2000}, {3100}},         // 1050 and 1600 too near the fixed cut
        {500, {1300}, {3100, 9250}},    // 1050 too near 1300
        {0, {1050, 3100}, {1600, 9250}} // on a fixed cut: that one is the cut
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.cuts, PickPauseCuts(pauses, 10000, c.qwMinPiece, c.fixed)) << c.qwMinPiece;
}

// Each piece end in a pause keeps 10 frames of it; what is dropped is
// listed, one stretch where two meet at a cut.
TEST(PauseScan, TrimmingDropsThePauseAudioBeyondWhatIsKept)
{
    const std::vector<CMyPause> pauses = {{0, 100}, {1000, 1100}, {1500, 1505}, {1900, 2000}};
    const struct
    {
        const char* pcName;
        std::vector<std::pair<ULONGLONG, ULONGLONG>> pieces;
        const char* pcKept;
        const char* pcDropped;
    } cases[] = {
        {"cuts in pauses",
         {{0, 1050}, {1050, 2000}},
         "90-1010 1090-1910 ",
         "0-90 1010-1090 1910-2000 "},
        {"cut in sound", {{0, 1200}, {1200, 2000}}, "90-1200 1200-1910 ", "0-90 1910-2000 "},
        {"short pause kept", {{0, 1503}, {1503, 2000}}, "90-1503 1503-1910 ", "0-90 1910-2000 "},
        {"silence alone", {{0, 60}, {60, 2000}}, "0-60 90-1910 ", "60-90 1910-2000 "},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pcName);
        CMyPlan plan;
        for (const auto& p : c.pieces)
        {
            CMyPlanPiece piece;
            piece.qwStart = p.first;
            piece.qwFrames = p.second - p.first;
            piece.dwTailBytes = 3;
            plan.Pieces.push_back(piece);
        }
        TrimPlanPieces(pauses, 10, &plan);
        std::string strKept, strDropped;
        for (const CMyPlanPiece& p : plan.Pieces)
            strKept +=
                std::to_string(p.qwStart) + "-" + std::to_string(p.qwStart + p.qwFrames) + " ";
        for (const CMyPlanPiece& p : plan.Dropped)
        {
            EXPECT_EQ(kCutTrimmed, p.Cut);
            strDropped +=
                std::to_string(p.qwStart) + "-" + std::to_string(p.qwStart + p.qwFrames) + " ";
        }
        EXPECT_EQ(c.pcKept, strKept);
        EXPECT_EQ(c.pcDropped, strDropped);
        EXPECT_EQ(0u, plan.Pieces.back().dwTailBytes); // its end was trimmed
    }
}
