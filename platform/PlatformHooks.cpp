// The replaceable table of failing platform calls.
#include "platform/ExactNames.h"
#include "platform/Platform.h"

#include <cstdlib>

namespace
{
BOOL RealRead(HANDLE h, LPVOID p, DWORD n, LPDWORD pDone)
{
    return ReadFile(h, p, n, pDone, nullptr);
}
BOOL RealWrite(HANDLE h, LPCVOID p, DWORD n, LPDWORD pDone)
{
    return WriteFile(h, p, n, pDone, nullptr);
}
BOOL RealFree(LPCSTR pcDir, ULARGE_INTEGER* pFree)
{
    return GetDiskFreeSpaceExA(pcDir, pFree, nullptr, nullptr);
}
HANDLE RealFindFirst(LPCSTR pcName, WIN32_FIND_DATAA* pData)
{
    return FindFirstFileExact(pcName, pData);
}
BOOL RealFindNext(HANDLE h, WIN32_FIND_DATAA* pData)
{
    return FindNextFileExact(h, pData);
}
void* RealAlloc(size_t n)
{
    // Fresh pages come zeroed from the system: a big buffer costs nothing
    // until it is used.
    return calloc(1, n);
}
BOOL RealCopyRange(HANDLE hFrom, HANDLE hTo, DWORD n, LPDWORD pDone);
BOOL RealClose(HANDLE h)
{
    return CloseHandle(h);
}
BOOL RealShareRange(HANDLE hFrom, HANDLE hTo, DWORD n);

const PlatformHooks kReal = {RealRead,  RealWrite,     RealFree,  RealFindFirst, RealFindNext,
                             RealAlloc, RealCopyRange, RealClose, RealShareRange};
PlatformHooks g_hooks = kReal;

// A test that replaced the reads or writes must see every byte pass through
// them: the system's copy would go round its faults.
BOOL RealCopyRange(HANDLE hFrom, HANDLE hTo, DWORD n, LPDWORD pDone)
{
    if (g_hooks.pfnReadFile != kReal.pfnReadFile || g_hooks.pfnWriteFile != kReal.pfnWriteFile)
    {
        *pDone = 0;
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    return PlatformCopyFileRange(hFrom, hTo, n, pDone);
}

// Shared blocks pass through neither the reads nor the writes either.
BOOL RealShareRange(HANDLE hFrom, HANDLE hTo, DWORD n)
{
    if (g_hooks.pfnReadFile != kReal.pfnReadFile || g_hooks.pfnWriteFile != kReal.pfnWriteFile)
    {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    return PlatformShareFileRange(hFrom, hTo, n);
}
} // namespace

PlatformHooks& GetPlatformHooks()
{
    return g_hooks;
}
const PlatformHooks& GetDefaultPlatformHooks()
{
    return kReal;
}
void ResetPlatformHooks()
{
    g_hooks = kReal;
}
