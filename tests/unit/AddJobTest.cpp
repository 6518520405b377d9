// The add-files job: collection order, the duplicate-name check with its
// message and report, identifiers, and what the host is asked to do.
#include "sources/AddJob.h"

#include "TestSupport.h"
#include "engine/JobFlags.h"
#include "support/FileSystem.h"
#include "support/Trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
CString Joined(const CString& strFolder, const char* pcName)
{
    return strFolder + "\\" + pcName;
}

void Touch(const CString& strFolder, const char* pcName)
{
    ASSERT_TRUE(WriteBytes(JoinPath(strFolder, pcName), "data"));
}

// Joined as the program joins, so that expected paths match its records.
CString MakeSubDir(const CString& strFolder, const char* pcName)
{
    CString strPath = Joined(strFolder, pcName);
    CreateDirectoryA(strPath, nullptr);
    return strPath;
}

// One picker: its folder and the entries selected in it, by name.
class CFakeHost : public CMyAddHost
{
public:
    CFakeHost(const CString& strFolder, const std::vector<const char*>& names)
        : m_strFolder(strFolder)
    {
        for (const char* pcName : names)
        {
            WIN32_FIND_DATAA entry;
            EXPECT_TRUE(GetFindData(&entry, JoinPath(strFolder, pcName))) << pcName;
            m_entries.push_back(entry);
        }
    }

    CString GetPickerFolderText(DWORD) override { return m_strFolder + "\\"; }
    CString GetCurrentFolder(DWORD) override { return m_strFolder; }
    DWORD GetSelectedCount(DWORD) override { return (DWORD)m_entries.size(); }
    const WIN32_FIND_DATAA& GetSelectedEntry(DWORD, DWORD dwIndex) override
    {
        return m_entries[dwIndex];
    }
    void SetLastPickerFolder(const CString& strFolder) override { m_strLastFolder = strFolder; }
    void RebuildList() override { m_calls += "rebuild;"; }
    void ShowTotalSize(ULONGLONG ullTotal) override
    {
        m_calls += "total " + std::to_string(ullTotal) + ";";
    }
    void OpenReport(const char* pcPath) override { m_calls += std::string("open ") + pcPath + ";"; }
    void DestroyPicker() override { m_calls += "destroy;"; }
    void PostJobFinished() override { m_calls += "finished;"; }

    CString m_strFolder;
    std::vector<WIN32_FIND_DATAA> m_entries;
    CString m_strLastFolder;
    std::string m_calls;
};

// The list as every Add leaves it.
struct CWavList : public CMyFilteredPathList
{
    CWavList()
    {
        SetPatternOn(0);
        SetExtension("wav");
        SetExtensionOn(1);
    }
};

void RunJob(CMyFilteredPathList& list, CFakeHost& host)
{
    CMyAddJob job(&list, &host);
    EXPECT_EQ(0u, AddThreadProc(&job));
}

std::vector<std::string> Names(const CMyPathList& list)
{
    std::vector<std::string> names;
    for (DWORD i = 0; i < list.GetCount(); i++)
        names.push_back(list.GetAt(i).FileName.GetString());
    return names;
}

std::vector<DWORD> IDs(const CMyPathList& list)
{
    std::vector<DWORD> ids;
    for (DWORD i = 0; i < list.GetCount(); i++)
        ids.push_back(list.GetAt(i).ID);
    return ids;
}

CString ReportPath()
{
    return GetProgramFolderText() + "\\ConflictFile.txt";
}

std::string ReadReport()
{
    std::string data;
    ReadBytes(ReportPath(), data);
    return data;
}
} // namespace

TEST(AddJob, SingleFilesComeBeforeTheContentsOfFolders)
{
    CString strRoot = MakeTestDir("order");
    CString strDir = MakeSubDir(strRoot, "a-dir");
    Touch(strDir, "inner.wav");
    Touch(strRoot, "z.wav");
    Touch(strRoot, "skip.txt");
    CWavList list;
    CFakeHost host(strRoot, {"a-dir", "z.wav", "skip.txt"});
    RunJob(list, host);
    EXPECT_EQ((std::vector<std::string>{"z.wav", "inner.wav"}), Names(list));
    EXPECT_EQ((std::vector<DWORD>{1, 2}), IDs(list));
    EXPECT_EQ(strRoot, list.GetAt(1).BaseFoldPath);
    EXPECT_EQ(strRoot + "\\", host.m_strLastFolder);
    EXPECT_EQ("rebuild;total 8;destroy;finished;", host.m_calls);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(1, g_bIdle.load());
    EXPECT_EQ(0, g_bAdding.load());
}

TEST(AddJob, CollidingTitlesAcrossFoldersAreReportedAndTakenOut)
{
    CString strRoot = MakeTestDir("collide");
    CString strA = MakeSubDir(strRoot, "A");
    CString strB = MakeSubDir(strRoot, "B");
    Touch(strA, "song.wav");
    Touch(strB, "SONG.WAV");
    Touch(strB, "other.wav");
    DeleteFileA(ReportPath());
    CWavList list;
    CFakeHost host(strRoot, {"A", "B"});
    RunJob(list, host);

    std::vector<std::string> messages = TakeMessages();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("※　2 個のファイルが重複しています。", messages[0]);
    std::string expect = "=====  重複したファイルのリスト  =====\r\n";
    expect += Joined(strA, "song.wav").GetString() + std::string("\r\n");
    expect += Joined(strB, "SONG.WAV").GetString() + std::string("\r\n\r\n");
    EXPECT_EQ(expect, ReadReport());
    EXPECT_EQ(38u, expect.find("\r\n"));
    EXPECT_EQ((std::vector<std::string>{"other.wav"}), Names(list));
    EXPECT_EQ((std::vector<DWORD>{1}), IDs(list));
    EXPECT_EQ("open " + std::string(ReportPath().GetString()) +
                  ";rebuild;total 4;destroy;finished;",
              host.m_calls);
}

TEST(AddJob, GroupsAreListedByTheirFirstMemberAndSubFoldersCollideToo)
{
    CString strRoot = MakeTestDir("groups");
    CString strX = MakeSubDir(strRoot, "x");
    CString strY = MakeSubDir(strRoot, "y");
    Touch(strRoot, "b.wav");
    Touch(strRoot, "a.wav");
    Touch(strX, "A.wav");
    Touch(strX, "B.wav");
    Touch(strY, "a.WAV");
    Touch(strY, "c.wav");
    CWavList list;
    CFakeHost host(strRoot, {"b.wav", "a.wav", "x", "y"});
    RunJob(list, host);
    std::vector<std::string> messages = TakeMessages();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("※　5 個のファイルが重複しています。", messages[0]);
    std::string expect = "=====  重複したファイルのリスト  =====\r\n";
    for (CString strPath : {Joined(strRoot, "b.wav"), Joined(strX, "B.wav"),
                            Joined(strRoot, "a.wav"), Joined(strX, "A.wav"), Joined(strY, "a.WAV")})
        expect += strPath.GetString() + std::string("\r\n");
    expect += "\r\n";
    EXPECT_EQ(expect, ReadReport());
    EXPECT_EQ((std::vector<std::string>{"c.wav"}), Names(list));
}

TEST(AddJob, SecondAddOfTheSameFolderAddsAndReportsNothing)
{
    CString strRoot = MakeTestDir("again");
    CString strDir = MakeSubDir(strRoot, "dir");
    Touch(strDir, "one.wav");
    Touch(strDir, "two.wav");
    CWavList list;
    CFakeHost first(strRoot, {"dir"});
    RunJob(list, first);
    CFakeHost second(strRoot, {"dir"});
    RunJob(list, second);
    EXPECT_EQ((std::vector<DWORD>{1, 2}), IDs(list));
    EXPECT_TRUE(TakeMessages().empty());
    // Nothing new still rebuilds the list and shows the total.
    EXPECT_EQ("rebuild;total 8;destroy;finished;", second.m_calls);
}

TEST(AddJob, NewFileCollidingWithAnOlderOneFreesTheOlderIdentifier)
{
    CString strRoot = MakeTestDir("older");
    for (const char* pcName : {"r1.wav", "r2.wav", "r3.wav", "r4.wav", "r5.wav"})
        Touch(strRoot, pcName);
    CString strNew = MakeSubDir(strRoot, "new");
    Touch(strNew, "n1.wav");
    Touch(strNew, "R3.wav");
    Touch(strNew, "n2.wav");
    CWavList list;
    CFakeHost first(strRoot, {"r1.wav", "r2.wav", "r3.wav", "r4.wav", "r5.wav"});
    RunJob(list, first);
    ASSERT_EQ((std::vector<DWORD>{1, 2, 3, 4, 5}), IDs(list));
    CFakeHost second(strNew, {"n1.wav", "R3.wav", "n2.wav"});
    RunJob(list, second);
    EXPECT_EQ(
        (std::vector<std::string>{"r1.wav", "r2.wav", "r4.wav", "r5.wav", "n1.wav", "n2.wav"}),
        Names(list));
    EXPECT_EQ((std::vector<DWORD>{1, 2, 4, 5, 3, 6}), IDs(list));
    std::vector<std::string> messages = TakeMessages();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("※　2 個のファイルが重複しています。", messages[0]);
}

TEST(AddJob, OneRecordIsNeverChecked)
{
    CString strRoot = MakeTestDir("one");
    Touch(strRoot, "only.wav");
    WriteBytes(ReportPath(), "earlier");
    CWavList list;
    CFakeHost host(strRoot, {"only.wav"});
    RunJob(list, host);
    EXPECT_EQ(1u, list.GetCount());
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ("earlier", ReadReport());
}

TEST(AddJob, UnwritableReportIsNotOpenedButCollisionsStillLeave)
{
    CString strRoot = MakeTestDir("noreport");
    Touch(strRoot, "a.wav");
    CString strSub = MakeSubDir(strRoot, "sub");
    Touch(strSub, "A.wav");
    CString strSaved = GetProgramFolderText();
    StartTraceLog(JoinPath(strRoot, "missing-folder"));
    CWavList list;
    CFakeHost host(strRoot, {"a.wav", "sub"});
    RunJob(list, host);
    StartTraceLog(strSaved);
    EXPECT_EQ(0u, list.GetCount());
    EXPECT_EQ("rebuild;total 0;destroy;finished;", host.m_calls);
    std::vector<std::string> messages = TakeMessages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ("※　2 個のファイルが重複しています。", messages[0]);
}

TEST(AddJob, ClosingWindowLeavesTheViewAloneButStillFinishes)
{
    CString strRoot = MakeTestDir("closing");
    Touch(strRoot, "a.wav");
    CWavList list;
    CFakeHost host(strRoot, {"a.wav"});
    g_bClosing.store(1);
    RunJob(list, host);
    g_bClosing.store(0);
    EXPECT_EQ(1u, list.GetCount());
    EXPECT_EQ("destroy;finished;", host.m_calls);
}

TEST(AddJob, PickerWithoutAFolderAddsNothingAndStillFinishes)
{
    CString strRoot = MakeTestDir("nofolder");
    Touch(strRoot, "a.wav");
    CWavList list;
    CFakeHost host(strRoot, {"a.wav"});
    host.m_strFolder = "";
    RunJob(list, host);
    EXPECT_EQ(0u, list.GetCount());
    EXPECT_EQ("rebuild;total 0;destroy;finished;", host.m_calls);
    EXPECT_EQ(0, g_bAdding.load());
}

TEST(AddJob, ThreadEntryRefusesANullJob)
{
    EXPECT_EQ(0xFFFFFFFFu, AddThreadProc(nullptr));
}

TEST(AddJob, ReportTextFromJoinedPaths)
{
    EXPECT_EQ("=====  重複したファイルのリスト  =====\r\n\r\n",
              std::string(MakeConflictReport("")));
    EXPECT_EQ("=====  重複したファイルのリスト  =====\r\nC:\\表\\a.wav\r\nb\r\n\r\n",
              std::string(MakeConflictReport("C:\\表\\a.wav\nb\n")));
}
