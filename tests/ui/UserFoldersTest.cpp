// The program on a user's own folders (C:\録音\...), as the README shows it:
// the picker in a recordings folder, the folders dropped on the window, a
// run in progress, a meeting's recording with markers planned and
// previewed, and a concert cut by the cue sheet beside it. The screenshots land in the build tree
// (screenshots\users-*).
#include "PlanChoiceSteps.h"
#include "UiDriver.h"
#include "UiHelpers.h"

#include "engine/JobFlags.h"
#include "platform/PlatformHooks.h"
#include "resources/resource.h"
#include "ui/MyFileDialog.h"
#include "ui/MyMainDialog.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

namespace
{
// Each block takes a while, so that the run can be seen under way.
BOOL SlowWriteFile(HANDLE hFile, LPCVOID pBuffer, DWORD dwToWrite, LPDWORD pdwWritten)
{
    Sleep(40);
    return GetDefaultPlatformHooks().pfnWriteFile(hFile, pBuffer, dwToWrite, pdwWritten);
}
} // namespace

struct UserFoldersTest : testing::Test
{
    static void SetUpTestSuite()
    {
        RemoveTree("C:\\録音");
        RemoveTree("C:\\分割");
        CreateDirectoryA("C:\\録音", nullptr);
        const struct
        {
            const char* pcPath;
            uint32_t dwSeconds;
        } kFiles[] = {{"2024-05\\インタビュー_01.wav", 754}, {"2024-05\\インタビュー_02.wav", 412},
                      {"2024-05\\会議_0512.wav", 1830},      {"2024-05\\メモ\\思いつき.wav", 38},
                      {"2024-06\\会議_0603.wav", 2210},      {"2024-06\\ライブ_渋谷.wav", 3175}};
        for (const char* pcFolder : {"2024-05", "2024-05\\メモ", "2024-06", "2024-07"})
            CreateDirectoryA((std::string("C:\\録音\\") + pcFolder).c_str(), nullptr);
        for (const auto& f : kFiles)
            WriteWave(std::string("C:\\録音\\") + f.pcPath, f.dwSeconds * 8000, (int)f.dwSeconds);
        // Half an hour of a meeting: the recorder's markers, and a second of
        // quiet before three of the five-minute cuts.
        WriteMarkedWave(
            "C:\\録音\\2024-07\\定例会議.wav", 1800 * 8000,
            {{90 * 8000, "開会"},
             {525 * 8000, "議題1 予算"},
             {1160 * 8000, "議題2 日程"},
             {1445 * 8000, "質疑"}},
            {{372 * 8000, 373 * 8000}, {820 * 8000, 821 * 8000}, {1728 * 8000, 1729 * 8000}}, 11);
        // The concert's cue sheet beside it, as a recorder's software leaves it.
        FILE* pCue = fopen("C:\\録音\\2024-06\\ライブ_渋谷.cue", "wb");
        ASSERT_NE(nullptr, pCue);
        fputs("PERFORMER \"ザ・ナイトバス\"\r\nFILE \"ライブ_渋谷.wav\" WAVE\r\n"
              "  TRACK 01 AUDIO\r\n    TITLE \"オープニング\"\r\n    INDEX 01 00:00:00\r\n"
              "  TRACK 02 AUDIO\r\n    TITLE \"夜明けの歌\"\r\n    INDEX 01 04:12:00\r\n"
              "  TRACK 03 AUDIO\r\n    TITLE \"MC\"\r\n    INDEX 01 09:30:00\r\n"
              "  TRACK 04 AUDIO\r\n    TITLE \"アンコール\"\r\n    INDEX 01 48:05:00\r\n",
              pCue);
        fclose(pCue);
    }
    void TearDown() override
    {
        ResetPlatformHooks();
        ResetJobFlags();
    }
    BoxRecorder m_boxes;
};

TEST_F(UserFoldersTest, PickerInARecordingsFolder)
{
    CMyFileDialog picker(nullptr);
    ASSERT_EQ(1, picker.SetInitialFolder("C:\\録音\\2024-05"));
    RunWithDriver(picker,
                  [&](DialogDriver& d)
                  {
                      HWND h = picker.m_hWnd;
                      HWND hList = GetDlgItem(h, IDC_FILE_LIST);
                      EXPECT_EQ("メモ|インタビュー_01.wav|インタビュー_02.wav|会議_0512.wav",
                                RowNames(hList));
                      Select(hList, 1);
                      Select(hList, 2);
                      EXPECT_TRUE(d.SaveScreenshot(h, "users-picker"));
                  });
}

TEST_F(UserFoldersTest, DroppedFoldersAndARunUnderWay)
{
    CMyMainDialog dlg;
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            HWND hList = GetDlgItem(hDlg, IDC_SOURCE_LIST);
            PostMessageA(hList, WM_DROPFILES,
                         (WPARAM)MakeDrop({"C:\\録音\\2024-05", "C:\\録音\\2024-06"}), 0);
            ASSERT_TRUE(d.WaitUntil([&] { return HeaderText(hList) == "ファイル名 (6)"; }));
            ASSERT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg) && g_bIdle.load() == 1; }));
            d.Type(hDlg, IDC_SECTION_LENGTH, "00:05:00");
            d.Type(hDlg, IDC_OUTPUT_FOLDER_EDIT, "C:\\分割");
            EXPECT_TRUE(d.SaveScreenshot(hDlg, "users-main"));

            GetPlatformHooks().pfnWriteFile = SlowWriteFile;
            d.Click(hDlg, IDC_EXECUTE);
            ASSERT_TRUE(d.WaitUntil([&] { return BusyLook(hDlg); }));
            EXPECT_TRUE(d.WaitUntil([&] { return BarPos(hDlg) > 300; }, 20000));
            EXPECT_LT(BarPos(hDlg), 1024);
            EXPECT_TRUE(d.SaveScreenshot(hDlg, "users-running"));
            d.Click(hDlg, IDC_ABORT);
            EXPECT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg); }, 20000));
        });
    EXPECT_TRUE(BoxRecorder::Boxes().empty());
}

TEST_F(UserFoldersTest, AMeetingPlannedAtItsMarkersAndPreviewed)
{
    CMyMainDialog dlg;
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            HWND hList = GetDlgItem(hDlg, IDC_SOURCE_LIST);
            PostMessageA(hList, WM_DROPFILES, (WPARAM)MakeDrop({"C:\\録音\\2024-07"}), 0);
            ASSERT_TRUE(d.WaitUntil([&] { return HeaderText(hList) == "ファイル名 (1)"; }));
            ASSERT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg) && g_bIdle.load() == 1; }));
            d.Type(hDlg, IDC_SECTION_LENGTH, "00:05:00");
            d.Type(hDlg, IDC_OUTPUT_FOLDER_EDIT, "C:\\分割");

            d.Click(hDlg, IDC_PLAN_METHOD);
            HWND hPlan = d.WaitForDialog("分割方法");
            ASSERT_NE(nullptr, hPlan);
            PostMessageA(GetDlgItem(hPlan, IDC_PLAN_MARKERS), BM_CLICK, 0, 0);
            PostMessageA(GetDlgItem(hPlan, IDC_PLAN_PAUSE), BM_CLICK, 0, 0);
            d.Type(hPlan, IDC_PLAN_NAME, "{title}_{start}");
            ASSERT_TRUE(d.WaitUntil([&] { return d.Enabled(hPlan, IDC_PLAN_PAUSE_LEVEL); }));
            EXPECT_TRUE(d.SaveScreenshot(hPlan, "users-plan"));
            d.Click(hPlan, IDOK);
            ASSERT_TRUE(ClosedDialog(d, "分割方法"));
            EXPECT_TRUE(d.SaveScreenshot(hDlg, "users-plan-main"));

            HWND hPreview = PlannedPreview(d, hDlg);
            ASSERT_NE(nullptr, hPreview);
            HWND hRows = GetDlgItem(hPreview, IDC_PREVIEW_LIST);
            EXPECT_EQ(9, ListView_GetItemCount(hRows));
            EXPECT_STREQ("2024-07\\定例会議_00-06-12.500.wav", CellText(hRows, 2, 1));
            EXPECT_TRUE(d.SaveScreenshot(hPreview, "users-preview"));
            d.Click(hPreview, IDCANCEL);
        });
    EXPECT_TRUE(BoxRecorder::Boxes().empty());
}

// 同じ名前の .cue / .txt を使う: the concert's cue sheet beside it cuts it into
// its four tracks, named by their titles, each said to start at the cue sheet.
TEST_F(UserFoldersTest, AConcertCutByTheCueSheetBesideIt)
{
    CMyMainDialog dlg;
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            HWND hList = GetDlgItem(hDlg, IDC_SOURCE_LIST);
            PostMessageA(hList, WM_DROPFILES, (WPARAM)MakeDrop({"C:\\録音\\2024-06"}), 0);
            ASSERT_TRUE(d.WaitUntil([&] { return HeaderText(hList) == "ファイル名 (2)"; }));
            ASSERT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg) && g_bIdle.load() == 1; }));
            Select(hList, FindRow(hList, "ライブ_渋谷.wav"));
            d.Type(hDlg, IDC_OUTPUT_FOLDER_EDIT, "C:\\分割");

            d.Click(hDlg, IDC_PLAN_METHOD);
            HWND hPlan = d.WaitForDialog("分割方法");
            ASSERT_NE(nullptr, hPlan);
            PostMessageA(GetDlgItem(hPlan, IDC_PLAN_WHOLE), BM_CLICK, 0, 0);
            PostMessageA(GetDlgItem(hPlan, IDC_PLAN_CUTS_BESIDE), BM_CLICK, 0, 0);
            d.Type(hPlan, IDC_PLAN_NAME, "{n} {label}");
            ASSERT_TRUE(d.WaitUntil(
                [&] { return IsDlgButtonChecked(hPlan, IDC_PLAN_CUTS_BESIDE) == BST_CHECKED; }));
            EXPECT_TRUE(d.SaveScreenshot(hPlan, "users-cue-plan"));
            d.Click(hPlan, IDOK);
            ASSERT_TRUE(ClosedDialog(d, "分割方法"));
            EXPECT_STREQ("分割方法: カット位置 (同じ名前), 名前 {n} {label}",
                         d.ItemText(hDlg, IDC_PLAN_SUMMARY));

            HWND hPreview = PlannedPreview(d, hDlg);
            ASSERT_NE(nullptr, hPreview);
            HWND hRows = GetDlgItem(hPreview, IDC_PREVIEW_LIST);
            static const char* const kTitles[] = {"オープニング", "夜明けの歌", "MC", "アンコール"};
            ASSERT_EQ(4, ListView_GetItemCount(hRows));
            for (int i = 0; i < 4; i++)
            {
                EXPECT_EQ("キューシート \"" + std::string(kTitles[i]) + "\"",
                          std::string(CellText(hRows, i, 5)))
                    << i;
                EXPECT_EQ("2024-06\\00" + std::to_string(i + 1) + " " + kTitles[i] + ".wav",
                          std::string(CellText(hRows, i, 1)))
                    << i;
            }
            EXPECT_STREQ("00:04:12.000", CellText(hRows, 1, 2));
            // Made wider, as a user would, so that the picture shows every column.
            RECT rc = {};
            GetWindowRect(hPreview, &rc);
            SetWindowPos(hPreview, nullptr, 0, 0, rc.right - rc.left + 160, rc.bottom - rc.top,
                         SWP_NOMOVE | SWP_NOZORDER);
            EXPECT_TRUE(d.SaveScreenshot(hPreview, "users-cue-preview"));
            d.Click(hPreview, IDCANCEL);
        });
    EXPECT_TRUE(BoxRecorder::Boxes().empty());
}
