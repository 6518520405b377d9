// The picker as the user meets it: the rows of a folder, moving by
// double-click, Up and the drive selector, Select all, confirming, the
// column sorts, and the folder it opens in.
#include "UiHelpers.h"
#include "UiPicks.h"

#include "resources/resource.h"
#include "support/Trace.h"
#include "ui/MyFileDialog.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

namespace
{
void WriteFileOfSize(const std::string& path, DWORD dwSize)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    SetFilePointer(h, (LONG)dwSize, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
}

// Days after 2020-01-01 as the file's last-write time.
void SetWriteDay(const std::string& path, int nDay)
{
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    ULONGLONG ull = 132223104000000000ull + (ULONGLONG)nDay * 864000000000ull;
    FILETIME ft = {(DWORD)ull, (DWORD)(ull >> 32)};
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
}

int RowImage(HWND hList, int nRow)
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = nRow;
    SendMessageA(hList, LVM_GETITEMA, 0, (LPARAM)&item);
    return item.iImage;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c + 32);
    return text;
}

void ChooseDrive(HWND hPicker, const char* pcDrive)
{
    HWND hDrives = GetDlgItem(hPicker, IDC_DRIVE_LIST);
    int nItem = (int)SendMessageA(hDrives, LB_FINDSTRING, (WPARAM)-1, (LPARAM)pcDrive);
    ASSERT_GE(nItem, 0) << pcDrive;
    SendMessageA(hDrives, LB_SETCURSEL, (WPARAM)nItem, 0);
    SendMessageA(hPicker, WM_COMMAND, MAKEWPARAM(IDC_DRIVE_LIST, LBN_SELCHANGE), (LPARAM)hDrives);
}

CString ShownDrive(HWND hPicker)
{
    HWND hDrives = GetDlgItem(hPicker, IDC_DRIVE_LIST);
    int nItem = (int)SendMessageA(hDrives, LB_GETCURSEL, 0, 0);
    char acText[16] = {};
    if (nItem >= 0)
        SendMessageA(hDrives, LB_GETTEXT, (WPARAM)nItem, (LPARAM)acText);
    return CString(acText);
}
} // namespace

TEST(Picker, ShowsTheFolderAndMovesBetweenFolders)
{
    std::string root = TestFolder("nav", "ui_pick");
    CreateDirectoryA((root + "\\sub").c_str(), nullptr);
    CreateDirectoryA((root + "\\Another").c_str(), nullptr);
    WriteFileOfSize(root + "\\b.wav", 1234567);
    WriteFileOfSize(root + "\\a.txt", 3);
    WriteWave(root + "\\sub\\x.wav", 10);
    char acBefore[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof(acBefore), acBefore);

    CMyFileDialog picker(nullptr);
    EXPECT_EQ(1, picker.SetInitialFolder(root.c_str()));
    INT_PTR nResult = RunWithDriver(
        picker,
        [&](DialogDriver& d)
        {
            HWND h = picker.m_hWnd;
            HWND hList = GetDlgItem(h, IDC_FILE_LIST);
            EXPECT_STREQ(kPickerCaption, DialogDriver::Text(h));
            EXPECT_TRUE(PickerShows(h, root));
            EXPECT_STREQ("ファイル名", HeaderText(hList, 0));
            EXPECT_STREQ("ファイルサイズ", HeaderText(hList, 1));
            EXPECT_STREQ("更新日付", HeaderText(hList, 2));
            ASSERT_EQ("Another|sub|a.txt|b.wav", RowNames(hList));
            EXPECT_STREQ("0", CellText(hList, 0, 1));
            EXPECT_STREQ("3", CellText(hList, 2, 1));
            EXPECT_STREQ("1,234,567", CellText(hList, 3, 1));
            std::string date = (const char*)CellText(hList, 3, 2);
            ASSERT_EQ(19u, date.size()) << date;
            EXPECT_EQ("// ::", date.substr(4, 1) + date.substr(7, 1) + date.substr(10, 1) +
                                   date.substr(13, 1) + date.substr(16, 1));
            for (int nRow = 0; nRow < 4; nRow++)
                EXPECT_EQ(nRow < 2 ? 1 : 0, RowImage(hList, nRow)) << nRow;
            EXPECT_STREQ(root.substr(0, 2).c_str(), ShownDrive(h));
            Select(hList, 1);
            Select(hList, 3);
            d.SaveScreenshot(h, "picker");

            // A file does nothing; a folder is entered; Up comes back.
            DoubleClickRow(hList, FindRow(hList, "a.txt"));
            Sleep(300);
            EXPECT_TRUE(PickerShows(h, root));
            DoubleClickRow(hList, FindRow(hList, "sub"));
            EXPECT_TRUE(d.WaitUntil([&] { return PickerShows(h, root + "\\sub"); }));
            EXPECT_EQ("x.wav", RowNames(hList));
            d.Click(h, IDC_UP);
            EXPECT_TRUE(d.WaitUntil([&] { return PickerShows(h, root); }));
            EXPECT_EQ("Another|sub|a.txt|b.wav", RowNames(hList));

            // Another drive: its root, where Up stays.
            ChooseDrive(h, "C:");
            EXPECT_TRUE(PickerShows(h, "C:\\"));
            EXPECT_NE(std::string::npos, ("|" + Lower(RowNames(hList)) + "|").find("|windows|"));
            EXPECT_EQ(std::string::npos, RowNames(hList).find("|..|"));
            d.Click(h, IDC_UP);
            Sleep(300);
            EXPECT_TRUE(PickerShows(h, "C:\\"));
            int nWindows = -1;
            for (int i = 0; i < ListView_GetItemCount(hList) && nWindows < 0; i++)
                if (Lower((const char*)CellText(hList, i, 0)) == "windows")
                    nWindows = i;
            ASSERT_GE(nWindows, 0);
            std::string windows = std::string("C:\\") + (const char*)CellText(hList, nWindows, 0);
            DoubleClickRow(hList, nWindows);
            EXPECT_TRUE(d.WaitUntil([&] { return PickerShows(h, windows); }));
            d.Click(h, IDC_UP);
            EXPECT_TRUE(d.WaitUntil([&] { return PickerShows(h, "C:\\"); }));
            EXPECT_STREQ("C:", ShownDrive(h));
            d.Click(h, IDCANCEL);
        });
    EXPECT_EQ(IDCANCEL, nResult);
    char acAfter[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof(acAfter), acAfter);
    EXPECT_STREQ(acBefore, acAfter);
}

TEST(Picker, ConfirmTakesExactlyTheSelectedRows)
{
    std::string root = TestFolder("confirm", "ui_pick");
    CreateDirectoryA((root + "\\three").c_str(), nullptr);
    WriteWave(root + "\\one.wav", 10);
    WriteWave(root + "\\two.wav", 10);
    static const struct
    {
        int bSelectAll;
        const char* pcKept;
    } kCases[] = {{0, "three|two.wav"}, {1, "three|one.wav|two.wav"}};
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.pcKept);
        BoxRecorder boxes;
        CMyFileDialog picker(nullptr);
        picker.SetInitialFolder(root.c_str());
        INT_PTR nResult = RunWithDriver(
            picker,
            [&](DialogDriver& d)
            {
                HWND h = picker.m_hWnd;
                HWND hList = GetDlgItem(h, IDC_FILE_LIST);
                d.Click(h, IDOK);
                EXPECT_TRUE(d.WaitUntil([] { return !BoxRecorder::Boxes().empty(); }));
                EXPECT_FALSE(d.DialogEnded());
                EXPECT_EQ("three|one.wav|two.wav", RowNames(hList));
                if (c.bSelectAll)
                {
                    d.Click(h, IDC_SELECT_ALL);
                    EXPECT_TRUE(d.WaitUntil([&] { return SelectedCount(hList) == 3; }));
                }
                else
                {
                    Select(hList, FindRow(hList, "two.wav"));
                    Select(hList, FindRow(hList, "three"));
                }
                d.Click(h, IDOK);
                EXPECT_TRUE(d.WaitUntil([&] { return d.DialogEnded(); }));
            });
        EXPECT_EQ(IDOK, nResult);
        ASSERT_EQ(1u, BoxRecorder::Boxes().size());
        EXPECT_EQ("何も選択されていません", BoxRecorder::Boxes()[0]);
        std::string kept;
        for (int i = 0; i < picker.GetEntryCount(); i++)
            kept += std::string(i ? "|" : "") + picker.GetEntry(i).cFileName;
        EXPECT_EQ(c.pcKept, kept);
        CString strFolder;
        EXPECT_EQ(1, picker.GetCurrentFolder(strFolder));
        EXPECT_STREQ(root.c_str(), strFolder);
    }
}

TEST(Picker, ColumnsSortFilesBelowFoldersAndClearTheSelection)
{
    std::string root = TestFolder("sort", "ui_pick");
    CreateDirectoryA((root + "\\dir").c_str(), nullptr);
    CreateDirectoryA((root + "\\one").c_str(), nullptr);
    WriteFileOfSize(root + "\\one\\solo.wav", 5);
    const struct
    {
        const char* pcName;
        DWORD dwSize;
        int nDay;
    } kFiles[] = {{"s1.wav", 300, 5}, {"s2.wav", 100, 9}, {"s3.wav", 200, 1}};
    for (const auto& f : kFiles)
    {
        WriteFileOfSize(root + "\\" + f.pcName, f.dwSize);
        SetWriteDay(root + "\\" + f.pcName, f.nDay);
    }
    StartTraceLog(nullptr);
    CMyFileDialog picker(nullptr);
    picker.SetInitialFolder(root.c_str());
    RunWithDriver(picker,
                  [&](DialogDriver& d)
                  {
                      HWND h = picker.m_hWnd;
                      HWND hList = GetDlgItem(h, IDC_FILE_LIST);
                      const struct
                      {
                          int nColumn;
                          const char* pcRows;
                      } kClicks[] = {
                          {1, "dir|one|s2.wav|s3.wav|s1.wav"}, {1, "dir|one|s1.wav|s3.wav|s2.wav"},
                          {0, "dir|one|s1.wav|s2.wav|s3.wav"}, {0, "one|dir|s3.wav|s2.wav|s1.wav"},
                          {2, "dir|one|s3.wav|s1.wav|s2.wav"}, {2, "one|dir|s2.wav|s1.wav|s3.wav"},
                      };
                      for (const auto& click : kClicks)
                      {
                          SCOPED_TRACE(click.pcRows);
                          Select(hList, 0);
                          Select(hList, 3);
                          ClickHeader(hList, click.nColumn);
                          EXPECT_TRUE(d.WaitUntil(
                              [&]
                              { return RowNames(hList) == click.pcRows && d.Enabled(h, IDOK); }))
                              << RowNames(hList);
                          EXPECT_EQ(0, SelectedCount(hList));
                          EXPECT_TRUE(d.Enabled(h, IDCANCEL) && d.Enabled(h, IDC_UP) &&
                                      d.Enabled(h, IDC_SELECT_ALL));
                      }
                      // One file: nothing to sort, and the trace says so.
                      DoubleClickRow(hList, FindRow(hList, "one"));
                      EXPECT_TRUE(d.WaitUntil([&] { return PickerShows(h, root + "\\one"); }));
                      ClickHeader(hList, 1);
                      EXPECT_TRUE(d.WaitUntil(
                          [&] {
                              return ReadTraceFile().find("CMyFileDialog::SortFileBySizeLoToHi") !=
                                     std::string::npos;
                          }));
                      EXPECT_TRUE(d.WaitUntil([&] { return d.Enabled(h, IDOK); }));
                      EXPECT_EQ("solo.wav", RowNames(hList));
                  });
}

// While a sort reorders the entries, moving elsewhere or sorting again would
// rewrite them under it, and closing would delete what it writes to: a drive
// change, a double-click, another column click and the closing keys wait.
TEST(Picker, MovingWaitsWhileASortRuns)
{
    std::string root = TestFolder("many", "ui_pick");
    CreateDirectoryA((root + "\\aaa").c_str(), nullptr);
    for (int i = 0; i < 4000; i++)
    {
        char acName[32];
        wsprintfA(acName, "\\f%04d.wav", 3999 - i);
        HANDLE hFile = CreateFileA((root + acName).c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, 0, nullptr);
        CloseHandle(hFile);
    }
    BoxRecorder boxes;
    CMyFileDialog picker(nullptr);
    picker.SetInitialFolder(root.c_str());
    INT_PTR nResult =
        RunWithDriver(picker,
                      [&](DialogDriver& d)
                      {
                          HWND h = picker.m_hWnd;
                          HWND hList = GetDlgItem(h, IDC_FILE_LIST);
                          ASSERT_EQ(4001, ListView_GetItemCount(hList));
                          CString strDrive = ShownDrive(h);
                          ClickHeader(hList, 0);
                          ASSERT_TRUE(d.WaitUntil([&] { return !d.Enabled(h, IDOK); }));
                          // Each sent, so that each has been handled when the check below runs.
                          ChooseDrive(h, strDrive == "C:" ? "Z:" : "C:");
                          PointAtRow(hList, 0);
                          NMHDR notify = {hList, IDC_FILE_LIST, (UINT)NM_DBLCLK};
                          SendMessageA(h, WM_NOTIFY, IDC_FILE_LIST, (LPARAM)&notify);
                          SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                          SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                          // A second sort at once would reorder the same entries under the first.
                          NMLISTVIEW column = {};
                          column.hdr = {hList, IDC_FILE_LIST, (UINT)LVN_COLUMNCLICK};
                          column.iItem = -1;
                          column.iSubItem = 0;
                          SendMessageA(h, WM_NOTIFY, IDC_FILE_LIST, (LPARAM)&column);
                          ASSERT_FALSE(d.Enabled(h, IDOK))
                              << "the sort ended too soon to test anything";
                          EXPECT_TRUE(d.WaitUntil([&] { return d.Enabled(h, IDOK); }, 60000));
                          EXPECT_FALSE(d.DialogEnded());
                          EXPECT_TRUE(PickerShows(h, root));
                          EXPECT_STREQ(strDrive, ShownDrive(h));
                          EXPECT_EQ(4001, ListView_GetItemCount(hList));
                          EXPECT_STREQ("aaa", CellText(hList, 0, 0));
                          EXPECT_STREQ("f0000.wav", CellText(hList, 1, 0));
                          EXPECT_STREQ("f3999.wav", CellText(hList, 4000, 0));
                          d.Click(h, IDCANCEL);
                      });
    EXPECT_EQ(IDCANCEL, nResult);
    EXPECT_TRUE(BoxRecorder::Boxes().empty());
}

TEST(Picker, OpensOnlyInAFolderThatExists)
{
    std::string root = TestFolder("initial", "ui_pick");
    WriteWave(root + "\\file.wav", 10);
    const struct
    {
        const char* pcPath;
        int nTaken;
    } kCases[] = {
        // "C:" is tested as "C:\", a path the directory search never finds.
        {nullptr, 0}, {"", 0}, {root.c_str(), 1}, {"C:", 0}, {"C:\\", 1}, {"C:x", 0}, {"1:", 0},
    };
    for (const auto& c : kCases)
    {
        CMyFileDialog picker(nullptr);
        EXPECT_EQ(c.nTaken, picker.SetInitialFolder(c.pcPath)) << (c.pcPath ? c.pcPath : "null");
    }
    std::string missing = root + "\\missing";
    std::string file = root + "\\file.wav";
    for (const std::string& path : {missing, file})
    {
        CMyFileDialog picker(nullptr);
        EXPECT_EQ(0, picker.SetInitialFolder(path.c_str()));
        RunWithDriver(picker,
                      [&](DialogDriver&)
                      {
                          CString strProgram;
                          GetProgramFolder(&strProgram);
                          EXPECT_STREQ(strProgram,
                                       DialogDriver::ItemText(picker.m_hWnd, IDC_CURRENT_FOLDER));
                      });
    }
}
