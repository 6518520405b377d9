// Shared helpers of the unit tests.
#include "TestSupport.h"

#include "framework/AfxMessageBox.h"
#include "platform/Platform.h"
#include "support/Trace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace
{
CString g_strRoot;
std::mutex g_messageMutex;
std::vector<std::string> g_messages;

int CapturePresenter(const char* pcText, UINT)
{
    std::lock_guard<std::mutex> guard(g_messageMutex);
    g_messages.push_back(pcText);
    return IDOK;
}

CString ScratchRoot()
{
    if (!g_strRoot.IsEmpty())
        return g_strRoot;
#ifdef _WIN32
    char acTemp[MAX_PATH];
    GetTempPathA(MAX_PATH, acTemp);
    CString strBase(acTemp);
    if (strBase.Right(1) == "\\")
        strBase = strBase.Left(strBase.GetLength() - 1);
#else
    const char* pcTmp = getenv("TMPDIR");
    CString strBase(pcTmp != nullptr && pcTmp[0] != '\0' ? pcTmp : "/tmp");
#endif
    for (unsigned n = GetTickCount();; ++n)
    {
        CString strTry;
        strTry.Format("%s" TEST_SEP "wavoss-test-%u", (const char*)strBase, n);
        if (CreateDirectoryA(strTry, nullptr))
        {
            g_strRoot = strTry;
            return g_strRoot;
        }
    }
}

void RemoveTree(const CString& strPath)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(strPath + TEST_SEP "*", &fd);
    if (h != INVALID_HANDLE_VALUE)
    {
        do
        {
            CString strName(fd.cFileName);
            if (strName == "." || strName == "..")
                continue;
            CString strChild = strPath + TEST_SEP + strName;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(strChild);
            else
                DeleteFileA(strChild);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(strPath);
}

class TestEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        AfxSetMessagePresenter(CapturePresenter);
        StartTraceLog(ScratchRoot());
    }
    void TearDown() override
    {
        if (getenv("WAVOSS_KEEP_TEST_FILES") == nullptr)
            RemoveTree(ScratchRoot());
    }
};

class ResetListener : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo&) override
    {
        ClearTrace();
        TakeMessages();
    }
};

std::atomic<unsigned> g_dirCounter{0};
} // namespace

CString MakeTestDir(const char* pcName)
{
    CString strPath;
    strPath.Format("%s" TEST_SEP "%u-%s", (const char*)ScratchRoot(), ++g_dirCounter, pcName);
    CreateDirectoryA(strPath, nullptr);
    return strPath;
}

CString JoinPath(const CString& strFolder, const char* pcName)
{
    return strFolder + TEST_SEP + pcName;
}

bool WriteBytes(const CString& strPath, const std::string& data)
{
    HANDLE h = CreateFileA(strPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD dwDone = 0;
    BOOL bOk = data.empty() || WriteFile(h, data.data(), (DWORD)data.size(), &dwDone, nullptr);
    CloseHandle(h);
    return bOk && dwDone == data.size();
}

bool WriteSparse(const CString& strPath, const std::string& head, unsigned long long qwTailAt,
                 const std::string& tail)
{
    if (!WriteBytes(strPath, head))
        return false;
    HANDLE h = CreateFileA(strPath, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LONG lHigh = (LONG)(qwTailAt >> 32);
    DWORD dwLow = SetFilePointer(h, (LONG)(DWORD)qwTailAt, &lHigh, FILE_BEGIN);
    DWORD dwDone = 0;
    BOOL bOk = (dwLow != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR) &&
               WriteFile(h, tail.data(), (DWORD)tail.size(), &dwDone, nullptr);
    CloseHandle(h);
    return bOk && dwDone == tail.size();
}

bool ReadBytes(const CString& strPath, std::string& data)
{
    data.clear();
    HANDLE h = CreateFileA(strPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    char acBuff[65536];
    DWORD dwDone = 0;
    while (ReadFile(h, acBuff, sizeof(acBuff), &dwDone, nullptr) && dwDone > 0)
        data.append(acBuff, dwDone);
    CloseHandle(h);
    return true;
}

bool PathExists(const CString& strPath)
{
    return GetFileAttributesA(strPath) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadTrace()
{
    std::string data;
    ReadBytes(GetTraceFilePath(), data);
    return data;
}

void ClearTrace()
{
    WriteBytes(GetTraceFilePath(), std::string());
}

std::vector<std::string> TakeMessages()
{
    std::lock_guard<std::mutex> guard(g_messageMutex);
    std::vector<std::string> out;
    out.swap(g_messages);
    return out;
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new TestEnvironment);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetListener);
    return RUN_ALL_TESTS();
}
