// Plans written as a cue sheet and as a label list, and read back as cuts.
#include "engine/CutList.h"
#include "engine/PlanForms.h"

#include <gtest/gtest.h>

#include <string>

TEST(PlanForms, FormFollowsTheExtension)
{
    EXPECT_EQ(GetPlanForm("p.cue"), kPlanCue);
    EXPECT_EQ(GetPlanForm("/x/P.TXT"), kPlanLabels);
    EXPECT_EQ(GetPlanForm("p.csv"), kPlanCsv);
    EXPECT_EQ(GetPlanForm("cue"), kPlanCsv);
    EXPECT_EQ(GetPlanForm("p.cues"), kPlanCsv);
}

// A label list's times have 6 decimals: every frame, even at 200 kHz, reads
// back as itself. A cue sheet's start is rounded down to its 75th of a second.
TEST(PlanForms, WrittenStartsReadBackAsTheSameCuts)
{
    for (DWORD dwRate : {8000u, 44100u, 48000u, 192000u, 200000u})
        for (ULONGLONG qwFrame = 0; qwFrame < 3000000000ull; qwFrame = qwFrame * 3 + 7)
        {
            SCOPED_TRACE(std::to_string(dwRate) + " Hz, frame " + std::to_string(qwFrame));
            CMyCutList list;
            CMyCutListError error;
            const std::string strLabels = FormatPlanLabel("t", qwFrame, 1, dwRate);
            ASSERT_TRUE(IsPlanLabelStart(strLabels));
            ASSERT_EQ(ReadCutList(strLabels, &list, &error), 1) << strLabels;
            EXPECT_EQ(FramesOfCutTime(list.Groups[0].Cuts[0].Time, dwRate), qwFrame);
            EXPECT_EQ(FramesOfCutTime(list.Groups[0].Cuts[1].Time, dwRate), qwFrame + 1);

            const std::string strCue = std::string(GetPlanCueHeader()) +
                                       FormatPlanCueFile("a.wav") +
                                       FormatPlanCueTrack(1, "t", qwFrame, dwRate);
            ASSERT_EQ(ReadCutList(strCue, &list, &error), 1) << strCue;
            const ULONGLONG qwCue = qwFrame * 75 / dwRate; // no overflow below 2^40 frames
            const ULONGLONG qwBack = FramesOfCutTime(list.Groups[0].Cuts.back().Time, dwRate);
            EXPECT_EQ(qwBack, (qwCue * dwRate + 37) / 75) << strCue;
        }
}

TEST(PlanForms, TextsAsWritten)
{
    EXPECT_EQ(FormatPlanCueTrack(7, "a \"b\"", 44100 * 3723 + 589, 44100),
              "  TRACK 07 AUDIO\r\n    TITLE \"a 'b'\"\r\n    INDEX 01 62:03:01\r\n");
    EXPECT_EQ(FormatPlanLabel("x_001", 1, 44099, 44100), "0.000023\t1.000000\tx_001\r\n");
    EXPECT_FALSE(IsPlanLabelStart("0.0\t1.5\tverse\n"));
    EXPECT_FALSE(IsPlanLabelStart("0.000000 1.000000\tx\n"));
}

// One writer for --plan and the window: a stretch left out is a CSV row
// only; a cue sheet's FILE line comes before the track it is given with.
TEST(PlanForms, FileRowsOfEachForm)
{
    CMyPlanPiece piece;
    piece.qwStart = 8000;
    piece.qwFrames = 4000;
    piece.Cut = kCutEnd;
    CMyPlanPiece dropped = piece;
    dropped.Cut = kCutTrimmed;
    CMyPlanFileRow row;
    row.strPath = "o/a_2.wav";
    row.strSource = "r/a.wav";
    row.strTitle = "a_2";
    DWORD dwTrack = 4;
    EXPECT_EQ(FormatPlanFileRow(kPlanLabels, row, piece, 8000, kStatusPlanned, &dwTrack),
              "1.000000\t1.500000\ta_2\r\n");
    EXPECT_EQ(FormatPlanFileRow(kPlanLabels, row, dropped, 8000, kStatusPlanned, &dwTrack), "");
    EXPECT_EQ(FormatPlanFileRow(kPlanCue, row, dropped, 8000, kStatusPlanned, &dwTrack), "");
    EXPECT_EQ(FormatPlanFileRow(kPlanCsv, row, dropped, 8000, kStatusPlanned, &dwTrack),
              "o/a_2.wav,00:00:01.000,00:00:00.500,trimmed,r/a.wav,8000,4000,dropped\r\n");
    row.strSourceName = "a.wav";
    EXPECT_EQ(FormatPlanFileRow(kPlanCue, row, piece, 8000, kStatusPlanned, &dwTrack),
              "FILE \"a.wav\" WAVE\r\n  TRACK 05 AUDIO\r\n    TITLE \"a_2\"\r\n"
              "    INDEX 01 00:01:00\r\n");
    EXPECT_EQ(dwTrack, 5u);
    EXPECT_STREQ(GetPlanFileHeader(kPlanLabels), "");
}
