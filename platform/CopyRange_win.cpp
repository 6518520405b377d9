// Windows copies between two open files only through the caller's memory,
// and shares no blocks between them: block cloning (ReFS) is left alone
// until it can be tried on such a volume.
#include "platform/Platform.h"

BOOL PlatformCopyFileRange(HANDLE, HANDLE, DWORD, LPDWORD pDone)
{
    *pDone = 0;
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL PlatformShareFileRange(HANDLE, HANDLE, DWORD)
{
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}
