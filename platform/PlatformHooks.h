// The few platform calls that fail in the field, behind a table that tests can
// replace to inject a full disk, a failed read or write, a vanished folder or a
// failed allocation. Portable code calls these instead of the bare API.
#pragma once

#include <cstddef>

struct PlatformHooks
{
    BOOL (*pfnReadFile)(HANDLE hFile, LPVOID lpBuffer, DWORD nToRead, LPDWORD lpRead);
    BOOL (*pfnWriteFile)(HANDLE hFile, LPCVOID lpBuffer, DWORD nToWrite, LPDWORD lpWritten);
    BOOL (*pfnGetDiskFreeSpaceEx)(LPCSTR lpDirectory, ULARGE_INTEGER* pFreeToCaller);
    HANDLE (*pfnFindFirstFile)(LPCSTR lpFileName, WIN32_FIND_DATAA* pFindData);
    BOOL (*pfnFindNextFile)(HANDLE hFind, WIN32_FIND_DATAA* pFindData);
    void* (*pfnAlloc)(size_t nBytes); // the big buffers, zeroed; released with free()
    // Copies from one open file to another without passing through our memory.
    BOOL (*pfnCopyFileRange)(HANDLE hFrom, HANDLE hTo, DWORD nBytes, LPDWORD pDone);
    // A close may report a write the system could not finish (a network share).
    BOOL (*pfnCloseHandle)(HANDLE hObject);
    // Shares blocks of one open file with another instead of copying them.
    BOOL (*pfnShareFileRange)(HANDLE hFrom, HANDLE hTo, DWORD nBytes);
};

// The table in force (the real calls unless a test replaced them).
PlatformHooks& GetPlatformHooks();
// The real calls, for tests that wrap them.
const PlatformHooks& GetDefaultPlatformHooks();
// Puts the real calls back.
void ResetPlatformHooks();

inline BOOL WvReadFile(HANDLE h, LPVOID p, DWORD n, LPDWORD pDone)
{
    return GetPlatformHooks().pfnReadFile(h, p, n, pDone);
}
inline BOOL WvWriteFile(HANDLE h, LPCVOID p, DWORD n, LPDWORD pDone)
{
    return GetPlatformHooks().pfnWriteFile(h, p, n, pDone);
}
inline BOOL WvGetDiskFreeSpaceEx(LPCSTR pcDir, ULARGE_INTEGER* pFree)
{
    return GetPlatformHooks().pfnGetDiskFreeSpaceEx(pcDir, pFree);
}
inline HANDLE WvFindFirstFile(LPCSTR pcName, WIN32_FIND_DATAA* pData)
{
    return GetPlatformHooks().pfnFindFirstFile(pcName, pData);
}
inline BOOL WvFindNextFile(HANDLE h, WIN32_FIND_DATAA* pData)
{
    return GetPlatformHooks().pfnFindNextFile(h, pData);
}
inline void* WvAlloc(size_t nBytes)
{
    return GetPlatformHooks().pfnAlloc(nBytes);
}
inline BOOL WvCopyFileRange(HANDLE hFrom, HANDLE hTo, DWORD nBytes, LPDWORD pDone)
{
    return GetPlatformHooks().pfnCopyFileRange(hFrom, hTo, nBytes, pDone);
}
inline BOOL WvShareFileRange(HANDLE hFrom, HANDLE hTo, DWORD nBytes)
{
    return GetPlatformHooks().pfnShareFileRange(hFrom, hTo, nBytes);
}
inline BOOL WvCloseHandle(HANDLE h)
{
    return GetPlatformHooks().pfnCloseHandle(h);
}

// The system's own copy of nBytes from the file pointer of hFrom to that of
// hTo, advancing both; *pDone counts what was copied, also on failure. Fails
// with ERROR_NOT_SUPPORTED where the system or the file system has none: the
// caller then reads and writes.
BOOL PlatformCopyFileRange(HANDLE hFrom, HANDLE hTo, DWORD nBytes, LPDWORD pDone);
// Shares the nBytes of blocks at the file pointer of hFrom with hTo at its
// file pointer, advancing both: the file system holds them once, and a later
// write to either file leaves the other as it was. Both positions and nBytes
// are multiples of the file system's block. Fails, sharing nothing, where it
// cannot (ERROR_NOT_SUPPORTED where the system or file system has no such
// call): the caller then copies.
BOOL PlatformShareFileRange(HANDLE hFrom, HANDLE hTo, DWORD nBytes);
