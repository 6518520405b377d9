// Names the code page (932) cannot hold, met in the window: "café.wav" beside
// "cafe.wav", dropped, listed by the picker, found by the walk, and dropped
// on the output-folder box. Such names are never searched for with a
// substitute; they are left out, and a box names them.
#include "UiDriver.h"
#include "UiHelpers.h"
#include "UiPicks.h"

#include "engine/JobFlags.h"
#include "platform/ExactNames.h"
#include "resources/resource.h"
#include "ui/MyMainDialog.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

namespace
{
const WCHAR kNotAdded[] =
    L"個のファイル・フォルダは名前にシフトJISで表せない文字があるため追加しませんでした。";

// "café.wav" (100 data bytes) and "cafe.wav" (200) side by side.
std::wstring MakeCafes(const char* pcName)
{
    std::wstring folder = WidenAnsi(TestFolder(pcName, "ui_names").c_str());
    WriteWaveWide(folder + L"\\café.wav", 100, 3);
    WriteWaveWide(folder + L"\\cafe.wav", 200, 5);
    return folder;
}

// The box's text once it came, then closed; empty when none came.
std::wstring TakeNameBox()
{
    HWND hBox = WaitForNameBox();
    if (hBox == nullptr)
        return std::wstring();
    std::wstring strText = NameBoxText(hBox);
    CloseNameBox(hBox);
    return strText;
}
} // namespace

using UnholdableNamesTest = UiWindowTest;

TEST_F(UnholdableNamesTest, DroppedNamesAreLeftOutAndNamed)
{
    std::wstring rec = MakeCafes("drop");
    CreateDirectoryW((rec + L"\\sub").c_str(), nullptr);
    CreateDirectoryW((rec + L"\\sub\\été").c_str(), nullptr);
    WriteWaveWide(rec + L"\\sub\\naïve.wav", 100);
    WriteWaveWide(rec + L"\\sub\\été\\x.wav", 100);
    WriteWaveWide(rec + L"\\sub\\ok.wav", 300);
    WriteWaveWide(rec + L"\\sub\\mémo.txt", 10); // not a WAV name: not worth a word
    CMyMainDialog dlg;
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            HWND hSource = GetDlgItem(hDlg, IDC_SOURCE_LIST);
            // Alone, it is not looked up as "caf?.wav" (which finds cafe.wav).
            PostMessageW(hSource, WM_DROPFILES, (WPARAM)MakeWideDrop({rec + L"\\café.wav"}), 0);
            std::wstring strAlone =
                L"※　1 " + std::wstring(kNotAdded) + L"\n\n" + rec + L"\\café.wav";
            EXPECT_EQ(strAlone, TakeNameBox());
            EXPECT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg); }));
            EXPECT_EQ(0, ListView_GetItemCount(hSource));

            // With the others: cafe.wav, the sub-folder's ok.wav, and a box
            // that names the rest, the walk's names after the drop's.
            PostMessageW(
                hSource, WM_DROPFILES,
                (WPARAM)MakeWideDrop({rec + L"\\café.wav", rec + L"\\cafe.wav", rec + L"\\sub"}),
                0);
            std::wstring strBox = TakeNameBox();
            std::wstring strHead =
                L"※　3 " + std::wstring(kNotAdded) + L"\n\n" + rec + L"\\café.wav\n";
            std::wstring strWalkFile = L"\n" + rec + L"\\sub\\naïve.wav";
            std::wstring strWalkFolder = L"\n" + rec + L"\\sub\\été";
            EXPECT_EQ(0u, strBox.find(strHead)) << strBox.size();
            EXPECT_NE(std::wstring::npos, strBox.find(strWalkFile));
            EXPECT_NE(std::wstring::npos, strBox.find(strWalkFolder));
            ASSERT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg) && g_bIdle.load() == 1; }, 20000));
            EXPECT_EQ("cafe.wav|ok.wav", RowNames(hSource));
            EXPECT_STREQ("244", CellText(hSource, 0, 1));
        });
    EXPECT_TRUE(BoxRecorder::Boxes().empty());
}

TEST_F(UnholdableNamesTest, PickerListsOnlyNamesItCanHoldAndSaysWhichItLeftOut)
{
    std::wstring rec = MakeCafes("pick");
    CMyMainDialog dlg;
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            HWND hPicker = OpenPicker(d, hDlg);
            ASSERT_NE(nullptr, hPicker);
            EnterFolders(d, hPicker, {"ui_names", "pick"});
            HWND hBox = WaitForNameBox();
            ASSERT_NE(nullptr, hBox);
            DialogDriver::SaveScreenshot(hBox, "names-picker");
            std::wstring strExpect = L"※　1 個のファイル・フォルダは名前にシフトJISで表せない"
                                     L"文字があるため表示しません。\n\ncafé.wav";
            EXPECT_EQ(strExpect, NameBoxText(hBox));
            CloseNameBox(hBox);
            HWND hFiles = GetDlgItem(hPicker, IDC_FILE_LIST);
            EXPECT_EQ("cafe.wav", RowNames(hFiles));
            d.Click(hPicker, IDC_SELECT_ALL);
            EXPECT_TRUE(d.WaitUntil([&] { return SelectedCount(hFiles) == 1; }));
            d.Click(hPicker, IDOK);
            HWND hSource = GetDlgItem(hDlg, IDC_SOURCE_LIST);
            ASSERT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg) && g_bIdle.load() == 1; }, 20000));
            EXPECT_EQ("cafe.wav", RowNames(hSource));
            EXPECT_STREQ("244", CellText(hSource, 0, 1));
        });
    EXPECT_TRUE(BoxRecorder::Boxes().empty());
}

TEST_F(UnholdableNamesTest, OutputFolderDropIsNotTakenForALookAlike)
{
    std::string parentA = TestFolder("out", "ui_names");
    std::wstring parent = WidenAnsi(parentA.c_str());
    CreateDirectoryW((parent + L"\\café").c_str(), nullptr);
    CreateDirectoryW((parent + L"\\cafe").c_str(), nullptr);
    CMyMainDialog dlg;
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            HWND hEdit = GetDlgItem(hDlg, IDC_OUTPUT_FOLDER_EDIT);
            PostMessageW(hEdit, WM_DROPFILES, (WPARAM)MakeWideDrop({parent + L"\\café"}), 0);
            std::wstring strExpect = L"※　1 個のフォルダは名前にシフトJISで表せない文字がある"
                                     L"ため出力フォルダにできません。\n\n" +
                                     parent + L"\\café";
            EXPECT_EQ(strExpect, TakeNameBox());
            EXPECT_STREQ("", d.ItemText(hDlg, IDC_OUTPUT_FOLDER_EDIT));
            PostMessageW(hEdit, WM_DROPFILES, (WPARAM)MakeWideDrop({parent + L"\\cafe"}), 0);
            EXPECT_TRUE(d.WaitUntil(
                [&] {
                    return d.ItemText(hDlg, IDC_OUTPUT_FOLDER_EDIT) ==
                           CString((parentA + "\\cafe").c_str());
                }));
        });
}
