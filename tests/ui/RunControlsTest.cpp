// The run controls as the user meets them: Execute's refusals, a run that
// writes its pieces and fills the bar, Abort during a run, and the output
// folder chosen in the shell's folder browser.
#include "UiDriver.h"
#include "UiHelpers.h"

#include "engine/JobFlags.h"
#include "framework/AfxMessageBox.h"
#include "resources/resource.h"
#include "support/Trace.h"
#include "ui/MyMainDialog.h"
#include "ui/OutputFolder.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

struct RunControlsTest : testing::Test
{
    void TearDown() override
    {
        ResetJobFlags();
    }
    BoxRecorder m_boxes;
};

TEST_F(RunControlsTest, ExecuteRefusesInOrder)
{
    static const struct
    {
        int bFiles;
        const char* pcSection;
        const char* pcOutput;
        const char* pcBox;
        int bTraced;
    } kCases[] = {
        {0, "0:0:0", "", "※　分割元ファイルがセットされていません。", 0},
        {1, "0:0:0", "", "※　無効な区間長です。", 1},
        {1, "abc", "C:\\out", "※　無効な区間長です。", 1},
        {1, "00:00:05", "", "出力フォルダがセットされていません", 0},
        {1, "00:00:05", " \t　", "出力フォルダがセットされていません", 0},
        {1, "00:00:05", "out", "出力フォルダが絶対パスでセットされていません", 0},
        {1, "00:00:05", "C:", "出力フォルダが絶対パスでセットされていません", 0},
        {1, "00:00:05", "\\src", "出力フォルダが絶対パスでセットされていません", 0},
    };
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.pcBox);
        BoxRecorder::Clear();
        StartTraceLog(nullptr);
        CMyMainDialog dlg;
        if (c.bFiles)
            AddFile(dlg.GetPathList(), "C:\\src", "a.wav", 100);
        RunWithDriver(dlg,
                      [&](DialogDriver& d)
                      {
                          HWND hDlg = dlg.m_hWnd;
                          d.Type(hDlg, IDC_SECTION_LENGTH, c.pcSection);
                          d.Type(hDlg, IDC_OUTPUT_FOLDER_EDIT, c.pcOutput);
                          d.Click(hDlg, IDC_EXECUTE);
                          EXPECT_TRUE(d.WaitUntil([] { return !BoxRecorder::Boxes().empty(); }));
                          Sleep(200); // a second box would come now
                          EXPECT_TRUE(IdleLook(hDlg));
                          EXPECT_EQ(1, g_bIdle.load());
                      });
        ASSERT_EQ(1u, BoxRecorder::Boxes().size());
        EXPECT_EQ(std::string(c.pcBox), BoxRecorder::Boxes()[0]);
        std::string trace = ReadTraceFile();
        EXPECT_EQ(c.bTraced != 0, trace.find(std::string(c.pcBox) + "\r\n") != std::string::npos ||
                                      trace.find(std::string(c.pcBox) + "\n") != std::string::npos)
            << trace;
    }
}

TEST(OutputFolder, AbsolutePathsAreTidiedAndOthersRefused)
{
    static const struct
    {
        const char* pcText;
        int bTaken;
        const char* pcFolder;
    } kCases[] = {
        {"C:\\rec", 1, "C:\\rec"},
        {"C:\\rec\\.", 1, "C:\\rec"},
        {"C:\\rec\\\\", 1, "C:\\rec"},
        {"C:\\rec\\..\\rec", 1, "C:\\rec"},
        {"C:\\rec.", 1, "C:\\rec"},
        {"  C:/rec//  ", 1, "C:\\rec"},
        {"　C:\\録音\\表\\　", 1, "C:\\録音\\表"}, // "表" ends in the byte of "\"
        {"C:\\", 1, "C:\\"},
        {"c:\\..\\..", 1, "c:\\"},
        {"\\\\server\\share\\", 1, "\\\\server\\share"},
        {"", 0, ""},
        {" \t ", 0, ""},
        {" out ", 0, "out"},
        {"C:", 0, "C:"},
        {"C:rec", 0, "C:rec"},
        {"\\rec", 0, "\\rec"},
        {"\\\\?\\C:\\rec", 0, "\\\\?\\C:\\rec"},
        {"\\\\.\\C:", 0, "\\\\.\\C:"},
        {"\\\\server", 0, "\\\\server"},
    };
    for (const auto& c : kCases)
    {
        CString strFolder("stale");
        EXPECT_EQ(c.bTaken, MakeOutputFolder(c.pcText, &strFolder)) << c.pcText;
        EXPECT_STREQ(c.pcFolder, strFolder) << c.pcText;
    }
}

// The folder typed beside the collected files, however it is spelt, is the
// folder the run uses and shows: a.wav's first piece would be the collected
// a_001.wav, so a.wav is not split and a_001.wav stays as it was.
TEST_F(RunControlsTest, TheTidiedOutputFolderIsWhatTheRunUses)
{
    std::string rec = TestFolder("tidy");
    std::string slashed = rec;
    for (char& c : slashed)
        c = c == '\\' ? '/' : c;
    for (const std::string& typed :
         {rec + "\\.", rec + "\\\\", rec + ".", slashed + "//", rec + "\\..\\tidy"})
    {
        SCOPED_TRACE(typed);
        BoxRecorder::Clear();
        WriteWave(rec + "\\a.wav", 8000, 3);
        WriteWave(rec + "\\b.wav", 8000, 5);
        WriteWave(rec + "\\a_001.wav", 8000, 9);
        std::string collected = ReadWhole(rec + "\\a_001.wav");
        CMyMainDialog dlg;
        for (const char* pcName : {"a.wav", "b.wav", "a_001.wav"})
            AddFile(dlg.GetPathList(), rec, pcName, 44 + 8000);
        RunWithDriver(dlg,
                      [&](DialogDriver& d)
                      {
                          HWND hDlg = dlg.m_hWnd;
                          d.Type(hDlg, IDC_SECTION_LENGTH, "00:00:01");
                          d.Type(hDlg, IDC_OUTPUT_FOLDER_EDIT, typed.c_str());
                          d.Click(hDlg, IDC_EXECUTE);
                          EXPECT_TRUE(
                              d.WaitUntil([] { return !BoxRecorder::Boxes().empty(); }, 20000));
                          EXPECT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg); }));
                          EXPECT_STREQ(rec.c_str(), d.ItemText(hDlg, IDC_OUTPUT_FOLDER_EDIT));
                      });
        ASSERT_EQ(1u, BoxRecorder::Boxes().size());
        EXPECT_EQ("3 個中 2 個のファイルを分割処理しました。\n", BoxRecorder::Boxes()[0]);
        EXPECT_TRUE(collected == ReadWhole(rec + "\\a_001.wav"));
        EXPECT_TRUE(ReadWhole(rec + "\\b.wav").substr(44) ==
                    ReadWhole(rec + "\\b_001.wav").substr(44));
    }
}

TEST_F(RunControlsTest, ExecuteWritesPiecesAndFillsTheBar)
{
    std::string src = TestFolder("src");
    std::string out = TestFolder("out");
    WriteWave(src + "\\first.wav", 20000); // 2.5 s: pieces of 8000, 8000, 4000
    WriteWave(src + "\\second.wav", 8000); // exactly one piece
    CMyMainDialog dlg;
    AddFile(dlg.GetPathList(), src, "first.wav", 44 + 20000);
    AddFile(dlg.GetPathList(), src, "second.wav", 44 + 8000);
    RunWithDriver(dlg,
                  [&](DialogDriver& d)
                  {
                      HWND hDlg = dlg.m_hWnd;
                      d.Type(hDlg, IDC_SECTION_LENGTH, "00:00:01");
                      d.Type(hDlg, IDC_OUTPUT_FOLDER_EDIT, out.c_str());
                      d.Click(hDlg, IDC_EXECUTE);
                      EXPECT_TRUE(d.WaitUntil([] { return !BoxRecorder::Boxes().empty(); }));
                      EXPECT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg); }));
                      EXPECT_TRUE(d.WaitUntil([&] { return BarPos(hDlg) == 1024; }));
                      EXPECT_EQ(0, g_bAbort.load());
                  });
    ASSERT_EQ(1u, BoxRecorder::Boxes().size());
    EXPECT_EQ("2 個中 2 個のファイルを分割処理しました。\n", BoxRecorder::Boxes()[0]);
    std::vector<Piece> pieces = ReadFolder(out);
    ASSERT_EQ(4u, pieces.size());
    size_t nData = 0;
    for (const Piece& piece : pieces)
    {
        SCOPED_TRACE(piece.name);
        ASSERT_GE(piece.bytes.size(), 44u);
        EXPECT_EQ(piece.bytes.size() - 44, GetLE32(piece.bytes, 40));
        nData += piece.bytes.size() - 44;
    }
    EXPECT_EQ(28000u, nData);
}

TEST_F(RunControlsTest, AbortStopsTheRunQuietly)
{
    std::string src = TestFolder("abort_src");
    std::string out = TestFolder("abort_out");
    const int kFiles = 6;
    CMyMainDialog dlg;
    AddLongWaves(dlg.GetPathList(), src, kFiles);
    RunWithDriver(dlg,
                  [&](DialogDriver& d)
                  {
                      HWND hDlg = dlg.m_hWnd;
                      d.Type(hDlg, IDC_SECTION_LENGTH, "00:00:01");
                      d.Type(hDlg, IDC_OUTPUT_FOLDER_EDIT, out.c_str());
                      d.Click(hDlg, IDC_EXECUTE);
                      EXPECT_TRUE(d.WaitUntil([&] { return BusyLook(hDlg); }));
                      EXPECT_TRUE(d.WaitUntil([&] { return BarPos(hDlg) > 0; }));
                      d.Click(hDlg, IDC_ABORT);
                      EXPECT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg); }, 20000));
                      EXPECT_TRUE(d.WaitUntil([&] { return BarPos(hDlg) == 1024; }));
                      EXPECT_EQ(0, g_bAbort.load());
                  });
    EXPECT_TRUE(BoxRecorder::Boxes().empty());
    ExpectStoppedRunPieces(out, kFiles);
}

namespace
{
struct ChildSearch
{
    const char* pcText;
    HWND hFound;
};

BOOL CALLBACK MatchChildText(HWND hWnd, LPARAM lParam)
{
    ChildSearch* pSearch = (ChildSearch*)lParam;
    if (DialogDriver::Text(hWnd) == CString(pSearch->pcText))
    {
        pSearch->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindChildWithText(HWND hParent, const char* pcText)
{
    ChildSearch search = {pcText, nullptr};
    EnumChildWindows(hParent, MatchChildText, (LPARAM)&search);
    return search.hFound;
}

// The shell's browser, once it is up over hDlg.
HWND WaitForBrowser(DialogDriver& d, HWND hDlg)
{
    HWND hBrowser = nullptr;
    d.WaitUntil(
        [&]
        {
            for (HWND hWnd : d.OtherDialogs(hDlg))
                if (FindChildWithText(hWnd, "フォルダを選択してください") != nullptr)
                    hBrowser = hWnd;
            return hBrowser != nullptr;
        });
    return hBrowser;
}
} // namespace

TEST_F(RunControlsTest, OutputFolderBrowserOpensOnProgramFolder)
{
    CString strProgram = GetProgramFolderText();
    while (!strProgram.IsEmpty() && strProgram.Right(1) == "\\")
        strProgram = strProgram.Left(strProgram.GetLength() - 1);
    CMyMainDialog dlg;
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            d.Type(hDlg, IDC_OUTPUT_FOLDER_EDIT, "C:\\keep");
            d.Click(hDlg, IDC_OUTPUT_FOLDER);
            HWND hBrowser = WaitForBrowser(d, hDlg);
            ASSERT_NE(nullptr, hBrowser);
            d.Click(hBrowser, IDCANCEL);
            EXPECT_TRUE(d.WaitUntil([&] { return d.OtherDialogs(hDlg).empty(); }));
            EXPECT_STREQ("C:\\keep", d.ItemText(hDlg, IDC_OUTPUT_FOLDER_EDIT));

            d.Click(hDlg, IDC_OUTPUT_FOLDER);
            hBrowser = WaitForBrowser(d, hDlg);
            ASSERT_NE(nullptr, hBrowser);
            d.Click(hBrowser, IDOK);
            EXPECT_TRUE(d.WaitUntil([&] { return d.OtherDialogs(hDlg).empty(); }));
            EXPECT_EQ(0, d.ItemText(hDlg, IDC_OUTPUT_FOLDER_EDIT).CompareNoCase(strProgram))
                << (const char*)d.ItemText(hDlg, IDC_OUTPUT_FOLDER_EDIT);
        });
    EXPECT_TRUE(BoxRecorder::Boxes().empty());
}

TEST_F(RunControlsTest, OnlyOneDroppedFolderBecomesTheOutputFolder)
{
    std::string folder = TestFolder("drop");
    std::string other = TestFolder("drop_other");
    WriteWave(folder + "\\file.wav", 10);
    static const struct
    {
        int nPaths; // 1: the folder, 2: both folders, 3: a file
        int bTaken;
    } kCases[] = {{1, 1}, {2, 0}, {3, 0}};
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.nPaths);
        std::vector<std::string> paths;
        if (c.nPaths == 1)
            paths = {folder};
        else if (c.nPaths == 2)
            paths = {folder, other};
        else
            paths = {folder + "\\file.wav"};
        CMyMainDialog dlg;
        RunWithDriver(
            dlg,
            [&](DialogDriver& d)
            {
                HWND hDlg = dlg.m_hWnd;
                HWND hEdit = GetDlgItem(hDlg, IDC_OUTPUT_FOLDER_EDIT);
                EXPECT_NE(0, GetWindowLongA(hEdit, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
                HDROP hDrop = MakeDrop(paths);
                PostMessageA(hEdit, WM_DROPFILES, (WPARAM)hDrop, 0);
                bool bTaken = d.WaitUntil(
                    [&]
                    { return d.ItemText(hDlg, IDC_OUTPUT_FOLDER_EDIT) == CString(folder.c_str()); },
                    c.bTaken ? 5000 : 500);
                EXPECT_EQ(c.bTaken != 0, bTaken);
            });
    }
}
