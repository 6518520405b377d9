// The mirrored sub-folder of a collected file.
#include "sources/MirroredFolder.h"

#include "framework/CStringArray.h"
#include "sources/PathList.h"
#include "support/MyWString.h"
#include "support/PathText.h"

namespace
{
const WCHAR kSeparators[] = WSTR("\\/");

// A mirrored rest of "." or ".." would lead out of the output folder.
int HasDotComponent(const CMyWString& strRest)
{
    CStringArray arrParts;
    strRest.Split(&arrParts, kSeparators);
    for (int i = 0; i < arrParts.GetSize(); ++i)
    {
        if (arrParts[i] == "." || arrParts[i] == "..")
            return 1;
    }
    return 0;
}
} // namespace

// A folder that is not at or below the browsed one (which the scan never
// gives) is not mirrored: its pieces go to the output folder itself.
int GetMirroredFolder(const CMyPathRecord& record, CString* pstrSubFolder)
{
    if (record.BaseFoldPath.IsEmpty())
        return 0;
    CMyWString strFold(record.FoldPath);
    CMyWString strBaseFold(record.BaseFoldPath);
    if (!strFold.IsValidPath() || !strBaseFold.IsValidPath())
        return 0;
    // A browsed drive root ("D:\") keeps its separator in front of the rest.
    DWORD dwPrefix = strBaseFold.GetLength();
    if (EndsWithSeparator(record.BaseFoldPath))
        --dwPrefix;
    if (dwPrefix == 0)
        return 0;
    DWORD dwFoldLength = strFold.GetLength();
    DWORD dwRest = strFold.RemovePrefix(strBaseFold.GetString(), dwPrefix);
    if (dwRest == 0 || dwRest == dwFoldLength)
        return 0;
    // The browsed folder must end where a component of the file's folder ends.
    if (strFold.FindOneOf(0, kSeparators) != 0 || HasDotComponent(strFold))
        return 0;
    *pstrSubFolder = strFold.GetCString();
    return !pstrSubFolder->IsEmpty();
}
