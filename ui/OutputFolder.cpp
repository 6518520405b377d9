// The output folder text the window hands to the batch.
#include "ui/OutputFolder.h"

#include "platform/ExactNames.h"
#include "platform/Platform.h"

#include <string>

namespace
{
int IsBlank(WCHAR wc)
{
    return wc == L' ' || wc == L'\t' || wc == 0x3000; // and the full-width space
}

int IsSeparator(WCHAR wc)
{
    return wc == L'\\' || wc == L'/';
}

int IsAsciiLetter(WCHAR wc)
{
    return (wc >= L'A' && wc <= L'Z') || (wc >= L'a' && wc <= L'z');
}

// "C:\..." or "\\server\share...". A bare "C:" is that drive's current folder
// and "\rec" a folder on the current drive: both change with the picker,
// which moves the current folder. "\\?\" and "\\.\" reach devices and skip the
// system's tidying.
int IsAbsoluteFolderText(const std::wstring& strText)
{
    if (strText.size() >= 3 && IsAsciiLetter(strText[0]) && strText[1] == L':' &&
        IsSeparator(strText[2]))
        return 1;
    if (strText.size() < 5 || !IsSeparator(strText[0]) || !IsSeparator(strText[1]))
        return 0;
    size_t iShare = strText.find_first_of(L"\\/", 2);
    if (iShare == std::wstring::npos || iShare == 2 || iShare + 1 >= strText.size() ||
        IsSeparator(strText[iShare + 1]))
        return 0;
    std::wstring strServer = strText.substr(2, iShare - 2);
    return strServer != L"?" && strServer != L".";
}

// GetFullPathNameW tidies as every later call would read the path (Windows
// and Wine alike): "C:\rec\.", "C:\rec\\", "C:\rec\..\rec", "C:/rec//" and
// "C:\rec." all name C:\rec.
int GetFullPath(const std::wstring& strPath, std::wstring* pstrFull)
{
    DWORD dwSize = GetFullPathNameW(strPath.c_str(), 0, nullptr, nullptr);
    if (dwSize == 0)
        return 0;
    std::wstring strFull((size_t)dwSize, L'\0');
    DWORD dwLength = GetFullPathNameW(strPath.c_str(), dwSize, &strFull[0], nullptr);
    if (dwLength == 0 || dwLength >= dwSize)
        return 0;
    strFull.resize(dwLength);
    *pstrFull = strFull;
    return 1;
}
} // namespace

int MakeOutputFolder(const char* pcText, CString* pstrFolder)
{
    std::wstring strText = WidenAnsi(pcText);
    size_t iFirst = 0;
    size_t iEnd = strText.size();
    while (iFirst < iEnd && IsBlank(strText[iFirst]))
        iFirst++;
    while (iEnd > iFirst && IsBlank(strText[iEnd - 1]))
        iEnd--;
    strText = strText.substr(iFirst, iEnd - iFirst);
    std::string strNarrow;
    WideToAnsiExact(strText.c_str(), &strNarrow);
    *pstrFolder = strNarrow.c_str();
    std::wstring strFull;
    if (!IsAbsoluteFolderText(strText) || !GetFullPath(strText, &strFull))
        return 0;
    // A drive root keeps its separator; "C:\rec\" and "\\srv\share\" lose it.
    if (strFull.size() > 3 && IsSeparator(strFull.back()))
        strFull.pop_back();
    if (!IsAbsoluteFolderText(strFull) || !WideToAnsiExact(strFull.c_str(), &strNarrow))
        return 0;
    *pstrFolder = strNarrow.c_str();
    return 1;
}
