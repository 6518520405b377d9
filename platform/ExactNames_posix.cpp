// Exact names on Linux: the listing of platform/posix gives every name a
// Shift-JIS form that comes back to it exactly (through the user-defined area)
// and leaves out only those it cannot, so the searches are its own.
#include "platform/ExactNames.h"

HANDLE FindFirstFileExact(LPCSTR pcName, WIN32_FIND_DATAA* pData)
{
    return FindFirstFileA(pcName, pData);
}

BOOL FindNextFileExact(HANDLE hFind, WIN32_FIND_DATAA* pData)
{
    return FindNextFileA(hFind, pData);
}
