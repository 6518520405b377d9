// Exact names on Windows: every search is made with the wide calls, and each
// name found is taken into the code page only when it converts exactly.
#include "platform/ExactNames.h"

#include <cstring>

int FindDataToAnsi(const WIN32_FIND_DATAW& wide, WIN32_FIND_DATAA* pNarrow)
{
    std::string strName;
    if (!WideToAnsiExact(wide.cFileName, &strName) || strName.size() >= MAX_PATH)
        return 0;
    std::string strShort;
    if (!WideToAnsiExact(wide.cAlternateFileName, &strShort) || strShort.size() >= 14)
        strShort.clear();
    WIN32_FIND_DATAA narrow = {};
    narrow.dwFileAttributes = wide.dwFileAttributes;
    narrow.ftCreationTime = wide.ftCreationTime;
    narrow.ftLastAccessTime = wide.ftLastAccessTime;
    narrow.ftLastWriteTime = wide.ftLastWriteTime;
    narrow.nFileSizeHigh = wide.nFileSizeHigh;
    narrow.nFileSizeLow = wide.nFileSizeLow;
    narrow.dwReserved0 = wide.dwReserved0;
    narrow.dwReserved1 = wide.dwReserved1;
    memcpy(narrow.cFileName, strName.c_str(), strName.size() + 1);
    memcpy(narrow.cAlternateFileName, strShort.c_str(), strShort.size() + 1);
    *pNarrow = narrow;
    return 1;
}

// The narrow pattern is read as FindFirstFileA reads it (the ANSI code page).
HANDLE FindFirstFileExact(LPCSTR pcName, WIN32_FIND_DATAA* pData)
{
    std::wstring strWide = WidenAnsi(pcName);
    WIN32_FIND_DATAW found;
    HANDLE hFind = FindFirstFileW(strWide.c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return hFind;
    if (FindDataToAnsi(found, pData) || FindNextFileExact(hFind, pData))
        return hFind;
    DWORD dwError = GetLastError();
    FindClose(hFind);
    SetLastError(dwError == ERROR_NO_MORE_FILES ? ERROR_FILE_NOT_FOUND : dwError);
    return INVALID_HANDLE_VALUE;
}

BOOL FindNextFileExact(HANDLE hFind, WIN32_FIND_DATAA* pData)
{
    WIN32_FIND_DATAW found;
    while (FindNextFileW(hFind, &found))
    {
        if (FindDataToAnsi(found, pData))
            return TRUE;
    }
    return FALSE;
}

DWORD VisitUnholdableEntries(UnholdableEntryVisitor pfnVisit, void* pContext)
{
    WIN32_FIND_DATAW found;
    HANDLE hFind = FindFirstFileW(L"*", &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return 0;
    DWORD dwCount = 0;
    WIN32_FIND_DATAA narrow;
    do
    {
        if (FindDataToAnsi(found, &narrow))
            continue;
        pfnVisit(found, pContext);
        dwCount++;
    } while (FindNextFileW(hFind, &found));
    FindClose(hFind);
    return dwCount;
}
