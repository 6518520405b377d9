// The window's further ways of cutting, chosen in "分割方法" as a user would:
// block sharing, every pause (previewed and run) and one file per channel.
#include "UiDriver.h"
#include "UiHelpers.h"

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
std::vector<std::string> Boxes()
{
    return BoxRecorder::Boxes();
}

void Press(HWND hDlg, int nID)
{
    PostMessageA(GetDlgItem(hDlg, nID), BM_CLICK, 0, 0);
}

HWND OpenPlanDialog(DialogDriver& d, HWND hDlg)
{
    d.Click(hDlg, IDC_PLAN_METHOD);
    return d.WaitForDialog("分割方法");
}

bool Closed(DialogDriver& d, const char* pcCaption)
{
    return d.WaitUntil([&] { return d.FindDialog(pcCaption) == nullptr; });
}

// Runs the main window's Execute into out and waits for the end.
void Execute(DialogDriver& d, HWND hDlg, const std::string& out)
{
    d.Type(hDlg, IDC_OUTPUT_FOLDER_EDIT, out.c_str());
    d.Click(hDlg, IDC_EXECUTE);
    EXPECT_TRUE(d.WaitUntil([] { return !Boxes().empty(); }, 20000));
    EXPECT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg); }, 20000));
}

std::vector<Piece> SortedPieces(const std::string& folder)
{
    std::vector<Piece> pieces = ReadFolder(folder);
    std::sort(pieces.begin(), pieces.end(),
              [](const Piece& a, const Piece& b) { return a.name < b.name; });
    return pieces;
}

// A piece's audio: the body of its data chunk, wherever the chunk lies.
std::string DataOf(const std::string& wav)
{
    for (size_t n = 12; n + 8 <= wav.size(); n += 8 + ((GetLE32(wav, n + 4) + 1) & ~1u))
        if (wav.compare(n, 4, "data") == 0)
            return wav.substr(n + 8, GetLE32(wav, n + 4));
    return std::string();
}

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

struct PlanChoicesTest : testing::Test
{
    void TearDown() override { ResetJobFlags(); }
    BoxRecorder m_boxes;
};
} // namespace

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
                      ASSERT_TRUE(Closed(d, "分割方法"));
                      EXPECT_STREQ("分割方法: 区間長 00:00:01, ブロック共有",
                                   d.ItemText(hDlg, IDC_PLAN_SUMMARY));
                      Execute(d, hDlg, out);

                      hPlan = OpenPlanDialog(d, hDlg);
                      ASSERT_NE(nullptr, hPlan);
                      EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(hPlan, IDC_PLAN_SHARE));
                      Press(hPlan, IDC_PLAN_SHARE);
                      d.Click(hPlan, IDOK);
                      ASSERT_TRUE(Closed(d, "分割方法"));
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
            ASSERT_TRUE(Closed(d, "分割方法"));
            EXPECT_STREQ("分割方法: 無音ごと, トリム", d.ItemText(hDlg, IDC_PLAN_SUMMARY));

            d.Click(hDlg, IDC_PREVIEW);
            HWND hPreview = d.WaitForDialog("プレビュー");
            ASSERT_NE(nullptr, hPreview);
            ASSERT_TRUE(
                d.WaitUntil([&] { return !d.Enabled(hPreview, IDC_PREVIEW_ABORT); }, 20000));
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
            ASSERT_TRUE(Closed(d, "プレビュー"));
            Execute(d, hDlg, out);
        });
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("1 個中 1 個のファイルを分割処理しました。\n", Boxes()[0]);
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
            ASSERT_TRUE(Closed(d, "分割方法"));
            EXPECT_STREQ("分割方法: 区間長 00:00:01, 1 チャンネルずつ",
                         d.ItemText(hDlg, IDC_PLAN_SUMMARY));

            d.Click(hDlg, IDC_PREVIEW);
            HWND hPreview = d.WaitForDialog("プレビュー");
            ASSERT_NE(nullptr, hPreview);
            ASSERT_TRUE(
                d.WaitUntil([&] { return !d.Enabled(hPreview, IDC_PREVIEW_ABORT); }, 20000));
            HWND hRows = GetDlgItem(hPreview, IDC_PREVIEW_LIST);
            ASSERT_EQ(8, ListView_GetItemCount(hRows));
            EXPECT_STREQ("mics_001_ch1.wav", CellText(hRows, 0, 1));
            EXPECT_STREQ("mics_001_ch4.wav", CellText(hRows, 3, 1));
            EXPECT_STREQ("mics_002_ch1.wav", CellText(hRows, 4, 1));
            d.Click(hPreview, IDCANCEL);
            ASSERT_TRUE(Closed(d, "プレビュー"));
            Execute(d, hDlg, out);
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

// A cue sheet of three tracks typed into カット位置ファイル with 分けない and the
// track's title as the name: the preview shows each piece's title and that a
// cue sheet starts it, and the run writes the tracks under their titles.
TEST_F(PlanChoicesTest, CueSheetTracksArePreviewedAndRun)
{
    std::string rec = TestFolder("cue");
    std::string out = TestFolder("cue_out");
    WriteWave(rec + "\\live.wav", 240000);
    const std::string src = ReadWhole(rec + "\\live.wav");
    const std::string cue = rec + "\\live.cue";
    FILE* pFile = fopen(cue.c_str(), "wb");
    ASSERT_NE(nullptr, pFile);
    fputs("FILE \"live.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n    TITLE \"Intro\"\r\n"
          "    INDEX 01 00:00:00\r\n  TRACK 02 AUDIO\r\n    TITLE \"Talk\"\r\n"
          "    INDEX 01 00:10:00\r\n  TRACK 03 AUDIO\r\n    TITLE \"Outro\"\r\n"
          "    INDEX 01 00:20:00\r\n",
          pFile);
    fclose(pFile);
    CMyMainDialog dlg;
    AddFile(dlg.GetPathList(), rec, "live.wav", src.size());
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            HWND hPlan = OpenPlanDialog(d, hDlg);
            ASSERT_NE(nullptr, hPlan);
            EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(hPlan, IDC_PLAN_CUTS_NONE));
            EXPECT_FALSE(d.Enabled(hPlan, IDC_PLAN_CUTS_BROWSE));
            Press(hPlan, IDC_PLAN_CUTS_FILE);
            ASSERT_TRUE(d.WaitUntil([&] { return d.Enabled(hPlan, IDC_PLAN_CUTS_EDIT); }));
            d.Type(hPlan, IDC_PLAN_CUTS_EDIT, cue.c_str());
            Press(hPlan, IDC_PLAN_WHOLE);
            // A list cuts without the markers unless they are ticked.
            ASSERT_TRUE(d.WaitUntil([&] { return d.Enabled(hPlan, IDC_PLAN_MARKERS); }));
            EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(hPlan, IDC_PLAN_MARKERS));
            d.Type(hPlan, IDC_PLAN_NAME, "{label}");
            d.Click(hPlan, IDOK);
            ASSERT_TRUE(Closed(d, "分割方法"));
            EXPECT_STREQ("分割方法: カット位置 live.cue, 名前 {label}",
                         d.ItemText(hDlg, IDC_PLAN_SUMMARY));

            d.Click(hDlg, IDC_PREVIEW);
            HWND hPreview = d.WaitForDialog("プレビュー");
            ASSERT_NE(nullptr, hPreview);
            ASSERT_TRUE(
                d.WaitUntil([&] { return !d.Enabled(hPreview, IDC_PREVIEW_ABORT); }, 20000));
            HWND hRows = GetDlgItem(hPreview, IDC_PREVIEW_LIST);
            static const char* const kRows[][4] = {
                {"Intro.wav", "00:00:10.000", "指定 \"Talk\"", "キューシート \"Intro\""},
                {"Talk.wav", "00:00:10.000", "指定 \"Outro\"", "キューシート \"Talk\""},
                {"Outro.wav", "00:00:10.000", "末尾", "キューシート \"Outro\""}};
            ASSERT_EQ(3, ListView_GetItemCount(hRows));
            for (int i = 0; i < 3; i++)
            {
                EXPECT_STREQ(kRows[i][0], CellText(hRows, i, 1)) << i;
                EXPECT_STREQ(kRows[i][1], CellText(hRows, i, 3)) << i;
                EXPECT_STREQ(kRows[i][2], CellText(hRows, i, 4)) << i;
                EXPECT_STREQ(kRows[i][3], CellText(hRows, i, 5)) << i;
            }
            d.Click(hPreview, IDCANCEL);
            ASSERT_TRUE(Closed(d, "プレビュー"));
            Execute(d, hDlg, out);
        });
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("1 個中 1 個のファイルを分割処理しました。\n", Boxes()[0]);
    std::vector<Piece> pieces = ReadFolder(out);
    ASSERT_EQ(3u, pieces.size());
    static const char* const kNames[] = {"Intro.wav", "Talk.wav", "Outro.wav"};
    for (int i = 0; i < 3; i++)
    {
        auto it = std::find_if(pieces.begin(), pieces.end(),
                               [&](const Piece& piece) { return piece.name == kNames[i]; });
        ASSERT_NE(pieces.end(), it) << kNames[i];
        EXPECT_EQ(src.substr(44 + 80000 * i, 80000), DataOf(it->bytes)) << kNames[i];
    }
}

namespace
{
// The system's save dialog over the preview: the name typed, then 保存.
void SaveAs(DialogDriver& d, HWND hDlg, HWND hPreview, const std::string& path)
{
    HWND hSave = nullptr;
    ASSERT_TRUE(d.WaitUntil(
        [&]
        {
            for (HWND hWnd : d.OtherDialogs(hPreview))
                if (hWnd != hDlg)
                    hSave = hWnd;
            return hSave != nullptr;
        }));
    // The name box: a combo box in the explorer-style dialog, else an edit.
    HWND hName = GetDlgItem(hSave, 0x47c);
    if (hName == nullptr)
        hName = GetDlgItem(hSave, 0x480);
    ASSERT_NE(nullptr, hName);
    SendMessageA(hName, WM_SETTEXT, 0, (LPARAM)path.c_str());
    d.Click(hSave, IDOK);
    ASSERT_TRUE(d.WaitUntil([&] { return !IsWindow(hSave); }));
}
} // namespace

// Three equal parts run, previewed and saved as a plan; the plan loaded back
// as カット位置ファイル with 分けない writes the same pieces, names and bytes.
TEST_F(PlanChoicesTest, SavedPlanLoadedBackWritesTheSamePieces)
{
    std::string rec = TestFolder("saved");
    std::string out1 = TestFolder("saved_out1");
    std::string out2 = TestFolder("saved_out2");
    const std::string plan = rec + "\\plan.csv";
    WriteWave(rec + "\\a.wav", 80000, 5);
    const std::string src = ReadWhole(rec + "\\a.wav");
    CMyMainDialog dlg;
    AddFile(dlg.GetPathList(), rec, "a.wav", src.size());
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            HWND hPlan = OpenPlanDialog(d, hDlg);
            ASSERT_NE(nullptr, hPlan);
            Press(hPlan, IDC_PLAN_PARTS);
            d.Type(hPlan, IDC_PLAN_PARTS_EDIT, "3");
            d.Click(hPlan, IDOK);
            ASSERT_TRUE(Closed(d, "分割方法"));
            Execute(d, hDlg, out1);

            d.Click(hDlg, IDC_PREVIEW);
            HWND hPreview = d.WaitForDialog("プレビュー");
            ASSERT_NE(nullptr, hPreview);
            ASSERT_TRUE(d.WaitUntil([&] { return d.Enabled(hPreview, IDC_PREVIEW_SAVE); }, 20000));
            d.Click(hPreview, IDC_PREVIEW_SAVE);
            SaveAs(d, hDlg, hPreview, plan);
            d.Click(hPreview, IDCANCEL);
            ASSERT_TRUE(Closed(d, "プレビュー"));

            hPlan = OpenPlanDialog(d, hDlg);
            ASSERT_NE(nullptr, hPlan);
            Press(hPlan, IDC_PLAN_WHOLE);
            Press(hPlan, IDC_PLAN_CUTS_FILE);
            ASSERT_TRUE(d.WaitUntil([&] { return d.Enabled(hPlan, IDC_PLAN_CUTS_EDIT); }));
            d.Type(hPlan, IDC_PLAN_CUTS_EDIT, plan.c_str());
            d.Click(hPlan, IDOK);
            ASSERT_TRUE(Closed(d, "分割方法"));
            EXPECT_STREQ("分割方法: カット位置 plan.csv", d.ItemText(hDlg, IDC_PLAN_SUMMARY));
            BoxRecorder::Clear();
            Execute(d, hDlg, out2);
        });
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("1 個中 1 個のファイルを分割処理しました。\n", Boxes()[0]);
    const std::vector<Piece> first = SortedPieces(out1);
    const std::vector<Piece> again = SortedPieces(out2);
    ASSERT_EQ(3u, first.size());
    ASSERT_EQ(first.size(), again.size());
    for (size_t i = 0; i < first.size(); i++)
    {
        EXPECT_EQ(first[i].name, again[i].name);
        EXPECT_EQ(DataOf(first[i].bytes), DataOf(again[i].bytes)) << first[i].name;
    }
}
