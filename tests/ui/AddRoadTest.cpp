// The whole road with the mouse: Add, the picker, the collected files and the
// duplicate report, Execute and the pieces on disk; and the ways off it: a
// cancelled picker, a worker that cannot start, closing while a job runs.
#include "UiDriver.h"
#include "UiHelpers.h"
#include "UiPicks.h"

#include "engine/JobFlags.h"
#include "resources/resource.h"
#include "support/Trace.h"
#include "ui/MyMainDialog.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <atomic>
#include <mutex>
#include <string>

namespace
{
std::mutex g_reportLock;
std::string g_report;

void RecordReport(const char* pcPath)
{
    std::lock_guard<std::mutex> lock(g_reportLock);
    g_report = pcPath;
}

std::string OpenedReport()
{
    std::lock_guard<std::mutex> lock(g_reportLock);
    return g_report;
}

CWinThread* NoThread(AFX_THREADPROC, LPVOID, int, UINT, DWORD, LPSECURITY_ATTRIBUTES)
{
    return nullptr;
}

// The add-files thread, held before it runs a line of the job.
CWinThread* g_pHeldThread = nullptr;
CWinThread* HeldThread(AFX_THREADPROC pfnProc, LPVOID pParam, int nPriority, UINT nStack, DWORD,
                       LPSECURITY_ATTRIBUTES pSecurity)
{
    g_pHeldThread = AfxBeginThread(pfnProc, pParam, nPriority, nStack, CREATE_SUSPENDED, pSecurity);
    return g_pHeldThread;
}

// A folder walk that takes a few milliseconds an entry, so that the job is
// still collecting while the test looks at it.
BOOL SlowFindNextFile(HANDLE hFind, WIN32_FIND_DATAA* pData)
{
    Sleep(3);
    return GetDefaultPlatformHooks().pfnFindNextFile(hFind, pData);
}

std::string ProgramFolder()
{
    CString strFolder;
    GetProgramFolder(&strFolder);
    return (const char*)strFolder;
}
} // namespace

struct AddRoadTest : testing::Test
{
    void SetUp() override { RecordReport(""); }
    void TearDown() override
    {
        CMyDialogAddHost::s_pfnOpenReport = m_pfnOldOpen;
        CMyMainDialog::s_pfnBeginThread = m_pfnOldBegin;
        ResetPlatformHooks();
        ResetJobFlags();
    }
    void (*m_pfnOldOpen)(const char*) = CMyDialogAddHost::s_pfnOpenReport;
    decltype(CMyMainDialog::s_pfnBeginThread) m_pfnOldBegin = CMyMainDialog::s_pfnBeginThread;
    BoxRecorder m_boxes;
};

TEST_F(AddRoadTest, PickAFolderAndSplitEverythingInIt)
{
    std::string parent = TestFolder("road", "ui_road");
    std::string rec = parent + "\\rec";
    for (const char* pcSub : {"", "\\a", "\\b", "\\c", "\\d"})
        CreateDirectoryA((rec + pcSub).c_str(), nullptr);
    WriteWave(rec + "\\a\\one.wav", 20000, 3); // 2.5 s: three pieces
    WriteWave(rec + "\\b\\two.wav", 8000, 5);  // exactly one piece
    WriteWave(rec + "\\c\\dup.wav", 100, 9);   // one name in two sub-folders, as
    WriteWave(rec + "\\d\\dup.wav", 100, 11);  // recorders write: pieces in two folders
    WriteWave(rec + "\\b\\notes.txt", 10);     // not a WAV name: left out
    std::string one = ReadWhole(rec + "\\a\\one.wav");
    std::string two = ReadWhole(rec + "\\b\\two.wav");
    std::string dupC = ReadWhole(rec + "\\c\\dup.wav");
    std::string dupD = ReadWhole(rec + "\\d\\dup.wav");
    std::string out = TestFolder("out", "ui_road");
    std::string report = ProgramFolder() + "\\ConflictFile.txt";
    DeleteFileA(report.c_str());
    CMyDialogAddHost::s_pfnOpenReport = RecordReport;

    CMyMainDialog dlg;
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            HWND hSource = GetDlgItem(hDlg, IDC_SOURCE_LIST);
            HWND hPicker = OpenPicker(d, hDlg);
            ASSERT_NE(nullptr, hPicker);
            EXPECT_TRUE(BusyLook(hDlg));
            EXPECT_TRUE(PickerShows(hPicker, ProgramFolder()));
            PickRows(d, hPicker, {"ui_road", "road"}, {"rec"});
            d.Click(hPicker, IDOK);

            ASSERT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg) && g_bIdle.load() == 1; }, 20000));
            EXPECT_EQ(1024, BarPos(hDlg));
            EXPECT_EQ(nullptr, dlg.GetPicker());
            EXPECT_EQ("one.wav|two.wav|dup.wav|dup.wav", RowNames(hSource));
            EXPECT_STREQ((rec + "\\a").c_str(), CellText(hSource, 0, 2));
            EXPECT_STREQ("ファイル名 (4)", HeaderText(hSource));
            EXPECT_STREQ("28,376", d.ItemText(hDlg, IDC_TOTAL_SIZE));
            EXPECT_EQ("", OpenedReport());

            d.Type(hDlg, IDC_SECTION_LENGTH, "00:00:01");
            d.Type(hDlg, IDC_OUTPUT_FOLDER_EDIT, out.c_str());
            d.Click(hDlg, IDC_EXECUTE);
            EXPECT_TRUE(d.WaitUntil([] { return BoxRecorder::Boxes().size() == 1; }, 20000));
            EXPECT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg) && BarPos(hDlg) == 1024; }));

            // The next Add opens where this one was confirmed; Cancel changes nothing.
            hPicker = OpenPicker(d, hDlg);
            ASSERT_NE(nullptr, hPicker);
            EXPECT_TRUE(PickerShows(hPicker, parent));
            d.Click(hPicker, IDCANCEL);
            EXPECT_TRUE(
                d.WaitUntil([&] { return IdleLook(hDlg) && d.OtherDialogs(hDlg).empty(); }));
            EXPECT_EQ(nullptr, dlg.GetPicker());
            EXPECT_EQ("one.wav|two.wav|dup.wav|dup.wav", RowNames(hSource));
        });

    std::vector<std::string> boxes = BoxRecorder::Boxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("4 個中 4 個のファイルを分割処理しました。\n", boxes[0]);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(report.c_str()));

    // The pieces mirror the sub-folders, and their data is the source's, in order.
    const struct
    {
        const char* pcFolder;
        const char* pcTitle;
        const std::string& source;
        std::vector<uint32_t> sizes;
    } kExpected[] = {{"\\rec\\a", "one", one, {8000, 8000, 4000}},
                     {"\\rec\\b", "two", two, {8000}},
                     {"\\rec\\c", "dup", dupC, {100}},
                     {"\\rec\\d", "dup", dupD, {100}}};
    for (const auto& e : kExpected)
    {
        SCOPED_TRACE(e.pcFolder);
        std::vector<Piece> pieces = ReadFolder(out + e.pcFolder);
        ASSERT_EQ(e.sizes.size(), pieces.size());
        std::string data;
        for (size_t i = 0; i < pieces.size(); i++)
        {
            char acName[32];
            wsprintfA(acName, "%s_%03u.wav", e.pcTitle, (unsigned)i + 1);
            EXPECT_EQ(acName, pieces[i].name);
            ASSERT_EQ(44u + e.sizes[i], pieces[i].bytes.size());
            EXPECT_EQ(e.sizes[i], GetLE32(pieces[i].bytes, 40));
            EXPECT_EQ(36u + e.sizes[i], GetLE32(pieces[i].bytes, 4));
            EXPECT_EQ(e.source.substr(0, 40),
                      pieces[i].bytes.substr(0, 4) + e.source.substr(4, 36));
            data += pieces[i].bytes.substr(44);
        }
        EXPECT_TRUE(data == e.source.substr(44)) << "the pieces' data differ from the source's";
    }
    EXPECT_EQ(one, ReadWhole(rec + "\\a\\one.wav"));
    EXPECT_EQ(two, ReadWhole(rec + "\\b\\two.wav"));
}

TEST_F(AddRoadTest, AJobThatCannotStartLeavesTheDialogIdle)
{
    std::string folder = TestFolder("nothread", "ui_road");
    WriteWave(folder + "\\a.wav", 100);
    CMyMainDialog::s_pfnBeginThread = NoThread;
    CMyMainDialog dlg;
    RunWithDriver(dlg,
                  [&](DialogDriver& d)
                  {
                      HWND hDlg = dlg.m_hWnd;
                      HWND hPicker = OpenPicker(d, hDlg);
                      ASSERT_NE(nullptr, hPicker);
                      PickRows(d, hPicker, {"ui_road", "nothread"}, {"a.wav"});
                      d.Click(hPicker, IDOK);
                      EXPECT_TRUE(d.WaitUntil([&] { return d.OtherDialogs(hDlg).empty(); }));
                      EXPECT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg); }));
                      EXPECT_EQ(1, g_bIdle.load());
                      EXPECT_EQ(nullptr, dlg.GetPicker());
                      EXPECT_EQ(0, ListView_GetItemCount(GetDlgItem(hDlg, IDC_SOURCE_LIST)));

                      // Execute's thread cannot start either: idle again, nothing written.
                      AddFile(dlg.GetPathList(), folder, "a.wav", 144);
                      d.Type(hDlg, IDC_OUTPUT_FOLDER_EDIT, folder.c_str());
                      d.Click(hDlg, IDC_EXECUTE);
                      Sleep(300);
                      EXPECT_TRUE(IdleLook(hDlg));
                      EXPECT_EQ(1, g_bIdle.load());
                  });
    EXPECT_TRUE(BoxRecorder::Boxes().empty());
    EXPECT_EQ(1u, ReadFolder(folder).size());
}

// The header counts the files while they are collected; closing then stops
// the walk and the window goes once the job has ended, without the rows.
TEST_F(AddRoadTest, ClosingWhileFilesAreCollectedWaitsForTheJob)
{
    std::string folder = TestFolder("slow", "ui_road");
    for (int i = 0; i < 400; i++)
    {
        char acName[32];
        wsprintfA(acName, "\\take%03d.wav", i);
        WriteWave(folder + acName, 8);
    }
    GetPlatformHooks().pfnFindNextFile = SlowFindNextFile;
    CMyMainDialog dlg;
    RunWithDriver(dlg,
                  [&](DialogDriver& d)
                  {
                      HWND hDlg = dlg.m_hWnd;
                      HWND hSource = GetDlgItem(hDlg, IDC_SOURCE_LIST);
                      HWND hPicker = OpenPicker(d, hDlg);
                      ASSERT_NE(nullptr, hPicker);
                      PickRows(d, hPicker, {"ui_road"}, {"slow"});
                      d.Click(hPicker, IDOK);
                      std::string header;
                      EXPECT_TRUE(d.WaitUntil(
                          [&]
                          {
                              header = (const char*)HeaderText(hSource);
                              return g_bAdding.load() == 1 && header != "ファイル名 (0)" &&
                                     header.find("ファイル名 (") == 0;
                          },
                          10000))
                          << header;
                      EXPECT_TRUE(BusyLook(hDlg));
                      PostMessageA(hDlg, WM_CLOSE, 0, 0);
                      EXPECT_TRUE(d.WaitUntil([&] { return d.DialogEnded(); }, 10000));
                  });
    EXPECT_EQ(1, g_bIdle.load());
    EXPECT_EQ(nullptr, dlg.GetPicker());
    EXPECT_LT(dlg.GetPathList().GetCount(), 400u);
}

// Closing during a run: the run stops and every piece written is whole.
TEST_F(AddRoadTest, ClosingDuringARunKeepsEveryPieceWhole)
{
    std::string src = TestFolder("close_src", "ui_road");
    std::string out = TestFolder("close_out", "ui_road");
    CMyMainDialog dlg;
    AddLongWaves(dlg.GetPathList(), src, 4);
    RunWithDriver(dlg,
                  [&](DialogDriver& d)
                  {
                      HWND hDlg = dlg.m_hWnd;
                      d.Type(hDlg, IDC_SECTION_LENGTH, "00:00:01");
                      d.Type(hDlg, IDC_OUTPUT_FOLDER_EDIT, out.c_str());
                      d.Click(hDlg, IDC_EXECUTE);
                      EXPECT_TRUE(d.WaitUntil([&] { return BarPos(hDlg) > 0; }, 10000));
                      PostMessageA(hDlg, WM_CLOSE, 0, 0);
                      EXPECT_TRUE(d.WaitUntil([&] { return d.DialogEnded(); }, 20000));
                  });
    EXPECT_EQ(1, g_bIdle.load());
    EXPECT_TRUE(BoxRecorder::Boxes().empty());
    ExpectStoppedRunPieces(out, 4);
}

TEST_F(AddRoadTest, ColumnClicksAreRefusedAsSoonAsTheJobIsStarted)
{
    std::string folder = TestFolder("held", "ui_road");
    WriteWave(folder + "\\n.wav", 100);
    g_pHeldThread = nullptr;
    CMyMainDialog::s_pfnBeginThread = HeldThread;
    CMyMainDialog dlg;
    AddFile(dlg.GetPathList(), "C:\\x", "a.wav", 1);
    AddFile(dlg.GetPathList(), "C:\\x", "b.wav", 3);
    RunWithDriver(dlg,
                  [&](DialogDriver& d)
                  {
                      HWND hDlg = dlg.m_hWnd;
                      HWND hList = GetDlgItem(hDlg, IDC_SOURCE_LIST);
                      dlg.RebuildList();
                      HWND hPicker = OpenPicker(d, hDlg);
                      ASSERT_NE(nullptr, hPicker);
                      PickRows(d, hPicker, {"ui_road", "held"}, {"n.wav"});
                      d.Click(hPicker, IDOK);
                      ASSERT_TRUE(d.WaitUntil([&] { return g_pHeldThread != nullptr; }));
                      // The job's thread has not run yet: the list must not sort.
                      ClickHeader(hList, 1);
                      EXPECT_FALSE(
                          d.WaitUntil([&] { return RowNames(hList) != "a.wav|b.wav"; }, 1000));
                      g_pHeldThread->ResumeThread();
                      EXPECT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg); }));
                      EXPECT_EQ("a.wav|b.wav|n.wav", RowNames(hList));
                  });
}

// Files and folders dropped on the list are added as the same selections
// confirmed in the picker (one per folder): the same filter, walk and
// duplicate report, which takes out only files whose pieces would land on
// the same paths; a drop while that job runs is ignored.
TEST_F(AddRoadTest, DroppedFileAndFolderAreAddedAsPicked)
{
    std::string rec = TestFolder("drop", "ui_road");
    CreateDirectoryA((rec + "\\sub").c_str(), nullptr);
    CreateDirectoryA((rec + "\\sub\\deep").c_str(), nullptr);
    CreateDirectoryA((rec + "\\other").c_str(), nullptr);
    WriteWave(rec + "\\one.wav", 100);
    WriteWave(rec + "\\other\\one.wav", 100); // dropped too: <output>\one_NNN.wav twice
    WriteWave(rec + "\\late.wav", 100);
    WriteWave(rec + "\\sub\\two.wav", 100);
    WriteWave(rec + "\\sub\\notes.txt", 10);
    WriteWave(rec + "\\sub\\deep\\one.wav", 100); // its pieces go to <output>\sub\deep
    for (int i = 0; i < 100; i++)
    {
        char acName[32];
        wsprintfA(acName, "\\sub\\deep\\x%03d.txt", i); // slows the walk down
        WriteWave(rec + acName, 8);
    }
    std::string report = ProgramFolder() + "\\ConflictFile.txt";
    CMyDialogAddHost::s_pfnOpenReport = RecordReport;
    GetPlatformHooks().pfnFindNextFile = SlowFindNextFile;

    CMyMainDialog dlg;
    RunWithDriver(
        dlg,
        [&](DialogDriver& d)
        {
            HWND hDlg = dlg.m_hWnd;
            HWND hSource = GetDlgItem(hDlg, IDC_SOURCE_LIST);
            EXPECT_NE(0, GetWindowLongA(hSource, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
            PostMessageA(
                hSource, WM_DROPFILES,
                (WPARAM)MakeDrop({rec + "\\one.wav", rec + "\\sub", rec + "\\other\\one.wav"}), 0);
            ASSERT_TRUE(d.WaitUntil([&] { return g_bIdle.load() == 0; }));
            PostMessageA(hDlg, WM_DROPFILES, (WPARAM)MakeDrop({rec + "\\late.wav"}), 0);
            ASSERT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg) && g_bIdle.load() == 1; }, 20000));
            EXPECT_EQ("two.wav|one.wav", RowNames(hSource));
            EXPECT_STREQ((rec + "\\sub").c_str(), CellText(hSource, 0, 2));
            EXPECT_STREQ((rec + "\\sub\\deep").c_str(), CellText(hSource, 1, 2));
            EXPECT_EQ(report, OpenedReport());
        });
    std::vector<std::string> boxes = BoxRecorder::Boxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("※　2 個のファイルが重複しています。", boxes[0]);
    EXPECT_EQ("=====  重複したファイルのリスト  =====\r\n" + rec + "\\one.wav\r\n" + rec +
                  "\\other\\one.wav\r\n\r\n",
              ReadWhole(report));
    EXPECT_EQ(nullptr, dlg.GetPicker());
}
