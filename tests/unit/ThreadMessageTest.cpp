// Worker threads and thread messages: what the jobs and the user-interface
// thread rely on, checked against the real calls under Wine as well.
#include "framework/WinThread.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <atomic>

namespace
{
// Makes sure the calling thread has a message queue, as a window would.
void EnsureQueue()
{
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
}

void DrainQueue()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
    }
}

struct PostJob
{
    DWORD dwTarget;
    int nCount;
    std::atomic<DWORD> dwSeenThreadId{0};
};

UINT PostSeries(LPVOID pv)
{
    PostJob* pJob = (PostJob*)pv;
    pJob->dwSeenThreadId = GetCurrentThreadId();
    for (int i = 0; i < pJob->nCount; ++i)
        PostThreadMessageA(pJob->dwTarget, WM_USER + 501, (WPARAM)i, (LPARAM)(i * 10));
    PostThreadMessageA(pJob->dwTarget, WM_USER + 500, (WPARAM)0x1234, 0);
    return 77;
}

UINT MakeQueueAndEnd(LPVOID)
{
    EnsureQueue();
    return 0;
}

UINT ReturnSeven(LPVOID pv)
{
    ((std::atomic<int>*)pv)->store(1);
    return 7;
}

CWinThread* StartJoinable(AFX_THREADPROC pfn, LPVOID pParam)
{
    CWinThread* pThread = AfxBeginThread(pfn, pParam, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (pThread != nullptr)
    {
        pThread->m_bAutoDelete = FALSE;
        pThread->ResumeThread();
    }
    return pThread;
}
} // namespace

TEST(ThreadMessage, WorkerMessagesArriveInOrderWithTheirParameters)
{
    EnsureQueue();
    DrainQueue();
    PostJob job{GetCurrentThreadId(), 50};
    CWinThread* pThread = StartJoinable(PostSeries, &job);
    ASSERT_NE(pThread, nullptr);

    int nProgress = 0;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
    {
        EXPECT_EQ(msg.hwnd, nullptr);
        if (msg.message == WM_USER + 500)
        {
            EXPECT_EQ(msg.wParam, (WPARAM)0x1234);
            break;
        }
        ASSERT_EQ(msg.message, WM_USER + 501u);
        EXPECT_EQ(msg.wParam, (WPARAM)nProgress);
        EXPECT_EQ(msg.lParam, (LPARAM)(nProgress * 10));
        ++nProgress;
    }
    EXPECT_EQ(nProgress, 50);

    DWORD dwExit = 0;
    ASSERT_EQ(pThread->WaitForExit(&dwExit), 1);
    EXPECT_EQ(dwExit, 77u);
    EXPECT_EQ(job.dwSeenThreadId.load(), pThread->m_nThreadID);
    EXPECT_NE(pThread->m_nThreadID, GetCurrentThreadId());
    delete pThread;
}

TEST(ThreadMessage, PostingToAThreadWithoutQueueFails)
{
    std::atomic<int> ran{0};
    CWinThread* pThread = StartJoinable(ReturnSeven, &ran);
    ASSERT_NE(pThread, nullptr);
    ASSERT_EQ(pThread->WaitForExit(nullptr), 1);
    // The thread never asked for a queue (and has ended).
    SetLastError(0);
    EXPECT_FALSE(PostThreadMessageA(pThread->m_nThreadID, WM_USER + 501, 0, 0));
    EXPECT_NE(GetLastError(), 0u);
    delete pThread;
}

TEST(ThreadMessage, QueueGoesAwayWithItsThread)
{
    CWinThread* pThread = StartJoinable(MakeQueueAndEnd, nullptr);
    ASSERT_NE(pThread, nullptr);
    DWORD dwId = pThread->m_nThreadID;
    ASSERT_EQ(pThread->WaitForExit(nullptr), 1);
    delete pThread;
    EXPECT_FALSE(PostThreadMessageA(dwId, WM_USER + 501, 0, 0));
}

TEST(ThreadMessage, PeekFiltersAndKeepsOrLeaves)
{
    EnsureQueue();
    DrainQueue();
    DWORD dwSelf = GetCurrentThreadId();
    ASSERT_TRUE(PostThreadMessageA(dwSelf, WM_USER + 1, 1, 0));
    ASSERT_TRUE(PostThreadMessageA(dwSelf, WM_USER + 2, 2, 0));

    MSG msg;
    // Only the second is in range; peeking without removal leaves it.
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 2, WM_USER + 2, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, (WPARAM)2);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 2, WM_USER + 2, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER + 2, WM_USER + 2, PM_REMOVE));
    // The first is still waiting, and GetMessageA takes it without blocking.
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0) > 0);
    EXPECT_EQ(msg.message, WM_USER + 1u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(ThreadMessage, QuitEndsTheMessageLoop)
{
    EnsureQueue();
    DrainQueue();
    ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 3, 0));
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
}

TEST(WinThread, SuspendedThreadWaitsForResume)
{
    std::atomic<int> ran{0};
    CWinThread* pThread =
        AfxBeginThread(ReturnSeven, &ran, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(pThread, nullptr);
    pThread->m_bAutoDelete = FALSE;
    EXPECT_NE(pThread->m_nThreadID, 0u);
    Sleep(50);
    EXPECT_EQ(ran.load(), 0);
    EXPECT_EQ(pThread->ResumeThread(), 1u);
    DWORD dwExit = 0;
    ASSERT_EQ(pThread->WaitForExit(&dwExit), 1);
    EXPECT_EQ(ran.load(), 1);
    EXPECT_EQ(dwExit, 7u);
    delete pThread;
}

TEST(WinThread, AutoDeletingThreadRuns)
{
    EnsureQueue();
    DrainQueue();
    PostJob job{GetCurrentThreadId(), 1};
    ASSERT_NE(AfxBeginThread(PostSeries, &job), nullptr);
    MSG msg;
    do
        ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0) > 0);
    while (msg.message != WM_USER + 500);
}

TEST(WinThread, NoThreadWithoutFunction)
{
    EXPECT_EQ(AfxBeginThread(nullptr, nullptr), nullptr);
}
