// Windows copies between two open files only through the caller's memory.
#include "platform/Platform.h"

BOOL PlatformCopyFileRange(HANDLE, HANDLE, DWORD, LPDWORD pDone)
{
    *pDone = 0;
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}
