// CMyLockedFile: path parts, opening, bounded reads, writes in place and
// whole-file replacement, and failing system calls.
#include "engine/LockedFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{
const DWORD kTransfer = 4096;

std::string Bytes(const BYTE* pb, DWORD dwCount)
{
    return std::string((const char*)pb, dwCount);
}

// n letters, a to z over and over.
std::string Letters(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = (char)('a' + i % 26);
    return s;
}

// A file object on strPath with a transfer buffer of kTransfer bytes.
void Prepare(CMyLockedFile& file, const CString& strPath, DWORD dwLimit = kTransfer)
{
    ASSERT_EQ(1, file.SetFilePath(strPath));
    ASSERT_EQ(1, file.GetTransferBuff().Reallocate(kTransfer, 1));
    file.SetTransferLimit(dwLimit);
}

std::string FileBytes(const CString& strPath)
{
    std::string data;
    ReadBytes(strPath, data);
    return data;
}

// A symbolic link at strLink to strTarget (which need not exist); false where
// the system makes none (Windows without the right, Wine).
bool MakeLink(const CString& strTarget, const CString& strLink)
{
#ifdef _WIN32
    const DWORD kUnprivileged = 0x2; // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    if (!CreateSymbolicLinkA(strLink, strTarget, kUnprivileged))
        return false;
    DWORD dwAttributes = GetFileAttributesA(strLink);
    return dwAttributes != INVALID_FILE_ATTRIBUTES &&
           (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
#else
    return symlink(strTarget, strLink) == 0;
#endif
}
} // namespace

TEST(LockedFile, SetFilePathSplitsAtTheLastSeparator)
{
    struct Case
    {
        const char* pcPath;
        const char* pcFolder;
        const char* pcName;
    } cases[] = {
        {"C:\\dir\\song.wav", "C:\\dir", "song.wav"},
        {"dir/sub/a.wav", "dir/sub", "a.wav"},
        {"a\\b/c", "a\\b", "c"},
        {"a/b\\c", "a/b", "c"},
        {"song.wav", "song.wav", "song.wav"}, // no separator: whole path both times
        {"\\x", "\\x", "x"},                  // separator first: whole path as folder
        {"dir\\", "dir", ""},
        {"ソ\\a.wav", "ソ", "a.wav"}, // 0x83 0x5C is one character
        {"dir\\ソ", "dir", "ソ"},
        {"dir\\表示.wav", "dir", "表示.wav"},
        // 0xFA 0x5C and 0xFB 0x5C are kanji of the code page's extension rows.
        {"\xFA\x5C\\a.wav", "\xFA\x5C", "a.wav"},
        {"d\\\xFB\x5C", "d", "\xFB\x5C"},
    };
    for (const Case& c : cases)
    {
        CMyLockedFile file;
        ASSERT_EQ(1, file.SetFilePath(c.pcPath)) << c.pcPath;
        EXPECT_STREQ(c.pcPath, file.GetFilePath()) << c.pcPath;
        EXPECT_STREQ(c.pcFolder, file.GetFolder()) << c.pcPath;
        EXPECT_STREQ(c.pcName, file.GetFileName()) << c.pcPath;
    }
}

TEST(LockedFile, SetFilePathRefusesEmptyPathsAndOpenObjects)
{
    CString strDir = MakeTestDir("setpath");
    CString strPath = JoinPath(strDir, "a.bin");
    ASSERT_TRUE(WriteBytes(strPath, "abc"));
    CMyLockedFile file;
    ASSERT_EQ(1, file.SetFilePath(strPath));
    EXPECT_EQ(0, file.SetFilePath(""));
    EXPECT_EQ(0, file.SetFilePath(nullptr));
    ASSERT_EQ(1, file.OpenForRead());
    EXPECT_EQ(0, file.SetFilePath(JoinPath(strDir, "b.bin")));
    EXPECT_STREQ(strPath, file.GetFilePath());
    EXPECT_STREQ("a.bin", file.GetFileName());
}

TEST(LockedFile, OpenForReadTakesTheSizeAndResetsThePosition)
{
    CString strDir = MakeTestDir("open");
    CString strPath = JoinPath(strDir, "a.bin");
    ASSERT_TRUE(WriteBytes(strPath, Letters(100)));

    CMyLockedFile file;
    Prepare(file, strPath);
    ASSERT_EQ(1, file.OpenForRead());
    EXPECT_EQ(1, file.IsOpen());
    EXPECT_EQ(100u, file.GetFileSize());
    EXPECT_EQ(0, file.OpenForRead()); // already open
    ASSERT_EQ(1, file.Seek(40));
    EXPECT_EQ(40u, file.GetPosition());
    EXPECT_EQ(40u, file.Tell());
    file.Close();
    EXPECT_EQ(0, file.IsOpen());
    EXPECT_EQ(0u, file.Tell());
    EXPECT_EQ(0, file.Seek(0));

    ASSERT_EQ(1, file.SetFilePath(JoinPath(strDir, "missing.bin")));
    EXPECT_EQ(0, file.OpenForRead());
    EXPECT_EQ(0, file.IsOpen());
    EXPECT_EQ(0u, file.GetPosition());
    EXPECT_FALSE(PathExists(JoinPath(strDir, "missing.bin")));
}

TEST(LockedFile, ReadsAreBoundedByLimitSizeAndPosition)
{
    CString strPath = JoinPath(MakeTestDir("read"), "a.bin");
    std::string content = Letters(1000);
    ASSERT_TRUE(WriteBytes(strPath, content));

    CMyLockedFile file;
    Prepare(file, strPath, 300);
    DWORD dwGot = 99;
    EXPECT_EQ(nullptr, file.Read(10, &dwGot)); // closed
    EXPECT_EQ(0u, dwGot);
    ASSERT_EQ(1, file.OpenForRead());

    const BYTE* pb = file.Read(500, &dwGot); // the limit wins
    ASSERT_NE(nullptr, pb);
    EXPECT_EQ(300u, dwGot);
    EXPECT_EQ(content.substr(0, 300), Bytes(pb, dwGot));
    pb = file.Read(100, &dwGot); // goes on from the file pointer
    EXPECT_EQ(content.substr(300, 100), Bytes(pb, dwGot));

    ASSERT_EQ(1, file.Seek(990)); // what is left from the recorded position
    pb = file.Read(300, &dwGot);
    EXPECT_EQ(10u, dwGot);
    EXPECT_EQ(content.substr(990), Bytes(pb, dwGot));

    ASSERT_EQ(1, file.Seek(1000));
    EXPECT_NE(nullptr, file.Read(300, &dwGot));
    EXPECT_EQ(0u, dwGot);
    ASSERT_EQ(1, file.Seek(5000));
    EXPECT_NE(nullptr, file.Read(300, &dwGot));
    EXPECT_EQ(0u, dwGot);
}

TEST(LockedFile, ReadNeverOverrunsAnUnpreparedBuffer)
{
    CString strPath = JoinPath(MakeTestDir("unprepared"), "a.bin");
    ASSERT_TRUE(WriteBytes(strPath, Letters(200)));
    CMyLockedFile file;
    ASSERT_EQ(1, file.SetFilePath(strPath));
    ASSERT_EQ(1, file.GetTransferBuff().Reallocate(16, 1));
    file.SetTransferLimit(0x800000); // larger than the buffer
    ASSERT_EQ(1, file.OpenForRead());
    DWORD dwGot = 0;
    const BYTE* pb = file.Read(200, &dwGot);
    ASSERT_NE(nullptr, pb);
    EXPECT_EQ(16u, dwGot);
    EXPECT_EQ(Letters(16), Bytes(pb, dwGot));
}

TEST(LockedFile, FailedReadGivesTheBufferAndNoBytes)
{
    CString strPath = JoinPath(MakeTestDir("readfail"), "a.bin");
    ASSERT_TRUE(WriteBytes(strPath, Letters(100)));
    CMyLockedFile file;
    Prepare(file, strPath);
    ASSERT_EQ(1, file.OpenForRead());
    GetPlatformHooks().pfnReadFile = [](HANDLE, LPVOID, DWORD, LPDWORD pDone)
    {
        *pDone = 7;
        SetLastError(ERROR_READ_FAULT);
        return (BOOL)FALSE;
    };
    DWORD dwGot = 99;
    const BYTE* pb = file.Read(50, &dwGot);
    ResetPlatformHooks();
    EXPECT_NE(nullptr, pb);
    EXPECT_EQ(0u, dwGot);
}

TEST(LockedFile, SourceOpenedForReadingIsNeverWritten)
{
    CString strPath = JoinPath(MakeTestDir("readonly"), "a.bin");
    ASSERT_TRUE(WriteBytes(strPath, Letters(64)));
    CMyLockedFile file;
    Prepare(file, strPath);
    ASSERT_EQ(1, file.OpenForRead());
    EXPECT_EQ(0, file.Write("xxxx", 4));
    EXPECT_EQ(0, file.WriteAt(0, "xxxx", 4));
    // Others may read it, but nobody may write while it is open.
    HANDLE hReader = CreateFileA(strPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, hReader);
    if (hReader != INVALID_HANDLE_VALUE)
        CloseHandle(hReader);
    HANDLE hWriter = CreateFileA(strPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(INVALID_HANDLE_VALUE, hWriter);
    if (hWriter != INVALID_HANDLE_VALUE)
        CloseHandle(hWriter);
    file.Close();
    EXPECT_EQ(Letters(64), FileBytes(strPath));
}

TEST(LockedFile, WritesInPlaceKeepOlderBytesUntilTruncated)
{
    CString strPath = JoinPath(MakeTestDir("write"), "a.bin");
    ASSERT_TRUE(WriteBytes(strPath, Letters(50)));
    CMyLockedFile file;
    Prepare(file, strPath);
    ASSERT_EQ(1, file.OpenForWrite());
    ASSERT_EQ(1, file.Write("0123456789", 10));
    EXPECT_EQ(10u, file.GetPosition());
    ASSERT_EQ(1, file.WriteAt(2, "AB", 2));
    EXPECT_EQ(4u, file.GetPosition());
    file.Close();
    EXPECT_EQ("01AB456789" + Letters(50).substr(10), FileBytes(strPath));

    ASSERT_EQ(1, file.OpenForWrite());
    ASSERT_EQ(1, file.Seek(10));
    ASSERT_EQ(1, file.Truncate());
    file.Close();
    EXPECT_EQ("01AB456789", FileBytes(strPath));
}

// A link where a file is written, planted by someone else: neither its target
// (a file of the user's, or none yet) is reached, whether the file is opened,
// written or replaced whole.
TEST(LockedFile, WritesNeverGoThroughALink)
{
    CString strDir = MakeTestDir("links");
    CString strOut = JoinPath(strDir, "out");
    ASSERT_TRUE(CreateDirectoryA(strOut, nullptr));
    CString strNotes = JoinPath(strDir, "notes.txt");
    ASSERT_TRUE(WriteBytes(strNotes, "my notes"));
    struct Case
    {
        const char* pcTarget;
        int bTargetExists;
    } cases[] = {{"notes.txt", 1}, {"elsewhere.txt", 0}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pcTarget);
        CString strTarget = JoinPath(strDir, c.pcTarget);
        CString strLink = JoinPath(strOut, "take_001.wav");
        if (!MakeLink(strTarget, strLink))
            GTEST_SKIP() << "no symbolic links here";
        CMyLockedFile file;
        Prepare(file, strLink);
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(0, file.OpenForWrite());
        EXPECT_EQ((DWORD)ERROR_STOPPED_ON_SYMLINK, GetLastError());
        EXPECT_EQ(0, file.IsOpen());
        EXPECT_EQ(0, file.Write("audio", 5));
        file.Close();
        EXPECT_EQ(0, CMyLockedFile().WriteWholeFile(strLink, "audio", 5));
        if (c.bTargetExists)
            EXPECT_EQ("my notes", FileBytes(strTarget));
        else
            EXPECT_FALSE(PathExists(strTarget));
        ASSERT_TRUE(DeleteFileA(strLink));
    }
}

TEST(LockedFile, WriteOfNothingStillOpensTheFile)
{
    CString strPath = JoinPath(MakeTestDir("write0"), "new.bin");
    CMyLockedFile file;
    ASSERT_EQ(1, file.SetFilePath(strPath));
    EXPECT_EQ(1, file.Write("", 0));
    EXPECT_EQ(1, file.IsOpen());
    file.Close();
    EXPECT_TRUE(PathExists(strPath));
    EXPECT_EQ("", FileBytes(strPath));
}

TEST(LockedFile, WriteWholeFileReplacesALongerFile)
{
    CString strDir = MakeTestDir("whole");
    CString strPath = JoinPath(strDir, "report.txt");
    ASSERT_TRUE(WriteBytes(strPath, Letters(5000)));
    CMyLockedFile file;
    EXPECT_EQ(1, file.WriteWholeFile(strPath, "short", 5));
    EXPECT_EQ(0, file.IsOpen());
    EXPECT_EQ(5u, file.GetFileSize());
    EXPECT_EQ(0x800000u, file.GetTransferLimit());
    EXPECT_EQ("short", FileBytes(strPath));

    EXPECT_EQ(0,
              file.WriteWholeFile(JoinPath(strDir, "no" TEST_SEP "such" TEST_SEP "x.txt"), "a", 1));
    EXPECT_EQ(0, file.WriteWholeFile("", "a", 1));
}

TEST(LockedFile, FailedOrShortWriteStopsAndRecordsThePointer)
{
    struct Case
    {
        const char* pcName;
        BOOL bResult;
    } cases[] = {{"failed", FALSE}, {"short", TRUE}};
    for (const Case& c : cases)
    {
        CString strPath = JoinPath(MakeTestDir(c.pcName), "a.bin");
        CMyLockedFile file;
        ASSERT_EQ(1, file.SetFilePath(strPath));
        ASSERT_EQ(1, file.OpenForWrite());
        static BOOL s_bResult;
        s_bResult = c.bResult;
        // Writes 3 bytes of whatever is asked, then reports s_bResult.
        GetPlatformHooks().pfnWriteFile = [](HANDLE h, LPCVOID p, DWORD n, LPDWORD pDone)
        {
            GetDefaultPlatformHooks().pfnWriteFile(h, p, n < 3 ? n : 3, pDone);
            return s_bResult;
        };
        int iResult = file.Write("abcdefgh", 8);
        ResetPlatformHooks();
        EXPECT_EQ(0, iResult) << c.pcName;
        EXPECT_EQ(3u, file.GetPosition()) << c.pcName;
        file.Close();
        EXPECT_EQ("abc", FileBytes(strPath)) << c.pcName;
    }
}

TEST(LockedFile, RefreshFileSizeAsksTheDirectory)
{
    CString strDir = MakeTestDir("refresh");
    CString strPath = JoinPath(strDir, "a.bin");
    ASSERT_TRUE(WriteBytes(strPath, Letters(10)));
    CMyLockedFile file;
    EXPECT_EQ(0xFFFFFFFFFFFFFFFFull, file.RefreshFileSize()); // no path yet
    ASSERT_EQ(1, file.SetFilePath(strPath));
    EXPECT_EQ(10u, file.RefreshFileSize());
    EXPECT_EQ(10u, file.GetFileSize());

    // Sizes past 4 GiB arrive in two halves.
    GetPlatformHooks().pfnFindFirstFile = [](LPCSTR pcName, WIN32_FIND_DATAA* pData)
    {
        HANDLE h = GetDefaultPlatformHooks().pfnFindFirstFile(pcName, pData);
        pData->nFileSizeHigh = 1;
        pData->nFileSizeLow = 16;
        return h;
    };
    ULONGLONG qwBig = file.RefreshFileSize();
    ResetPlatformHooks();
    EXPECT_EQ(0x100000010ull, qwBig);

    ASSERT_EQ(1, file.SetFilePath(JoinPath(strDir, "gone.bin")));
    EXPECT_EQ(0xFFFFFFFFFFFFFFFFull, file.RefreshFileSize());
    EXPECT_EQ(0x100000010ull, file.GetFileSize());
}

TEST(LockedFile, LockIsReentrantAndShutsOtherThreadsOut)
{
    CString strPath = JoinPath(MakeTestDir("lock"), "a.bin");
    CMyLockedFile file;
    ASSERT_EQ(1, file.SetFilePath(strPath));
    file.Lock();
    // Write and Close take the lock again on this thread.
    EXPECT_EQ(1, file.Write("abc", 3));
    std::atomic<int> bClosed{0};
    std::thread other(
        [&]
        {
            file.Close();
            bClosed = 1;
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(0, bClosed.load());
    EXPECT_EQ(1, file.IsOpen());
    file.Unlock();
    other.join();
    EXPECT_EQ(1, bClosed.load());
    EXPECT_EQ(0, file.IsOpen());
    EXPECT_EQ("abc", FileBytes(strPath));
}

#ifndef _WIN32
// Linux copies inside the kernel where both positions share their offset in a
// page and through a small buffer elsewhere: either way the bytes and both
// positions come out as a read and a write would leave them, and a source
// that ends early gives what it holds.
TEST(LockedFile, SystemCopyGivesTheBytesWhateverThePagesOffsets)
{
    const DWORD kBlock = 700 * 1024; // more than the copy's own buffer
    std::string content(kBlock + 5000, '\0');
    unsigned uSeed = 1;
    for (char& c : content)
        c = (char)((uSeed = uSeed * 1103515245u + 12345u) >> 16);
    CString strDir = MakeTestDir("copy");
    CString strSrcPath = JoinPath(strDir, "src.bin");
    ASSERT_TRUE(WriteBytes(strSrcPath, content));
    struct Case
    {
        ULONGLONG qwFrom; // source position
        DWORD dwHead;     // bytes written to the copy first
        DWORD dwWant;
    } cases[] = {{0, 0, kBlock},
                 {4096, 0, kBlock},
                 {1000, 44, kBlock},
                 {44, 44, kBlock},
                 {5000, 3, kBlock}}; // the last runs into the end of the source
    for (const Case& c : cases)
    {
        CMyLockedFile src;
        ASSERT_EQ(1, src.SetFilePath(strSrcPath));
        ASSERT_EQ(1, src.GetTransferBuff().Reallocate(kBlock, 1));
        src.SetTransferLimit(kBlock);
        ASSERT_EQ(1, src.OpenForRead());
        ASSERT_EQ(1, src.Seek(c.qwFrom));
        CMyLockedFile piece;
        Prepare(piece, JoinPath(strDir, "piece.bin"));
        ASSERT_EQ(1, piece.OpenForWrite());
        ASSERT_EQ(1, piece.Write(std::string(c.dwHead, 'h').data(), c.dwHead));
        ASSERT_EQ(1, piece.Truncate());
        DWORD dwGot = 0;
        EXPECT_EQ(1, piece.CopyFrom(&src, c.dwWant, &dwGot)) << c.qwFrom;
        DWORD dwExpected = (DWORD)std::min<ULONGLONG>(c.dwWant, content.size() - c.qwFrom);
        EXPECT_EQ(dwExpected, dwGot) << c.qwFrom;
        EXPECT_EQ(c.qwFrom + dwGot, src.Tell()) << c.qwFrom;
        EXPECT_EQ(c.dwHead + dwGot, piece.Tell()) << c.qwFrom;
        piece.Close();
        EXPECT_EQ(std::string(c.dwHead, 'h') + content.substr(c.qwFrom, dwExpected),
                  FileBytes(JoinPath(strDir, "piece.bin")))
            << c.qwFrom;
    }
}

// A FIFO where a source was expected must not hold the run: opening it for
// reading returns at once, with no writer on the other side, and reads find
// nothing.
TEST(LockedFile, FifoOpensWithoutWaitingForAWriter)
{
    CString strFifo = JoinPath(MakeTestDir("fifo"), "x.wav");
    ASSERT_EQ(0, mkfifo(strFifo, 0644));
    CMyLockedFile file;
    ASSERT_TRUE(file.SetFilePath(strFifo));
    ASSERT_TRUE(file.GetTransferBuff().Reallocate(kTransfer, 0));
    file.SetTransferLimit(kTransfer);
    std::atomic<int> bOpened{-1};
    std::thread opener([&] { bOpened = file.OpenForRead(); });
    for (int i = 0; i < 500 && bOpened.load() == -1; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_NE(-1, bOpened.load()) << "open() waits for a writer";
    if (bOpened.load() == -1)
        close(open(strFifo, O_WRONLY)); // lets the blocked open go
    opener.join();
    EXPECT_EQ(1, bOpened.load());
    DWORD dwGot = 1;
    file.Seek(0);
    EXPECT_NE(nullptr, file.Read(kTransfer, &dwGot));
    EXPECT_EQ(0u, dwGot);
}
#endif
