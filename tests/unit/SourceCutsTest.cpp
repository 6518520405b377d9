// The user's cuts of one source: the list's group chosen by the source's
// path, its times turned into the source's frames, and the pieces named.
#include "engine/Markers.h"
#include "engine/PieceNames.h"
#include "engine/SourceCuts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
CMyCutGroup Group(const char* pcSource, std::vector<ULONGLONG> millis)
{
    CMyCutGroup group;
    group.strSource = pcSource;
    for (ULONGLONG qwMs : millis)
    {
        CMyListCut cut;
        cut.Time.qwUnits = qwMs;
        cut.Time.dwPerSecond = 1000;
        group.Cuts.push_back(cut);
    }
    return group;
}

CMyFixedCut Cut(ULONGLONG qwFrame, const char* pcLabel, const char* pcPerformer)
{
    CMyFixedCut cut;
    cut.qwFrame = qwFrame;
    cut.Cut = kCutList;
    cut.strLabel = pcLabel;
    cut.strPerformer = pcPerformer;
    return cut;
}

std::string Frames(const std::vector<CMyFixedCut>& cuts)
{
    std::string str;
    for (const CMyFixedCut& cut : cuts)
        str += std::to_string(cut.qwFrame) + " ";
    return str;
}
} // namespace

// A group naming the source's path comes first, then one naming its file
// (letter case and folders aside), then one for every source.
TEST(SourceCuts, EachSourceTakesTheGroupThatNamesIt)
{
    CMyCutList list;
    list.Groups = {Group("B.WAV", {}), Group("/in/b.wav", {}), Group("", {})};
    const struct
    {
        const char* pcPath;
        int iGroup; // -1: none
    } cases[] = {{"/in/b.wav", 1}, {"\\in\\b.wav", 1}, {"/x/b.wav", 0}, {"/x/c.wav", 2}};
    for (const auto& c : cases)
        EXPECT_EQ(FindCutGroup(list, c.pcPath), &list.Groups[c.iGroup]) << c.pcPath;
    list.Groups.pop_back();
    EXPECT_EQ(FindCutGroup(list, "/x/c.wav"), nullptr);
}

// At 1000 Hz and 10000 frames: sorted, at 0 kept (it may name the first
// piece), at or past the end left out and named; a source no list names is
// noted.
TEST(SourceCuts, TimesBecomeTheSourcesFrames)
{
    CMyRunCuts runCuts;
    runCuts.Listed.Groups = {Group("a.wav", {2000, 0, 12000, 10000})};
    runCuts.Listed.Groups[0].Cuts[1].strLabel = "lead";
    std::vector<CMyFixedCut> cuts;
    std::vector<CString> notes;
    ASSERT_EQ(MakeSourceCuts(runCuts, "/in/a.wav", 1000, 10000, &cuts, &notes), 1);
    EXPECT_EQ(Frames(cuts), "0 2000 ");
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_STREQ(notes[0], "データの末尾か、それより後の区切りは使いません。\n"
                           "\tCount[2], First[00:00:10.000]\n");

    notes.clear();
    EXPECT_EQ(MakeSourceCuts(runCuts, "/in/z.wav", 1000, 10000, &cuts, &notes), 0);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_STREQ(notes[0], "区切りリストにこのファイルの区切りがないため、区切りリストでは"
                           "区切りません。\n");
    // Times typed apply to every source, and join a list's; one at 0 names
    // nothing, and is named.
    runCuts.Typed.Groups = {Group("", {1500, 0})};
    notes.clear();
    ASSERT_EQ(MakeSourceCuts(runCuts, "/in/z.wav", 1000, 10000, &cuts, &notes), 1);
    EXPECT_EQ(Frames(cuts), "0 1500 ");
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_STREQ(notes[0], "データの先頭の区切りは使いません。\n\tCount[1]\n");
    runCuts.Typed.Groups = {Group("", {1500})};
    ASSERT_EQ(MakeSourceCuts(runCuts, "/in/A.WAV", 1000, 10000, &cuts, &notes), 1);
    EXPECT_EQ(Frames(cuts), "0 1500 2000 ");
}

// The piece that starts at a cut, and those after it up to the next, take
// its label and performer; on a frame the first with a label. A marker names
// the piece where it is later than the cut, or on its frame with a label.
TEST(SourceCuts, PiecesTakeTheLabelAndPerformerOfTheirCut)
{
    const std::vector<CMyFixedCut> cuts = {Cut(0, "00", "P"), Cut(1000, "", ""),
                                           Cut(1000, "one", "Q"), Cut(3000, "", "")};
    std::vector<CMyMarker> markers(2);
    markers[0].strLabel = "intro";
    markers[1].qwFrame = 2000;
    markers[1].strLabel = "m2";
    const struct
    {
        const std::vector<CMyMarker>* pMarkers;
        std::vector<ULONGLONG> starts;
        const char* pcNames;
        size_t nNotes;
    } cases[] = {
        {nullptr, {0, 500, 1000, 3000}, "00-P.wav 00-P_2.wav one-Q.wav 004-.wav ", 2},
        {&markers, {0, 1000, 2000, 2500}, "intro-P.wav one-Q.wav m2-Q.wav m2-Q_2.wav ", 0},
    };
    CMyNameTemplate nameTemplate;
    CString strBad;
    ASSERT_EQ(ParseNameTemplate("{label}-{performer}", &nameTemplate, &strBad), 1);
    CMyNameFacts facts;
    for (const auto& c : cases)
    {
        CMyPlan plan;
        plan.dwSamplingRate = 1000;
        plan.wBlockSize = 2;
        for (ULONGLONG qwStart : c.starts)
        {
            plan.Pieces.push_back(CMyPlanPiece());
            plan.Pieces.back().qwStart = qwStart;
        }
        NamePlanPieces(nameTemplate, facts, c.pMarkers, &plan, &cuts);
        std::string strNames;
        for (const CMyPlanPiece& piece : plan.Pieces)
            strNames += std::string(piece.strName) + " ";
        EXPECT_EQ(strNames, c.pcNames);
        EXPECT_EQ(plan.Notes.size(), c.nNotes);
    }
}
