// The scripted platform hooks behind CFaultInjector.
#include "FaultInjection.h"

#include "platform/PlatformHooks.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace
{
struct Rule
{
    FaultCall kind;
    unsigned nth;
    DWORD dwError;
    bool bSticky;
    DWORD dwTorn;
};

struct Action
{
    FaultCall kind;
    unsigned nth;
    std::function<void()> fn;
};

std::mutex g_mutex;
std::vector<Rule> g_rules;
std::vector<Action> g_actions;
std::atomic<unsigned> g_counts[kCallKinds];
std::atomic<unsigned> g_nFailures{0};
bool g_bFreeSet = false;
unsigned g_nDiskFullFrom = 0; // 0: never
unsigned g_nEndFrom = 0;      // 0: never
std::atomic<int> g_bDiskIsFull{0};
unsigned g_nFreeFrom = 0;
ULONGLONG g_qwFree = 0;
std::atomic<int> g_bActive{0};

// Counts the call and runs what is scheduled before it; the rule that makes
// it fail, if any, lands in *pRule.
bool Arrive(FaultCall kind, Rule* pRule, unsigned* pnCall = nullptr)
{
    unsigned n = ++g_counts[kind];
    if (pnCall != nullptr)
        *pnCall = n;
    std::vector<std::function<void()>> due;
    bool bFail = false;
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        for (const Action& a : g_actions)
            if (a.kind == kind && a.nth == n)
                due.push_back(a.fn);
        for (const Rule& r : g_rules)
            if (r.kind == kind && (n == r.nth || (r.bSticky && n > r.nth)))
            {
                *pRule = r;
                bFail = true;
                break;
            }
    }
    for (auto& fn : due)
        fn();
    if (bFail)
        ++g_nFailures;
    return bFail;
}

unsigned FromCall(const unsigned& nFrom)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    return nFrom;
}

BOOL HookRead(HANDLE h, LPVOID p, DWORD n, LPDWORD pDone)
{
    Rule rule;
    unsigned nCall = 0;
    if (!Arrive(kCallRead, &rule, &nCall))
    {
        unsigned nEnd = FromCall(g_nEndFrom);
        if (nEnd != 0 && nCall >= nEnd)
        {
            *pDone = 0;
            return TRUE;
        }
        return GetDefaultPlatformHooks().pfnReadFile(h, p, n, pDone);
    }
    *pDone = 0;
    SetLastError(rule.dwError);
    return FALSE;
}

// A full disk takes no byte beyond a file's present end.
BOOL WriteOnFullDisk(HANDLE h, LPCVOID p, DWORD n, LPDWORD pDone)
{
    LARGE_INTEGER liZero, liAt, liSize;
    liZero.QuadPart = 0;
    *pDone = 0;
    if (!SetFilePointerEx(h, liZero, &liAt, FILE_CURRENT) || !GetFileSizeEx(h, &liSize))
        return FALSE;
    LONGLONG llRoom = liSize.QuadPart - liAt.QuadPart;
    DWORD dwFits = llRoom <= 0 ? 0 : (llRoom >= (LONGLONG)n ? n : (DWORD)llRoom);
    if (dwFits == n)
        return GetDefaultPlatformHooks().pfnWriteFile(h, p, n, pDone);
    if (dwFits > 0)
        GetDefaultPlatformHooks().pfnWriteFile(h, p, dwFits, pDone);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

BOOL HookWrite(HANDLE h, LPCVOID p, DWORD n, LPDWORD pDone)
{
    Rule rule;
    unsigned nCall = 0;
    if (!Arrive(kCallWrite, &rule, &nCall))
    {
        unsigned nFull = FromCall(g_nDiskFullFrom);
        if (nFull != 0 && nCall >= nFull)
        {
            g_bDiskIsFull = 1;
            return WriteOnFullDisk(h, p, n, pDone);
        }
        return GetDefaultPlatformHooks().pfnWriteFile(h, p, n, pDone);
    }
    DWORD dwPassed = 0;
    if (rule.dwTorn > 0)
        GetDefaultPlatformHooks().pfnWriteFile(h, p, rule.dwTorn < n ? rule.dwTorn : n, &dwPassed);
    *pDone = dwPassed;
    SetLastError(rule.dwError);
    return FALSE;
}

BOOL HookFree(LPCSTR pcDir, ULARGE_INTEGER* pFree)
{
    Rule rule;
    unsigned nCall = 0;
    if (Arrive(kCallFreeSpace, &rule, &nCall))
    {
        SetLastError(rule.dwError);
        return FALSE;
    }
    if (g_bDiskIsFull)
    {
        pFree->QuadPart = 0;
        return TRUE;
    }
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        if (g_bFreeSet && nCall >= g_nFreeFrom)
        {
            pFree->QuadPart = g_qwFree;
            return TRUE;
        }
    }
    return GetDefaultPlatformHooks().pfnGetDiskFreeSpaceEx(pcDir, pFree);
}

HANDLE HookFindFirst(LPCSTR pcName, WIN32_FIND_DATAA* pData)
{
    Rule rule;
    if (!Arrive(kCallFindFirst, &rule))
        return GetDefaultPlatformHooks().pfnFindFirstFile(pcName, pData);
    SetLastError(rule.dwError);
    return INVALID_HANDLE_VALUE;
}

BOOL HookFindNext(HANDLE h, WIN32_FIND_DATAA* pData)
{
    Rule rule;
    if (!Arrive(kCallFindNext, &rule))
        return GetDefaultPlatformHooks().pfnFindNextFile(h, pData);
    SetLastError(rule.dwError);
    return FALSE;
}

void* HookAlloc(size_t nBytes)
{
    Rule rule;
    if (!Arrive(kCallAlloc, &rule))
        return GetDefaultPlatformHooks().pfnAlloc(nBytes);
    return nullptr;
}
} // namespace

CFaultInjector::CFaultInjector()
{
    // Two injectors would count each other's calls.
    if (g_bActive.exchange(1) != 0)
        abort();
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        g_rules.clear();
        g_actions.clear();
        g_bFreeSet = false;
        g_nDiskFullFrom = 0;
        g_nEndFrom = 0;
    }
    for (auto& n : g_counts)
        n = 0;
    g_nFailures = 0;
    g_bDiskIsFull = 0;
    PlatformHooks& hooks = GetPlatformHooks();
    hooks.pfnReadFile = HookRead;
    hooks.pfnWriteFile = HookWrite;
    hooks.pfnGetDiskFreeSpaceEx = HookFree;
    hooks.pfnFindFirstFile = HookFindFirst;
    hooks.pfnFindNextFile = HookFindNext;
    hooks.pfnAlloc = HookAlloc;
}

CFaultInjector::~CFaultInjector()
{
    ResetPlatformHooks();
    std::lock_guard<std::mutex> guard(g_mutex);
    g_rules.clear();
    g_actions.clear();
    g_bActive = 0;
}

void CFaultInjector::FailCall(FaultCall kind, unsigned nth, DWORD dwError, bool bSticky,
                              DWORD dwTornBytes)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    g_rules.push_back(Rule{kind, nth, dwError, bSticky, dwTornBytes});
}

void CFaultInjector::FillDiskAt(unsigned nth)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    g_nDiskFullFrom = nth;
}

void CFaultInjector::EndFilesAt(unsigned nth)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    g_nEndFrom = nth;
}

void CFaultInjector::SetFreeBytes(ULONGLONG qwFree, unsigned nth)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    g_bFreeSet = true;
    g_nFreeFrom = nth;
    g_qwFree = qwFree;
}

void CFaultInjector::Before(FaultCall kind, unsigned nth, std::function<void()> fn)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    g_actions.push_back(Action{kind, nth, std::move(fn)});
}

unsigned CFaultInjector::Count(FaultCall kind) const
{
    return g_counts[kind];
}

unsigned CFaultInjector::Failures() const
{
    return g_nFailures;
}

const char* FaultCallName(FaultCall kind)
{
    static const char* const s_apcNames[kCallKinds] = {"read",      "write",    "free space",
                                                       "FindFirst", "FindNext", "alloc"};
    return kind < kCallKinds ? s_apcNames[kind] : "?";
}
