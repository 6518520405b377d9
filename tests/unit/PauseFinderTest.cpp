// Pauses by the level of 10 ms windows, in every sample format, and cuts
// moved back into them.
#include "engine/JobFlags.h"
#include "engine/PauseFinder.h"
#include "engine/PlanCuts.h"

#include "PlanSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace
{
// One sample of value dValue (full scale 1.0) in the format's bytes.
void AppendSample(std::string* pstr, const CMySampleFormat& fmt, double dValue)
{
    char ac[8];
    if (fmt.wSampleFormat == 3 && fmt.wBytesPerSample == 4)
    {
        float f = (float)dValue;
        memcpy(ac, &f, 4);
    }
    else if (fmt.wSampleFormat == 3)
        memcpy(ac, &dValue, 8);
    else if (fmt.wBytesPerSample == 1)
        ac[0] = (char)(BYTE)(128 + (int)(dValue * 127));
    else
    {
        int nBits = 8 * fmt.wBytesPerSample;
        LONGLONG ll = (LONGLONG)(dValue * (double)((1ull << (nBits - 1)) - 1));
        for (int i = 0; i < fmt.wBytesPerSample; ++i)
            ac[i] = (char)(BYTE)(ll >> (8 * i));
    }
    pstr->append(ac, fmt.wBytesPerSample);
}

// A square wave of amplitude dLoud (0.1: -20 dBFS), 0.0079 (-42 dBFS, one
// step of 8-bit samples) inside the quiet stretches.
std::string MakeSignal(const CMySampleFormat& fmt, ULONGLONG qwFrames,
                       const std::vector<std::pair<ULONGLONG, ULONGLONG>>& quiet,
                       double dLoud = 0.1)
{
    std::string str;
    for (ULONGLONG f = 0; f < qwFrames; ++f)
    {
        double dLevel = dLoud;
        for (const auto& q : quiet)
            if (f >= q.first && f < q.second)
                dLevel = 0.0079;
        for (WORD c = 0; c < fmt.wChannels; ++c)
            AppendSample(&str, fmt, (f + c) % 2 == 0 ? dLevel : -dLevel);
    }
    return str;
}

// "start+frames" and the cut's letter for each piece.
std::string DescribeCuts(const CMyPlan& plan)
{
    std::string str;
    for (const CMyPlanPiece& p : plan.Pieces)
        str += std::to_string(p.qwStart) + "+" + std::to_string(p.qwFrames) + "LMPNE"[p.Cut];
    return str;
}

// Mono 16-bit at 1000 Hz, pieces of 1000 frames, a search window of 200.
CMyPlanRule MakePauseRule()
{
    CMyPlanRule rule;
    rule.dwSectionLength = 1000;
    rule.bPause = 1;
    rule.dwPauseWindow = 200;
    rule.dwPauseMin = 50;
    return rule;
}

CMySampleFormat MakeFormat(WORD wBytes, WORD wSampleFormat)
{
    CMySampleFormat fmt;
    fmt.dwSamplingRate = 1000; // 10 frames a window
    fmt.wChannels = 2;
    fmt.wBytesPerSample = wBytes;
    fmt.wSampleFormat = wSampleFormat;
    return fmt;
}
} // namespace

TEST(PauseFinder, FindsTheNearestQuietStretchInEveryFormat)
{
    const CMySampleFormat formats[] = {MakeFormat(1, 1), MakeFormat(2, 1), MakeFormat(3, 1),
                                       MakeFormat(4, 1), MakeFormat(4, 3), MakeFormat(8, 3)};
    // 50 quiet frames are too short for a pause of 300; 400 and 300 are one, and
    // so are the 350 of them inside a search.
    const struct
    {
        ULONGLONG qwFirst, qwEnd;
        double dLevel;
        ULONGLONG qwPauseFirst, qwPauseEnd; // 0, 0: none
    } searches[] = {{0, 1500, -40.0, 1200, 1500}, {0, 1000, -40.0, 300, 700},
                    {0, 1300, -40.0, 300, 700},   {350, 1000, -40.0, 350, 700},
                    {0, 290, -40.0, 0, 0},        {0, 1500, -45.0, 0, 0}};
    for (const CMySampleFormat& fmt : formats)
    {
        std::string strData = MakeSignal(fmt, 1500, {{100, 150}, {300, 700}, {1200, 1500}});
        CMemoryFrames reader(strData, 2u * fmt.wBytesPerSample);
        for (const auto& s : searches)
        {
            CMyPause pause;
            ASSERT_EQ(FindNearestPause(&reader, fmt, s.dLevel, 300, s.qwFirst, s.qwEnd, &pause), 1);
            EXPECT_EQ(pause.qwFirst, s.qwPauseFirst) << fmt.wBytesPerSample << " " << s.qwEnd;
            EXPECT_EQ(pause.qwEnd, s.qwPauseEnd) << fmt.wBytesPerSample << " " << s.qwEnd;
        }
    }
}

TEST(PauseFinder, CutsMoveBackToTheNearestPauseReadingOnlyTheWindows)
{
    CMySampleFormat fmt = MakeFormat(2, 1);
    fmt.wChannels = 1;
    CMemoryFrames reader(MakeSignal(fmt, 3500, {{840, 900}, {2700, 2760}, {2800, 2870}}), 2);
    CMyPlanSource src;
    src.qwDataBytes = 3500 * 2;
    src.dwSamplingRate = 1000;
    src.wBlockSize = 2;
    src.wChannels = 1;
    CMyPlan plan;
    ASSERT_EQ(MakeSplitPlan(src, MakePauseRule(), &reader, &plan), 1);
    std::vector<LONGLONG> shifts;
    for (const CMyPlanPiece& p : plan.Pieces)
        shifts.push_back(p.llShift);
    EXPECT_EQ(DescribeCuts(plan), "0+870P870+1000N1870+965P2835+665E");
    EXPECT_EQ(shifts, (std::vector<LONGLONG>{-130, 0, -35, 0}));
    std::vector<std::pair<ULONGLONG, ULONGLONG>> windows = {
        {800, 1000}, {1670, 1870}, {2670, 2870}};
    EXPECT_EQ(reader.m_Asked, windows);
}

// Speech at -36 dBFS with pauses at -42 on one channel, the others silent: a
// window is as loud as its loudest channel, so the cuts are those of the same
// speech in mono (averaged over six channels all of it lies below -40).
TEST(PauseFinder, OneTalkingChannelOfManyCutsAsMonoDoes)
{
    const struct
    {
        WORD wBytes, wSampleFormat, wChannels, wTalking;
    } cases[] = {{2, 1, 6, 0}, {2, 1, 6, 5}, {3, 1, 6, 2}, {4, 3, 6, 3}, {1, 1, 4, 1}};
    for (const auto& c : cases)
    {
        CMySampleFormat fmt = MakeFormat(c.wBytes, c.wSampleFormat);
        fmt.wChannels = 1;
        std::string strMono =
            MakeSignal(fmt, 3500, {{840, 900}, {2700, 2760}, {2800, 2870}}, 0.0158);
        std::string strSilence;
        AppendSample(&strSilence, fmt, 0.0);
        std::string strMany;
        for (size_t i = 0; i < strMono.size(); i += c.wBytes)
            for (WORD k = 0; k < c.wChannels; ++k)
                strMany += k == c.wTalking ? strMono.substr(i, c.wBytes) : strSilence;

        CMyPlanSource src;
        src.dwSamplingRate = 1000;
        src.wSampleFormat = c.wSampleFormat;
        std::string strCuts[2];
        for (int bMany = 0; bMany < 2; ++bMany)
        {
            src.wChannels = bMany ? c.wChannels : 1;
            src.wBlockSize = (WORD)(src.wChannels * c.wBytes);
            src.qwDataBytes = 3500ull * src.wBlockSize;
            CMemoryFrames reader(bMany ? strMany : strMono, src.wBlockSize);
            CMyPlan plan;
            ASSERT_EQ(MakeSplitPlan(src, MakePauseRule(), &reader, &plan), 1);
            strCuts[bMany] = DescribeCuts(plan);
        }
        EXPECT_EQ(strCuts[0], "0+870P870+1000N1870+965P2835+665E") << c.wBytes << c.wTalking;
        EXPECT_EQ(strCuts[1], strCuts[0]) << c.wBytes << " " << c.wTalking;
    }
}

// An abort (Ctrl-C, the preview's 中止) comes during the first read of a
// search that would take four: planning stops at once, as aborted.
TEST(PauseFinder, AnAbortEndsTheSearchAndThePlanBetweenReads)
{
    class CAbortingFrames : public CMemoryFrames
    {
    public:
        using CMemoryFrames::CMemoryFrames;
        const BYTE* ReadFrames(ULONGLONG qwFirst, DWORD dwFrames, DWORD* pdwGot) override
        {
            g_bAbort.store(1);
            return CMemoryFrames::ReadFrames(qwFirst, dwFrames, pdwGot);
        }
    };
    CMySampleFormat fmt = MakeFormat(2, 1);
    fmt.wChannels = 1;
    CAbortingFrames reader(MakeSignal(fmt, 300000, {}), 2);
    CMyPlanSource src;
    src.qwDataBytes = 300000 * 2;
    src.dwSamplingRate = 1000;
    src.wBlockSize = 2;
    src.wChannels = 1;
    CMyPlanRule rule = MakePauseRule();
    rule.dwSectionLength = 250000;
    rule.dwPauseWindow = 200000; // 65536 frames a read
    CMyPlan plan;
    const int iPlanned = MakeSplitPlan(src, rule, &reader, &plan);
    g_bAbort.store(0);
    EXPECT_EQ(iPlanned, 0);
    EXPECT_EQ(reader.m_Asked.size(), 1u);
    EXPECT_TRUE(plan.Pieces.empty());
    ASSERT_FALSE(plan.Notes.empty());
    EXPECT_STREQ(plan.Notes.back(), "※　中止されたため計画を途中で終えました。MakeSplitPlan()\n");
}
