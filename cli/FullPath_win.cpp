// Absolute paths on Windows: the system's own full-path rules.
#include "cli/FullPath.h"

#include "cli/PathParts.h"
#include "platform/Platform.h"
#include "support/PathText.h"

int MakeFullPath(const char* pcPath, CString* pstrFull)
{
    char acFull[MAX_PATH * 4];
    DWORD dwLength = GetFullPathNameA(pcPath, sizeof(acFull), acFull, nullptr);
    if (dwLength == 0 || dwLength >= sizeof(acFull))
        return 0;
    *pstrFull = acFull;
    // "C:\dir\" keeps its separator from the system; only a root needs one.
    if (pstrFull->GetLength() > 3 && EndsWithSeparator(*pstrFull))
        *pstrFull = pstrFull->Left(pstrFull->GetLength() - 1);
    return 1;
}

int SplitFullPath(const CString& strFull, CString* pstrFolder, CString* pstrName)
{
    int iSep = FindLastSeparator(strFull);
    if (iSep < 0 || iSep == strFull.GetLength() - 1)
        return 0; // "C:\" or "\\server\share\"
    *pstrFolder = strFull.Left(iSep);
    *pstrName = strFull.Mid(iSep + 1);
    // "\\server\share" itself has no holding folder the walk could name.
    if (pstrFolder->Left(2) == "\\\\" && pstrFolder->Find('\\', 2) < 0)
        return 0;
    return !pstrFolder->IsEmpty();
}

CString MakeShownPath(const char* pcPath)
{
    return CString(pcPath);
}
