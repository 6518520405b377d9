// The Linux data copy: which copies the kernel is asked for, and the copy
// through a buffer where the kernel has none.
#include "TestSupport.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
// n bytes that repeat only every 251.
std::string MixedBytes(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = (char)(i * 7 % 251);
    return s;
}

// What the kernel's copy was asked for, and how it answers.
struct KernelCalls
{
    std::vector<std::pair<off_t, off_t>> positions; // source, piece, at each call
    PosixCopyCall pfnReal = nullptr;
    int iFailWith = 0; // errno of a failed first call, 0 to copy
};
KernelCalls g_calls;

long RecordingCopy(int fdFrom, int fdTo, size_t nBytes)
{
    g_calls.positions.emplace_back(lseek(fdFrom, 0, SEEK_CUR), lseek(fdTo, 0, SEEK_CUR));
    if (g_calls.iFailWith != 0 && g_calls.positions.size() == 1)
    {
        errno = g_calls.iFailWith;
        return -1;
    }
    return g_calls.pfnReal(fdFrom, fdTo, nBytes);
}
} // namespace

class FileCopy : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_calls = KernelCalls();
        g_calls.pfnReal = SetPosixCopyCall(RecordingCopy);
        m_strDir = MakeTestDir("filecopy");
        m_content = MixedBytes(3 * 4096 + 500);
        ASSERT_TRUE(WriteBytes(JoinPath(m_strDir, "src.bin"), m_content));
    }
    void TearDown() override { SetPosixCopyCall(g_calls.pfnReal); }

    // Copies nBytes from qwFrom in the source to a piece that holds dwHead
    // bytes before them; checks the piece's bytes and both positions.
    BOOL Copy(ULONGLONG qwFrom, DWORD dwHead, DWORD nBytes, DWORD* pdwDone)
    {
        CString strPiece = JoinPath(m_strDir, "piece.bin");
        HANDLE hFrom = CreateFileA(JoinPath(m_strDir, "src.bin"), GENERIC_READ, FILE_SHARE_READ,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
        HANDLE hTo = CreateFileA(strPiece, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, hFrom);
        EXPECT_NE(INVALID_HANDLE_VALUE, hTo);
        std::string head(dwHead, 'h');
        DWORD dwWritten = 0;
        EXPECT_TRUE(WriteFile(hTo, head.data(), dwHead, &dwWritten, nullptr));
        LARGE_INTEGER li, liAt;
        li.QuadPart = (LONGLONG)qwFrom;
        EXPECT_TRUE(SetFilePointerEx(hFrom, li, nullptr, FILE_BEGIN));
        BOOL bOk = PlatformCopyFileRange(hFrom, hTo, nBytes, pdwDone);
        DWORD dwError = GetLastError();
        li.QuadPart = 0;
        EXPECT_TRUE(SetFilePointerEx(hFrom, li, &liAt, FILE_CURRENT));
        EXPECT_EQ((LONGLONG)(qwFrom + *pdwDone), liAt.QuadPart);
        EXPECT_TRUE(SetFilePointerEx(hTo, li, &liAt, FILE_CURRENT));
        EXPECT_EQ((LONGLONG)(dwHead + *pdwDone), liAt.QuadPart);
        CloseHandle(hFrom);
        CloseHandle(hTo);
        std::string piece;
        EXPECT_TRUE(ReadBytes(strPiece, piece));
        EXPECT_EQ(head + m_content.substr(qwFrom, *pdwDone), piece);
        SetLastError(dwError);
        return bOk;
    }

    CString m_strDir;
    std::string m_content;
};

// The kernel shifts every byte when the two positions differ within a page,
// which costs more than a small buffer: it is asked only where they agree.
TEST_F(FileCopy, KernelCopiesOnlyBetweenPositionsOfTheSameOffsetInAPage)
{
    const long nPage = sysconf(_SC_PAGESIZE);
    struct Case
    {
        ULONGLONG qwFrom;
        DWORD dwHead;
        bool bKernel;
    } cases[] = {
        {0, 0, true},
        {(ULONGLONG)nPage, 0, true},
        {(ULONGLONG)nPage + 44, 44, true},
        {100, 100, true},
        {0, 44, false},   // a canonical piece from the start of the data
        {100, 44, false}, // data at 100 in the source
        {(ULONGLONG)nPage, 44, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "from " << c.qwFrom << " after " << c.dwHead);
        g_calls.positions.clear();
        DWORD dwDone = 0;
        EXPECT_TRUE(Copy(c.qwFrom, c.dwHead, 2000, &dwDone));
        EXPECT_EQ(2000u, dwDone);
        EXPECT_EQ(c.bKernel, !g_calls.positions.empty());
        for (const auto& at : g_calls.positions)
            EXPECT_EQ(0, (at.first - at.second) % nPage) << at.first << " " << at.second;
    }
}

// A kernel or file system without the copy says so before copying: the bytes
// go through the buffer instead. Any other failure is the copy's.
TEST_F(FileCopy, KernelWithoutTheCopyFallsBackToReadAndWrite)
{
    struct Case
    {
        int iErrno;
        BOOL bOk;
    } cases[] = {
        {ENOSYS, TRUE},
        {EXDEV, TRUE},
        {EOPNOTSUPP, TRUE},
        {EIO, FALSE},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.iErrno);
        g_calls.positions.clear();
        g_calls.iFailWith = c.iErrno;
        DWORD dwDone = 0;
        EXPECT_EQ(c.bOk, Copy(4096, 0, (DWORD)m_content.size() - 4096, &dwDone));
        EXPECT_EQ(1u, g_calls.positions.size()); // never asked again
        if (c.bOk)
            EXPECT_EQ(m_content.size() - 4096, dwDone);
        else
        {
            EXPECT_EQ(0u, dwDone);
            EXPECT_EQ(PosixErrorToWin32(EIO), GetLastError());
        }
    }
}
