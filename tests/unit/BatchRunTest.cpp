// The batch run: every listed file in order, mirrored folders, the summary,
// abort, a full disk, and the messages to the user-interface thread.
#include "SplitFixture.h"

#include "engine/BatchRun.h"
#include "engine/JobFlags.h"
#include "framework/WinThread.h"
#include "sources/PathList.h"
#include "support/Trace.h"

#include <cstring>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

class BatchTest : public SplitTest
{
protected:
    void SetUp() override
    {
        SplitTest::SetUp();
        m_strSrcRoot = JoinPath(m_strDir, "src");
        m_strOut = JoinPath(m_strDir, "out");
        CreateDirectoryA(m_strSrcRoot, nullptr);
        m_state.m_pPathList = &m_list;
        m_state.m_strOutputFolder = m_strOut;
        m_state.m_dwSectionLength = 1000;
        TakeMessages();
    }
    // A source of nBytes of data in sub-folder pcSub ("" for the browsed
    // folder itself), listed as the scan would list it.
    CString AddSource(const char* pcSub, const char* pcName, uint32_t nBytes)
    {
        CString strFold = *pcSub != '\0' ? JoinPath(m_strSrcRoot, pcSub) : m_strSrcRoot;
        MakeSureFolderOfPath(strFold, 0);
        CString strPath = JoinPath(strFold, pcName);
        std::string wav = BuildWave(k1000HzFmt, MakeSamples(k1000HzFmt, nBytes));
        EXPECT_TRUE(WriteBytes(strPath, wav));
        AddRecord(strFold, pcName, wav.size());
        return strPath;
    }
    void AddRecord(const CString& strFold, const char* pcName, ULONGLONG qwSize)
    {
        CMyPathRecord record;
        record.FoldPath = strFold;
        record.FileName = pcName;
        record.FilePath = JoinPath(strFold, pcName);
        record.FileSize = qwSize;
        record.BaseFoldPath = m_strSrcRoot;
        ASSERT_EQ(m_list.AppendRecord(record), 1);
    }
    // The output piece as the batch names it (folder, separator, title).
    CString OutPiece(const char* pcSub, const char* pcTitle, DWORD dwNumber) const
    {
        CString strFold = *pcSub != '\0' ? JoinPath(m_strOut, pcSub) : m_strOut;
        CString strPath;
        strPath.Format("%s\\%s_%03u.wav", (const char*)strFold, pcTitle, dwNumber);
        return strPath;
    }
    DWORD RunBatch()
    {
        CMyBatchRun run(&m_state, &m_host);
        return run.RunBatch();
    }

    CMyPathList m_list;
    CString m_strSrcRoot;
    CString m_strOut;
};

namespace
{
ULONGLONG g_qwFreeLow = 0;
std::vector<int> g_lowOnCall;
int g_nFreeCall = 0;

BOOL ScriptedLowFree(LPCSTR, ULARGE_INTEGER* pFree)
{
    int n = g_nFreeCall++;
    bool bLow = n < (int)g_lowOnCall.size() && g_lowOnCall[n] != 0;
    pFree->QuadPart = bLow ? g_qwFreeLow : (1ull << 40);
    return TRUE;
}

// The last piece of a.wav (500 bytes) fails in the ways a disk or a source
// can fail; b.wav's one piece of 1000 bytes passes.
const DWORD kFailingPiece = 500;

BOOL WriteHittingAFullDisk(HANDLE h, LPCVOID p, DWORD n, LPDWORD pDone)
{
    if (n != kFailingPiece)
        return GetDefaultPlatformHooks().pfnWriteFile(h, p, n, pDone);
    GetDefaultPlatformHooks().pfnWriteFile(h, p, n / 2, pDone);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

// Half the bytes taken and success reported, with no error code.
BOOL WriteComingBackShort(HANDLE h, LPCVOID p, DWORD n, LPDWORD pDone)
{
    if (n != kFailingPiece)
        return GetDefaultPlatformHooks().pfnWriteFile(h, p, n, pDone);
    SetLastError(ERROR_SUCCESS);
    return GetDefaultPlatformHooks().pfnWriteFile(h, p, n / 2, pDone);
}

// The source ends before its header says: the read finds nothing more.
BOOL ReadOfAShrunkSource(HANDLE h, LPVOID p, DWORD n, LPDWORD pDone)
{
    if (n != kFailingPiece)
        return GetDefaultPlatformHooks().pfnReadFile(h, p, n, pDone);
    *pDone = 0;
    return TRUE;
}

void EnsureEmptyQueue()
{
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
    }
}
} // namespace

TEST_F(BatchTest, SplitsEveryFileIntoItsMirroredFolder)
{
    CString strA = AddSource("", "a.wav", 2000);
    CString strB = AddSource("live", "b.wav", 1500);
    AddSource(JoinPath("live", "2019"), "c.wave", 800);
    ULONGLONG qwTotal = 0;
    for (DWORD i = 0; i < m_list.GetCount(); ++i)
        qwTotal += m_list.GetAt(i).FileSize;

    EXPECT_EQ(RunBatch(), 3u);
    for (DWORD i = 1; i <= 2; ++i)
        EXPECT_TRUE(PathExists(OutPiece("", "a", i)));
    EXPECT_TRUE(PathExists(OutPiece("live", "b", 2)));
    EXPECT_TRUE(PathExists(OutPiece(JoinPath("live", "2019"), "c", 1)));
    EXPECT_FALSE(PathExists(OutPiece("", "a", 3)));

    std::vector<std::string> boxes = TakeMessages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "3 個中 3 個のファイルを分割処理しました。\n");
    EXPECT_EQ(m_state.m_ullTotalBytes.load(), qwTotal);
    EXPECT_EQ(m_state.m_ullDoneBytes.load(), qwTotal);
    // Blocks: 2 + 2 + 1; one post per file (step 1); one at the end.
    EXPECT_EQ(m_host.m_nProgress, 5 + 3 + 1);

    // The trace tells the run in order.
    std::string trace = ReadTrace();
    std::string total = "■トータルファイルサイズ: " + std::to_string(qwTotal) + " Byte\n";
    EXPECT_EQ(trace.compare(0, total.size(), total), 0) << trace;
    const std::string steps[] = {
        std::string("--\n") + (const char*)strB + "\n",
        std::string((const char*)m_strOut) + TEST_SEP "live\\b\n",
        "=====  CSonvelBaseParam  =====\n",
        "RestDataSize: 500 Byte\n",
        "○　成功\n",
    };
    size_t iAt = 0;
    for (const std::string& step : steps)
    {
        iAt = trace.find(step, iAt);
        ASSERT_NE(iAt, std::string::npos) << "missing or out of order: " << step << "\n" << trace;
    }
    EXPECT_EQ(trace.find("×　失敗"), std::string::npos);
}

TEST_F(BatchTest, BadFilesAreCountedAndTheBatchGoesOn)
{
    AddRecord(m_strSrcRoot, "missing.wav", 5000);
    std::string notWave = BuildWave(k1000HzFmt, MakeSamples(k1000HzFmt, 1000));
    notWave.replace(0, 4, "RIFX");
    ASSERT_TRUE(WriteBytes(JoinPath(m_strSrcRoot, "bad.wav"), notWave));
    AddRecord(m_strSrcRoot, "bad.wav", notWave.size());
    AddRecord(m_strSrcRoot, ".wav", 100); // cannot be named: passed over
    AddSource("", "good.wav", 1000);

    EXPECT_EQ(RunBatch(), 1u);
    std::vector<std::string> boxes = TakeMessages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "4 個中 1 個のファイルを分割処理しました。\n");
    std::string trace = ReadTrace();
    size_t nFailures = 0;
    for (size_t i = trace.find("×　失敗\n"); i != std::string::npos;
         i = trace.find("×　失敗\n", i + 1))
        ++nFailures;
    EXPECT_EQ(nFailures, 2u);
    EXPECT_EQ(trace.find(JoinPath(m_strSrcRoot, ".wav")), std::string::npos);
    EXPECT_TRUE(PathExists(OutPiece("", "good", 1)));
}

// A file counts as split only when every piece of its plan was written
// whole; its trace entry says why it was not.
TEST_F(BatchTest, FilesNotWrittenWholeAreNotSplit)
{
    ClearTrace();
    WriteTraceSystemError(ERROR_DISK_FULL);
    const std::string diskFull = ReadTrace();
    const std::string writeFailed = "※　分割ファイルへの書込に失敗しました。CopyPiece()";
    struct Case
    {
        const char* pcName;
        BOOL (*pfnWrite)(HANDLE, LPCVOID, DWORD, LPDWORD);
        BOOL (*pfnRead)(HANDLE, LPVOID, DWORD, LPDWORD);
        std::string reason;
    } cases[] = {
        {"full disk", WriteHittingAFullDisk, nullptr, writeFailed},
        {"short write without an error code", WriteComingBackShort, nullptr, writeFailed},
        {"source shorter than it was", nullptr, ReadOfAShrunkSource,
         "※　ソースファイルの読込に失敗しました。CopyPiece()"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pcName);
        m_list.ClearAll();
        SetUp();
        CString strA = AddSource("", "a.wav", 2500);
        CString strB = AddSource("", "b.wav", 1000);
        if (c.pfnWrite != nullptr)
            GetPlatformHooks().pfnWriteFile = c.pfnWrite;
        if (c.pfnRead != nullptr)
            GetPlatformHooks().pfnReadFile = c.pfnRead;
        ClearTrace();
        EXPECT_EQ(RunBatch(), 1u);
        ResetPlatformHooks();
        std::vector<std::string> boxes = TakeMessages();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], "2 個中 1 個のファイルを分割処理しました。\n");
        std::string trace = ReadTrace();
        size_t iA = trace.find(std::string("--\n") + (const char*)strA + "\n");
        size_t iB = trace.find(std::string("--\n") + (const char*)strB + "\n");
        ASSERT_LT(iA, iB) << trace;
        std::string entryA = trace.substr(iA, iB - iA);
        EXPECT_NE(entryA.find(c.reason), std::string::npos) << entryA;
        if (c.pfnWrite != nullptr)
        {
            EXPECT_NE(entryA.find(diskFull), std::string::npos) << entryA;
        }
        EXPECT_EQ(entryA.compare(entryA.size() - 9, 9, "×　失敗\n"), 0) << entryA;
        EXPECT_NE(trace.find("○　成功\n", iB), std::string::npos) << trace;
    }
}

TEST_F(BatchTest, AbortDuringTheThirdFileEndsWithoutSummary)
{
    CString strPaths[5];
    for (int i = 0; i < 5; ++i)
    {
        CString strName;
        strName.Format("f%d.wav", i + 1);
        strPaths[i] = AddSource("", strName, 2000);
    }
    // Posts per file: two blocks, then the file's own; the seventh post is the
    // first block of file 3.
    m_host.m_onProgress = [](int n)
    {
        if (n == 7)
            g_bAbort.store(1);
    };
    // The third file keeps what it has, but is not split.
    EXPECT_EQ(RunBatch(), 2u);
    EXPECT_EQ(m_state.m_dwFinished, 2u);
    EXPECT_EQ(m_state.m_dwCutShort, 2u);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_TRUE(PathExists(OutPiece("", "f3", 1)));
    EXPECT_FALSE(PathExists(OutPiece("", "f3", 2)));
    EXPECT_FALSE(PathExists(OutPiece("", "f4", 1)));
    std::string trace = ReadTrace();
    size_t iThird = trace.find(strPaths[2]);
    ASSERT_NE(iThird, std::string::npos);
    EXPECT_NE(trace.find("※　中止されたため分割を途中で終えました。SplitFile()\n\t"
                         "WholePieces[1], PlannedPieces[2]\n×　失敗\n",
                         iThird),
              std::string::npos)
        << trace;
    EXPECT_EQ(trace.find(strPaths[3]), std::string::npos);
    EXPECT_EQ(trace.find(strPaths[4]), std::string::npos);
}

TEST_F(BatchTest, FullDiskBeforeAFullPieceStopsTheBatch)
{
    for (int i = 0; i < 3; ++i)
    {
        CString strName;
        strName.Format("f%d.wav", i + 1);
        AddSource("", strName, 1000); // one full piece each
    }
    g_qwFreeLow = 1000;
    g_lowOnCall = {0, 1};
    g_nFreeCall = 0;
    GetPlatformHooks().pfnGetDiskFreeSpaceEx = ScriptedLowFree;
    EXPECT_EQ(RunBatch(), 1u);
    EXPECT_EQ(m_state.m_bStopBatch.load(), 1);
    std::vector<std::string> boxes = TakeMessages();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].compare(0, 12, "※　出力フォ"), 0) << boxes[0];
    EXPECT_EQ(boxes[1], "3 個中 1 個のファイルを分割処理しました。\n");
    EXPECT_EQ(ReadTrace().find(JoinPath(m_strSrcRoot, "f3.wav")), std::string::npos);
    EXPECT_EQ(g_nFreeCall, 2);
}

TEST_F(BatchTest, FullDiskBeforeALastPieceLetsTheBatchGoOn)
{
    AddSource("", "f1.wav", 1500);
    AddSource("", "f2.wav", 1500);
    g_qwFreeLow = 0;
    g_lowOnCall = {0, 1, 0, 1}; // each file's last, shorter piece
    g_nFreeCall = 0;
    GetPlatformHooks().pfnGetDiskFreeSpaceEx = ScriptedLowFree;
    // Neither file was split to its end.
    EXPECT_EQ(RunBatch(), 0u);
    EXPECT_EQ(m_state.m_bStopBatch.load(), 0);
    std::vector<std::string> boxes = TakeMessages();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2], "2 個中 0 個のファイルを分割処理しました。\n");
    EXPECT_FALSE(PathExists(OutPiece("", "f2", 2)));
}

TEST_F(BatchTest, FolderThatCannotBeMadeFailsOnlyItsFile)
{
    AddSource("blocked", "a.wav", 1000);
    AddSource("", "b.wav", 1000);
    // A file where the mirrored folder would go.
    MakeSureFolderOfPath(m_strOut, 0);
    ASSERT_TRUE(WriteBytes(JoinPath(m_strOut, "blocked"), "not a folder"));
    EXPECT_EQ(RunBatch(), 1u);
    EXPECT_TRUE(PathExists(OutPiece("", "b", 1)));
    EXPECT_NE(ReadTrace().find("×　失敗\n"), std::string::npos);
}

TEST_F(BatchTest, PiecesThatWouldOverwriteACollectedFileAreNotWritten)
{
    // An earlier run's piece collected beside its source, output mirrored
    // onto the same folder: a.wav's first piece would be a_001.wav.
    CString strA = AddSource("", "a.wav", 2000);
    CString strPiece = AddSource("", "a_001.wav", 1000);
    std::string before, after;
    ASSERT_TRUE(ReadBytes(strPiece, before));
    m_state.m_strOutputFolder = m_strSrcRoot;

    EXPECT_EQ(RunBatch(), 1u);
    ASSERT_TRUE(ReadBytes(strPiece, after));
    EXPECT_EQ(after, before);
    std::vector<std::string> boxes = TakeMessages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "2 個中 1 個のファイルを分割処理しました。\n");
    std::string trace = ReadTrace();
    std::string head =
        std::string("--\n") + (const char*)strA + "\n" + (const char*)m_strSrcRoot + "\\a\n";
    std::string refusal = "※　ピースが収集済みのファイルを上書きするため分割しません。"
                          "CMyBatchRun::RunBatch()\n\tFilePath[" +
                          std::string(strPiece) + "]\n×　失敗\n";
    size_t iHead = trace.find(head);
    ASSERT_NE(iHead, std::string::npos) << trace;
    // Only the header's parameters stand between the two.
    EXPECT_EQ(trace.find(refusal),
              trace.find("=====", iHead) + ParamTraceText(k1000HzFmt, true).size())
        << trace;
}

#ifndef _WIN32
// Linux names are case-sensitive, and links reach one file by other paths:
// what counts is whether a piece path exists and is a collected file.
TEST_F(BatchTest, OnlyPiecesThatAreCollectedFilesAreRefused)
{
    struct Case
    {
        const char* pcName;
        const char* pcOther;    // collected beside a.wav
        const char* pcOutput;   // "": the source folder; "link": a link to it; else a new one
        const char* pcHardLink; // a second name of the other file, in the output
        DWORD dwSplit;
    } cases[] = {
        {"other letter case", "A_001.wav", "", nullptr, 2},
        {"output folder a link to the sources", "a_001.wav", "link", nullptr, 1},
        {"piece name another link to a source", "x.wav", "out", "a_002.wav", 1},
        {"piece name a link to the source itself", "x.wav", "out", "a_001.wav", 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pcName);
        m_list.ClearAll();
        SetUp();
        CString strA = AddSource("", "a.wav", 2000);
        CString strOther = AddSource("", c.pcOther, 1000);
        CString strOut = m_strSrcRoot;
        if (*c.pcOutput != '\0')
        {
            strOut = JoinPath(m_strDir, c.pcOutput);
            if (strcmp(c.pcOutput, "link") == 0)
                ASSERT_EQ(0, symlink(m_strSrcRoot, strOut));
            else
                ASSERT_TRUE(MakeSureFolderOfPath(strOut, 0));
        }
        if (c.pcHardLink != nullptr)
        {
            bool bSource = strcmp(c.pcHardLink, "a_001.wav") == 0;
            ASSERT_EQ(0, link(bSource ? strA : strOther, JoinPath(strOut, c.pcHardLink)));
        }
        m_state.m_strOutputFolder = strOut;
        std::string before, after;
        ASSERT_TRUE(ReadBytes(strOther, before));
        ASSERT_TRUE(ReadBytes(strA, after));
        before += after;
        EXPECT_EQ(RunBatch(), c.dwSplit);
        ASSERT_TRUE(ReadBytes(strOther, after));
        std::string source;
        ASSERT_TRUE(ReadBytes(strA, source));
        EXPECT_TRUE(SameBytes(after + source, before)) << "a collected file was overwritten";
        std::string trace = ReadTrace();
        EXPECT_EQ(c.dwSplit == 1, trace.find("※　ピースが収集済みのファイル") != std::string::npos)
            << trace;
        TakeMessages();
    }
}
#endif

TEST_F(BatchTest, ManyFilesThinTheirProgress)
{
    for (int i = 0; i < 3000; ++i)
        AddRecord(m_strSrcRoot, ".wav", 1); // passed over: no trace, no split
    EXPECT_EQ(RunBatch(), 0u);
    EXPECT_EQ(m_host.m_nProgress, 1500 + 1); // step 2, and one at the end
    std::vector<std::string> boxes = TakeMessages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "3000 個中 0 個のファイルを分割処理しました。\n");
}

TEST_F(BatchTest, EmptyListStillEndsTheJob)
{
    EnsureEmptyQueue();
    CMyThreadMessageHost host(GetCurrentThreadId(), (HWND)0x5678);
    CMyBatchRun run(&m_state, &host);
    g_bIdle.store(0);
    CWinThread* pThread = AfxBeginThread(RunThreadProc, &run);
    ASSERT_NE(pThread, nullptr);
    MSG msg;
    ASSERT_GT(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, WM_JOB_FINISHED);
    EXPECT_EQ(msg.wParam, (WPARAM)0x5678);
    EXPECT_EQ(msg.lParam, 0);
    for (int i = 0; i < 500 && g_bIdle.load() == 0; ++i)
        Sleep(10);
    EXPECT_EQ(g_bIdle.load(), 1);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(ReadTrace(), "");
    EXPECT_EQ(RunThreadProc(nullptr), (UINT)-1);
}

TEST_F(BatchTest, WorkerReportsToTheUserInterfaceThread)
{
    AddSource("", "a.wav", 2500);
    AddSource("", "b.wav", 1000);
    EnsureEmptyQueue();
    CMyThreadMessageHost host(GetCurrentThreadId(), (HWND)0x1234);
    CMyBatchRun run(&m_state, &host);
    g_bIdle.store(0);
    ASSERT_NE(AfxBeginThread(RunThreadProc, &run), nullptr);

    int nProgress = 0;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0 && msg.message == WM_RUN_PROGRESS)
    {
        EXPECT_EQ(msg.wParam, 0u);
        ++nProgress;
    }
    EXPECT_EQ(msg.message, WM_JOB_FINISHED);
    EXPECT_EQ(msg.wParam, (WPARAM)0x1234);
    // Blocks 3 + 1, one per file, one at the end.
    EXPECT_EQ(nProgress, 4 + 2 + 1);
    for (int i = 0; i < 500 && g_bIdle.load() == 0; ++i)
        Sleep(10);
    EXPECT_EQ(g_bIdle.load(), 1);
    std::vector<std::string> boxes = TakeMessages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "2 個中 2 個のファイルを分割処理しました。\n");
}
