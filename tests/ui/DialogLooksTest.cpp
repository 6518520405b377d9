// How the dialogs look: every text of "分割方法" on one line in its control,
// the preview's columns as wide as their texts, and the preview window made
// larger or maximised with its list.
#include "PlanChoiceSteps.h"
#include "UiDriver.h"
#include "UiHelpers.h"

#include "engine/JobFlags.h"
#include "resources/resource.h"
#include "ui/MyMainDialog.h"
#include "ui/MyPlanDialog.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace
{
BOOL CALLBACK CollectChild(HWND hWnd, LPARAM lParam)
{
    ((std::vector<HWND>*)lParam)->push_back(hWnd);
    return TRUE;
}

// A Shift-JIS text as the test's output shows it.
std::string Utf8(const char* pcText)
{
    wchar_t awcText[512] = {};
    MultiByteToWideChar(932, 0, pcText, -1, awcText, 512);
    char acText[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, awcText, -1, acText, sizeof(acText), nullptr, nullptr);
    return acText;
}

// The text's size in the control's font.
SIZE TextSize(HWND hWnd, const char* pcText)
{
    SIZE size = {};
    HDC hDC = GetDC(hWnd);
    HGDIOBJ hOld = SelectObject(hDC, (HFONT)SendMessageA(hWnd, WM_GETFONT, 0, 0));
    GetTextExtentPoint32A(hDC, pcText, lstrlenA(pcText), &size);
    SelectObject(hDC, hOld);
    ReleaseDC(hWnd, hDC);
    return size;
}

// What of the control's width its text does not get: a check box's box, a
// group's frame, a button's edges.
int NotForText(HWND hWnd)
{
    char acClass[32] = {};
    GetClassNameA(hWnd, acClass, sizeof(acClass));
    if (lstrcmpiA(acClass, "Button") != 0)
        return 0;
    switch (GetWindowLongA(hWnd, GWL_STYLE) & BS_TYPEMASK)
    {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return GetSystemMetrics(SM_CXMENUCHECK) + 6;
    case BS_GROUPBOX:
        return 20;
    default:
        return 2 * GetSystemMetrics(SM_CXEDGE) + 8;
    }
}

RECT RectIn(HWND hParent, HWND hWnd)
{
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    MapWindowPoints(nullptr, hParent, (POINT*)&rc, 2);
    return rc;
}
} // namespace

using DialogLooksTest = UiWindowTest;

// Each text has a quarter of its width to spare: the system's own font draws
// Japanese wider, against the dialog's units, than the font here does (a
// text with a sixth to spare here was seen to wrap there). Cancel is said as
// in the picker.
TEST_F(DialogLooksTest, PlanDialogTextsFitTheirControls)
{
    CMyPlanChoice choice;
    CString strLength = "00:03:00";
    CMyPlanDialog dlg(nullptr, &choice, &strLength);
    RunWithDriver(dlg,
                  [&](DialogDriver& d)
                  {
                      HWND hPlan = dlg.m_hWnd;
                      EXPECT_STREQ("ｷｬﾝｾﾙ", d.ItemText(hPlan, IDCANCEL));
                      std::vector<HWND> controls;
                      EnumChildWindows(hPlan, CollectChild, (LPARAM)&controls);
                      int nTexts = 0;
                      for (HWND hWnd : controls)
                      {
                          char acClass[32] = {};
                          GetClassNameA(hWnd, acClass, sizeof(acClass));
                          const CString strText = DialogDriver::Text(hWnd);
                          // The boxes hold what the user types.
                          if (strText.IsEmpty() || (lstrcmpiA(acClass, "Button") != 0 &&
                                                    lstrcmpiA(acClass, "Static") != 0))
                              continue;
                          SCOPED_TRACE(Utf8(strText));
                          ++nTexts;
                          const SIZE size = TextSize(hWnd, strText);
                          RECT rc = {};
                          GetClientRect(hWnd, &rc);
                          EXPECT_LE(size.cx + size.cx / 4, rc.right - NotForText(hWnd));
                          EXPECT_LE(size.cy, rc.bottom);
                      }
                      EXPECT_GE(nTexts, 24); // every text was measured
                  });
}

// A marker's long label and a long name: no cell is cut. Made larger, the
// window gives the list the room; maximised, the list fills the screen's width.
TEST_F(DialogLooksTest, PreviewColumnsFitAndTheWindowGrows)
{
    std::string rec = TestFolder("looks");
    WriteMarkedWave(rec + "\\第三四半期の営業会議の録音.wav", 160000,
                    {{40000, "第三四半期の売上と来期の予算についての議論"}}, {});
    CMyMainDialog dlg;
    AddFile(dlg.GetPathList(), rec, "第三四半期の営業会議の録音.wav", 160044);
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            d.Click(hDlg, IDC_PLAN_METHOD);
            HWND hPlan = d.WaitForDialog("分割方法");
            ASSERT_NE(nullptr, hPlan);
            PostMessageA(GetDlgItem(hPlan, IDC_PLAN_MARKERS), BM_CLICK, 0, 0);
            d.Click(hPlan, IDOK);
            ASSERT_TRUE(ClosedDialog(d, "分割方法"));

            HWND hPreview = PlannedPreview(d, hDlg);
            ASSERT_NE(nullptr, hPreview);
            HWND hRows = GetDlgItem(hPreview, IDC_PREVIEW_LIST);
            ASSERT_EQ(2, ListView_GetItemCount(hRows));
            for (int j = 0; j < 5; j++)
            {
                const int nWidth = ListView_GetColumnWidth(hRows, j);
                const CString strHeader = HeaderText(hRows, j);
                EXPECT_LE(ListView_GetStringWidth(hRows, strHeader) + 12, nWidth) << j;
                for (int i = 0; i < 2; i++)
                {
                    const CString strCell = CellText(hRows, i, j);
                    EXPECT_LE(ListView_GetStringWidth(hRows, strCell) + 12, nWidth)
                        << i << "," << j << " " << Utf8(strCell);
                }
            }

            const LONG lStyle = GetWindowLongA(hPreview, GWL_STYLE);
            EXPECT_TRUE(lStyle & WS_THICKFRAME);
            EXPECT_TRUE(lStyle & WS_MAXIMIZEBOX);
            RECT rcWindow = {}, rcClient = {};
            GetWindowRect(hPreview, &rcWindow);
            GetClientRect(hPreview, &rcClient);
            const RECT rcList = RectIn(hPreview, hRows);
            const RECT rcClose = RectIn(hPreview, GetDlgItem(hPreview, IDCANCEL));
            SetWindowPos(hPreview, nullptr, 0, 0, rcWindow.right - rcWindow.left + 200,
                         rcWindow.bottom - rcWindow.top + 100, SWP_NOMOVE | SWP_NOZORDER);
            const RECT rcListGrown = RectIn(hPreview, hRows);
            const RECT rcCloseMoved = RectIn(hPreview, GetDlgItem(hPreview, IDCANCEL));
            EXPECT_EQ(rcList.left, rcListGrown.left);
            EXPECT_EQ(rcList.top, rcListGrown.top);
            EXPECT_EQ(rcList.right + 200, rcListGrown.right);
            EXPECT_EQ(rcList.bottom + 100, rcListGrown.bottom);
            EXPECT_EQ(rcClose.left + 200, rcCloseMoved.left);
            EXPECT_EQ(rcClose.top + 100, rcCloseMoved.top);
            EXPECT_EQ(rcClose.right - rcClose.left, rcCloseMoved.right - rcCloseMoved.left);

            PostMessageA(hPreview, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            RECT rcMax = {}, rcListMax = {};
            d.WaitUntil(
                [&]
                {
                    GetClientRect(hPreview, &rcMax);
                    rcListMax = RectIn(hPreview, hRows);
                    return IsZoomed(hPreview) &&
                           rcMax.right - rcListMax.right == rcClient.right - rcList.right;
                });
            EXPECT_TRUE(IsZoomed(hPreview));
            EXPECT_GT(rcMax.right, GetSystemMetrics(SM_CXSCREEN) * 9 / 10);
            EXPECT_EQ(rcClient.right - rcList.right, rcMax.right - rcListMax.right);
            EXPECT_EQ(rcClient.bottom - rcList.bottom, rcMax.bottom - rcListMax.bottom);
            d.Click(hPreview, IDCANCEL);
        });
    EXPECT_TRUE(BoxRecorder::Boxes().empty());
}
