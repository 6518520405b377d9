// The replaceable table of failing platform calls.
#include "platform/Platform.h"

#include <cstdlib>

namespace
{
BOOL RealRead(HANDLE h, LPVOID p, DWORD n, LPDWORD pDone) { return ReadFile(h, p, n, pDone, nullptr); }
BOOL RealWrite(HANDLE h, LPCVOID p, DWORD n, LPDWORD pDone)
{
    return WriteFile(h, p, n, pDone, nullptr);
}
BOOL RealFree(LPCSTR pcDir, ULARGE_INTEGER* pFree)
{
    return GetDiskFreeSpaceExA(pcDir, pFree, nullptr, nullptr);
}
HANDLE RealFindFirst(LPCSTR pcName, WIN32_FIND_DATAA* pData) { return FindFirstFileA(pcName, pData); }
BOOL RealFindNext(HANDLE h, WIN32_FIND_DATAA* pData) { return FindNextFileA(h, pData); }
void* RealAlloc(size_t n) { return malloc(n); }

const PlatformHooks kReal = {RealRead, RealWrite, RealFree, RealFindFirst, RealFindNext, RealAlloc};
PlatformHooks g_hooks = kReal;
} // namespace

PlatformHooks& GetPlatformHooks() { return g_hooks; }
const PlatformHooks& GetDefaultPlatformHooks() { return kReal; }
void ResetPlatformHooks() { g_hooks = kReal; }
