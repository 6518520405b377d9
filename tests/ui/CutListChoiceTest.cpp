// The user's cut lists in the window: a cue sheet chosen in 分割方法, and a
// plan saved from the preview and loaded back.
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

using CutListChoiceTest = UiWindowTest;

// A cue sheet of three tracks typed into カット位置ファイル with 分けない and the
// track's title as the name: the preview shows each piece's title and that a
// cue sheet starts it, and the run writes the tracks under their titles.
TEST_F(CutListChoiceTest, CueSheetTracksArePreviewedAndRun)
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
            ASSERT_TRUE(ClosedDialog(d, "分割方法"));
            EXPECT_STREQ("分割方法: カット位置 live.cue, 名前 {label}",
                         d.ItemText(hDlg, IDC_PLAN_SUMMARY));

            HWND hPreview = PlannedPreview(d, hDlg);
            ASSERT_NE(nullptr, hPreview);
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
            ASSERT_TRUE(ClosedDialog(d, "プレビュー"));
            ExecuteInto(d, hDlg, out);
        });
    ASSERT_EQ(1u, BoxRecorder::Boxes().size());
    EXPECT_EQ("1 個中 1 個のファイルを分割処理しました。\n", BoxRecorder::Boxes()[0]);
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

// Three equal parts named by their starts run, previewed and saved as a
// plan; the plan loaded back as カット位置ファイル with 分けない and the default
// name writes the same pieces, names and bytes.
TEST_F(CutListChoiceTest, SavedPlanLoadedBackWritesTheSamePieces)
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
            d.Type(hPlan, IDC_PLAN_NAME, "{title}_{start}");
            d.Click(hPlan, IDOK);
            ASSERT_TRUE(ClosedDialog(d, "分割方法"));
            ExecuteInto(d, hDlg, out1);

            d.Click(hDlg, IDC_PREVIEW);
            HWND hPreview = d.WaitForDialog("プレビュー");
            ASSERT_NE(nullptr, hPreview);
            ASSERT_TRUE(d.WaitUntil([&] { return d.Enabled(hPreview, IDC_PREVIEW_SAVE); }, 20000));
            d.Click(hPreview, IDC_PREVIEW_SAVE);
            SaveAs(d, hDlg, hPreview, plan);
            d.Click(hPreview, IDCANCEL);
            ASSERT_TRUE(ClosedDialog(d, "プレビュー"));

            hPlan = OpenPlanDialog(d, hDlg);
            ASSERT_NE(nullptr, hPlan);
            // The default name left as it is: the plan names the pieces.
            Press(hPlan, IDC_PLAN_DEFAULTS);
            Press(hPlan, IDC_PLAN_WHOLE);
            Press(hPlan, IDC_PLAN_CUTS_FILE);
            ASSERT_TRUE(d.WaitUntil([&] { return d.Enabled(hPlan, IDC_PLAN_CUTS_EDIT); }));
            d.Type(hPlan, IDC_PLAN_CUTS_EDIT, plan.c_str());
            d.Click(hPlan, IDOK);
            ASSERT_TRUE(ClosedDialog(d, "分割方法"));
            EXPECT_STREQ("分割方法: カット位置 plan.csv", d.ItemText(hDlg, IDC_PLAN_SUMMARY));
            BoxRecorder::Clear();
            ExecuteInto(d, hDlg, out2);
        });
    ASSERT_EQ(1u, BoxRecorder::Boxes().size());
    EXPECT_EQ("1 個中 1 個のファイルを分割処理しました。\n", BoxRecorder::Boxes()[0]);
    const std::vector<Piece> first = SortedPieces(out1);
    const std::vector<Piece> again = SortedPieces(out2);
    ASSERT_EQ(3u, first.size());
    EXPECT_EQ("a_00-00-03.333.wav", first[1].name);
    ASSERT_EQ(first.size(), again.size());
    for (size_t i = 0; i < first.size(); i++)
    {
        EXPECT_EQ(first[i].name, again[i].name);
        EXPECT_EQ(DataOf(first[i].bytes), DataOf(again[i].bytes)) << first[i].name;
    }
}
