// Exact names on Linux: the listing of platform/posix already leaves out the
// names Shift-JIS cannot hold, so the searches are its own.
#include "platform/ExactNames.h"

HANDLE FindFirstFileExact(LPCSTR pcName, WIN32_FIND_DATAA* pData)
{
    return FindFirstFileA(pcName, pData);
}

BOOL FindNextFileExact(HANDLE hFind, WIN32_FIND_DATAA* pData)
{
    return FindNextFileA(hFind, pData);
}
