// The way of cutting as the user chooses it: the "分割方法" dialog, the line
// the main window shows for a choice, a run of equal parts, the preview of a
// file with markers and pauses, and the values the dialog refuses.
#include "PlanChoiceSteps.h"

#include "engine/JobFlags.h"
#include "platform/PlatformHooks.h"
#include "resources/resource.h"
#include "support/Trace.h"
#include "ui/MyMainDialog.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
int WindowHeight(HWND hWnd)
{
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    return rc.bottom - rc.top;
}

// Every read takes a while, so that a preview of many files can be stopped.
BOOL SlowReadFile(HANDLE hFile, LPVOID pBuffer, DWORD dwToRead, LPDWORD pdwRead)
{
    Sleep(30);
    return GetDefaultPlatformHooks().pfnReadFile(hFile, pBuffer, dwToRead, pdwRead);
}
} // namespace

using PlanDialogTest = UiWindowTest;

TEST_F(PlanDialogTest, ThreeEqualPartsAreWhatTheRunWrites)
{
    std::string rec = TestFolder("parts");
    std::string out = TestFolder("parts_out");
    WriteWave(rec + "\\a.wav", 80000, 3);
    std::string src = ReadWhole(rec + "\\a.wav");
    CMyMainDialog dlg;
    AddFile(dlg.GetPathList(), rec, "a.wav", src.size());
    RunWithDriver(dlg,
                  [&](DialogDriver& d)
                  {
                      HWND hDlg = dlg.m_hWnd;
                      const int nHeight = WindowHeight(hDlg);
                      HWND hPlan = OpenPlanDialog(d, hDlg);
                      ASSERT_NE(nullptr, hPlan);
                      EXPECT_STREQ("00:03:00", d.ItemText(hPlan, IDC_PLAN_LENGTH_EDIT));
                      EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(hPlan, IDC_PLAN_LENGTH));
                      EXPECT_STREQ("{title}_{n}", d.ItemText(hPlan, IDC_PLAN_NAME));
                      Press(hPlan, IDC_PLAN_PARTS);
                      d.Type(hPlan, IDC_PLAN_PARTS_EDIT, "3");
                      d.Click(hPlan, IDOK);
                      ASSERT_TRUE(ClosedDialog(d, "分割方法"));

                      HWND hSummary = GetDlgItem(hDlg, IDC_PLAN_SUMMARY);
                      EXPECT_STREQ("分割方法: 等分 3", DialogDriver::Text(hSummary));
                      EXPECT_TRUE(IsWindowVisible(hSummary));
                      EXPECT_GT(WindowHeight(hDlg), nHeight);

                      d.Type(hDlg, IDC_OUTPUT_FOLDER_EDIT, out.c_str());
                      d.Click(hDlg, IDC_EXECUTE);
                      EXPECT_TRUE(d.WaitUntil([] { return !BoxRecorder::Boxes().empty(); }, 20000));
                      EXPECT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg); }, 20000));
                  });
    ASSERT_EQ(1u, BoxRecorder::Boxes().size());
    EXPECT_EQ("1 個中 1 個のファイルを分割処理しました。\n", BoxRecorder::Boxes()[0]);
    // Piece k covers frames k*F/3 up to (k+1)*F/3 of F = 80000.
    std::vector<Piece> pieces = ReadFolder(out);
    std::sort(pieces.begin(), pieces.end(),
              [](const Piece& a, const Piece& b) { return a.name < b.name; });
    ASSERT_EQ(3u, pieces.size());
    const uint32_t kBounds[] = {0, 26666, 53333, 80000};
    for (int i = 0; i < 3; i++)
    {
        SCOPED_TRACE(pieces[i].name);
        EXPECT_EQ("a_00" + std::to_string(i + 1) + ".wav", pieces[i].name);
        const uint32_t dwSize = kBounds[i + 1] - kBounds[i];
        ASSERT_EQ(44u + dwSize, pieces[i].bytes.size());
        EXPECT_EQ(dwSize, GetLE32(pieces[i].bytes, 40));
        EXPECT_TRUE(pieces[i].bytes.compare(44, dwSize, src, 44 + kBounds[i], dwSize) == 0);
    }
}

// Markers at 10 s and 35 s of a minute, pieces of 20 s moved back to a pause:
// the one at 28.9-29.5 s takes the cut at 30 s to its middle; nothing quiet
// comes before the cut at 55 s. Only the selected file is planned, its
// pieces named below the output folder as the run would write them (the
// dropped folder mirrored), and the preview writes nothing, not even trace
// lines. The run then writes that plan and traces the moved cut.
TEST_F(PlanDialogTest, PreviewOfMarkersAndPauses)
{
    std::string rec = TestFolder("marks");
    std::string out = TestFolder("marks_out");
    WriteMarkedWave(rec + "\\会議.wav", 480000, {{80000, "開会"}, {280000, "質疑"}},
                    {{231200, 236000}});
    WriteWave(rec + "\\b.wav", 8000);
    StartTraceLog(nullptr);
    CMyMainDialog dlg;
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            HWND hList = GetDlgItem(hDlg, IDC_SOURCE_LIST);
            PostMessageA(hList, WM_DROPFILES, (WPARAM)MakeDrop({rec}), 0);
            ASSERT_TRUE(d.WaitUntil([&] { return HeaderText(hList) == "ファイル名 (2)"; }));
            ASSERT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg) && g_bIdle.load() == 1; }));
            Select(hList, FindRow(hList, "会議.wav"));
            d.Type(hDlg, IDC_SECTION_LENGTH, "00:00:20");

            HWND hPlan = OpenPlanDialog(d, hDlg);
            ASSERT_NE(nullptr, hPlan);
            EXPECT_STREQ("00:00:20", d.ItemText(hPlan, IDC_PLAN_LENGTH_EDIT));
            Press(hPlan, IDC_PLAN_MARKERS);
            Press(hPlan, IDC_PLAN_PAUSE);
            d.Click(hPlan, IDOK);
            ASSERT_TRUE(ClosedDialog(d, "分割方法"));
            EXPECT_STREQ("分割方法: マーカー + 区間長 00:00:20, 無音で調整",
                         d.ItemText(hDlg, IDC_PLAN_SUMMARY));

            const std::string traceBefore = ReadTraceFile();
            HWND hPreview = PlannedPreview(d, hDlg);
            ASSERT_NE(nullptr, hPreview);
            HWND hRows = GetDlgItem(hPreview, IDC_PREVIEW_LIST);
            static const char* const kRows[][5] = {
                {"会議.wav", "marks\\会議_001.wav", "00:00:00.000", "00:00:10.000",
                 "マーカー \"開会\""},
                {"", "marks\\会議_002.wav", "00:00:10.000", "00:00:19.200", "無音 -0.80 秒"},
                {"", "marks\\会議_003.wav", "00:00:29.200", "00:00:05.800", "マーカー \"質疑\""},
                {"", "marks\\会議_004.wav", "00:00:35.000", "00:00:20.000", "無音なし"},
                {"", "marks\\会議_005.wav", "00:00:55.000", "00:00:05.000", "末尾"}};
            ASSERT_EQ(5, ListView_GetItemCount(hRows));
            for (int i = 0; i < 5; i++)
                for (int j = 0; j < 5; j++)
                    EXPECT_STREQ(kRows[i][j], CellText(hRows, i, j)) << i << "," << j;
            EXPECT_STREQ("1 個のファイルから 5 個のピースができます。",
                         d.ItemText(hPreview, IDC_PREVIEW_STATUS));
            d.Click(hPreview, IDCANCEL);
            EXPECT_TRUE(ClosedDialog(d, "プレビュー"));
            EXPECT_EQ(traceBefore, ReadTraceFile());
            // Without an output folder the plan was made as if it were the program's.
            EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
                      GetFileAttributesA(GetProgramFolderText() + "\\marks"));

            d.Type(hDlg, IDC_SECTION_LENGTH, "00:00:30");
            EXPECT_STREQ("分割方法: マーカー + 区間長 00:00:30, 無音で調整",
                         d.ItemText(hDlg, IDC_PLAN_SUMMARY));
            d.Type(hDlg, IDC_SECTION_LENGTH, "00:00:20");
            d.Type(hDlg, IDC_OUTPUT_FOLDER_EDIT, out.c_str());
            d.Click(hDlg, IDC_EXECUTE);
            EXPECT_TRUE(d.WaitUntil([] { return !BoxRecorder::Boxes().empty(); }, 20000));
            EXPECT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg); }, 20000));
        });
    ASSERT_EQ(1u, BoxRecorder::Boxes().size());
    EXPECT_EQ("2 個中 2 個のファイルを分割処理しました。\n", BoxRecorder::Boxes()[0]);
    std::vector<Piece> pieces = ReadFolder(out + "\\marks");
    std::vector<std::string> names;
    for (const Piece& piece : pieces)
        names.push_back(piece.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"b_001.wav", "会議_001.wav", "会議_002.wav", "会議_003.wav",
                                        "会議_004.wav", "会議_005.wav"}),
              names);
    std::string trace = ReadTraceFile();
    EXPECT_NE(std::string::npos,
              trace.find("区切り 00:00:29.200 を無音の中ほどへ -0.80 秒動かしました。[ " + out +
                         "\\marks\\会議_002.wav ]"))
        << trace;
}

TEST_F(PlanDialogTest, InvalidValuesAreRefusedInTheDialog)
{
    static const struct
    {
        int nRule;  // the rule's button
        int nCheck; // a check box to tick first (0: none)
        int nBox;
        const char* pcText;
        const char* pcBox;
    } kCases[] = {
        {IDC_PLAN_LENGTH, 0, IDC_PLAN_LENGTH_EDIT, "1:xx", "※　無効な区間長です。"},
        {IDC_PLAN_PARTS, 0, IDC_PLAN_PARTS_EDIT, "0",
         "※　無効な分割数です。1 以上の整数を入れてください。"},
        {IDC_PLAN_MAX_SIZE, 0, IDC_PLAN_MAX_SIZE_EDIT, "25X",
         "※　無効なサイズ上限です。バイト数か、K・M・G を付けた数(例: 700M)を入れてください。"},
        {IDC_PLAN_MAX_SIZE, 0, IDC_PLAN_MAX_SIZE_EDIT, "44",
         "※　サイズ上限が小さすぎます。ヘッダと 1 サンプルが入る 45 バイト以上にしてください。"},
        {IDC_PLAN_LENGTH, IDC_PLAN_PAUSE, IDC_PLAN_PAUSE_LEVEL, "+3",
         "※　無効なレベルです。0 以下の dB の値(例: -40)を入れてください。"},
        {IDC_PLAN_LENGTH, IDC_PLAN_PAUSE, IDC_PLAN_PAUSE_WINDOW, "0.2",
         "※　探す範囲 0.2 が無音の長さ 0.3 より短いため、区切りを動かせません。無音の長さ以上の"
         "秒数を入れるか、空欄にしてください。"},
        {IDC_PLAN_LENGTH, 0, IDC_PLAN_NAME, "{title}_{foo}",
         "※　ファイル名に使えない欄 {foo} があります。使える欄: {title} {n} {count} {start} "
         "{time} {date} {label}"},
        {IDC_PLAN_LENGTH, 0, IDC_PLAN_NAME, "{title}_{channel}",
         "※　ファイル名の {channel} は、チャンネルを分けるときだけ使えます。"},
        {IDC_PLAN_LENGTH, IDC_PLAN_CH_GROUPS, IDC_PLAN_CH_EDIT, "0-2",
         "※　無効なチャンネルの指定です。1 からの番号と範囲(例: 1-2,3,5)を入れてください。"},
        {IDC_PLAN_WHOLE, IDC_PLAN_EVERY_PAUSE, IDC_PLAN_MIN_PIECE, "x",
         "※　無効な最短の長さです。0 以上の秒数(例: 30)を入れるか、空欄にしてください。"},
        {IDC_PLAN_WHOLE, IDC_PLAN_EVERY_PAUSE, IDC_PLAN_EVERY_MIN, "0",
         "※　無効な無音の長さです。0 より長い秒数(例: 0.3)を入れてください。"},
        {IDC_PLAN_PARTS, IDC_PLAN_EVERY_PAUSE, IDC_PLAN_PARTS_EDIT, "3",
         "※　等分と無音ごとの分割は組み合わせられません。"},
        {IDC_PLAN_WHOLE, IDC_PLAN_CUTS_FILE, IDC_PLAN_CUTS_EDIT, "C:\\none.cue",
         "※　カット位置ファイルを読めません。\nC:\\none.cue"},
    };
    CMyMainDialog dlg;
    RunWithDriver(dlg,
                  [&](DialogDriver& d)
                  {
                      HWND hDlg = dlg.m_hWnd;
                      const int nHeight = WindowHeight(hDlg);
                      for (const auto& c : kCases)
                      {
                          SCOPED_TRACE(c.pcBox);
                          BoxRecorder::Clear();
                          HWND hPlan = OpenPlanDialog(d, hDlg);
                          ASSERT_NE(nullptr, hPlan);
                          Press(hPlan, c.nRule);
                          if (c.nCheck != 0)
                              Press(hPlan, c.nCheck);
                          d.Type(hPlan, c.nBox, c.pcText);
                          d.Click(hPlan, IDOK);
                          EXPECT_TRUE(d.WaitUntil([] { return !BoxRecorder::Boxes().empty(); }));
                          Sleep(200); // the dialog would be closing now
                          EXPECT_EQ(hPlan, d.FindDialog("分割方法"));
                          ASSERT_EQ(1u, BoxRecorder::Boxes().size());
                          EXPECT_EQ(std::string(c.pcBox), BoxRecorder::Boxes()[0]);
                          d.Click(hPlan, IDCANCEL);
                          ASSERT_TRUE(ClosedDialog(d, "分割方法"));
                      }
                      // Taken without a change, the default leaves the window as it was.
                      HWND hPlan = OpenPlanDialog(d, hDlg);
                      ASSERT_NE(nullptr, hPlan);
                      d.Click(hPlan, IDOK);
                      ASSERT_TRUE(ClosedDialog(d, "分割方法"));
                      EXPECT_FALSE(IsWindowVisible(GetDlgItem(hDlg, IDC_PLAN_SUMMARY)));
                      EXPECT_EQ(nHeight, WindowHeight(hDlg));
                      EXPECT_STREQ("00:03:00", d.ItemText(hDlg, IDC_SECTION_LENGTH));
                  });
}

// 分けない shows "マーカーで区切る" ticked, as markers alone are; another rule
// chosen afterwards shows the user's own tick again, and OK takes that one,
// in the dialog opened again on 分けない too.
TEST_F(PlanDialogTest, LeavingWholeTakesItsMarkerTickBack)
{
    static const struct
    {
        int nTick; // the user's tick before 分けない (-1: as the dialog opens)
        int nRule; // the rule chosen after it
        int nBox;  // its value's box (0: none)
        const char* pcValue;
        int bTicked; // "マーカーで区切る" once 分けない is left
        const char* pcSummary;
    } kCases[] = {
        {0, IDC_PLAN_MAX_SIZE, IDC_PLAN_MAX_SIZE_EDIT, "46", 0, "分割方法: サイズ上限 46"},
        {1, IDC_PLAN_PARTS, IDC_PLAN_PARTS_EDIT, "3", 1, "分割方法: マーカー + 等分 3"},
        {0, IDC_PLAN_WHOLE, 0, nullptr, 1, "分割方法: マーカー"},
        {-1, IDC_PLAN_LENGTH, 0, nullptr, 0, ""},
    };
    CMyMainDialog dlg;
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            auto Ticked = [](HWND hPlan) { return IsDlgButtonChecked(hPlan, IDC_PLAN_MARKERS); };
            for (const auto& c : kCases)
            {
                SCOPED_TRACE(c.pcSummary);
                HWND hPlan = OpenPlanDialog(d, hDlg);
                ASSERT_NE(nullptr, hPlan);
                if (c.nTick >= 0 && (Ticked(hPlan) == BST_CHECKED) != (c.nTick == 1))
                {
                    Press(hPlan, IDC_PLAN_MARKERS);
                    ASSERT_TRUE(d.WaitUntil(
                        [&] { return (Ticked(hPlan) == BST_CHECKED) == (c.nTick == 1); }));
                }
                Press(hPlan, IDC_PLAN_WHOLE);
                ASSERT_TRUE(d.WaitUntil([&] { return !d.Enabled(hPlan, IDC_PLAN_MARKERS); }));
                EXPECT_EQ(BST_CHECKED, Ticked(hPlan));
                Press(hPlan, c.nRule);
                if (c.nRule != IDC_PLAN_WHOLE)
                {
                    ASSERT_TRUE(d.WaitUntil([&] { return d.Enabled(hPlan, IDC_PLAN_MARKERS); }));
                }
                EXPECT_EQ(c.bTicked ? BST_CHECKED : BST_UNCHECKED, Ticked(hPlan));
                if (c.nBox != 0)
                    d.Type(hPlan, c.nBox, c.pcValue);
                d.Click(hPlan, IDOK);
                ASSERT_TRUE(ClosedDialog(d, "分割方法"));
                EXPECT_STREQ(c.pcSummary, d.ItemText(hDlg, IDC_PLAN_SUMMARY));
            }
        });
    EXPECT_TRUE(BoxRecorder::Boxes().empty());
}

// 中止 stops the planning between files: the list shows the files planned
// so far, and the window is idle again.
TEST_F(PlanDialogTest, AbortStopsThePreview)
{
    std::string rec = TestFolder("many");
    CMyMainDialog dlg;
    for (int i = 0; i < 40; i++)
    {
        std::string name = "f" + std::to_string(i) + ".wav";
        WriteWave(rec + "\\" + name, 8000);
        AddFile(dlg.GetPathList(), rec, name.c_str(), 8044);
    }
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            GetPlatformHooks().pfnReadFile = SlowReadFile;
            d.Click(hDlg, IDC_PREVIEW);
            HWND hPreview = d.WaitForDialog("プレビュー");
            ASSERT_NE(nullptr, hPreview);
            EXPECT_TRUE(d.Enabled(hPreview, IDC_PREVIEW_ABORT));
            d.Click(hPreview, IDC_PREVIEW_ABORT);
            ASSERT_TRUE(
                d.WaitUntil([&] { return !d.Enabled(hPreview, IDC_PREVIEW_ABORT); }, 20000));
            HWND hRows = GetDlgItem(hPreview, IDC_PREVIEW_LIST);
            EXPECT_LT(ListView_GetItemCount(hRows), 40);
            EXPECT_EQ(0,
                      std::string(d.ItemText(hPreview, IDC_PREVIEW_STATUS)).find("中止しました。"));
            EXPECT_EQ(0, g_bAbort.load());
            d.Click(hPreview, IDCANCEL);
            ASSERT_TRUE(ClosedDialog(d, "プレビュー"));
            EXPECT_TRUE(d.WaitUntil([] { return g_bIdle.load() == 1; }));
            EXPECT_TRUE(IdleLook(hDlg));
        });
    EXPECT_TRUE(BoxRecorder::Boxes().empty());
}
