// Plans as tables: frames in, pieces out.
#include "engine/Markers.h"
#include "engine/PlanCuts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// "start+frames" and the cut's letter (Length, Marker, Pause, No pause, End,
// Cut the user gave) for each piece.
std::string DescribePieces(const CMyPlan& plan)
{
    std::string str;
    for (const CMyPlanPiece& p : plan.Pieces)
        str += std::to_string(p.qwStart) + "+" + std::to_string(p.qwFrames) + "LMPNEC"[p.Cut] + " ";
    return str;
}

CMyPlanSource MakeSource(ULONGLONG qwBytes, DWORD dwRate, WORD wBlock)
{
    CMyPlanSource src;
    src.qwDataBytes = qwBytes;
    src.dwSamplingRate = dwRate;
    src.wBlockSize = wBlock;
    src.wChannels = 1;
    src.dwHeadLength = 44;
    src.dwHeadLengthRf64 = 80;
    return src;
}

CMyMarker MakeMarker(DWORD dwId, ULONGLONG qwFrame, const char* pcLabel)
{
    CMyMarker marker;
    marker.dwId = dwId;
    marker.qwFrame = qwFrame;
    marker.strLabel = pcLabel;
    return marker;
}

struct FixedCase
{
    const char* pcName;
    ULONGLONG qwBytes;
    DWORD dwRate;
    WORD wBlock;
    DWORD dwMs;
    const char* pcPieces;
    DWORD dwTail; // of the last piece
    int bRest;    // of the last piece
};
} // namespace

// The split has always cut CalcPieceSize bytes while a whole piece remained,
// then the rest, a partial frame included, after a "RestDataSize" line.
TEST(PlanCuts, FixedLengthCutsAsTheSplitAlwaysHas)
{
    const ULONGLONG kBig = 192000ull * 8 * 3000; // a piece beyond 32 bits
    const FixedCase cases[] = {
        {"three whole pieces", 3000, 100, 4, 2500, "0+250L 250+250L 500+250E ", 0, 0},
        {"shorter than a piece", 1000, 1000, 4, 1000, "0+250E ", 0, 1},
        {"a rest", 2600, 100, 4, 5000, "0+500L 500+150E ", 0, 1},
        {"a partial frame after whole pieces", 2002, 100, 4, 5000, "0+500L 500+0E ", 2, 1},
        {"a partial frame in the rest", 2003, 100, 4, 3000, "0+300L 300+200E ", 3, 1},
        {"pieces beyond 32 bits", 2 * kBig + 8, 192000, 8, 3000000,
         "0+576000000L 576000000+576000000L 1152000000+1E ", 0, 1},
        {"no data", 0, 44100, 4, 180000, "", 0, 0},
    };
    for (const FixedCase& c : cases)
    {
        CMyPlan plan;
        CMyPlanRule rule;
        rule.dwSectionLength = c.dwMs;
        ASSERT_EQ(MakeSplitPlan(MakeSource(c.qwBytes, c.dwRate, c.wBlock), rule, nullptr, &plan), 1)
            << c.pcName;
        EXPECT_EQ(DescribePieces(plan), c.pcPieces) << c.pcName;
        if (plan.Pieces.empty())
            continue;
        EXPECT_EQ(plan.Pieces.back().dwTailBytes, c.dwTail) << c.pcName;
        EXPECT_EQ(plan.Pieces.back().bRest, c.bRest) << c.pcName;
        ULONGLONG qwTotal = 0;
        for (size_t i = 0; i < plan.Pieces.size(); ++i)
            qwTotal += plan.GetPieceBytes(i);
        EXPECT_EQ(qwTotal, c.qwBytes) << c.pcName;
    }
    CMyPlan plan;
    CMyPlanRule rule;
    rule.dwSectionLength = 1; // below one frame at 800 Hz
    EXPECT_EQ(MakeSplitPlan(MakeSource(4000, 800, 4), rule, nullptr, &plan), 0);
    ASSERT_EQ(plan.Notes.size(), 1u);
    EXPECT_STREQ(plan.Notes[0], "※　区間長が1サンプルより短いため分割できません。\n");
}

struct RuleCase
{
    const char* pcName;
    ULONGLONG qwFrames;
    CMyPlanRule rule;
    const char* pcPieces; // empty: refused
};

// A rule of the kind with its one number (milliseconds, parts or bytes).
CMyPlanRule MakeRule(PlanRuleKind kind, ULONGLONG qwValue, int bMarkers)
{
    CMyPlanRule rule;
    rule.Kind = kind;
    rule.dwSectionLength = (DWORD)qwValue;
    rule.dwParts = (DWORD)qwValue;
    rule.qwMaxSize = qwValue;
    rule.bMarkers = bMarkers;
    return rule;
}

CMyPlanRule Parts(DWORD dwParts, int bMarkers = 0)
{
    return MakeRule(kRuleParts, dwParts, bMarkers);
}
CMyPlanRule MaxSize(ULONGLONG qwMaxSize, int bMarkers = 0)
{
    return MakeRule(kRuleMaxSize, qwMaxSize, bMarkers);
}
CMyPlanRule Length(DWORD dwMs, int bMarkers)
{
    return MakeRule(kRuleLength, dwMs, bMarkers);
}
CMyPlanRule MarkersAlone()
{
    return MakeRule(kRuleWhole, 0, 1);
}

// Mono 16-bit at 1000 Hz: a frame is 2 bytes and a millisecond. Markers at
// 0, 30, 30 (no label), 30 and 60; another at the end.
TEST(PlanCuts, RulesAndMarkersCutAsTabled)
{
    const ULONGLONG kHuge = 5ull << 60; // 4 x 5 x 2^60 passes 2^64
    const RuleCase cases[] = {
        {"10 frames in 3 parts", 10, Parts(3), "0+3L 3+3L 6+4E "},
        {"parts beyond 64-bit products", kHuge, Parts(5),
         "0+1152921504606846976L 1152921504606846976+1152921504606846976L "
         "2305843009213693952+1152921504606846976L 3458764513820540928+1152921504606846976L "
         "4611686018427387904+1152921504606846976E "},
        {"more parts than frames", 2, Parts(3), ""},
        {"no parts", 2, Parts(0), ""},
        {"more parts than a plan holds", 2000000, Parts(kMaxPlanPieces + 1), ""},
        {"a length that makes more pieces than a plan holds", kMaxPlanPieces + 1, Length(1, 0), ""},
        {"size: 14 frames fit in 72 bytes", 30, MaxSize(72), "0+14L 14+14L 28+2E "},
        {"size: not one frame with its header", 30, MaxSize(45), ""},
        {"markers alone", 100, MarkersAlone(), "0+30M 30+30M 60+40E "},
        {"markers, then the length", 100, Length(20, 1),
         "0+20L 20+10M 30+20L 50+10M 60+20L 80+20E "},
        {"markers, then parts", 100, Parts(2, 1), "0+15L 15+15M 30+15L 45+15M 60+20L 80+20E "},
        {"markers, then the size", 100, MaxSize(44 + 2 * 25, 1),
         "0+25L 25+5M 30+25L 55+5M 60+25L 85+15E "},
    };
    std::vector<CMyMarker> markers = {MakeMarker(1, 0, "start"), MakeMarker(2, 30, ""),
                                      MakeMarker(3, 30, "two"),  MakeMarker(4, 30, "three"),
                                      MakeMarker(5, 60, "four"), MakeMarker(6, 100, "end")};
    for (const RuleCase& c : cases)
    {
        CMyPlanSource src = MakeSource(c.qwFrames * 2, 1000, 2);
        src.pMarkers = &markers;
        CMyPlan plan;
        EXPECT_EQ(MakeSplitPlan(src, c.rule, nullptr, &plan), (*c.pcPieces == '\0') ? 0 : 1)
            << c.pcName;
        EXPECT_EQ(DescribePieces(plan), c.pcPieces) << c.pcName;
        EXPECT_EQ(plan.Notes.size(), (*c.pcPieces == '\0') ? 1u : 0u) << c.pcName;
    }
    // The cut at 30 is named by the first marker there with a label.
    CMyPlanSource src = MakeSource(200, 1000, 2);
    src.pMarkers = &markers;
    CMyPlan plan;
    ASSERT_EQ(MakeSplitPlan(src, MarkersAlone(), nullptr, &plan), 1);
    EXPECT_STREQ(plan.Pieces[0].strLabel, "two");
    EXPECT_EQ(plan.Pieces[0].dwMarker, 2u);
    EXPECT_STREQ(plan.Pieces[1].strLabel, "four");
    // A file without markers is cut by the other rule, and the trace says so.
    src.pMarkers = nullptr;
    ASSERT_EQ(MakeSplitPlan(src, Length(40, 1), nullptr, &plan), 1);
    EXPECT_EQ(DescribePieces(plan), "0+40L 40+40L 80+20E ");
    ASSERT_EQ(plan.Notes.size(), 1u);
    EXPECT_STREQ(plan.Notes[0], "マーカーがないため、マーカーでは区切りません。\n");
}

// The user's cuts join the markers: sorted, one a frame (the first with a
// label names it), none at 0 or at the end; the rule cuts between them.
TEST(PlanCuts, UserCutsJoinTheMarkers)
{
    std::vector<CMyMarker> markers = {MakeMarker(1, 30, ""), MakeMarker(2, 30, "two"),
                                      MakeMarker(3, 60, "four")};
    auto cut = [](ULONGLONG qwFrame, const char* pcLabel)
    {
        CMyFixedCut c;
        c.qwFrame = qwFrame;
        c.Cut = kCutList;
        c.strLabel = pcLabel;
        return c;
    };
    std::vector<CMyFixedCut> cuts = {cut(0, "zero"), cut(10, "ten"), cut(30, "list"),
                                     cut(45, ""),    cut(45, "45"),  cut(100, "end")};
    CMyPlanSource src = MakeSource(200, 1000, 2);
    src.pMarkers = &markers;
    src.pCuts = &cuts;
    CMyPlan plan;
    ASSERT_EQ(MakeSplitPlan(src, MarkersAlone(), nullptr, &plan), 1);
    EXPECT_EQ(DescribePieces(plan), "0+10C 10+20M 30+15C 45+15M 60+40E ");
    const char* const kLabels[] = {"ten", "two", "45", "four", ""};
    for (size_t i = 0; i < plan.Pieces.size(); ++i)
        EXPECT_STREQ(plan.Pieces[i].strLabel, kLabels[i]) << i;
    // The cut at 0 cuts nothing but names the first piece.
    EXPECT_STREQ(plan.strFirstLabel, "zero");
    // Without markers the fixed length cuts each part between the user's cuts.
    ASSERT_EQ(MakeSplitPlan(src, Length(20, 0), nullptr, &plan), 1);
    EXPECT_EQ(DescribePieces(plan), "0+10C 10+20C 30+15C 45+20L 65+20L 85+15E ");
    EXPECT_STREQ(plan.Pieces[1].strLabel, "list");
}

// From 4 GiB on a piece is RF64, with its longer header.
TEST(PlanCuts, SizeLimitCountsTheHeaderOfEachForm)
{
    const ULONGLONG kLimit = 5ull << 30;
    CMyPlanSource src = MakeSource(4ull << 32, 44100, 4);
    // RIFF until 44 + data reaches 4 GiB; beyond, the 80 bytes of RF64.
    EXPECT_EQ(CalcMaxSizeFrames(src, kLimit, 0, 1ull << 32, 0), (kLimit - 80) / 4);
    EXPECT_EQ(CalcMaxSizeFrames(src, (1ull << 32) + 10, 0, 1ull << 32, 0), ((1ull << 32) - 45) / 4);
    // The partial frame at the end rides with the last piece, within the limit.
    EXPECT_EQ(CalcMaxSizeFrames(src, 44 + 12, 0, 3, 2), 2u);
    EXPECT_EQ(CalcMaxSizeFrames(src, 44 + 14, 0, 3, 2), 3u);
    // Carried markers count too.
    std::vector<CMyMarker> markers = {MakeMarker(1, 1, "a")};
    src.pMarkers = &markers;
    src.bCarryMarkers = 1;
    ULONGLONG qwChunks = BuildPieceMarkerChunks(markers, 0, 2).size();
    EXPECT_EQ(CalcMaxSizeFrames(src, 44 + qwChunks + 8, 0, 100, 0), 2u);
    EXPECT_EQ(CalcMaxSizeFrames(src, 44 + 4, 0, 100, 0), 1u); // before the marker
}
