// The main dialog as the user meets it: its fresh state, the keys it ignores,
// the about box, the coloured label and closing while a job runs.
#include "UiDriver.h"
#include "UiHelpers.h"

#include "engine/JobFlags.h"
#include "resources/resource.h"
#include "support/Trace.h"
#include "ui/MyMainDialog.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace
{
int ColumnCount(HWND hList)
{
    return (int)SendMessageA((HWND)SendMessageA(hList, LVM_GETHEADER, 0, 0), HDM_GETITEMCOUNT, 0,
                             0);
}
} // namespace

struct MainDialogTest : testing::Test
{
    void TearDown() override
    {
        ResetJobFlags();
    }
};

TEST_F(MainDialogTest, FreshDialogShowsIdleState)
{
    // The trace file of the previous run is emptied at start-up.
    StartTraceLog(nullptr);
    WriteTraceText("left over from an earlier run", 1);

    CMyMainDialog dlg;
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            ASSERT_NE(nullptr, hDlg);
            EXPECT_STREQ("Wavoss", DialogDriver::Text(hDlg));
            EXPECT_STREQ("00:03:00", d.ItemText(hDlg, IDC_SECTION_LENGTH));
            EXPECT_STREQ("", d.ItemText(hDlg, IDC_OUTPUT_FOLDER_EDIT));
            EXPECT_STREQ("", d.ItemText(hDlg, IDC_TOTAL_SIZE));
            EXPECT_STREQ("出力フォルダ", d.ItemText(hDlg, IDC_OUTPUT_FOLDER_LABEL));

            HWND hList = GetDlgItem(hDlg, IDC_SOURCE_LIST);
            EXPECT_EQ(0, ListView_GetItemCount(hList));
            ASSERT_EQ(3, ColumnCount(hList));
            EXPECT_STREQ("ファイル名", HeaderText(hList, 0));
            EXPECT_STREQ("サイズ", HeaderText(hList, 1));
            EXPECT_STREQ("フォルダパス", HeaderText(hList, 2));
            RECT rc;
            GetClientRect(hDlg, &rc);
            EXPECT_EQ(170, ListView_GetColumnWidth(hList, 0));
            EXPECT_EQ(80, ListView_GetColumnWidth(hList, 1));
            EXPECT_EQ(rc.right - 280, ListView_GetColumnWidth(hList, 2));
            EXPECT_NE(0u, ListView_GetExtendedListViewStyle(hList) & LVS_EX_FULLROWSELECT);
            EXPECT_EQ(0, GetWindowLongA(hList, GWL_STYLE) & LVS_SINGLESEL);

            HWND hProgress = GetDlgItem(hDlg, IDC_PROGRESS);
            EXPECT_EQ(0, SendMessageA(hProgress, PBM_GETPOS, 0, 0));
            EXPECT_EQ(0, SendMessageA(hProgress, PBM_GETRANGE, TRUE, 0));
            EXPECT_EQ(1024, SendMessageA(hProgress, PBM_GETRANGE, FALSE, 0));

            for (int nID :
                 {IDC_EXECUTE, IDOK, IDC_ADD, IDC_REMOVE, IDC_REMOVE_ALL, IDC_OUTPUT_FOLDER})
                EXPECT_TRUE(d.Enabled(hDlg, nID)) << nID;
            EXPECT_FALSE(d.Enabled(hDlg, IDC_ABORT));
            // The list, the edits and the progress bar are never disabled.
            for (int nID : {IDC_SOURCE_LIST, IDC_SECTION_LENGTH, IDC_OUTPUT_FOLDER_EDIT,
                            IDC_TOTAL_SIZE, IDC_PROGRESS})
                EXPECT_TRUE(d.Enabled(hDlg, nID)) << nID;

            // The dialog's icons and the drag icon are the program's icon.
            HICON hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
            ASSERT_NE(nullptr, hIcon);
            EXPECT_EQ((LRESULT)hIcon, SendMessageA(hDlg, WM_GETICON, ICON_BIG, 0));
            EXPECT_EQ((LRESULT)hIcon, SendMessageA(hDlg, WM_GETICON, ICON_SMALL, 0));
            EXPECT_EQ((LRESULT)hIcon, SendMessageA(hDlg, WM_QUERYDRAGICON, 0, 0));

            EXPECT_TRUE(DialogDriver::SaveScreenshot(hDlg, "main-fresh"));
        });
    EXPECT_EQ("", ReadTraceFile());
}

TEST_F(MainDialogTest, EnterAndEscDoNothing)
{
    CMyMainDialog dlg;
    RunWithDriver(dlg,
                  [&](DialogDriver& d)
                  {
                      HWND hDlg = dlg.m_hWnd;
                      ASSERT_NE(nullptr, hDlg);
                      for (int nTarget : {0, IDOK, IDC_SECTION_LENGTH, IDC_SOURCE_LIST, IDC_ADD})
                      {
                          HWND hTarget = nTarget == 0 ? hDlg : GetDlgItem(hDlg, nTarget);
                          for (WPARAM key : {(WPARAM)VK_RETURN, (WPARAM)VK_ESCAPE})
                          {
                              PostMessageA(hTarget, WM_KEYDOWN, key, 1);
                              PostMessageA(hTarget, WM_KEYUP, key, 0xC0000001);
                          }
                      }
                      // Had a key pressed a button, the dialog would close (終了, cancel)
                      // or open something.
                      EXPECT_FALSE(DialogDriver::WaitUntil([&] { return d.DialogEnded(); }, 1000));
                      EXPECT_TRUE(d.OtherDialogs(hDlg).empty());
                      EXPECT_TRUE(d.Enabled(hDlg, IDOK));
                      EXPECT_FALSE(d.Enabled(hDlg, IDC_ABORT));
                  });
}

TEST_F(MainDialogTest, SystemMenuAboutEntryOpensAboutBox)
{
    CMyMainDialog dlg;
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            ASSERT_NE(nullptr, hDlg);
            HMENU hMenu = GetSystemMenu(hDlg, FALSE);
            ASSERT_NE(nullptr, hMenu);
            int nItems = GetMenuItemCount(hMenu);
            ASSERT_GE(nItems, 2);
            MENUITEMINFOA info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE;
            ASSERT_TRUE(GetMenuItemInfoA(hMenu, nItems - 2, TRUE, &info));
            EXPECT_NE(0u, info.fType & MFT_SEPARATOR);
            char acText[256] = {};
            GetMenuStringA(hMenu, nItems - 1, acText, sizeof(acText), MF_BYPOSITION);
            EXPECT_STREQ("Wavoss のバージョン情報(&A)...", acText);
            EXPECT_EQ(IDM_ABOUTBOX, (int)GetMenuItemID(hMenu, nItems - 1));

            PostMessageA(hDlg, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
            HWND hAbout = d.WaitForDialog("Wavossのバージョン情報");
            ASSERT_NE(nullptr, hAbout);
            EXPECT_FALSE(IsWindowEnabled(hDlg)) << "the about box is modal over the dialog";
            EXPECT_EQ(hDlg, GetWindow(hAbout, GW_OWNER));
            bool bVersionShown = false;
            for (HWND hChild = GetWindow(hAbout, GW_CHILD); hChild != nullptr;
                 hChild = GetWindow(hChild, GW_HWNDNEXT))
                bVersionShown |= DialogDriver::Text(hChild) == "Wavoss Version 0.6";
            EXPECT_TRUE(bVersionShown);
            EXPECT_TRUE(DialogDriver::SaveScreenshot(hAbout, "about-box"));

            DialogDriver::Click(hAbout, IDOK);
            EXPECT_TRUE(DialogDriver::WaitUntil(
                [&] { return !IsWindow(hAbout) || !IsWindowVisible(hAbout); }));
            EXPECT_TRUE(DialogDriver::WaitUntil([&] { return IsWindowEnabled(hDlg) != 0; }));
            EXPECT_FALSE(d.DialogEnded());
        });
}

TEST_F(MainDialogTest, LabelColoursFollowThePointerOverTheOutputFolderButton)
{
    const COLORREF crYellow = RGB(255, 255, 0), crGrey = RGB(100, 100, 100);
    CMyMainDialog dlg;
    RunWithDriver(
        dlg,
        [&](DialogDriver&)
        {
            HWND hDlg = dlg.m_hWnd;
            ASSERT_NE(nullptr, hDlg);
            HWND hLabel = GetDlgItem(hDlg, IDC_OUTPUT_FOLDER_LABEL);
            // The colours the dialog gives the label's painting, and what is on screen.
            auto labelColours = [&](COLORREF* pcrText, COLORREF* pcrBack, COLORREF* pcrBrush)
            {
                HDC hDC = CreateCompatibleDC(nullptr);
                HBRUSH hBrush =
                    (HBRUSH)SendMessageA(hDlg, WM_CTLCOLORSTATIC, (WPARAM)hDC, (LPARAM)hLabel);
                *pcrText = GetTextColor(hDC);
                *pcrBack = GetBkColor(hDC);
                LOGBRUSH lb = {};
                GetObjectA(hBrush, sizeof(lb), &lb);
                *pcrBrush = lb.lbColor;
                DeleteDC(hDC);
            };
            // Rests the pointer on a control until the label shows the colour.
            // The pointer is placed again on every poll: on a busy machine
            // Wine can drop a single move before the window sees it.
            int nNudge = 0;
            auto pointAt = [&](int nID, COLORREF crWanted)
            {
                RECT rc;
                GetWindowRect(GetDlgItem(hDlg, nID), &rc);
                return DialogDriver::WaitUntil(
                    [&]
                    {
                        nNudge ^= 1;
                        SetCursorPos((rc.left + rc.right) / 2 + nNudge, (rc.top + rc.bottom) / 2);
                        return DialogDriver::ScreenPixel(hLabel, 2, 2) == crWanted;
                    });
            };
            COLORREF crText, crBack, crBrush;

            EXPECT_TRUE(pointAt(IDC_ADD, crGrey));
            labelColours(&crText, &crBack, &crBrush);
            EXPECT_EQ(RGB(255, 255, 255), crText);
            EXPECT_EQ(crGrey, crBack);
            EXPECT_EQ(crGrey, crBrush);

            EXPECT_TRUE(pointAt(IDC_OUTPUT_FOLDER, crYellow))
                << std::hex << DialogDriver::ScreenPixel(hLabel, 2, 2);
            labelColours(&crText, &crBack, &crBrush);
            EXPECT_EQ(RGB(0, 0, 0), crText);
            EXPECT_EQ(crYellow, crBack);
            EXPECT_EQ(crYellow, crBrush);
            EXPECT_TRUE(DialogDriver::SaveScreenshot(hDlg, "main-hover"));

            EXPECT_TRUE(pointAt(IDC_SOURCE_LIST, crGrey));
            labelColours(&crText, &crBack, &crBrush);
            EXPECT_EQ(RGB(255, 255, 255), crText);

            // Every other static keeps the platform's colours.
            HDC hDC = CreateCompatibleDC(nullptr);
            HBRUSH hOther =
                (HBRUSH)SendMessageA(hDlg, WM_CTLCOLORSTATIC, (WPARAM)hDC,
                                     (LPARAM)GetDlgItem(hDlg, IDC_SECTION_LENGTH_LABEL));
            LOGBRUSH lb = {};
            GetObjectA(hOther, sizeof(lb), &lb);
            EXPECT_NE(crGrey, lb.lbColor);
            EXPECT_NE(crYellow, lb.lbColor);
            DeleteDC(hDC);
        });
}

TEST_F(MainDialogTest, ClosingWhileAJobRunsWaitsForTheJobToStop)
{
    CMyMainDialog dlg;
    RunWithDriver(dlg,
                  [&](DialogDriver& d)
                  {
                      HWND hDlg = dlg.m_hWnd;
                      ASSERT_NE(nullptr, hDlg);
                      HWND hList = GetDlgItem(hDlg, IDC_SOURCE_LIST);
                      g_bIdle.store(0); // a job is running
                      PostMessageA(hDlg, WM_CLOSE, 0, 0);
                      ASSERT_TRUE(DialogDriver::WaitUntil([&] { return g_bClosing.load() == 1; }));
                      EXPECT_EQ(1, g_bAbort.load());
                      // The job can still reach the list while the window waits for it.
                      DWORD_PTR dwCount = 99;
                      EXPECT_NE(0, SendMessageTimeoutA(hList, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL,
                                                       3000, &dwCount));
                      EXPECT_EQ(0u, dwCount);
                      // The window stays until the job has stopped...
                      EXPECT_FALSE(DialogDriver::WaitUntil([&] { return d.DialogEnded(); }, 1500));
                      EXPECT_TRUE(IsWindow(hDlg));
                      // ...and goes within a second of it.
                      g_bIdle.store(1);
                      EXPECT_TRUE(DialogDriver::WaitUntil([&] { return d.DialogEnded(); }, 2500));
                  });
}
