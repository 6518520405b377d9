// Piece names from templates, and a plan as dry-run lines and CSV rows.
#include "engine/Markers.h"
#include "engine/PieceNames.h"
#include "engine/PlanText.h"
#include "platform/Platform.h"
#include "support/SystemNames.h"

#include "PlanSupport.h"
#include "WaveBuilder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
// Pieces starting at these frames, at 1000 Hz.
CMyPlan PlanStartingAt(std::vector<ULONGLONG> starts)
{
    CMyPlan plan;
    plan.dwSamplingRate = 1000;
    plan.wBlockSize = 2;
    for (ULONGLONG qwStart : starts)
    {
        CMyPlanPiece piece;
        piece.qwStart = qwStart;
        plan.Pieces.push_back(piece);
    }
    return plan;
}

struct TemplateCase
{
    const char* pcTemplate;
    std::vector<ULONGLONG> starts;
    const char* pcNames;
    size_t nNotes;
};
} // namespace

// bext: time reference 10:00:00 at 1000 Hz, recorded 2024-05-06. Markers:
// "intro" at 0, "a/b" at 2000, one without a label at 5000.
TEST(PieceNames, TemplatesGiveTheNamesTabled)
{
    std::vector<CMyMarker> markers(3);
    markers[0].strLabel = "intro";
    markers[1].qwFrame = 2000;
    markers[1].strLabel = "a/b";
    markers[2].qwFrame = 5000;
    std::string strBext = MakeBextBody(36000000);
    memcpy(&strBext[320], "2024-05-06", 10);
    CMyNameFacts withBext;
    ReadBextFacts(strBext, &withBext);
    withBext.strTitle = "talk";
    CMyNameFacts plain;
    plain.strTitle = "talk";

    std::vector<ULONGLONG> thousand(1000);
    const TemplateCase cases[] = {
        {"{title}_{n}", {0, 1}, "talk_001.wav talk_002.wav ", 0},
        {"{title}_{n}_{count}", {0, 1}, "talk_001_2.wav talk_002_2.wav ", 0},
        {"{start}", {0, 61500, 3723000}, "00-00-00.wav 00-01-01.500.wav 01-02-03.wav ", 0},
        {"{date}_{time}", {0, 90000}, "20240506_100000.wav 20240506_100130.wav ", 0},
        {"{label}", {0, 2500, 5000}, "intro.wav a_b.wav 003.wav ", 1},
        {"{label}", {0, 1000, 2000}, "intro.wav intro_2.wav a_b.wav ", 0},
        {"{title}_{n}.wav", {0}, "talk_001.wav ", 0},
        {"{n}.WAV", {0}, "001.wav ", 0},
        {".wav", {0, 1}, "001.wav 002.wav ", 0},
        {"{title}", {0, 1, 2}, "talk.wav talk_2.wav talk_3.wav ", 0},
        {"con", {0}, "con_.wav ", 0},
        {"表{n}", {0}, "表001.wav ", 0}, // its second byte is a backslash, and stays
    };
    for (const TemplateCase& c : cases)
    {
        CMyNameTemplate nameTemplate;
        CString strBad;
        ASSERT_EQ(ParseNameTemplate(c.pcTemplate, &nameTemplate, &strBad), 1) << c.pcTemplate;
        CMyPlan plan = PlanStartingAt(c.starts);
        NamePlanPieces(nameTemplate, withBext, &markers, &plan);
        EXPECT_EQ(PieceNameList(plan), c.pcNames) << c.pcTemplate;
        EXPECT_EQ(plan.Notes.size(), c.nNotes) << c.pcTemplate;
    }
    // Without a bext: {time} falls back to {start}, {date} to nothing; one note each.
    CMyNameTemplate nameTemplate;
    CString strBad;
    ASSERT_EQ(ParseNameTemplate("{date}{time}", &nameTemplate, &strBad), 1);
    CMyPlan plan = PlanStartingAt({0, 1500});
    NamePlanPieces(nameTemplate, plain, nullptr, &plan);
    EXPECT_EQ(PieceNameList(plan), "00-00-00.wav 00-00-01.500.wav ");
    EXPECT_EQ(plan.Notes.size(), 2u);
    // The default gives today's names, from 001 to 1000 and on.
    ASSERT_EQ(ParseNameTemplate(kDefaultNameTemplate, &nameTemplate, &strBad), 1);
    plan = PlanStartingAt(thousand);
    NamePlanPieces(nameTemplate, plain, nullptr, &plan);
    EXPECT_STREQ(plan.Pieces[999].strName, "talk_1000.wav");
}

// One rule for every name's text, a template's own or a label: what the
// system refuses becomes '_'. A recording's own name ({title}) is taken as
// it is.
TEST(PieceNames, CharactersTheSystemRefusesBecomeUnderscores)
{
    const struct
    {
        const char* pcTemplate;
        const char* pcLabel;
        const char* pcWindows;
        const char* pcLinux; // as stored on disk
    } cases[] = {
        {"x?y|{n}:\t", "", "x_y_001__.wav", "x?y|001:_.wav"},
        {"{label}", "a\\b:c*d\"e<f>g", "a_b_c_d_e_f_g.wav", "a\\b:c*d\"e<f>g.wav"},
        {"{label}", "a/b\x01\x7F", "a_b__.wav", "a_b__.wav"},
        {"{title}", "", "t:x.wav", "t:x.wav"},
    };
    for (const auto& c : cases)
    {
        CMyNameTemplate nameTemplate;
        CString strBad;
        ASSERT_EQ(ParseNameTemplate(c.pcTemplate, &nameTemplate, &strBad), 1);
        CMyNameFacts facts;
        facts.strTitle = "t:x";
        std::vector<CMyMarker> markers(1);
        markers[0].strLabel = c.pcLabel;
        CMyPlan plan = PlanStartingAt({0});
        NamePlanPieces(nameTemplate, facts, &markers, &plan);
        std::string strName(plan.Pieces[0].strName);
#ifdef _WIN32
        EXPECT_EQ(strName, c.pcWindows) << c.pcTemplate << c.pcLabel;
#else
        std::string strStored;
        SJisToSystemText(strName.data(), strName.size(), 1, &strStored);
        EXPECT_EQ(strStored, c.pcLinux) << c.pcTemplate << c.pcLabel;
#endif
    }
}

// A label is any bytes: only a lead byte with its trail byte is a character;
// any other byte follows the rules of a byte of its own.
TEST(PieceNames, LabelsThatAreNoTextKeepOnlyWholeCharacters)
{
    const struct
    {
        const char* pcLabel;
        const char* pcName;
    } cases[] = {
        {"\x81/x", "__x.wav"},                        // no separator sneaks in after a lead byte
        {"a\x81", "a_.wav"},                          // a lead byte at the end
        {"\x81\x7F", "__.wav"},                       // 0x7F is no trail byte
        {"\x81\x81/", "\x81\x81_.wav"},               // a pair, then a byte of its own
        {"\x83\x5C\xFC\x40", "\x83\x5C\xFC\x40.wav"}, // trail bytes that look like '\' or '@'
    };
    CMyNameTemplate nameTemplate;
    CString strBad;
    ASSERT_EQ(ParseNameTemplate("{label}", &nameTemplate, &strBad), 1);
    CMyNameFacts facts;
    for (const auto& c : cases)
    {
        std::vector<CMyMarker> markers(1);
        markers[0].strLabel = c.pcLabel;
        CMyPlan plan = PlanStartingAt({0});
        NamePlanPieces(nameTemplate, facts, &markers, &plan);
        EXPECT_STREQ(plan.Pieces[0].strName, c.pcName) << c.pcName;
    }
}

// Names longer than the system takes are cut before ".wav", or before the
// "_2" of the second, after a whole character, as long as fits: one
// character more would not. One note for the file.
TEST(PieceNames, NamesTooLongAreCutToTheLimitAfterWholeCharacters)
{
    std::string strKana, strSo;
    for (int i = 0; i < 300; i++)
    {
        strKana += "\x82\xA0"; // a hiragana letter
        strSo += "\x83\x5C";   // its trail byte looks like a backslash
    }
    const std::string strLatin(300, 'x');
    CMyNameTemplate nameTemplate;
    CString strBad;
    ASSERT_EQ(ParseNameTemplate("{label}", &nameTemplate, &strBad), 1);
    CMyNameFacts facts;
    for (const std::string& label : {strLatin, strKana, strSo})
    {
        std::vector<CMyMarker> markers(1);
        markers[0].strLabel = label.c_str();
        CMyPlan plan = PlanStartingAt({0, 1});
        NamePlanPieces(nameTemplate, facts, &markers, &plan);
        const size_t nChar = label[0] == 'x' ? 1 : 2;
        const char* const kEnds[] = {".wav", "_2.wav"};
        for (int i = 0; i < 2; i++)
        {
            std::string name(plan.Pieces[i].strName);
            size_t nEnd = strlen(kEnds[i]);
            ASSERT_GT(name.size(), nEnd);
            std::string stem = name.substr(0, name.size() - nEnd);
            EXPECT_EQ(kEnds[i], name.substr(stem.size()));
            EXPECT_EQ(0u, label.find(stem)) << name;
            EXPECT_EQ(0u, stem.size() % nChar) << name;
            EXPECT_TRUE(FitsNameLimit("", name.c_str())) << name;
            std::string longer = label.substr(0, stem.size() + nChar) + kEnds[i];
            EXPECT_FALSE(FitsNameLimit("", longer.c_str())) << name;
        }
        EXPECT_EQ(2u, plan.dwShortNames);
        EXPECT_EQ(1u, plan.Notes.size());
    }
}

TEST(PieceNames, UnknownFieldsAreRefused)
{
    const struct
    {
        const char* pcTemplate;
        const char* pcBad;
    } cases[] = {{"{title}_{N}", "{N}"}, {"{nn}", "{nn}"}, {"a{n", "{"}, {"{}", "{}"}};
    for (const auto& c : cases)
    {
        CMyNameTemplate nameTemplate;
        CString strBad;
        EXPECT_EQ(ParseNameTemplate(c.pcTemplate, &nameTemplate, &strBad), 0) << c.pcTemplate;
        EXPECT_STREQ(strBad, c.pcBad);
    }
}

TEST(PlanText, LinesAndCsvRowsSayWhyEachPieceEnds)
{
    CMyPlanPiece piece;
    piece.qwStart = 3723004; // frames at 1000 Hz
    piece.qwFrames = 180000;
    const struct
    {
        PlanCut Cut;
        LONGLONG llShift;
        const char* pcReason;
    } reasons[] = {{kCutLength, 0, "length"},
                   {kCutMarker, 0, "marker \"a,\"b\""},
                   {kCutPause, -1236, "pause -1.24 s"},
                   {kCutNoPause, 0, "no pause"},
                   {kCutEnd, 0, "end"}};
    piece.strLabel = "a,\"b";
    for (const auto& r : reasons)
    {
        piece.Cut = r.Cut;
        piece.llShift = r.llShift;
        EXPECT_STREQ(FormatCutReason(piece, 1000), r.pcReason);
    }
    piece.Cut = kCutMarker;
    EXPECT_STREQ(FormatPlanLine("out/a_001.wav", piece, 1000),
                 "out/a_001.wav\t01:02:03.004\t00:03:00.000\tmarker \"a,\"b\"\n");
    // The label becomes UTF-8; fields with commas or quotes are quoted.
    piece.strLabel = "序";
    EXPECT_EQ(FormatPlanCsvRow("\xE5\x87\xBA\xE5\x8A\x9B,1.wav", "in,\"1\".wav", piece, 1000,
                               kStatusCutShort),
              "\"\xE5\x87\xBA\xE5\x8A\x9B,1.wav\",01:02:03.004,00:03:00.000,"
              "\"marker \"\"\xE5\xBA\x8F\"\"\",\"in,\"\"1\"\".wav\",3723004,180000,cut short\r\n");
    EXPECT_STREQ(GetPlanCsvHeader(),
                 "path,start,length,reason,source,start_frame,frames,status\r\n");
}
