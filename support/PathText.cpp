// Path texts: validity tests and cutting of paths held as wide text. Both '\'
// and '/' separate.
#include "support/PathText.h"

#include "support/SJisConv.h"
#include "support/WideChar.h"

#include <cstdlib>

namespace
{
const WCHAR kSeparators[] = {'\\', '/', 0};
// What no path may hold, and what no file name may hold.
const WCHAR kPathBadChars[] = {'<', '>', '|', '*', '?', '"', 0};
const WCHAR kNameBadChars[] = {'/', '\\', ':', '<', '>', '|', '*', '?', '"', 0};
const DWORD kDefaultMaxExtLen = 4;

bool IsSeparator(WCHAR wc)
{
    return wc == '\\' || wc == '/';
}

// The later of the last '\' and the last '/' (exact), or MYWSTR_NOT_FOUND.
DWORD LastSeparator(const CMyWString& wstrPath)
{
    DWORD dwBack = wstrPath.ReverseFind(0, WSTR("\\"), 0);
    DWORD dwSlash = wstrPath.ReverseFind(0, WSTR("/"), 0);
    if (dwBack == MYWSTR_NOT_FOUND)
        return dwSlash;
    if (dwSlash == MYWSTR_NOT_FOUND)
        return dwBack;
    return dwBack > dwSlash ? dwBack : dwSlash;
}
} // namespace

// A doubled separator is allowed only at the very start (a network path).
int CMyWString::IsValidPath() const
{
    if (m_dwStrLen == 0 || FindOneOf(0, kPathBadChars) != MYWSTR_NOT_FOUND)
        return 0;
    DWORD dwColon = FindChar(':');
    if (dwColon != MYWSTR_NOT_FOUND && (dwColon != 1 || !IsWideAlpha(m_pwcBuff[0])))
        return 0;
    for (DWORD i = 1; i + 1 < m_dwStrLen; ++i)
        if (IsSeparator(m_pwcBuff[i]) && IsSeparator(m_pwcBuff[i + 1]))
            return 0;
    return m_pwcBuff[m_dwStrLen - 1] != '.';
}

int CMyWString::IsValidFileName() const
{
    return m_dwStrLen != 0 && FindOneOf(0, kNameBadChars) == MYWSTR_NOT_FOUND;
}

int CMyWString::ToFileName(int bValidate)
{
    if (m_dwStrLen == 0 || (bValidate && !IsValidPath()) || m_pwcBuff[m_dwStrLen - 1] == '.')
        return 0;
    DWORD dwSep = ReverseFindOneOf(MYWSTR_NOT_FOUND, kSeparators);
    if (dwSep == MYWSTR_NOT_FOUND)
        return IsValidFileName();
    if (dwSep == m_dwStrLen - 1)
        return 0;
    return TrimToSector(dwSep + 1, m_dwStrLen - dwSep - 1);
}

// With a maximum of 4, a.tar.gz becomes a.tar and take.aiffc stays whole.
int CMyWString::ToFileTitle(int bValidate, DWORD dwMaxExtLen)
{
    if (m_dwStrLen == 0 || (bValidate && !IsValidPath()))
        return 0;
    if (dwMaxExtLen == 0)
        dwMaxExtLen = kDefaultMaxExtLen;
    DWORD dwSep = ReverseFindOneOf(MYWSTR_NOT_FOUND, kSeparators);
    DWORD dwNameStart = dwSep == MYWSTR_NOT_FOUND ? 0 : dwSep + 1;
    if (dwNameStart >= m_dwStrLen)
        return 0;
    if (bValidate && FindOneOf(dwNameStart, kNameBadChars) != MYWSTR_NOT_FOUND)
        return 0;
    DWORD dwNameLen = m_dwStrLen - dwNameStart;
    DWORD dwDot = ReverseFindChar('.');
    if (dwDot != MYWSTR_NOT_FOUND && dwDot >= dwNameStart && m_dwStrLen - dwDot - 1 <= dwMaxExtLen)
    {
        dwNameLen = dwDot - dwNameStart;
        if (dwNameLen == 0)
            return 0;
    }
    return TrimToSector(dwNameStart, dwNameLen);
}

int CMyWString::ToExtension(DWORD dwMaxExtLen)
{
    if (m_dwStrLen == 0)
        return 0;
    if (dwMaxExtLen == 0)
        dwMaxExtLen = kDefaultMaxExtLen;
    DWORD dwDot = ReverseFindChar('.');
    DWORD dwSep = ReverseFindOneOf(MYWSTR_NOT_FOUND, kSeparators);
    if (dwDot == MYWSTR_NOT_FOUND || (dwSep != MYWSTR_NOT_FOUND && dwDot <= dwSep))
        return 0;
    DWORD dwExtLen = m_dwStrLen - dwDot - 1;
    if (dwExtLen == 0 || dwExtLen > dwMaxExtLen)
        return 0;
    return TrimToSector(dwDot + 1, dwExtLen);
}

CString GetFileNameFromPath(const char* pcPath)
{
    if (pcPath == nullptr)
        return CString();
    CMyWString wstrPath(pcPath);
    DWORD dwSep = LastSeparator(wstrPath);
    if (dwSep == MYWSTR_NOT_FOUND)
        return CString(pcPath);
    DWORD dwNameLen = wstrPath.GetLength() - dwSep - 1;
    if (dwNameLen == 0)
        return CString();
    char* pcName = ConvWideCharToSJis(wstrPath.GetString() + dwSep + 1, dwNameLen);
    CString strName(pcName != nullptr ? pcName : "");
    free(pcName);
    return strName;
}

int EndsWithSeparator(const char* pcPath)
{
    if (pcPath == nullptr)
        return 0;
    CMyWString wstrPath(pcPath);
    DWORD dwSep = LastSeparator(wstrPath);
    return dwSep != MYWSTR_NOT_FOUND && dwSep + 1 == wstrPath.GetLength();
}

CString GetFolderFromPath(const char* pcPath)
{
    if (pcPath == nullptr)
        return CString();
    CMyWString wstrPath;
    wstrPath = pcPath;
    DWORD dwSep = LastSeparator(wstrPath);
    if (dwSep == MYWSTR_NOT_FOUND || dwSep == 0)
        return CString(pcPath);
    return wstrPath.GetSectorData(0, dwSep);
}
