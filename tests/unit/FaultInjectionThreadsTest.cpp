// The jobs on their worker threads while the test's thread plays the
// user-interface thread: it reads the counters, presses Abort, closes the
// window and waits, as the dialog does. Run under ThreadSanitizer as well.
#include "FaultInjection.h"
#include "FaultInjectionSplit.h"

#include "engine/JobFlags.h"
#include "sources/AddJob.h"
#include "support/FileSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace
{
const DWORD kMs = 1000;
const std::vector<SourceDef> kSources = {
    {"a.wav", MakePcmFormat(1, 8, 1000), 2500},
    {"sub\\b.wav", MakePcmFormat(2, 16, 8000), 20000},
    {"c.wav", MakePcmFormat(1, 8, 1000), 2000},
};

// Polls like the dialog's close handling (which waits 1000 ms a turn) until
// the job has set the idle flag; false when it never does.
bool WaitForIdle(unsigned nSeconds)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(nSeconds);
    while (g_bIdle.load() == 0)
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        Sleep(5);
    }
    return true;
}

// Writes that take a while, so that the user's thread acts during the run.
void SlowWrites(CFaultInjector& faults)
{
    for (unsigned k = 1; k <= 64; ++k)
        faults.Before(kCallWrite, k, [] { Sleep(3); });
}
} // namespace

TEST(ThreadedJobs, AbortPressedWhileTheBatchRunsStopsIt)
{
    SplitScene scene(kSources);
    {
        CFaultInjector faults;
        SlowWrites(faults);
        ASSERT_TRUE(scene.Start(kMs));
        // The progress display reads the counters while the worker writes them.
        while (scene.m_state.m_ullDoneBytes.load() == 0 && g_bIdle.load() == 0)
            Sleep(1);
        ULONGLONG ullTotal = scene.m_state.m_ullTotalBytes.load();
        EXPECT_LE(scene.m_state.m_ullDoneBytes.load(), ullTotal);
        g_bAbort.store(1);
        ASSERT_TRUE(WaitForIdle(60)) << "the batch did not stop after Abort";
    }
    scene.Finish();
    EXPECT_TRUE(scene.m_bAborted);
    scene.ExpectInvariants(kMs);
}

// Closing the window: abort and closing flags, then wait for the idle flag.
TEST(ThreadedJobs, ClosingTheWindowWaitsForTheBatchToEnd)
{
    for (int nDelayMs : {0, 10, 40})
    {
        SCOPED_TRACE(nDelayMs);
        SplitScene scene(kSources);
        {
            CFaultInjector faults;
            SlowWrites(faults);
            ASSERT_TRUE(scene.Start(kMs));
            Sleep(nDelayMs);
            g_bAbort.store(1);
            g_bClosing.store(1);
            ASSERT_TRUE(WaitForIdle(60)) << "closing waited for ever";
        }
        g_bClosing.store(0);
        scene.Finish();
        EXPECT_TRUE(scene.m_bAborted);
        scene.ExpectInvariants(kMs);
    }
}

namespace
{
class CFolderPickHost : public CMyAddHost
{
public:
    CFolderPickHost(const CString& strParent, const char* pcName) : m_strParent(strParent)
    {
        EXPECT_TRUE(GetFindData(&m_entry, strParent + "\\" + pcName));
    }
    CString GetPickerFolderText(DWORD) override { return m_strParent + "\\"; }
    CString GetCurrentFolder(DWORD) override { return m_strParent; }
    DWORD GetSelectedCount(DWORD) override { return 1; }
    const WIN32_FIND_DATAA& GetSelectedEntry(DWORD, DWORD) override { return m_entry; }
    void SetLastPickerFolder(const CString&) override {}
    void RebuildList() override {}
    void ShowTotalSize(ULONGLONG) override {}
    void OpenReport(const char*) override {}
    void DestroyPicker() override {}
    void PostJobFinished() override { ++m_nFinished; }

    CString m_strParent;
    WIN32_FIND_DATAA m_entry;
    std::atomic<int> m_nFinished{0};
};
} // namespace

// The add-files job on its thread while the timer reads the growing count,
// then Abort in the middle of the walk.
TEST(ThreadedJobs, AddJobRunsWhileTheTimerReadsTheCount)
{
    CString strParent = MakeTestDir("threaded-add");
    CString strTree = strParent + "\\tree";
    CreateDirectoryA(strTree, nullptr);
    for (int i = 0; i < 6; ++i)
    {
        CString strSub;
        strSub.Format("%s\\d%d", (const char*)strTree, i);
        CreateDirectoryA(strSub, nullptr);
        for (int j = 0; j < 20; ++j)
        {
            CString strFile;
            strFile.Format("%s\\f%d_%d.wav", (const char*)strSub, i, j);
            ASSERT_TRUE(WriteBytes(strFile, "x"));
        }
    }
    for (bool bAbort : {false, true})
    {
        SCOPED_TRACE(bAbort ? "aborted" : "whole");
        CMyFilteredPathList list;
        list.SetExtension("wav");
        list.SetExtensionOn(1);
        list.SetPickedBaseFolder(strParent);
        CFolderPickHost host(strParent, "tree");
        CMyAddJob job(&list, &host);
        g_bAbort.store(0);
        g_bIdle.store(0);
        {
            CFaultInjector faults;
            for (unsigned k = 1; k <= 200; ++k)
                faults.Before(kCallFindNext, k, [] { Sleep(1); });
            ASSERT_NE(AfxBeginThread(AddThreadProc, &job), nullptr);
            DWORD dwSeen = 0;
            while (g_bIdle.load() == 0)
            {
                // What the 100 ms timer shows: only ever growing.
                DWORD dwCount = list.GetCount();
                EXPECT_GE(dwCount, dwSeen);
                dwSeen = dwCount;
                if (bAbort && dwCount >= 30)
                    g_bAbort.store(1);
                Sleep(1);
            }
        }
        EXPECT_EQ(host.m_nFinished.load(), 1);
        EXPECT_EQ(g_bAdding.load(), 0);
        if (bAbort)
            EXPECT_LT(list.GetCount(), 120u);
        else
            EXPECT_EQ(list.GetCount(), 120u);
        g_bAbort.store(0);
    }
}
