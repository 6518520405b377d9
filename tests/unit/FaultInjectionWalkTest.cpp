// The folder walk and the add-files job when the file system misbehaves: a
// listing that breaks off, a folder that cannot be read or vanishes, a failed
// allocation, an abort at any entry, a report that cannot be written. Every
// run must end, read only, restore the current directory, and list only real
// files with their real sizes, each once.
#include "FaultInjection.h"
#include "Invariants.h"
#include "PathListSupport.h"
#include "TestSupport.h"
#include "engine/JobFlags.h"
#include "sources/AddJob.h"
#include "support/FileSystem.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace
{
const unsigned kWalkBound = 60; // seconds; a run of this size takes milliseconds

// A tree of WAV files (and one that the filter leaves out), and what a
// complete walk must find: program-joined path -> size.
class WalkTree
{
public:
    WalkTree()
    {
        m_strRoot = MakeTestDir("walk");
        Add("", "a.wav", 100);
        Add("", "b.WAV", 7);
        Add("", "note.txt", 3);
        Add("s1", "c.wav", 50);
        Add("s1", "d.wav", 0);
        Add("s1\\s1x", "e.wav", 1234);
        Add("s2", "f.wav", 9);
        Folder("s3");
        m_before = SnapshotTree(m_strRoot);
    }

    CString Path(const std::string& strRel) const
    {
        return strRel.empty() ? m_strRoot : m_strRoot + "\\" + strRel.c_str();
    }

    // The files expected under the folder (program-joined), or all.
    std::map<std::string, ULONGLONG> FilesOutside(const std::string& strFolder) const
    {
        std::map<std::string, ULONGLONG> kept;
        for (const auto& file : m_truth)
            if (strFolder.empty() ||
                file.first.compare(0, strFolder.size() + 1, strFolder + "\\") != 0)
                kept.insert(file);
        return kept;
    }

    CString m_strRoot;
    std::map<std::string, ULONGLONG> m_truth;
    TreeSnapshot m_before;

private:
    void Folder(const std::string& strRel) { CreateDirectoryA(Path(strRel), nullptr); }
    void Add(const std::string& strRel, const char* pcName, size_t nBytes)
    {
        if (!strRel.empty())
            Folder(strRel);
        CString strPath = Path(strRel) + "\\" + pcName;
        ASSERT_TRUE(WriteBytes(strPath, std::string(nBytes, 'x')));
        if (CString(pcName).Right(4).CompareNoCase(".wav") == 0)
            m_truth[(const char*)strPath] = nBytes;
    }
};

// What every walk must leave, whatever went wrong: real files, real sizes,
// each once, carrying the picked base folder; the tree untouched; the
// current directory back where it was. Gives the paths found.
std::set<std::string> ExpectHonestList(const CMyPathList& list, const WalkTree& tree)
{
    std::set<std::string> found;
    for (DWORD i = 0; i < list.GetCount(); ++i)
    {
        const CMyPathRecord& r = list.GetAt(i);
        std::string strPath = (const char*)r.FilePath;
        auto it = tree.m_truth.find(strPath);
        if (it == tree.m_truth.end())
        {
            ADD_FAILURE() << "listed a file that the walk should not take: " << strPath;
            continue;
        }
        EXPECT_EQ(r.FileSize, it->second) << strPath;
        EXPECT_TRUE(found.insert(strPath).second) << "listed twice: " << strPath;
        EXPECT_EQ(r.BaseFoldPath, tree.m_strRoot) << strPath;
        EXPECT_EQ(list.FindPath(r.FilePath), i) << strPath;
    }
    ExpectTreeUnchanged(tree.m_before, tree.m_strRoot);
    return found;
}

// Walks the tree once, bounded; the current directory must come back.
void BoundedWalk(CMyFilteredPathList* pList, const WalkTree& tree, int* pResult = nullptr)
{
    CString strCwdBefore, strCwdAfter;
    GetCurrentDir(&strCwdBefore);
    int nResult = -1;
    RunBounded([&] { nResult = pList->ScanFolder(tree.m_strRoot, 1, 1); }, kWalkBound);
    GetCurrentDir(&strCwdAfter);
    EXPECT_EQ(strCwdBefore, strCwdAfter) << "current directory not restored";
    if (pResult != nullptr)
        *pResult = nResult;
}

// The number of calls of the kind that a clean walk makes.
unsigned CountCalls(FaultCall kind)
{
    WalkTree tree;
    CWavList list(tree.m_strRoot);
    CFaultInjector faults;
    int nResult = 0;
    BoundedWalk(&list, tree, &nResult);
    EXPECT_EQ(nResult, 0); // note.txt is met and not taken
    std::set<std::string> found = ExpectHonestList(list, tree);
    EXPECT_EQ(found.size(), tree.m_truth.size());
    return faults.Count(kind);
}

// A path with one separator throughout, to compare the walk's joined paths
// with the system's current directory.
std::string Canon(const CString& strPath)
{
    std::string s = (const char*)strPath;
    for (char& c : s)
        if (c == '\\')
            c = '/';
    return s;
}

// The files found must include every file outside the folder strLost.
void ExpectAllOutside(const std::set<std::string>& found, const WalkTree& tree,
                      const CString& strLost)
{
    std::string strPrefix = Canon(strLost) + "/";
    for (const auto& file : tree.m_truth)
    {
        if (Canon(file.first.c_str()).compare(0, strPrefix.size(), strPrefix) != 0)
        {
            EXPECT_EQ(found.count(file.first), 1u)
                << "lost " << file.first << " though only " << (const char*)strLost << " failed";
        }
    }
}
} // namespace

// Each listing call in turn fails: the folder being listed then (which the
// walk keeps as the current directory) may lose files, and so may the
// sub-folders it had not yet found; every other folder is walked completely.
TEST(FaultInjectionWalk, ListingThatFailsAtAnyCallLosesOnlyThatFolder)
{
    for (FaultCall kind : {kCallFindNext, kCallFindFirst})
    {
        unsigned nCalls = CountCalls(kind);
        ASSERT_GE(nCalls, 5u) << FaultCallName(kind);
        for (unsigned k = 1; k <= nCalls; ++k)
        {
            SCOPED_TRACE(std::string(FaultCallName(kind)) + " call " + std::to_string(k) +
                         " fails");
            WalkTree tree;
            CWavList list(tree.m_strRoot);
            CString strFailedIn;
            {
                CFaultInjector faults;
                faults.Before(kind, k, [&strFailedIn] { GetCurrentDir(&strFailedIn); });
                faults.FailCall(kind, k, ERROR_ACCESS_DENIED);
                BoundedWalk(&list, tree);
                EXPECT_EQ(faults.Failures(), 1u);
            }
            ASSERT_FALSE(strFailedIn.IsEmpty());
            ExpectAllOutside(ExpectHonestList(list, tree), tree, strFailedIn);
        }
    }
}

// A folder that is deleted while the walk runs, before it is entered (at each
// listing call in turn): it is left out and everything else is found.
TEST(FaultInjectionWalk, FolderThatVanishesBeforeItIsEnteredIsLeftOut)
{
    unsigned nCalls = CountCalls(kCallFindNext);
    unsigned nDeleted = 0;
    for (unsigned k = 1; k <= nCalls; ++k)
    {
        SCOPED_TRACE("s2 removed before FindNext call " + std::to_string(k));
        WalkTree tree;
        CWavList list(tree.m_strRoot);
        bool bDeleted = false;
        {
            CFaultInjector faults;
            faults.Before(kCallFindNext, k,
                          [&tree, &bDeleted]
                          {
                              CString strCwd;
                              GetCurrentDir(&strCwd);
                              std::string strAt = Canon(strCwd);
                              // Folders are walked in name order: s2 is still to come unless
                              // it or s3 is being listed.
                              if (strAt.size() >= 3 &&
                                  (strAt.compare(strAt.size() - 3, 3, "/s2") == 0 ||
                                   strAt.compare(strAt.size() - 3, 3, "/s3") == 0))
                                  return;
                              bDeleted = DeleteFileA(tree.Path("s2\\f.wav")) &&
                                         RemoveDirectoryA(tree.Path("s2"));
                          });
            BoundedWalk(&list, tree);
        }
        if (bDeleted)
        {
            ++nDeleted;
            tree.m_truth.erase((const char*)tree.Path("s2\\f.wav"));
            tree.m_before = SnapshotTree(tree.m_strRoot);
        }
        std::set<std::string> found = ExpectHonestList(list, tree);
        EXPECT_EQ(found.size(), tree.m_truth.size());
    }
    EXPECT_GE(nDeleted, 3u);
}

// The abort flag raised before each listing call in turn: the walk ends
// early, having listed only real files.
TEST(FaultInjectionWalk, AbortAtAnyEntryEndsTheWalkHonestly)
{
    unsigned nCalls = CountCalls(kCallFindNext);
    for (unsigned k = 1; k <= nCalls; ++k)
    {
        SCOPED_TRACE("abort before FindNext call " + std::to_string(k));
        WalkTree tree;
        CWavList list(tree.m_strRoot);
        g_bAbort.store(0);
        {
            CFaultInjector faults;
            faults.Before(kCallFindNext, k, [] { g_bAbort.store(1); });
            BoundedWalk(&list, tree);
            // Each folder stops at its third entry once the flag is up.
            EXPECT_LE(faults.Count(kCallFindNext), k + 2 * faults.Count(kCallFindFirst));
        }
        g_bAbort.store(0);
        ExpectHonestList(list, tree);
    }
}

// Every allocation of the walk (records, sub-folder lists) fails in turn.
TEST(FaultInjectionWalk, FailedAllocationAtAnyPointLosesFilesButNothingElse)
{
    unsigned nCalls = CountCalls(kCallAlloc);
    ASSERT_GE(nCalls, 1u);
    for (unsigned k = 1; k <= nCalls; ++k)
    {
        SCOPED_TRACE("allocation " + std::to_string(k) + " fails");
        WalkTree tree;
        CWavList list(tree.m_strRoot);
        {
            CFaultInjector faults;
            faults.FailCall(kCallAlloc, k, 0);
            BoundedWalk(&list, tree);
            EXPECT_EQ(faults.Failures(), 1u);
        }
        ExpectHonestList(list, tree);
    }
}

namespace
{
// A host whose picker selected the tree's root folder.
class CRecordingAddHost : public CMyAddHost
{
public:
    // Picks of single entries: each path's folder and the entry itself.
    explicit CRecordingAddHost(const std::vector<CString>& paths)
    {
        for (const CString& strPath : paths)
        {
            int iSep = strPath.ReverseFind('\\');
            m_folders.push_back(strPath.Left(iSep));
            m_entries.emplace_back();
            EXPECT_TRUE(GetFindData(&m_entries.back(), strPath));
        }
    }
    DWORD GetPickCount() override { return (DWORD)m_entries.size(); }
    CString GetPickerFolderText(DWORD dwPick) override { return m_folders[dwPick] + "\\"; }
    CString GetCurrentFolder(DWORD dwPick) override { return m_folders[dwPick]; }
    DWORD GetSelectedCount(DWORD) override { return 1; }
    const WIN32_FIND_DATAA& GetSelectedEntry(DWORD dwPick, DWORD) override
    {
        return m_entries[dwPick];
    }
    void SetLastPickerFolder(const CString&) override {}
    void RebuildList() override { ++m_nRebuilt; }
    void ShowTotalSize(ULONGLONG) override {}
    void OpenReport(const char*) override { ++m_nOpened; }
    void DestroyPicker() override { ++m_nDestroyed; }
    void PostJobFinished() override { ++m_nFinished; }

    std::vector<CString> m_folders;
    std::vector<WIN32_FIND_DATAA> m_entries;
    int m_nRebuilt = 0, m_nOpened = 0, m_nDestroyed = 0, m_nFinished = 0;
};
} // namespace

// The report of colliding names cannot be written (a full disk at each of its
// writes, or every allocation failing in turn): the shell is not asked to
// open it, the colliding files leave the list all the same, and the job
// ends the way every job ends.
TEST(FaultInjectionWalk, AddJobEndsCleanlyWhateverFailsOnTheWay)
{
    struct Case
    {
        FaultCall kind;
        DWORD dwError;
    };
    for (const Case& c : {Case{kCallWrite, ERROR_DISK_FULL}, Case{kCallAlloc, 0}})
    {
        for (unsigned k = 0;; ++k) // k = 0: no fault, to count the calls
        {
            SCOPED_TRACE(std::string(FaultCallName(c.kind)) + " call " + std::to_string(k) +
                         " fails");
            CString strParent = MakeTestDir("addjob");
            CString strRoot = strParent + "\\tree";
            CreateDirectoryA(strRoot, nullptr);
            ASSERT_TRUE(WriteBytes(strRoot + "\\song.wav", "1234"));
            CreateDirectoryA(strRoot + "\\sub", nullptr);
            ASSERT_TRUE(WriteBytes(strRoot + "\\sub\\SONG.wav", "12"));
            ASSERT_TRUE(WriteBytes(strRoot + "\\sub\\other.wav", "123"));
            TreeSnapshot before = SnapshotTree(strRoot);
            CWavList list(strParent);
            // song.wav and the sub-folder's SONG.wav, each picked alone: both
            // pieces would be <output>\song_NNN.wav; then the sub-folder walked.
            CRecordingAddHost host(
                {strRoot + "\\song.wav", strRoot + "\\sub\\SONG.wav", strRoot + "\\sub"});
            CMyAddJob job(&list, &host);
            unsigned nCalls;
            {
                CFaultInjector faults;
                if (k > 0)
                    faults.FailCall(c.kind, k, c.dwError, false, 10);
                g_bIdle.store(0);
                RunBounded([&job] { AddThreadProc(&job); }, kWalkBound);
                nCalls = faults.Count(c.kind);
                if (k > 0)
                {
                    EXPECT_EQ(faults.Failures(), 1u);
                }
            }
            TakeMessages();
            EXPECT_EQ(host.m_nFinished, 1);
            EXPECT_EQ(host.m_nDestroyed, 1);
            EXPECT_EQ(g_bIdle.load(), 1);
            EXPECT_EQ(g_bAdding.load(), 0);
            ExpectTreeUnchanged(before, strRoot);
            if (k == 0)
            {
                ASSERT_EQ(list.GetCount(), 1u);
                EXPECT_EQ(host.m_nOpened, 1);
            }
            else if (c.kind == kCallWrite)
            {
                // The only writes are the report's: it was not opened.
                EXPECT_EQ(host.m_nOpened, 0);
                ASSERT_EQ(list.GetCount(), 1u);
            }
            // A failed allocation may keep one of the pair from being
            // collected; the two are never both left in the list.
            CMyPathList duplicates;
            EXPECT_EQ(0u, list.FindDuplicateNames(&duplicates));
            for (DWORD i = 0; i < list.GetCount() && (k == 0 || c.kind == kCallWrite); ++i)
                EXPECT_STREQ(list.GetAt(i).FileName, "other.wav");
            if (k >= nCalls)
                break;
        }
    }
}
