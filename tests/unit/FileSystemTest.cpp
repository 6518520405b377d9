// File-system helpers: existence tests, directory entries, the current
// directory, thousands separators and number reading.
#include "support/FileSystem.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
// A folder holding a file "a.wav" (12345 bytes) and a folder "sub", and a
// folder whose name ends in a two-byte character with trail byte 0x5C.
struct Tree
{
    CString strRoot, strFile, strSub, strSJis;
};

Tree MakeTree()
{
    Tree t;
    t.strRoot = MakeTestDir("exist");
    t.strFile = JoinPath(t.strRoot, "a.wav");
    t.strSub = JoinPath(t.strRoot, "sub");
    t.strSJis = JoinPath(t.strRoot, "ソ");
    WriteBytes(t.strFile, std::string(12345, 'x'));
    CreateDirectoryA(t.strSub, nullptr);
    CreateDirectoryA(t.strSJis, nullptr);
    return t;
}
} // namespace

TEST(IsExistFile, AnswersForTheWantedKindOnly)
{
    Tree t = MakeTree();
    struct Case
    {
        CString strPath;
        int bWantFolder;
        int iExpected;
    } cases[] = {
        {t.strFile, 0, 1},
        {t.strFile, 1, 0},
        {t.strSub, 1, 1},
        {t.strSub, 0, 0},
        {t.strSJis, 1, 1},
        {JoinPath(t.strSJis, ""), 1, 0}, // ends in a separator: the search finds nothing
        {t.strSub + TEST_SEP, 1, 0},
        {JoinPath(t.strRoot, "missing.wav"), 0, 0},
        {JoinPath(t.strRoot, "missing"), 1, 0},
        {JoinPath(t.strRoot, "*.wav"), 0, 1}, // the first match decides
        {JoinPath(t.strRoot, "*.wav"), 1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.iExpected, IsExistFile(c.strPath, c.bWantFolder, 0))
            << (const char*)c.strPath << " want folder " << c.bWantFolder;
    EXPECT_EQ("", ReadTrace());
}

TEST(IsExistFile, NullPathIsTracedWhateverTheReportFlag)
{
    EXPECT_EQ(0, IsExistFile(nullptr, 0, 0));
    EXPECT_EQ("※引数が無効。IxExistFile()\r\n", ReadTrace());
}

TEST(IsExistFile, ReportedMissCarriesThePathAndTheSystemText)
{
    Tree t = MakeTree();
    CString strMissing = JoinPath(t.strRoot, "missing.wav");
    EXPECT_EQ(0, IsExistFile(strMissing, 0, 1));
    std::string trace = ReadTrace();
    std::string head = std::string("※　パスの存在チェック失敗。IsExistFile()\n\t") +
                       (const char*)strMissing + "\n:";
    ASSERT_EQ(0u, trace.find(head)) << trace;
    // The system's text for "file not found" completes the line, in text mode.
    std::string rest = trace.substr(head.size());
    EXPECT_GT(rest.size(), 4u);
    EXPECT_EQ("\r\n", rest.substr(rest.size() - 2));

    // An entry of the other kind is reported the same way.
    ClearTrace();
    EXPECT_EQ(0, IsExistFile(t.strSub, 0, 1));
    EXPECT_EQ(0u, ReadTrace().find(std::string("※　パスの存在チェック失敗。IsExistFile()\n\t") +
                                   (const char*)t.strSub + "\n:"));
}

TEST(GetFindData, GivesSizeAttributesAndName)
{
    Tree t = MakeTree();
    WIN32_FIND_DATAA fd;
    memset(&fd, 0, sizeof(fd));
    ASSERT_EQ(1, GetFindData(&fd, t.strFile));
    EXPECT_EQ(12345u, MakeUInt64(fd.nFileSizeLow, fd.nFileSizeHigh));
    EXPECT_EQ(0u, fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_STREQ("a.wav", fd.cFileName);
    EXPECT_NE(0u, fd.ftLastWriteTime.dwHighDateTime);

    ASSERT_EQ(1, GetFindData(&fd, t.strSJis));
    EXPECT_NE(0u, fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_STREQ("ソ", fd.cFileName);

    EXPECT_EQ(0, GetFindData(&fd, JoinPath(t.strRoot, "none")));
    EXPECT_EQ(0, GetFindData(nullptr, t.strFile));
    EXPECT_EQ(0, GetFindData(&fd, nullptr));
}

TEST(GetFindData, LooksUpThroughTheReplaceableSearch)
{
    Tree t = MakeTree();
    GetPlatformHooks().pfnFindFirstFile = [](LPCSTR, WIN32_FIND_DATAA*)
    {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    };
    WIN32_FIND_DATAA fd;
    int iFound = GetFindData(&fd, t.strFile);
    int iExists = IsExistFile(t.strFile, 0, 0);
    ResetPlatformHooks();
    EXPECT_EQ(0, iFound);
    EXPECT_EQ(0, iExists);
}

TEST(GetCurrentDir, GivesTheDirectoryWithItsShiftJisName)
{
    CString strDir = MakeTestDir("cwd ソ");
    char acSaved[5000];
    ASSERT_NE(0u, GetCurrentDirectoryA(sizeof(acSaved), acSaved));
    ASSERT_TRUE(SetCurrentDirectoryA(strDir));
    CString strCwd("unchanged");
    int iResult = GetCurrentDir(&strCwd);
    SetCurrentDirectoryA(acSaved);
    EXPECT_EQ(1, iResult);
    // Compared by its tail: the scratch root may be reached through a link.
    CString strName = strDir.Mid(strDir.ReverseFind(TEST_SEP[0]) + 1);
    ASSERT_GE(strCwd.GetLength(), strName.GetLength());
    EXPECT_EQ(std::string((const char*)strName),
              std::string((const char*)strCwd.Right(strName.GetLength())));
    EXPECT_EQ((int)strlen(strCwd), strCwd.GetLength());
    EXPECT_EQ(0, GetCurrentDir(nullptr));
}

TEST(InsertThousandsSeparators, GroupsFromTheRightWithinTheBuffer)
{
    struct Case
    {
        const char* pcText;
        DWORD dwBuffSize;
        const char* pcExpected;
    } cases[] = {
        {"1234567", 0, "1,234,567"},
        {"1234.5", 0, "1,234.5"},
        {"-1234", 0, "-1,234"},
        {"123.45", 0, "123.45"}, // full stop at index 3
        {"1.2345", 0, "1.2345"},
        {"999", 0, "999"},
        {"1000", 0, "1,000"},
        {"", 0, ""},
        {"12345678", 64, "12,345,678"},
        {"12345678", 11, "12,345,678"}, // exactly fits with its terminator
        {"12345678", 10, "12345,678"},  // the left separator is left out
        {"12345678", 9, "12345678"},
        {"1234", 6, "1,234"},
        {"1234", 5, "1234"},
        {"18446744073709551615", 64, "18,446,744,073,709,551,615"},
        {"18446744073709551615", 24, "18446744073,709,551,615"},
    };
    for (const Case& c : cases)
    {
        // The buffer sits in a larger block whose tail must stay untouched.
        char acBlock[96];
        memset(acBlock, 0x7F, sizeof(acBlock));
        strcpy(acBlock, c.pcText);
        int iLength = InsertThousandsSeparators(acBlock, c.dwBuffSize);
        EXPECT_STREQ(c.pcExpected, acBlock) << c.pcText << " in " << c.dwBuffSize;
        EXPECT_EQ((int)strlen(c.pcExpected), iLength) << c.pcText;
        size_t nLimit = c.dwBuffSize != 0 ? c.dwBuffSize : strlen(c.pcExpected) + 1;
        for (size_t i = nLimit; i < sizeof(acBlock); ++i)
            ASSERT_EQ(0x7F, acBlock[i]) << c.pcText << " wrote past its buffer at " << i;
    }
    EXPECT_EQ(0, InsertThousandsSeparators(nullptr, 0));
}

TEST(MakeUInt64, JoinsTheHalves)
{
    EXPECT_EQ(0x1FFFFFFFFull, MakeUInt64(0xFFFFFFFF, 1));
    EXPECT_EQ(0x8000000000000001ull, MakeUInt64(1, 0x80000000));
}

TEST(StrToULong, ReadsLikeThe32BitRuntime)
{
    struct Case
    {
        const char* pcText;
        DWORD dwExpected;
    } cases[] = {
        {"42", 42},
        {"  7x", 7},
        {"1.5", 1},
        {"+5", 5},
        {"007", 7},
        {"4294967295", 0xFFFFFFFFu},
        {"4294967296", 0xFFFFFFFFu}, // saturates instead of wrapping
        {"99999999999999999999999", 0xFFFFFFFFu},
        {"-1", 0xFFFFFFFFu},
        {"-4294967295", 1},
        {"-4294967296", 0xFFFFFFFFu},
        {"abc", 0},
        {"-", 0},
        {"", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.dwExpected, StrToULong(c.pcText)) << c.pcText;
    EXPECT_EQ(0u, StrToULong(nullptr));
}

TEST(StrToDouble, ReadsTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(1.5, StrToDouble("1.5"));
    EXPECT_DOUBLE_EQ(1.2, StrToDouble("1.2.3"));
    EXPECT_DOUBLE_EQ(2000.0, StrToDouble("  2e3s"));
    EXPECT_DOUBLE_EQ(0.0, StrToDouble(""));
    EXPECT_DOUBLE_EQ(0.0, StrToDouble("x1"));
    EXPECT_DOUBLE_EQ(0.0, StrToDouble(nullptr));
}
