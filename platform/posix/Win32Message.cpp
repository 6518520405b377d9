// Per-thread message queues for the Linux build.
#include "platform/posix/Win32Message.h"
#include "platform/posix/Win32System.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

namespace
{
// Windows refuses more posted messages than this per queue.
const size_t kQueueLimit = 10000;

struct ThreadQueue
{
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<MSG> messages;
};

std::mutex g_registryMutex;
std::map<DWORD, std::shared_ptr<ThreadQueue>> g_queues;

// Registers the calling thread's queue on first use and drops it when the
// thread ends, so that later posts to the thread fail as on Windows.
struct QueueOwner
{
    DWORD dwThreadId = 0;
    std::shared_ptr<ThreadQueue> pQueue;

    ~QueueOwner()
    {
        if (pQueue == nullptr)
            return;
        std::lock_guard<std::mutex> guard(g_registryMutex);
        auto it = g_queues.find(dwThreadId);
        if (it != g_queues.end() && it->second == pQueue)
            g_queues.erase(it);
    }
};

thread_local QueueOwner t_owner;

ThreadQueue& OwnQueue()
{
    if (t_owner.pQueue == nullptr)
    {
        t_owner.dwThreadId = GetCurrentThreadId();
        t_owner.pQueue = std::make_shared<ThreadQueue>();
        std::lock_guard<std::mutex> guard(g_registryMutex);
        g_queues[t_owner.dwThreadId] = t_owner.pQueue;
    }
    return *t_owner.pQueue;
}

bool Matches(const MSG& msg, HWND hWnd, UINT uMin, UINT uMax)
{
    if (hWnd == (HWND)(intptr_t)-1)
    {
        if (msg.hwnd != nullptr)
            return false;
    }
    else if (hWnd != nullptr && msg.hwnd != hWnd)
        return false;
    if (uMin == 0 && uMax == 0)
        return true;
    return msg.message >= uMin && msg.message <= uMax;
}

// Takes (or copies) the first matching message; false when there is none.
bool TakeFirst(ThreadQueue& queue, LPMSG lpMsg, HWND hWnd, UINT uMin, UINT uMax, bool bRemove)
{
    for (auto it = queue.messages.begin(); it != queue.messages.end(); ++it)
    {
        if (!Matches(*it, hWnd, uMin, uMax))
            continue;
        if (lpMsg != nullptr)
            *lpMsg = *it;
        if (bRemove)
            queue.messages.erase(it);
        return true;
    }
    return false;
}
} // namespace

BOOL PostThreadMessageA(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<ThreadQueue> pQueue;
    {
        std::lock_guard<std::mutex> guard(g_registryMutex);
        auto it = g_queues.find(idThread);
        if (it != g_queues.end())
            pQueue = it->second;
    }
    if (pQueue == nullptr)
    {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    MSG msg = {nullptr, Msg, wParam, lParam, GetTickCount(), {0, 0}};
    {
        std::lock_guard<std::mutex> guard(pQueue->mutex);
        if (pQueue->messages.size() >= kQueueLimit)
        {
            SetLastError(ERROR_NOT_ENOUGH_QUOTA);
            return FALSE;
        }
        pQueue->messages.push_back(msg);
    }
    pQueue->ready.notify_all();
    return TRUE;
}

BOOL GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax)
{
    if (lpMsg == nullptr)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    ThreadQueue& queue = OwnQueue();
    std::unique_lock<std::mutex> lock(queue.mutex);
    queue.ready.wait(lock, [&]
                     { return TakeFirst(queue, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true); });
    return lpMsg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg)
{
    ThreadQueue& queue = OwnQueue();
    std::lock_guard<std::mutex> guard(queue.mutex);
    return TakeFirst(queue, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax,
                     (wRemoveMsg & PM_REMOVE) != 0)
               ? TRUE
               : FALSE;
}
