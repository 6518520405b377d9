// Separator searches on Shift-JIS paths that never take a trail byte (0x5C in
// a two-byte character) for a backslash.
#include "cli/PathParts.h"

#include "framework/MbcsBytes.h"

namespace
{
bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}
} // namespace

int FindLastSeparator(const CString& strPath)
{
    int iLast = -1;
    const char* pcPath = strPath;
    for (int i = 0; pcPath[i] != '\0'; i = MbcsNextIndex(pcPath, i))
    {
        if (IsSeparator(pcPath[i]))
            iLast = i;
    }
    return iLast;
}

void SplitPathComponents(const CString& strPath, std::vector<CString>* pParts)
{
    pParts->clear();
    const char* pcPath = strPath;
    int iStart = 0;
    int i = 0;
    for (; pcPath[i] != '\0'; i = MbcsNextIndex(pcPath, i))
    {
        if (!IsSeparator(pcPath[i]))
            continue;
        pParts->push_back(strPath.Mid(iStart, i - iStart));
        iStart = i + 1;
    }
    pParts->push_back(strPath.Mid(iStart, i - iStart));
}
