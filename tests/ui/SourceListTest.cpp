// The source list as the user meets it: rows written from the path list, the
// count header and the total, Remove, Remove all and sorting by a column.
#include "UiDriver.h"
#include "UiHelpers.h"

#include "engine/JobFlags.h"
#include "resources/resource.h"
#include "ui/MyMainDialog.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace
{
struct Row
{
    const char* pcName;
    const char* pcFolder;
    ULONGLONG ullSize;
};

void AddRecords(CMyPathList& list, const std::vector<Row>& rows)
{
    for (const Row& row : rows)
    {
        CMyPathRecord record;
        record.FileName = row.pcName;
        record.FoldPath = row.pcFolder;
        record.FilePath = CString(row.pcFolder) + "\\" + row.pcName;
        record.FileSize = row.ullSize;
        record.BaseFoldPath = row.pcFolder;
        ASSERT_EQ(1, list.AppendRecord(record));
    }
    list.AssignIDs();
}

DWORD RowID(HWND hList, int nRow)
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nRow;
    SendMessageA(hList, LVM_GETITEMA, 0, (LPARAM)&item);
    return (DWORD)item.lParam;
}

bool ListIdleLook(HWND hDlg)
{
    return DialogDriver::Enabled(hDlg, IDC_REMOVE) && DialogDriver::Enabled(hDlg, IDOK) &&
           !DialogDriver::Enabled(hDlg, IDC_ABORT);
}
} // namespace

struct SourceListTest : testing::Test
{
    void TearDown() override
    {
        ResetJobFlags();
    }
    // Writes the rows and the total as the add-files job does at its end.
    static void ShowList(CMyMainDialog& dlg)
    {
        dlg.RebuildList();
        dlg.ShowTotalSize(dlg.GetPathList().GetTotalSize());
    }
};

TEST_F(SourceListTest, RowsShowNameGroupedSizeAndFolder)
{
    CMyMainDialog dlg;
    AddRecords(dlg.GetPathList(), {{"インタビュー_01.wav", "C:\\録音\\2024-05", 1234567},
                                   {"短い.wav", "C:\\録音\\2024-05", 999},
                                   {"empty.wav", "C:\\録音", 0},
                                   {"長時間ライブ.wav", "C:\\録音\\ライブ", 987654321},
                                   {"会議_午前.wav", "C:\\録音\\2024-06", 52428800},
                                   {"会議_午後.wav", "C:\\録音\\2024-06", 61203456}});
    RunWithDriver(dlg,
                  [&](DialogDriver&)
                  {
                      HWND hDlg = dlg.m_hWnd;
                      HWND hList = GetDlgItem(hDlg, IDC_SOURCE_LIST);
                      ShowList(dlg);
                      ASSERT_EQ(6, ListView_GetItemCount(hList));
                      const char* apcExpected[6][3] = {
                          {"インタビュー_01.wav", "1,234,567", "C:\\録音\\2024-05"},
                          {"短い.wav", "999", "C:\\録音\\2024-05"},
                          {"empty.wav", "0", "C:\\録音"},
                          {"長時間ライブ.wav", "987,654,321", "C:\\録音\\ライブ"},
                          {"会議_午前.wav", "52,428,800", "C:\\録音\\2024-06"},
                          {"会議_午後.wav", "61,203,456", "C:\\録音\\2024-06"}};
                      for (int i = 0; i < 6; i++)
                      {
                          for (int j = 0; j < 3; j++)
                              EXPECT_STREQ(apcExpected[i][j], CellText(hList, i, j))
                                  << i << "," << j;
                          EXPECT_EQ((DWORD)i + 1, RowID(hList, i));
                          EXPECT_EQ(0u, ListView_GetItemState(hList, i, LVIS_SELECTED));
                      }
                      EXPECT_STREQ("ファイル名 (6)", HeaderText(hList));
                      EXPECT_STREQ("1,102,522,143", DialogDriver::ItemText(hDlg, IDC_TOTAL_SIZE));
                      EXPECT_TRUE(DialogDriver::SaveScreenshot(hDlg, "main-window"));
                  });
}

TEST_F(SourceListTest, RemoveTakesSelectedRowsAndRecordsOutEvenWhenTheFileIsGone)
{
    // None of these files exists: they stand for files deleted from disk
    // after they were collected.
    CMyMainDialog dlg;
    AddRecords(dlg.GetPathList(), {{"a.wav", "C:\\gone", 100},
                                   {"b.wav", "C:\\gone", 2000},
                                   {"c.wav", "C:\\gone", 30000},
                                   {"d.wav", "C:\\gone", 400000}});
    RunWithDriver(dlg,
                  [&](DialogDriver&)
                  {
                      HWND hDlg = dlg.m_hWnd;
                      HWND hList = GetDlgItem(hDlg, IDC_SOURCE_LIST);
                      ShowList(dlg);
                      Select(hList, 1);
                      Select(hList, 3);
                      DialogDriver::Click(hDlg, IDC_REMOVE);
                      ASSERT_TRUE(DialogDriver::WaitUntil(
                          [&] { return ListView_GetItemCount(hList) == 2 && ListIdleLook(hDlg); }));
                      EXPECT_EQ("a.wav|c.wav", RowNames(hList));
                      EXPECT_STREQ("ファイル名 (2)", HeaderText(hList));
                      EXPECT_STREQ("30,100", DialogDriver::ItemText(hDlg, IDC_TOTAL_SIZE));
                      const CMyPathList& list = dlg.GetPathList();
                      ASSERT_EQ(2u, list.GetCount());
                      EXPECT_STREQ("a.wav", list.GetAt(0).FileName);
                      EXPECT_STREQ("c.wav", list.GetAt(1).FileName);
                      // Visited from the bottom row up: d's identifier goes back first.
                      ASSERT_EQ(2u, list.GetFreeIDCount());
                      EXPECT_EQ(4u, list.GetFreeIDAt(0));
                      EXPECT_EQ(2u, list.GetFreeIDAt(1));
                      EXPECT_EQ(1, g_bIdle.load());
                  });
}

TEST_F(SourceListTest, RemoveWithNothingSelectedRewritesTotalAndHeaderOnly)
{
    CMyMainDialog dlg;
    AddRecords(dlg.GetPathList(), {{"a.wav", "C:\\x", 1000}, {"b.wav", "C:\\x", 234}});
    RunWithDriver(dlg,
                  [&](DialogDriver&)
                  {
                      HWND hDlg = dlg.m_hWnd;
                      HWND hList = GetDlgItem(hDlg, IDC_SOURCE_LIST);
                      ShowList(dlg);
                      DialogDriver::Type(hDlg, IDC_TOTAL_SIZE, "stale");
                      DialogDriver::Click(hDlg, IDC_REMOVE);
                      EXPECT_TRUE(DialogDriver::WaitUntil(
                          [&] { return DialogDriver::ItemText(hDlg, IDC_TOTAL_SIZE) == "1,234"; }));
                      EXPECT_EQ("a.wav|b.wav", RowNames(hList));
                      EXPECT_STREQ("ファイル名 (2)", HeaderText(hList));
                      EXPECT_EQ(2u, dlg.GetPathList().GetCount());
                      EXPECT_EQ(0u, dlg.GetPathList().GetFreeIDCount());
                      EXPECT_TRUE(ListIdleLook(hDlg));
                  });
}

TEST_F(SourceListTest, RemoveAllEmptiesListButKeepsFreedIdentifiers)
{
    CMyMainDialog dlg;
    AddRecords(dlg.GetPathList(),
               {{"a.wav", "C:\\x", 1}, {"b.wav", "C:\\x", 2}, {"c.wav", "C:\\x", 3}});
    RunWithDriver(dlg,
                  [&](DialogDriver&)
                  {
                      HWND hDlg = dlg.m_hWnd;
                      HWND hList = GetDlgItem(hDlg, IDC_SOURCE_LIST);
                      ShowList(dlg);
                      Select(hList, 0);
                      DialogDriver::Click(hDlg, IDC_REMOVE);
                      ASSERT_TRUE(DialogDriver::WaitUntil(
                          [&] { return ListView_GetItemCount(hList) == 2 && ListIdleLook(hDlg); }));
                      DialogDriver::Click(hDlg, IDC_REMOVE_ALL);
                      ASSERT_TRUE(DialogDriver::WaitUntil(
                          [&] { return ListView_GetItemCount(hList) == 0 && ListIdleLook(hDlg); }));
                      EXPECT_TRUE(DialogDriver::WaitUntil(
                          [&] { return DialogDriver::ItemText(hDlg, IDC_TOTAL_SIZE) == "0"; }));
                      EXPECT_STREQ("ファイル名 (0)", HeaderText(hList));
                      EXPECT_EQ(0u, dlg.GetPathList().GetCount());
                      // The identifier freed by Remove is still waiting to be handed out.
                      ASSERT_EQ(1u, dlg.GetPathList().GetFreeIDCount());
                      EXPECT_EQ(1u, dlg.GetPathList().GetFreeIDAt(0));
                  });
}

TEST_F(SourceListTest, EachColumnSortsDescendingThenAscending)
{
    CMyMainDialog dlg;
    AddRecords(dlg.GetPathList(), {{"b.wav", "C:\\data", 300},
                                   {"C.wav", "C:\\Data", 1000000},
                                   {"a.wav", "C:\\data\\sub", 20},
                                   {"D.WAV", "C:\\アーカイブ", 4000}});
    RunWithDriver(
        dlg,
        [&](DialogDriver&)
        {
            HWND hDlg = dlg.m_hWnd;
            HWND hList = GetDlgItem(hDlg, IDC_SOURCE_LIST);
            ShowList(dlg);
            struct
            {
                int nColumn;
                const char* pcOrder;
            } clicks[] = {
                // Sizes: largest first, then smallest first.
                {1, "C.wav|D.WAV|b.wav|a.wav"},
                {1, "a.wav|b.wav|D.WAV|C.wav"},
                // Names ignore letter case.
                {0, "D.WAV|C.wav|b.wav|a.wav"},
                {0, "a.wav|b.wav|C.wav|D.WAV"},
                // Folders are compared case-sensitively, Shift-JIS aware:
                // "C:\Data" < "C:\data" < "C:\data\sub" < "C:\アーカイブ".
                {2, "D.WAV|a.wav|b.wav|C.wav"},
                {2, "C.wav|b.wav|a.wav|D.WAV"},
            };
            for (const auto& click : clicks)
            {
                ClickHeader(hList, click.nColumn);
                EXPECT_TRUE(
                    DialogDriver::WaitUntil([&] { return RowNames(hList) == click.pcOrder; }))
                    << "column " << click.nColumn << ": " << RowNames(hList);
            }
            // The rows keep their records: sizes and folders moved with the names.
            for (int i = 0; i < 4; i++)
            {
                DWORD dwIndex = dlg.GetPathList().FindByID(RowID(hList, i));
                ASSERT_NE(MY_NOT_FOUND, dwIndex);
                EXPECT_STREQ(dlg.GetPathList().GetAt(dwIndex).FileName, CellText(hList, i, 0));
                EXPECT_STREQ(dlg.GetPathList().GetAt(dwIndex).FoldPath, CellText(hList, i, 2));
            }
            EXPECT_TRUE(ListIdleLook(hDlg));
        });
}

TEST_F(SourceListTest, ColumnClicksWaitWhileFilesAreBeingAdded)
{
    CMyMainDialog dlg;
    AddRecords(dlg.GetPathList(),
               {{"a.wav", "C:\\x", 1}, {"b.wav", "C:\\x", 3}, {"c.wav", "C:\\x", 2}});
    RunWithDriver(dlg,
                  [&](DialogDriver&)
                  {
                      HWND hDlg = dlg.m_hWnd;
                      HWND hList = GetDlgItem(hDlg, IDC_SOURCE_LIST);
                      ShowList(dlg);
                      g_bIdle.store(0);
                      g_bAdding.store(1);
                      ClickHeader(hList, 1);
                      EXPECT_FALSE(DialogDriver::WaitUntil(
                          [&] { return RowNames(hList) != "a.wav|b.wav|c.wav"; }, 1000));
                      // Once the job has collected, a click sorts as the first click does;
                      // with the job still running the buttons keep their busy look.
                      g_bAdding.store(0);
                      ClickHeader(hList, 1);
                      EXPECT_TRUE(DialogDriver::WaitUntil(
                          [&] { return RowNames(hList) == "b.wav|c.wav|a.wav"; }));
                      EXPECT_FALSE(DialogDriver::Enabled(hDlg, IDC_REMOVE));
                      EXPECT_TRUE(DialogDriver::Enabled(hDlg, IDC_ABORT));
                      g_bIdle.store(1); // the job ends, so the window may close
                  });
}

// A list that repainted after every inserted row took minutes for this.
TEST_F(SourceListTest, TenThousandRowsAreListedWithinSeconds)
{
    const int kRows = 10000;
    CMyMainDialog dlg;
    CMyPathList& list = dlg.GetPathList();
    for (int i = 0; i < kRows; i++)
    {
        char acFolder[64] = {};
        char acName[64] = {};
        wsprintfA(acFolder, "C:\\録音\\%03d", i / 100);
        wsprintfA(acName, "take_%05d.wav", i);
        CMyPathRecord record;
        record.FileName = acName;
        record.FoldPath = acFolder;
        record.FilePath = CString(acFolder) + "\\" + acName;
        record.FileSize = 44 + i;
        record.BaseFoldPath = "C:\\録音";
        ASSERT_EQ(1, list.AppendRecord(record));
    }
    list.AssignIDs();
    RunWithDriver(dlg,
                  [&](DialogDriver&)
                  {
                      HWND hList = GetDlgItem(dlg.m_hWnd, IDC_SOURCE_LIST);
                      DWORD dwStart = GetTickCount();
                      // As the add-files job asks for it from its worker thread.
                      SendMessageA(dlg.m_hWnd, WM_REBUILD_LIST, 0, 0);
                      DWORD dwElapsed = GetTickCount() - dwStart;
                      EXPECT_EQ(kRows, (int)SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0));
                      EXPECT_STREQ("take_09999.wav", CellText(hList, kRows - 1, 0));
                      EXPECT_LE(dwElapsed, 3000u);
                  });
}
