// The add-files job: collection order, the duplicate-name check with its
// message and report, identifiers, and what the host is asked to do.
#include "sources/AddJob.h"

#include "PathListSupport.h"
#include "TestSupport.h"
#include "engine/JobFlags.h"
#include "support/FileSystem.h"
#include "support/Trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// One picker: its folder and the entries selected in it, by name; more picks
// (as the window's drops and the command line's arguments give) may follow.
class CFakeHost : public CMyAddHost
{
public:
    CFakeHost(const CString& strFolder, const std::vector<const char*>& names)
        : m_strFolder(strFolder)
    {
        AddPick(strFolder, names);
    }
    void AddPick(const CString& strFolder, const std::vector<const char*>& names)
    {
        m_picks.push_back({strFolder, {}});
        for (const char* pcName : names)
        {
            WIN32_FIND_DATAA entry;
            EXPECT_TRUE(GetFindData(&entry, JoinPath(strFolder, pcName))) << pcName;
            m_picks.back().entries.push_back(entry);
        }
    }

    DWORD GetPickCount() override { return (DWORD)m_picks.size(); }
    CString GetPickerFolderText(DWORD dwPick) override { return Folder(dwPick) + "\\"; }
    CString GetCurrentFolder(DWORD dwPick) override { return Folder(dwPick); }
    DWORD GetSelectedCount(DWORD dwPick) override { return (DWORD)m_picks[dwPick].entries.size(); }
    const WIN32_FIND_DATAA& GetSelectedEntry(DWORD dwPick, DWORD dwIndex) override
    {
        return m_picks[dwPick].entries[dwIndex];
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

    CString m_strFolder; // the first pick's folder (empty: that pick has none)
    CString m_strLastFolder;
    std::string m_calls;

private:
    struct Pick
    {
        CString strFolder;
        std::vector<WIN32_FIND_DATAA> entries;
    };
    CString Folder(DWORD dwPick) const
    {
        return dwPick == 0 ? m_strFolder : m_picks[dwPick].strFolder;
    }
    std::vector<Pick> m_picks;
};

void RunJob(CMyFilteredPathList& list, CFakeHost& host)
{
    CMyAddJob job(&list, &host);
    EXPECT_EQ(0u, AddThreadProc(&job));
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
    EXPECT_EQ((std::vector<std::string>{"z.wav", "inner.wav"}), FileNames(list));
    EXPECT_EQ((std::vector<DWORD>{1, 2}), IDs(list));
    EXPECT_EQ(strRoot, list.GetAt(1).BaseFoldPath);
    EXPECT_EQ(strRoot + "\\", host.m_strLastFolder);
    EXPECT_EQ("rebuild;total 8;destroy;finished;", host.m_calls);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(1, g_bIdle.load());
    EXPECT_EQ(0, g_bAdding.load());
}

// Two picks (two single files from their own folders) whose pieces would
// both be <output>\song_NNN.wav.
TEST(AddJob, CollidingTitlesAreReportedAndTakenOut)
{
    CString strRoot = MakeTestDir("collide");
    CString strA = MakeSubDir(strRoot, "A");
    CString strB = MakeSubDir(strRoot, "B");
    Touch(strA, "song.wav");
    Touch(strB, "SONG.WAV");
    Touch(strB, "other.wav");
    DeleteFileA(ReportPath());
    CWavList list;
    CFakeHost host(strA, {"song.wav"});
    host.AddPick(strB, {"SONG.WAV", "other.wav"});
    RunJob(list, host);

    std::vector<std::string> messages = TakeMessages();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("※　2 個のファイルが重複しています。", messages[0]);
    std::string expect = "=====  重複したファイルのリスト  =====\r\n";
    expect += Joined(strA, "song.wav").GetString() + std::string("\r\n");
    expect += Joined(strB, "SONG.WAV").GetString() + std::string("\r\n\r\n");
    EXPECT_EQ(expect, ReadReport());
    EXPECT_EQ(38u, expect.find("\r\n"));
    EXPECT_EQ((std::vector<std::string>{"other.wav"}), FileNames(list));
    EXPECT_EQ((std::vector<DWORD>{1}), IDs(list));
    EXPECT_EQ("open " + std::string(ReportPath().GetString()) +
                  ";rebuild;total 4;destroy;finished;",
              host.m_calls);
}

// Recorders write the same names in every folder: one walked folder's
// sub-folders give the pieces different paths, so nothing collides there,
// while picks that mirror into one folder do.
TEST(AddJob, GroupsAreListedByTheirFirstMemberAndSubFoldersNeverCollide)
{
    CString strRoot = MakeTestDir("groups");
    CString strP = MakeSubDir(strRoot, "p");
    CString strQ = MakeSubDir(strRoot, "q");
    CString strDup = MakeSubDir(strRoot, "dup");
    Touch(strP, "b.wav");
    Touch(strP, "a.wav");
    Touch(strQ, "A.wav");
    Touch(strQ, "B.wav");
    Touch(strRoot, "a.WAV");
    Touch(strRoot, "c.wav");
    Touch(MakeSubDir(strDup, "day1"), "take.wav");
    Touch(MakeSubDir(strDup, "day2"), "take.wav");
    CWavList list;
    CFakeHost host(strP, {"b.wav", "a.wav"});
    host.AddPick(strQ, {"A.wav", "B.wav"});
    host.AddPick(strRoot, {"a.WAV", "c.wav", "dup"});
    RunJob(list, host);
    std::vector<std::string> messages = TakeMessages();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("※　5 個のファイルが重複しています。", messages[0]);
    std::string expect = "=====  重複したファイルのリスト  =====\r\n";
    for (CString strPath : {Joined(strP, "b.wav"), Joined(strQ, "B.wav"), Joined(strP, "a.wav"),
                            Joined(strQ, "A.wav"), Joined(strRoot, "a.WAV")})
        expect += strPath.GetString() + std::string("\r\n");
    expect += "\r\n";
    EXPECT_EQ(expect, ReadReport());
    EXPECT_EQ((std::vector<std::string>{"c.wav", "take.wav", "take.wav"}), FileNames(list));
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
        FileNames(list));
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
    CFakeHost host(strRoot, {"a.wav"});
    host.AddPick(strSub, {"A.wav"});
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
