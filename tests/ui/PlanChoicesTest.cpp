// The window's further ways of cutting, chosen in "分割方法" as a user would:
// block sharing, every pause (previewed and run) and one file per channel.
#include "PlanChoiceSteps.h"

#include "engine/JobFlags.h"
#include "resources/resource.h"
#include "ui/MyMainDialog.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
// A 16-bit PCM file of 4 channels at 8000 Hz: channel c's sample at frame f
// is 1000 * (c + 1) + f % 500.
std::string WriteFourChannels(const std::string& path, uint32_t dwFrames)
{
    std::string wav(44, '\0');
    auto Put = [&](size_t n, uint32_t v, int nBytes)
    {
        for (int i = 0; i < nBytes; i++)
            wav[n + i] = (char)(v >> (8 * i));
    };
    memcpy(&wav[0], "RIFF", 4);
    memcpy(&wav[8], "WAVEfmt ", 8);
    Put(16, 16, 4);
    Put(20, 1, 2);
    Put(22, 4, 2);
    Put(24, 8000, 4);
    Put(28, 8000 * 8, 4);
    Put(32, 8, 2);
    Put(34, 16, 2);
    memcpy(&wav[36], "data", 4);
    Put(40, dwFrames * 8, 4);
    Put(4, 36 + dwFrames * 8, 4);
    for (uint32_t f = 0; f < dwFrames; f++)
        for (uint32_t c = 0; c < 4; c++)
        {
            const uint32_t v = 1000 * (c + 1) + f % 500;
            wav += (char)v;
            wav += (char)(v >> 8);
        }
    FILE* pFile = fopen(path.c_str(), "wb");
    EXPECT_NE(nullptr, pFile);
    if (pFile != nullptr)
    {
        fwrite(wav.data(), 1, wav.size(), pFile);
        fclose(pFile);
    }
    return wav;
}
} // namespace

using PlanChoicesTest = UiWindowTest;

// Ticked, block sharing is named under the buttons and the pieces carry a
// JUNK chunk before the same audio; taken back, the window is as it was.
TEST_F(PlanChoicesTest, BlockSharingIsNamedAndPiecesCarryJunk)
{
    std::string rec = TestFolder("share");
    std::string out = TestFolder("share_out");
    WriteWave(rec + "\\a.wav", 16000);
    const std::string src = ReadWhole(rec + "\\a.wav");
    CMyMainDialog dlg;
    AddFile(dlg.GetPathList(), rec, "a.wav", src.size());
    RunWithDriver(dlg,
                  [&](DialogDriver& d)
                  {
                      HWND hDlg = dlg.m_hWnd;
                      d.Type(hDlg, IDC_SECTION_LENGTH, "00:00:01");
                      HWND hPlan = OpenPlanDialog(d, hDlg);
                      ASSERT_NE(nullptr, hPlan);
                      EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(hPlan, IDC_PLAN_SHARE));
                      Press(hPlan, IDC_PLAN_SHARE);
                      d.Click(hPlan, IDOK);
                      ASSERT_TRUE(ClosedDialog(d, "分割方法"));
                      EXPECT_STREQ("分割方法: 区間長 00:00:01, ブロック共有",
                                   d.ItemText(hDlg, IDC_PLAN_SUMMARY));
                      ExecuteInto(d, hDlg, out);

                      hPlan = OpenPlanDialog(d, hDlg);
                      ASSERT_NE(nullptr, hPlan);
                      EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(hPlan, IDC_PLAN_SHARE));
                      Press(hPlan, IDC_PLAN_SHARE);
                      d.Click(hPlan, IDOK);
                      ASSERT_TRUE(ClosedDialog(d, "分割方法"));
                      EXPECT_FALSE(IsWindowVisible(GetDlgItem(hDlg, IDC_PLAN_SUMMARY)));
                  });
    std::vector<Piece> pieces = SortedPieces(out);
    ASSERT_EQ(2u, pieces.size());
    for (int i = 0; i < 2; i++)
    {
        SCOPED_TRACE(pieces[i].name);
        EXPECT_EQ("a_00" + std::to_string(i + 1) + ".wav", pieces[i].name);
        EXPECT_NE(std::string::npos, pieces[i].bytes.find("JUNK"));
        EXPECT_EQ(src.substr(44 + 8000 * i, 8000), DataOf(pieces[i].bytes));
    }
}

// Pauses at 8-11 s and 18-21 s of 30 s: every pause of 2 s cuts in each,
// trimmed. The preview shows the pieces and the pause audio left out, the
// run writes those pieces, and only quiet audio is missing.
TEST_F(PlanChoicesTest, EveryPauseTrimmedIsPreviewedAndRun)
{
    std::string rec = TestFolder("pauses");
    std::string out = TestFolder("pauses_out");
    WriteMarkedWave(rec + "\\talk.wav", 240000, {}, {{64000, 88000}, {144000, 168000}});
    const std::string src = ReadWhole(rec + "\\talk.wav");
    const std::string audio = src.substr(44, 240000);
    CMyMainDialog dlg;
    AddFile(dlg.GetPathList(), rec, "talk.wav", src.size());
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            HWND hPlan = OpenPlanDialog(d, hDlg);
            ASSERT_NE(nullptr, hPlan);
            EXPECT_FALSE(d.Enabled(hPlan, IDC_PLAN_TRIM));
            Press(hPlan, IDC_PLAN_EVERY_PAUSE);
            ASSERT_TRUE(d.WaitUntil([&] { return d.Enabled(hPlan, IDC_PLAN_TRIM); }));
            EXPECT_STREQ("2", d.ItemText(hPlan, IDC_PLAN_EVERY_MIN));
            Press(hPlan, IDC_PLAN_WHOLE);
            Press(hPlan, IDC_PLAN_TRIM);
            // Every pause cuts without markers unless they are ticked.
            ASSERT_TRUE(d.WaitUntil([&] { return d.Enabled(hPlan, IDC_PLAN_MARKERS); }));
            EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(hPlan, IDC_PLAN_MARKERS));
            d.Click(hPlan, IDOK);
            ASSERT_TRUE(ClosedDialog(d, "分割方法"));
            EXPECT_STREQ("分割方法: 無音ごと, トリム", d.ItemText(hDlg, IDC_PLAN_SUMMARY));

            HWND hPreview = PlannedPreview(d, hDlg);
            ASSERT_NE(nullptr, hPreview);
            HWND hRows = GetDlgItem(hPreview, IDC_PREVIEW_LIST);
            static const char* const kRows[][2] = {{"talk_001.wav", "無音"},
                                                   {"(書きません)", "削除 (無音)"},
                                                   {"talk_002.wav", "無音"},
                                                   {"(書きません)", "削除 (無音)"},
                                                   {"talk_003.wav", "末尾"}};
            ASSERT_EQ(5, ListView_GetItemCount(hRows));
            for (int i = 0; i < 5; i++)
            {
                EXPECT_STREQ(kRows[i][0], CellText(hRows, i, 1)) << i;
                EXPECT_STREQ(kRows[i][1], CellText(hRows, i, 4)) << i;
            }
            EXPECT_STREQ("1 個のファイルから 3 個のピースができます。",
                         d.ItemText(hPreview, IDC_PREVIEW_STATUS));
            d.Click(hPreview, IDCANCEL);
            ASSERT_TRUE(ClosedDialog(d, "プレビュー"));
            ExecuteInto(d, hDlg, out);
        });
    ASSERT_EQ(1u, BoxRecorder::Boxes().size());
    EXPECT_EQ("1 個中 1 個のファイルを分割処理しました。\n", BoxRecorder::Boxes()[0]);
    std::vector<Piece> pieces = SortedPieces(out);
    ASSERT_EQ(3u, pieces.size());
    // Each piece is the source's audio from where the last one ended, after
    // a stretch of quiet that lies in a pause.
    size_t nAt = 0;
    const size_t kPauses[][2] = {{0, 0}, {64000, 88000}, {144000, 168000}};
    for (int i = 0; i < 3; i++)
    {
        SCOPED_TRACE(pieces[i].name);
        EXPECT_EQ("talk_00" + std::to_string(i + 1) + ".wav", pieces[i].name);
        const std::string data = DataOf(pieces[i].bytes);
        ASSERT_FALSE(data.empty());
        // Found by its first loud bytes: a piece may begin with quiet kept.
        const size_t nLoud = data.find_first_not_of((char)0x80);
        ASSERT_NE(std::string::npos, nLoud);
        const size_t nFound = audio.find(data.substr(nLoud, 64), nAt);
        ASSERT_NE(std::string::npos, nFound);
        const size_t nStart = nFound - nLoud;
        EXPECT_GE(nStart, kPauses[i][0]);
        EXPECT_LE(nStart, kPauses[i][1]);
        EXPECT_EQ(std::string(nStart - nAt, (char)0x80), audio.substr(nAt, nStart - nAt));
        EXPECT_EQ(audio.substr(nStart, data.size()), data);
        nAt = nStart + data.size();
    }
    EXPECT_EQ(audio.size(), nAt);
}

// 1 チャンネルずつ on a file of 4 channels: the preview lists each piece's four
// files, and each file written holds its channel's samples alone.
TEST_F(PlanChoicesTest, EachChannelOfFourIsAFileOfItsOwn)
{
    std::string rec = TestFolder("four");
    std::string out = TestFolder("four_out");
    const std::string src = WriteFourChannels(rec + "\\mics.wav", 12000);
    CMyMainDialog dlg;
    AddFile(dlg.GetPathList(), rec, "mics.wav", src.size());
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            d.Type(hDlg, IDC_SECTION_LENGTH, "00:00:01");
            HWND hPlan = OpenPlanDialog(d, hDlg);
            ASSERT_NE(nullptr, hPlan);
            EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(hPlan, IDC_PLAN_CH_TOGETHER));
            EXPECT_FALSE(d.Enabled(hPlan, IDC_PLAN_CH_EDIT));
            Press(hPlan, IDC_PLAN_CH_EACH);
            ASSERT_TRUE(d.WaitUntil(
                [&] { return IsDlgButtonChecked(hPlan, IDC_PLAN_CH_EACH) == BST_CHECKED; }));
            EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(hPlan, IDC_PLAN_CH_TOGETHER));
            d.Click(hPlan, IDOK);
            ASSERT_TRUE(ClosedDialog(d, "分割方法"));
            EXPECT_STREQ("分割方法: 区間長 00:00:01, 1 チャンネルずつ",
                         d.ItemText(hDlg, IDC_PLAN_SUMMARY));

            HWND hPreview = PlannedPreview(d, hDlg);
            ASSERT_NE(nullptr, hPreview);
            HWND hRows = GetDlgItem(hPreview, IDC_PREVIEW_LIST);
            ASSERT_EQ(8, ListView_GetItemCount(hRows));
            EXPECT_STREQ("mics_001_ch1.wav", CellText(hRows, 0, 1));
            EXPECT_STREQ("mics_001_ch4.wav", CellText(hRows, 3, 1));
            EXPECT_STREQ("mics_002_ch1.wav", CellText(hRows, 4, 1));
            d.Click(hPreview, IDCANCEL);
            ASSERT_TRUE(ClosedDialog(d, "プレビュー"));
            ExecuteInto(d, hDlg, out);
        });
    std::vector<Piece> pieces = SortedPieces(out);
    ASSERT_EQ(8u, pieces.size());
    for (uint32_t n = 0; n < 2; n++)
        for (uint32_t c = 0; c < 4; c++)
        {
            const Piece& piece = pieces[n * 4 + c];
            SCOPED_TRACE(piece.name);
            EXPECT_EQ("mics_00" + std::to_string(n + 1) + "_ch" + std::to_string(c + 1) + ".wav",
                      piece.name);
            EXPECT_EQ(1u, (uint8_t)piece.bytes[22]); // mono
            const std::string data = DataOf(piece.bytes);
            const uint32_t dwFrames = n == 0 ? 8000 : 4000;
            ASSERT_EQ(dwFrames * 2, data.size());
            for (uint32_t f = 0; f < dwFrames; f++)
            {
                const uint32_t v = 1000 * (c + 1) + (n * 8000 + f) % 500;
                ASSERT_EQ(v, (uint8_t)data[2 * f] | (uint8_t)data[2 * f + 1] << 8) << f;
            }
        }
}
