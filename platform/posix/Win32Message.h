// Per-thread message queues and thread-start constants for the Linux build.
// As on Windows, a thread gets its queue the first time it calls GetMessageA or
// PeekMessageA; posting to a thread that has none fails.
#pragma once

#include "platform/posix/Win32Types.h"

#define WM_NULL 0x0000u
#define WM_QUIT 0x0012u
#define WM_USER 0x0400u
#define PM_NOREMOVE 0x0000u
#define PM_REMOVE 0x0001u

// Error codes of the calls below (values as on Windows).
#define ERROR_INVALID_THREAD_ID 1444
#define ERROR_NOT_ENOUGH_QUOTA 1816

// Thread start (the framework's AfxBeginThread takes these).
#define THREAD_PRIORITY_NORMAL 0
#define CREATE_SUSPENDED 0x00000004u

struct SECURITY_ATTRIBUTES
{
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

struct POINT
{
    LONG x;
    LONG y;
};

struct MSG
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

// Queues a message for the thread; FALSE with ERROR_INVALID_THREAD_ID when the
// thread has no queue, ERROR_NOT_ENOUGH_QUOTA when 10000 messages are waiting.
BOOL PostThreadMessageA(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam);
// Waits for a message in the filter range (0, 0: any); 0 for WM_QUIT, else TRUE.
// hWnd: null for any message, (HWND)-1 for thread messages only, else that window.
BOOL GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax);
// As GetMessageA without waiting: FALSE when nothing matches.
BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
