// The framework's critical section: re-entrant for the thread that holds it.
#pragma once

#include <mutex>

class CCriticalSection
{
public:
    CCriticalSection() = default;
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    int Lock()
    {
        m_mutex.lock();
        return 1;
    }
    int Unlock()
    {
        m_mutex.unlock();
        return 1;
    }

private:
    std::recursive_mutex m_mutex;
};

// Holds a critical section for one scope.
class CSingleLock
{
public:
    explicit CSingleLock(CCriticalSection* pSection) : m_pSection(pSection) { m_pSection->Lock(); }
    ~CSingleLock() { m_pSection->Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

private:
    CCriticalSection* m_pSection;
};
