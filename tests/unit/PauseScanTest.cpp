// Every pause of a whole recording: the window levels read once, the level
// found from them, the pauses, where they cut and what trimming drops.
#include "engine/EveryPause.h"
#include "engine/PlanCuts.h"

#include "PlanSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace
{
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

std::string DescribePauses(const std::vector<CMyPause>& pauses)
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
        ASSERT_EQ(1, MeasureWindowLevels(&reader, Stereo16(), 2005, -40.0, c.qwMin, &levels));
        EXPECT_EQ(201u, levels.Powers.size());
        std::vector<CMyPause> pauses;
        FindPauses(levels, -40.0, c.qwMin, &pauses);
        EXPECT_EQ(c.pcPauses, DescribePauses(pauses));
    }
}

// The power of the louder channel in every sample format, measured until
// the cap is passed; a sample that is no number is loud.
TEST(PauseScan, WindowPowerIsTheLouderChannelsInEveryFormat)
{
    const struct
    {
        WORD wBytes, wFormat;
    } formats[] = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 3}, {8, 3}};
    for (const auto& f : formats)
    {
        CMySampleFormat fmt = Stereo16();
        fmt.wBytesPerSample = f.wBytes;
        fmt.wSampleFormat = f.wFormat;
        // 100 frames: left at +-0.25, right at +-0.5 (8-bit: 32 and 64 steps).
        std::string str;
        for (int i = 0; i < 100; ++i)
            for (double d : {0.25, 0.5})
            {
                const double v = i % 2 ? d : -d;
                char ac[8] = {};
                if (f.wFormat == 3 && f.wBytes == 4)
                {
                    const float fl = (float)v;
                    memcpy(ac, &fl, 4);
                }
                else if (f.wFormat == 3)
                    memcpy(ac, &v, 8);
                else if (f.wBytes == 1)
                    ac[0] = (char)(BYTE)(128 + (int)(v * 128));
                else
                {
                    const LONGLONG ll = (LONGLONG)(v * (double)(1ull << (8 * f.wBytes - 1)));
                    for (int k = 0; k < f.wBytes; ++k)
                        ac[k] = (char)(BYTE)(ll >> (8 * k));
                }
                str.append(ac, f.wBytes);
            }
        const BYTE* pb = (const BYTE*)str.data();
        EXPECT_DOUBLE_EQ(0.25, MeasureWindowPower(pb, 100, fmt, 1.0)) << f.wBytes << f.wFormat;
        // Past a cap of 0.1 after the first samples: at least the cap.
        EXPECT_GE(MeasureWindowPower(pb, 100, fmt, 0.1), 0.1);
        EXPECT_LT(MeasureWindowPower(pb, 100, fmt, 0.1), 0.25);
        if (f.wFormat == 3)
        {
            const double dNan = std::nan("");
            const float fNan = (float)dNan;
            memcpy(&str[2 * f.wBytes * 10], f.wBytes == 4 ? (const void*)&fNan : &dNan, f.wBytes);
            EXPECT_GE(MeasureWindowPower((const BYTE*)str.data(), 100, fmt, 1.0), 1.0);
        }
    }
}

// Only windows a pause could hold are measured (the skipping shows in the
// benchmark): the pauses are those every window's level gives.
TEST(PauseScan, WindowsNoPauseCanHoldAreLeftUnmeasured)
{
    CMemoryFrames reader(
        MakeStereo(5000, {{0, 130}, {1234, 1789}, {2500, 2620}, {3001, 4400}, {4950, 5000}}, 0.1,
                   0.003),
        2);
    for (ULONGLONG qwMin : {40, 120, 300, 600})
    {
        CMyWindowLevels every, needed;
        ASSERT_EQ(1, MeasureWindowLevels(&reader, Stereo16(), 5000, -40.0, 1, &every));
        ASSERT_EQ(1, MeasureWindowLevels(&reader, Stereo16(), 5000, -40.0, qwMin, &needed));
        std::vector<CMyPause> expected, pauses;
        FindPauses(every, -40.0, qwMin, &expected);
        FindPauses(needed, -40.0, qwMin, &pauses);
        EXPECT_EQ(DescribePauses(expected), DescribePauses(pauses)) << qwMin;
    }
}

// A long recording is read once, in order, in blocks of whole windows of
// about 1 MiB.
TEST(PauseScan, TheDataIsReadOnceInLargeBlocks)
{
    const ULONGLONG qwFrames = 3000000 + 7; // 12 MB of 16-bit stereo
    CMemoryFrames reader(std::vector<short>(2 * qwFrames, 100), 2);
    CMyWindowLevels levels;
    ASSERT_EQ(1, MeasureWindowLevels(&reader, Stereo16(), qwFrames, -40.0, 2000, &levels));
    ULONGLONG qwNext = 0;
    for (const auto& asked : reader.m_Asked)
    {
        EXPECT_EQ(qwNext, asked.first);
        if (asked.second != qwFrames)
        {
            EXPECT_EQ(0x100000u / 40 * 10, asked.second - asked.first);
        }
        qwNext = asked.second;
    }
    EXPECT_EQ(qwFrames, qwNext);
    EXPECT_EQ(qwFrames / 10 + 1, levels.Powers.size());
}

// The level is the floor (what the quietest stretch a pause long stays
// below) plus the margin, never above the cap; digital silence counts as -90
// dBFS.
TEST(PauseScan, TheAutomaticLevelLiesAboveTheNoiseFloor)
{
    const struct
    {
        double adQuietDb[2]; // the first windows, alternating
        DWORD dwQuiet;       // how many
        double dSoundDb;     // the rest of 1000 windows
        double dLevelDb;
    } cases[] = {
        {{-30, -30}, 300, -10, -24},
        {{-60, -60}, 300, -10, -54},
        {{-66, -60}, 300, -10, -54},
        {{-15, -15}, 300, -5, -20},
        {{-200, -200}, 300, -10, -84},
        // Fewer quiet windows than a pause: the floor is in the sound.
        {{-45, -45}, 100, -35, -29},
        {{-45, -45}, 100, -25, -20},
    };
    for (const auto& c : cases)
    {
        CMyWindowLevels levels;
        levels.dwWindow = 10;
        for (DWORD i = 0; i < 1000; ++i)
            levels.Powers.push_back(
                (float)pow(10.0, (i < c.dwQuiet ? c.adQuietDb[i % 2] : c.dSoundDb) / 10.0));
        EXPECT_NEAR(c.dLevelDb, FindAutoLevel(levels, 200), 0.01) << c.adQuietDb[0];
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

// Pauses at 0-300, 2000-2600, 5000-5400 and 9700-10000 of 10000 frames: the
// inner ones cut, then the rule cuts what lies between, markers join in, a
// shortest piece leaves a pause out, and trimming keeps 100 frames of each.
TEST(PauseScan, EveryPausePlansWithTheRuleAndTheMarkers)
{
    const std::vector<std::pair<ULONGLONG, ULONGLONG>> quiet = {
        {0, 300}, {2000, 2600}, {5000, 5400}, {9700, 10000}};
    const std::vector<short> samples = MakeStereo(10000, quiet, 0.1, 0.003);
    CMyPlanSource src;
    src.qwDataBytes = 40000;
    src.dwSamplingRate = 1000;
    src.wBlockSize = 4;
    src.wChannels = 2;
    std::vector<CMyFixedCut> marker(1);
    marker[0].qwFrame = 3000;
    marker[0].Cut = kCutList;
    const struct
    {
        const char* pcName;
        PlanRuleKind kind;
        DWORD dwMinPiece;
        int bTrim, bMarker;
        const char* pcPieces;
        const char* pcDropped;
    } cases[] = {
        {"alone", kRuleWhole, 0, 0, 0, "0+2300V 2300+2900V 5200+4800E ", ""},
        {"length 2 s", kRuleLength, 0, 0, 0,
         "0+2000L 2000+300V 2300+2000L 4300+900V 5200+2000L 7200+2000L 9200+800E ", ""},
        {"a cut given", kRuleWhole, 0, 0, 1, "0+2300V 2300+700C 3000+2200V 5200+4800E ", ""},
        {"pieces of 3 s", kRuleWhole, 3000, 0, 0, "0+5200V 5200+4800E ", ""},
        {"trimmed", kRuleWhole, 0, 1, 0, "200+1900V 2500+2600V 5300+4500E ",
         "0+200T 2100+400T 5100+200T 9800+200T "},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pcName);
        CMyPlanRule rule;
        rule.Kind = c.kind;
        rule.dwSectionLength = 2000;
        rule.bEveryPause = 1;
        rule.dwPauseMin = 300;
        rule.dwMinPiece = c.dwMinPiece;
        rule.bTrim = c.bTrim;
        src.pCuts = c.bMarker ? &marker : nullptr;
        CMemoryFrames reader(samples, 2);
        CMyPlan plan;
        ASSERT_EQ(1, MakeSplitPlan(src, rule, &reader, &plan));
        std::string strPieces, strDropped;
        for (const CMyPlanPiece& p : plan.Pieces)
            strPieces += std::to_string(p.qwStart) + "+" + std::to_string(p.qwFrames) +
                         "LMPNECVT"[p.Cut] + " ";
        for (const CMyPlanPiece& p : plan.Dropped)
            strDropped += std::to_string(p.qwStart) + "+" + std::to_string(p.qwFrames) +
                          "LMPNECVT"[p.Cut] + " ";
        EXPECT_EQ(c.pcPieces, strPieces);
        EXPECT_EQ(c.pcDropped, strDropped);
        EXPECT_TRUE(plan.Notes.empty());
    }
}

// The level found is traced once per file, and used by -p too.
TEST(PauseScan, TheLevelFoundIsTracedAndMovesLengthCuts)
{
    // Noise at -30 dBFS between sound at -20: -40 finds nothing.
    const std::vector<short> samples = MakeStereo(3000, {{1200, 1700}}, 0.1, 0.03);
    CMyPlanSource src;
    src.qwDataBytes = 12000;
    src.dwSamplingRate = 1000;
    src.wBlockSize = 4;
    src.wChannels = 2;
    CMyPlanRule rule;
    rule.dwSectionLength = 2000;
    rule.bPause = 1;
    rule.dwPauseWindow = 1000;
    for (int bAuto = 0; bAuto < 2; ++bAuto)
    {
        rule.bAutoLevel = bAuto;
        CMemoryFrames reader(samples, 2);
        CMyPlan plan;
        ASSERT_EQ(1, MakeSplitPlan(src, rule, &reader, &plan));
        ASSERT_EQ(2u, plan.Pieces.size());
        EXPECT_EQ(bAuto ? 1450u : 2000u, plan.Pieces[0].qwFrames);
        ASSERT_EQ(bAuto ? 1u : 0u, plan.Notes.size());
        if (bAuto)
        {
            EXPECT_STREQ("無音の音量を録音から -24.5 dB と決めました。\n", plan.Notes[0]);
        }
    }
}
