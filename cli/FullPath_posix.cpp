// Absolute paths on Linux: joined to the current directory and tidied by
// name, as Windows' full-path rules do (".." is not resolved through links).
#include "cli/FullPath.h"

#include "cli/PathParts.h"
#include "framework/MbcsBytes.h"
#include "support/FileSystem.h"

int MakeFullPath(const char* pcPath, CString* pstrFull)
{
    CString strPath(pcPath);
    if (strPath.IsEmpty())
        return 0;
    if (strPath[0] != '/' && strPath[0] != '\\')
    {
        CString strCurrent;
        if (!GetCurrentDir(&strCurrent))
            return 0;
        strPath = strCurrent + "/" + strPath;
    }
    std::vector<CString> parts;
    SplitPathComponents(strPath, &parts);
    std::vector<CString> kept;
    for (const CString& strPart : parts)
    {
        if (strPart.IsEmpty() || strPart == ".")
            continue;
        if (strPart == "..")
        {
            if (!kept.empty())
                kept.pop_back();
            continue;
        }
        kept.push_back(strPart);
    }
    // Joined with '\', as the walk and the program's own folder are, so that
    // one file reached by two arguments has one text.
    pstrFull->Empty();
    for (const CString& strPart : kept)
        *pstrFull += "\\" + strPart;
    if (pstrFull->IsEmpty())
        *pstrFull = "\\";
    return 1;
}

int SplitFullPath(const CString& strFull, CString* pstrFolder, CString* pstrName)
{
    int iSep = FindLastSeparator(strFull);
    if (iSep <= 0 || iSep == strFull.GetLength() - 1)
        return 0; // the root, or an entry right in it: the walk needs a folder name
    *pstrFolder = strFull.Left(iSep);
    *pstrName = strFull.Mid(iSep + 1);
    return 1;
}

CString MakeShownPath(const char* pcPath)
{
    CString strShown(pcPath);
    for (int i = 0; i < strShown.GetLength(); i = MbcsNextIndex(strShown, i))
    {
        if (strShown[i] == '\\')
            strShown.SetAt(i, '/');
    }
    return strShown;
}
