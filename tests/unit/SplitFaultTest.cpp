// Splitting one file when things go wrong: abort, failed reads and writes, a
// full disk, a piece that cannot be opened. Whatever happens, every piece left
// on disk is a WAV file whose header matches its data.
#include "SplitFixture.h"

#include "engine/JobFlags.h"
#include "platform/TextFile.h"

#include <atomic>
#include <vector>

namespace
{
// The second copy block of a piece.
const DWORD kSecondBlock = kBigPieceSize - kCopyBlock;

// Fault injection: the first request of exactly this many bytes fails (after
// passing half of it on, for writes), with this error.
std::atomic<DWORD> g_dwFailSize{0};
std::atomic<DWORD> g_dwFailError{0};
std::atomic<int> g_nInjectedFailures{0};

bool TakeFailure(DWORD nBytes)
{
    DWORD dwWanted = g_dwFailSize.load();
    return dwWanted != 0 && nBytes == dwWanted && g_dwFailSize.compare_exchange_strong(dwWanted, 0);
}

BOOL FailingRead(HANDLE h, LPVOID p, DWORD n, LPDWORD pDone)
{
    if (!TakeFailure(n))
        return GetDefaultPlatformHooks().pfnReadFile(h, p, n, pDone);
    ++g_nInjectedFailures;
    *pDone = 0;
    SetLastError(g_dwFailError);
    return FALSE;
}

BOOL FailingWrite(HANDLE h, LPCVOID p, DWORD n, LPDWORD pDone)
{
    if (!TakeFailure(n))
        return GetDefaultPlatformHooks().pfnWriteFile(h, p, n, pDone);
    ++g_nInjectedFailures;
    DWORD dwHalf = 0;
    GetDefaultPlatformHooks().pfnWriteFile(h, p, n / 2, &dwHalf);
    *pDone = dwHalf;
    SetLastError(g_dwFailError);
    return FALSE;
}

// A system copy that breaks: the first call passes half its block on and
// fails, every later call fails at once. Only reads and writes can finish.
std::atomic<int> g_nCopyCalls{0};

BOOL CopyThatFailsHalfway(HANDLE hFrom, HANDLE hTo, DWORD n, LPDWORD pDone)
{
    *pDone = 0;
    if (g_nCopyCalls++ == 0)
        PlatformCopyFileRange(hFrom, hTo, n / 2, pDone);
    SetLastError(ERROR_READ_FAULT);
    return FALSE;
}

// Free space: the answers in turn, then plenty.
std::vector<ULONGLONG> g_freeAnswers;
size_t g_nFreeCalls = 0;
std::vector<std::string> g_freeFolders;

BOOL ScriptedFreeAnswers(LPCSTR pcDir, ULARGE_INTEGER* pFree)
{
    g_freeFolders.push_back(pcDir);
    size_t n = g_nFreeCalls++;
    if (n < g_freeAnswers.size() && g_freeAnswers[n] == 0xDEAD)
    {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    pFree->QuadPart = n < g_freeAnswers.size() ? g_freeAnswers[n] : (1ull << 40);
    return TRUE;
}

const ULONGLONG kLow = 0x800000 - 1;
const ULONGLONG kEnough = 0x800000;
} // namespace

class SplitFaultTest : public SplitTest
{
protected:
    void SetUp() override
    {
        SplitTest::SetUp();
        g_dwFailSize = 0;
        g_nInjectedFailures = 0;
        g_freeAnswers.clear();
        g_nFreeCalls = 0;
        g_freeFolders.clear();
    }
    // Two full pieces and a rest of 5000 bytes.
    std::string BigSource()
    {
        m_wav = BuildWave(kBigFmt, MakeSamples(kBigFmt, 2 * kBigPieceSize + 5000));
        m_strSrc = WriteSource(m_wav);
        return m_wav;
    }
    std::string SourceData(size_t nBytes) const
    {
        return m_wav.substr(DataStartOf(kBigFmt), nBytes);
    }
    size_t FileSize(DWORD dwPiece)
    {
        std::string bytes;
        ReadBytes(PiecePath(dwPiece), bytes);
        return bytes.size();
    }

    std::string m_wav;
    CString m_strSrc;
};

TEST_F(SplitFaultTest, AbortDuringTheSecondPieceLeavesItShortAndTrue)
{
    BigSource();
    // Posts 1 and 2 are piece 1's blocks; post 3 is the first of piece 2.
    m_host.m_onProgress = [](int n)
    {
        if (n == 3)
            g_bAbort.store(1);
    };
    ASSERT_EQ(Split(m_strSrc, kBigSectionMs), 2u);
    EXPECT_EQ(FileSize(1), 44u + kBigPieceSize);
    EXPECT_EQ(FileSize(2), 44u + kCopyBlock);
    EXPECT_TRUE(SameBytes(AllPieceData(2, kBigFmt), SourceData(kBigPieceSize + kCopyBlock)));
    EXPECT_FALSE(PathExists(PiecePath(3)));
    EXPECT_EQ(ReadTrace().find("RestDataSize"), std::string::npos);
    EXPECT_EQ(m_host.m_nProgress, 3);
    EXPECT_EQ(m_state.m_ullDoneBytes.load(), (ULONGLONG)kBigPieceSize + kCopyBlock);
}

// 8 MiB is no whole number of 24-bit stereo frames: a piece cut short after
// its first block keeps whole frames only.
TEST_F(SplitFaultTest, PieceCutShortKeepsWholeFrames)
{
    const WaveFormat fmt = MakePcmFormat(2, 24, 100000); // 600,000 bytes a second
    m_wav = BuildWave(fmt, MakeSamples(fmt, 2000000));
    m_strSrc = WriteSource(m_wav);
    m_host.m_onProgress = [](int) { g_bAbort.store(1); };
    ASSERT_EQ(Split(m_strSrc, 20000), 1u);
    const size_t nKept = kCopyBlock - kCopyBlock % 6;
    EXPECT_EQ(FileSize(1), 44u + nKept);
    EXPECT_TRUE(SameBytes(PieceData(1, fmt), m_wav.substr(DataStartOf(fmt), nKept)));
}

TEST_F(SplitFaultTest, AbortBeforeTheSplitWritesNothing)
{
    BigSource();
    g_bAbort.store(1);
    EXPECT_EQ(Split(m_strSrc, kBigSectionMs), 0u);
    EXPECT_FALSE(PathExists(PiecePath(1)));
}

TEST_F(SplitFaultTest, FailedReadLeavesAPieceThatHoldsWhatItSays)
{
    BigSource();
    GetPlatformHooks().pfnReadFile = FailingRead;
    g_dwFailError = ERROR_READ_FAULT;
    g_dwFailSize = kSecondBlock; // the second block of piece 1
    EXPECT_EQ(Split(m_strSrc, kBigSectionMs), 0u);
    EXPECT_EQ(g_nInjectedFailures.load(), 1);
    EXPECT_EQ(FileSize(1), 44u + kCopyBlock);
    EXPECT_TRUE(SameBytes(PieceData(1, kBigFmt), SourceData(kCopyBlock)));
    EXPECT_FALSE(PathExists(PiecePath(2)));
    std::string trace = ReadTrace();
    std::string entry =
        std::string("※　ソースファイルの読込に失敗しました。CopyPiece()\n\tPiecePath[") +
        (const char*)PiecePath(1) + "], Copied[8388608]\n:";
    size_t iAt = trace.find(entry);
    ASSERT_NE(iAt, std::string::npos) << trace;
    EXPECT_GT(trace.size(), iAt + entry.size() + 1); // the system's text follows
}

TEST_F(SplitFaultTest, FailedWriteCutsThePieceBackToWholeBlocks)
{
    BigSource();
    GetPlatformHooks().pfnWriteFile = FailingWrite;
    g_dwFailError = ERROR_DISK_FULL;
    g_dwFailSize = kSecondBlock; // half of it reaches the disk
    EXPECT_EQ(Split(m_strSrc, kBigSectionMs), 0u);
    EXPECT_EQ(g_nInjectedFailures.load(), 1);
    EXPECT_EQ(FileSize(1), 44u + kCopyBlock);
    EXPECT_TRUE(SameBytes(PieceData(1, kBigFmt), SourceData(kCopyBlock)));
    EXPECT_FALSE(PathExists(PiecePath(2)));
    std::string entry =
        std::string("※　分割ファイルへの書込に失敗しました。CopyPiece()\n\tPiecePath[") +
        (const char*)PiecePath(1) + "], Copied[8388608]\n:";
    EXPECT_NE(ReadTrace().find(entry), std::string::npos) << ReadTrace();
    // The batch goes on: only a full disk found before a piece stops it.
    EXPECT_EQ(m_state.m_bStopBatch.load(), 0);
}

TEST_F(SplitFaultTest, SystemCopyFailingHalfwayLeavesTheRestToReadsAndWrites)
{
    BigSource();
    g_nCopyCalls = 0;
    GetPlatformHooks().pfnCopyFileRange = CopyThatFailsHalfway;
    ASSERT_EQ(Split(m_strSrc, kBigSectionMs), 3u);
    EXPECT_GT(g_nCopyCalls.load(), 0);
    EXPECT_TRUE(SameBytes(AllPieceData(3, kBigFmt), SourceData(2 * kBigPieceSize + 5000)));
    EXPECT_EQ(ReadTrace().find("CopyPiece()"), std::string::npos) << ReadTrace();
}

TEST_F(SplitFaultTest, FailedHeaderWriteLeavesAnEmptyTruePiece)
{
    WaveFormat fmt = MakePcmFormat(1, 8, 1000);
    std::string wav = BuildWave(fmt, MakeSamples(fmt, 3000));
    CString strSrc = WriteSource(wav);
    // Piece 1 is written whole; its header is the first 44-byte write.
    ASSERT_EQ(Split(strSrc, 1000), 3u);
    GetPlatformHooks().pfnWriteFile = FailingWrite;
    g_dwFailError = ERROR_WRITE_FAULT;
    g_dwFailSize = 44;
    EXPECT_EQ(Split(strSrc, 1000), 0u);
    EXPECT_EQ(g_nInjectedFailures.load(), 1);
    EXPECT_EQ(FileSize(1), 44u);
    EXPECT_EQ(PieceData(1, fmt), std::string());
    // The older pieces 2 and 3 were not touched again.
    EXPECT_EQ(FileSize(2), 1044u);
}

TEST_F(SplitFaultTest, FullDiskBeforeAFullPieceStopsTheBatch)
{
    struct Case
    {
        const char* pcWhat;
        std::vector<ULONGLONG> answers;
        DWORD dwPieces;
        int bStop;
        bool bQueryFails;
    };
    const Case kCases[] = {
        {"before the first piece", {kLow}, 0, 1, false},
        {"before the second piece", {kEnough, kLow}, 1, 1, false},
        {"before the last, shorter piece", {kEnough, kEnough, kLow}, 2, 0, false},
        {"free space cannot be asked", {0xDEAD}, 0, 1, true},
    };
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.pcWhat);
        CString strDir = MakeTestDir("full");
        CString strBase = JoinPath(strDir, "f");
        WaveFormat fmt = MakePcmFormat(1, 8, 1000);
        std::string wav = BuildWave(fmt, MakeSamples(fmt, 2500));
        CString strSrc = JoinPath(strDir, "f.wav");
        ASSERT_TRUE(WriteBytes(strSrc, wav));
        ClearTrace();
        TakeMessages();
        m_state.m_bStopBatch.store(0);
        g_freeAnswers = c.answers;
        g_nFreeCalls = 0;
        g_freeFolders.clear();
        GetPlatformHooks().pfnGetDiskFreeSpaceEx = ScriptedFreeAnswers;

        EXPECT_EQ(Split(strBase, strSrc, 1000), c.dwPieces);
        ResetPlatformHooks();
        EXPECT_EQ(m_state.m_bStopBatch.load(), c.bStop);
        CString strRefused;
        strRefused.Format("%s_%03u.wav", (const char*)strBase, c.dwPieces + 1);
        EXPECT_FALSE(PathExists(strRefused));
        std::string text = std::string("※　出力フォルダの空き容量が足りません。\n[ ") +
                           (const char*)strRefused + " ]";
        std::vector<std::string> boxes = TakeMessages();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], text);
        std::string trace = ReadTrace();
        EXPECT_NE(trace.find(text + "\n"), std::string::npos) << trace;
        EXPECT_EQ(trace.find("※　空き容量を取得できません。GetDiskFreeBytes()") !=
                      std::string::npos,
                  c.bQueryFails);
        // Asked once per piece, about the output folder.
        ASSERT_EQ(g_freeFolders.size(), (size_t)c.dwPieces + 1);
        EXPECT_EQ(g_freeFolders[0], std::string((const char*)strDir) + "\\");
        for (DWORD i = 1; i <= c.dwPieces; ++i)
        {
            CString strPiece;
            strPiece.Format("%s_%03u.wav", (const char*)strBase, i);
            std::string piece;
            ASSERT_TRUE(ReadBytes(strPiece, piece));
            EXPECT_EQ(piece.size(), 1044u);
        }
    }
}

TEST_F(SplitFaultTest, PieceThatCannotBeOpenedEndsTheSplit)
{
    WaveFormat fmt = MakePcmFormat(1, 8, 1000);
    CString strSrc = WriteSource(BuildWave(fmt, MakeSamples(fmt, 2000)));
    ASSERT_TRUE(WriteBytes(PiecePath(1), "held by someone else"));
    HANDLE hLock = CreateFileA(PiecePath(1), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(hLock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Split(strSrc, 1000), 0u);
    CloseHandle(hLock);
    std::string held;
    ASSERT_TRUE(ReadBytes(PiecePath(1), held));
    EXPECT_EQ(held, "held by someone else");
    EXPECT_FALSE(PathExists(PiecePath(2)));
    std::string entry = std::string("※　分割ファイルを開けません。SplitFile()\n\tPiecePath[") +
                        (const char*)PiecePath(1) + "]\n:";
    EXPECT_NE(ReadTrace().find(entry), std::string::npos) << ReadTrace();
}

namespace
{
// The system's copy is missing; the source ends where piece 2 begins.
std::atomic<int> g_nBlockReads{0};

BOOL CopyNotSupported(HANDLE, HANDLE, DWORD, LPDWORD pDone)
{
    *pDone = 0;
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL ReadEndingAtPieceTwo(HANDLE h, LPVOID p, DWORD n, LPDWORD pDone)
{
    if (n == kCopyBlock && ++g_nBlockReads == 2)
    {
        *pDone = 0;
        return TRUE;
    }
    return GetDefaultPlatformHooks().pfnReadFile(h, p, n, pDone);
}

// The platform's text for the code, its first line.
std::string SystemTextLine(DWORD dwError)
{
    char* pcText = nullptr;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, dwError,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPSTR)&pcText, 0, nullptr);
    std::string text(pcText != nullptr ? pcText : "");
    if (pcText != nullptr)
        LocalFree(pcText);
    return text.substr(0, text.find_first_of("\r\n"));
}
} // namespace

TEST_F(SplitFaultTest, SourceEndingEarlyAfterAFailedSystemCopyIsTracedAsItsEnd)
{
    BigSource();
    g_nBlockReads = 0;
    GetPlatformHooks().pfnCopyFileRange = CopyNotSupported;
    GetPlatformHooks().pfnReadFile = ReadEndingAtPieceTwo;
    Split(m_strSrc, kBigSectionMs);
    std::string trace = ReadTrace();
    std::string entry =
        std::string("※　ソースファイルの読込に失敗しました。CopyPiece()\n\tPiecePath[") +
        (const char*)PiecePath(2) + "], Copied[0]\n:";
    size_t iAt = trace.find(entry);
    ASSERT_NE(iAt, std::string::npos) << trace;
    std::string said = trace.substr(iAt + entry.size());
    ASSERT_FALSE(SystemTextLine(ERROR_HANDLE_EOF).empty());
    EXPECT_EQ(0u, said.find(SystemTextLine(ERROR_HANDLE_EOF))) << said;
}

namespace
{
// The first close fails after the system let go of the handle, as Linux's
// close does on a network share; a later call with that handle is counted,
// never passed on.
HANDLE g_hFailedClose = nullptr;
std::atomic<int> g_nFailedHandleCloses{0};

BOOL CloseFailingOnce(HANDLE h)
{
    if (g_hFailedClose != nullptr && h != g_hFailedClose)
        return GetDefaultPlatformHooks().pfnCloseHandle(h);
    ++g_nFailedHandleCloses;
    if (g_hFailedClose == nullptr)
    {
        g_hFailedClose = h;
        GetDefaultPlatformHooks().pfnCloseHandle(h);
    }
    SetLastError(ERROR_WRITE_FAULT);
    return FALSE;
}
} // namespace

// A piece whose close fails may not hold what was written: it is not whole,
// it is removed, and its freed handle is never used again.
TEST_F(SplitFaultTest, FailedCloseLeavesNoPieceAndNoHandleInUse)
{
    WaveFormat fmt = MakePcmFormat(1, 8, 1000);
    CString strSrc = WriteSource(BuildWave(fmt, MakeSamples(fmt, 2000)));
    g_hFailedClose = nullptr;
    g_nFailedHandleCloses = 0;
    GetPlatformHooks().pfnCloseHandle = CloseFailingOnce; // the first is piece 1's
    {
        CMySplitter splitter(&m_state, &m_host);
        EXPECT_EQ(splitter.SplitFile(BasePath(), strSrc, 1000), 0u);
        EXPECT_EQ(splitter.WasWhole(), 0);
    }
    ResetPlatformHooks();
    EXPECT_EQ(g_nFailedHandleCloses.load(), 1);
    EXPECT_FALSE(PathExists(PiecePath(1)));
    EXPECT_FALSE(PathExists(PiecePath(2)));
    std::string trace = ReadTrace();
    EXPECT_NE(trace.find("※　分割ファイルを閉じられません。SplitFile()\n\tPiecePath[" +
                         std::string(PiecePath(1)) + "]\n:"),
              std::string::npos)
        << trace;
    EXPECT_NE(trace.find("※　分割ファイルを正しく閉じられないため削除しました。"),
              std::string::npos)
        << trace;
}

#ifndef _WIN32
// The program joins names with '\': a box for Linux users shows '/', as
// their trace does.
TEST_F(SplitFaultTest, FullDiskBoxShowsLinuxSeparators)
{
    WaveFormat fmt = MakePcmFormat(1, 8, 1000);
    CString strSrc = WriteSource(BuildWave(fmt, MakeSamples(fmt, 1000)));
    CString strBase = m_strDir + "\\f";
    g_freeAnswers = {kLow};
    GetPlatformHooks().pfnGetDiskFreeSpaceEx = ScriptedFreeAnswers;
    TakeMessages();
    UseLogTextForLinuxUsers(1);
    EXPECT_EQ(Split(strBase, strSrc, 1000), 0u);
    UseLogTextForLinuxUsers(0);
    std::vector<std::string> boxes = TakeMessages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("[ " + std::string(m_strDir) + "/f_001.wav ]"), std::string::npos)
        << boxes[0];
}
#endif
