// The trace log: writers, line ends, the formatting limit, the program folder.
#include "support/Trace.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

TEST(Trace, WritersAppendExactlyTheirText)
{
    EXPECT_EQ(0, WriteTraceFormat(nullptr));
    WriteTraceText("", 1);
    WriteTraceText((const char*)nullptr, 1);
    EXPECT_EQ("", ReadTrace());

    EXPECT_EQ(20, WriteTraceFormat("SectorSize = %u [ms]\n", 3u));
    WriteTraceText("raw\n", 1);
    WriteTraceString(CString("text\n"));
    EXPECT_EQ("SectorSize = 3 [ms]\nraw\n\ntext\r\n", ReadTrace());
    EXPECT_TRUE(TakeMessages().empty());
}

TEST(Trace, FormattedEntryIsCutAtTheLimit)
{
    std::string strLong(3000, 'x');
    EXPECT_EQ(1023, WriteTraceFormat("%s", strLong.c_str()));
    EXPECT_EQ(std::string(1023, 'x'), ReadTrace());
}

TEST(Trace, SystemErrorTextFollowsTheEntry)
{
    WriteTraceText("※　パスの存在チェック失敗。IsExistFile()\n\tpath\n:", 0);
    EXPECT_EQ(1, WriteTraceSystemError(ERROR_FILE_NOT_FOUND));
    std::string trace = ReadTrace();
    // The system's text ends in its own line end, so an empty line follows.
    ASSERT_GT(trace.size(), 6u);
    EXPECT_EQ("\r\n\r\n", trace.substr(trace.size() - 4));
    EXPECT_EQ(0u, trace.find("※　パスの存在チェック失敗。IsExistFile()\n\tpath\n:"));
}

TEST(Trace, UnopenableFileDropsRawEntriesAndReportsTextEntries)
{
    CString strSaved = GetProgramFolderText();
    CString strMissing = JoinPath(MakeTestDir("trace"), "missing");
    StartTraceLog(strMissing);
    EXPECT_EQ(5, WriteTraceFormat("%s", "hello"));
    WriteTraceText("dropped", 1);
    EXPECT_TRUE(TakeMessages().empty());
    WriteTraceString(CString("a\n"));
    WriteTraceString(CString("b\n"));
    std::vector<std::string> messages = TakeMessages();
    // The entries are lost, and a front end can ask why.
    DWORD dwLost = 0;
    EXPECT_EQ(1, GetTraceLostError(&dwLost));
    EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, dwLost);
    StartTraceLog(strSaved);
    EXPECT_EQ(0, GetTraceLostError(&dwLost));
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ("トレース用ファイルが開けません", messages[0]);
}

// A muted thread's entries are dropped, and only its own: no box either.
TEST(Trace, MutedThreadWritesNothing)
{
    std::thread muted(
        []
        {
            SetTraceMuted(1);
            WriteTraceFormat("%s", "format\n");
            WriteTraceText("text", 1);
            WriteTraceString(CString("string\n"));
            WriteTraceSystemError(ERROR_FILE_NOT_FOUND);
        });
    muted.join();
    WriteTraceText("kept", 0);
    EXPECT_EQ("kept", ReadTrace());
    EXPECT_TRUE(TakeMessages().empty());
}

TEST(Trace, StartEmptiesThePreviousRun)
{
    WriteTraceText("old", 1);
    StartTraceLog(GetProgramFolderText());
    EXPECT_EQ("", ReadTrace());
}

TEST(Trace, EntriesFromManyThreadsAreAllKept)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 50; ++i)
            {
                WriteTraceFormat("T%d-%d\n", t, i);
                WriteTraceString(CString("S\n"));
            }
        });
    for (std::thread& th : threads)
        th.join();
    std::string trace = ReadTrace();
    size_t nLines = 0;
    for (char c : trace)
        nLines += c == '\n';
    EXPECT_EQ(400u, nLines);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST(Trace, LastCharSkipsTrailBytesThatLookLikeSeparators)
{
    struct Case
    {
        const char* pcText;
        char c;
        int iWant;
    };
    const Case cases[] = {
        {"C:\\a\\b", '\\', 4},
        {"C:\\\x83\x5C", '\\', 2}, // ソ: its second byte is 0x5C
        {"\x83\x5C\x95\x5C", '\\', -1},
        {"abc", '\\', -1},
        {"", '\\', -1},
        {"a\\", '\\', 1},
    };
    for (const Case& k : cases)
        EXPECT_EQ(k.iWant, FindLastCharSJis(k.pcText, k.c)) << k.pcText;
}

TEST(Trace, ByteClasses)
{
    int nLead = 0, nTrail = 0;
    for (int b = 0; b < 256; ++b)
    {
        bool bLead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xF5);
        bool bTrail = (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
        EXPECT_EQ(bLead ? 1 : 0, IsSJisLeadByte((BYTE)b)) << b;
        EXPECT_EQ(bTrail ? 1 : 0, IsSJisTrailByte((BYTE)b)) << b;
        nLead += IsSJisLeadByte((BYTE)b);
        nTrail += IsSJisTrailByte((BYTE)b);
    }
    EXPECT_EQ(31 + 22, nLead);
    EXPECT_EQ(63 + 125, nTrail);
}

TEST(Trace, ProgramFolderIsTheRunningProgramsFolder)
{
    EXPECT_EQ(-1, GetProgramFolder(nullptr));
    CString strFolder;
    EXPECT_EQ(0, GetProgramFolder(&strFolder));
    ASSERT_FALSE(strFolder.IsEmpty());
    EXPECT_NE('\\', strFolder[strFolder.GetLength() - 1]);
    // The test program itself lies in that folder.
    char acPath[2048] = {};
    GetModuleFileNameA(nullptr, acPath, sizeof(acPath));
    EXPECT_EQ(0, CString(acPath).Find(strFolder + "\\"));
}
