// The preview's rows: which file and piece each row shows, and the rows
// left out past the list's limit.
#include "ui/PreviewRows.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// Pieces of a millisecond at 1000 frames a second, the nth starting at n ms.
CMyPlan MakeTitledPlan(size_t nPieces, const char* pcTitle)
{
    CMyPlan plan;
    plan.dwSamplingRate = 1000;
    plan.wBlockSize = 2;
    plan.Pieces.resize(nPieces);
    for (size_t i = 0; i < nPieces; ++i)
    {
        plan.Pieces[i].qwStart = i;
        plan.Pieces[i].qwFrames = 1;
        plan.Pieces[i].Cut = i + 1 < nPieces ? kCutLength : kCutEnd;
    }
    plan.Pieces[0].strName = CString(pcTitle) + "_001.wav";
    return plan;
}
} // namespace

TEST(PreviewRows, RowsFindTheirFileAndPieceUpToTheLimit)
{
    CMyPreviewRows rows("C:\\out", kRuleLength);
    rows.TakePlan("C:\\rec\\a.wav", "C:\\out\\sub\\", MakeTitledPlan(3, "a"));
    rows.TakeRefusal("C:\\rec\\b.wav", "※　データがありません。ReadHeader()\n\tPath[b]\n");
    // Fills the list but for 2 of its pieces.
    rows.TakePlan("C:\\rec\\c.wav", "C:\\out\\", MakeTitledPlan(kMaxPreviewRows - 4 + 2, "c"));
    // Past the limit: counted, shown in no row.
    rows.TakeRefusal("C:\\rec\\d.wav", "");
    rows.TakePlan("C:\\rec\\e.wav", "C:\\out\\", MakeTitledPlan(5, "e"));
    EXPECT_EQ(kMaxPreviewRows, rows.GetRowCount());

    const DWORD dwLast = kMaxPreviewRows - 1;
    const struct
    {
        DWORD dwRow;
        int nColumn;
        const char* pcText;
    } cells[] = {
        {0, kPreviewFile, "a.wav"},
        {0, kPreviewName, "sub\\a_001.wav"},
        {1, kPreviewFile, ""},
        {1, kPreviewStart, "00:00:00.001"},
        {2, kPreviewLength, "00:00:00.001"},
        {2, kPreviewReason, "末尾"},
        {3, kPreviewFile, "b.wav"},
        {3, kPreviewName, "(分割しません)"},
        {3, kPreviewReason, "データがありません。"},
        {3, kPreviewStart, ""},
        {4, kPreviewFile, "c.wav"},
        {4, kPreviewName, "c_001.wav"},
        {4, kPreviewReason, "区間長"},
        {dwLast, kPreviewFile, ""},
        {dwLast, kPreviewStart, "00:01:39.995"},
        {kMaxPreviewRows, kPreviewFile, ""},
        {kMaxPreviewRows, kPreviewStart, ""},
    };
    for (const auto& c : cells)
        EXPECT_STREQ(c.pcText, rows.GetCell(c.dwRow, c.nColumn)) << c.dwRow << "/" << c.nColumn;

    EXPECT_STREQ("3 個のファイルから 100006 個のピースができます。2 個のファイルは分割しません。"
                 "初めの 100000 行だけを表示しています。",
                 rows.DescribeRows(0));
    EXPECT_EQ(0, std::string(rows.DescribeRows(1)).find("中止しました。3 個の"));
}

// Audio --trim leaves out is a row where it lies, counted as no piece.
TEST(PreviewRows, TrimmedAudioIsARowOfItsOwnBetweenThePieces)
{
    CMyPlan plan = MakeTitledPlan(2, "a");
    plan.Pieces[0].qwStart = 10, plan.Pieces[0].qwFrames = 40;
    plan.Pieces[0].Cut = kCutEveryPause;
    plan.Pieces[1].qwStart = 70, plan.Pieces[1].qwFrames = 30;
    plan.Pieces[1].strName = "a_002.wav";
    plan.Dropped.resize(2);
    plan.Dropped[0].qwFrames = 10;
    plan.Dropped[1].qwStart = 50, plan.Dropped[1].qwFrames = 20;
    plan.Dropped[0].Cut = plan.Dropped[1].Cut = kCutTrimmed;
    CMyPreviewRows rows("C:\\out", kRuleWhole);
    rows.TakePlan("C:\\rec\\a.wav", "C:\\out\\", plan);
    ASSERT_EQ(4u, rows.GetRowCount());
    const char* const apcNames[] = {"(書きません)", "a_001.wav", "(書きません)", "a_002.wav"};
    const char* const apcReasons[] = {"削除 (無音)", "無音", "削除 (無音)", "末尾"};
    const char* const apcStarts[] = {"00:00:00.000", "00:00:00.010", "00:00:00.050",
                                     "00:00:00.070"};
    for (DWORD i = 0; i < 4; ++i)
    {
        EXPECT_STREQ(apcNames[i], rows.GetCell(i, kPreviewName)) << i;
        EXPECT_STREQ(apcReasons[i], rows.GetCell(i, kPreviewReason)) << i;
        EXPECT_STREQ(apcStarts[i], rows.GetCell(i, kPreviewStart)) << i;
    }
    EXPECT_STREQ("a.wav", rows.GetCell(0, kPreviewFile));
    EXPECT_STREQ("1 個のファイルから 2 個のピースができます。", rows.DescribeRows(0));
}
