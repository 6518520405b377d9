// Errors, program path, time and threads for the Linux build.
#pragma once

#include "platform/posix/Win32Types.h"
#include <cstdarg>

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100u
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200u
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000u
#define LANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))
#define INFINITE 0xFFFFFFFFu

DWORD GetLastError();
void SetLastError(DWORD dwErrCode);
DWORD FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                     LPSTR lpBuffer, DWORD nSize, va_list* Arguments);
HLOCAL LocalFree(HLOCAL hMem);
DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
void Sleep(DWORD dwMilliseconds);
DWORD GetTickCount();
DWORD GetCurrentThreadId();

// The C runtime's case-insensitive byte comparison (ASCII letters fold, as
// in the "C" locale the program runs in).
int _stricmp(const char* pcText1, const char* pcText2);

// The Windows error code for an errno value; the thread remembers the pair.
DWORD PosixErrorToWin32(int iErrno);
// The errno behind a Windows error code: the one this thread last turned into
// that code, else the usual one for it; 0 when there is none.
int GetErrnoOfError(DWORD dwError);
