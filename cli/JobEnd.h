// The end of a job, as the command line's main thread waits for it: woken the
// moment the worker says it has finished, or after a time, to redraw the
// status line.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class CMyJobEnd
{
public:
    // The worker's job-finished message.
    void Signal()
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_bEnded = true;
        m_ended.notify_all();
    }
    // 1 once the job has ended; 0 when the time passed first.
    int WaitFor(unsigned uMillis)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_ended.wait_for(lock, std::chrono::milliseconds(uMillis),
                                [this] { return m_bEnded; })
                   ? 1
                   : 0;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_bEnded = false;
};
