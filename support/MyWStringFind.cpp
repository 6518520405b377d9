// CMyWString: searching and comparing.
#include "support/MyWString.h"

#include "support/SJisConv.h"
#include "support/WideChar.h"

#include <cstdlib>

DWORD CMyWString::Find(DWORD dwStart, const WCHAR* pwcPattern, DWORD dwPatternLen,
                       int bIgnoreCase) const
{
    if (dwStart >= m_dwStrLen || pwcPattern == nullptr || pwcPattern[0] == 0)
        return MYWSTR_NOT_FOUND;
    if (dwPatternLen == 0)
        dwPatternLen = WideStrLen(pwcPattern);
    if (dwPatternLen > m_dwStrLen - dwStart)
        return MYWSTR_NOT_FOUND;
    DWORD dwLast = m_dwStrLen - dwPatternLen;
    for (DWORD dwPos = dwStart; dwPos <= dwLast; ++dwPos)
        if (CompareWideN(m_pwcBuff + dwPos, pwcPattern, dwPatternLen, bIgnoreCase) == 0)
            return dwPos;
    return MYWSTR_NOT_FOUND;
}

// The last of the occurrences counted from dwStart without overlap.
DWORD CMyWString::ReverseFind(DWORD dwStart, const WCHAR* pwcPattern, int bIgnoreCase) const
{
    DWORD dwPatternLen = WideStrLen(pwcPattern);
    if (dwPatternLen == 0)
        return MYWSTR_NOT_FOUND;
    DWORD dwLastFound = MYWSTR_NOT_FOUND;
    DWORD dwPos = Find(dwStart, pwcPattern, dwPatternLen, bIgnoreCase);
    while (dwPos != MYWSTR_NOT_FOUND)
    {
        dwLastFound = dwPos;
        dwPos = Find(dwPos + dwPatternLen, pwcPattern, dwPatternLen, bIgnoreCase);
    }
    return dwLastFound;
}

DWORD CMyWString::ReverseFindA(DWORD dwStart, const char* pcPattern, int bIgnoreCase) const
{
    WCHAR* pwcPattern = ConvSJisToNewWideChar(pcPattern);
    if (pwcPattern == nullptr)
        return MYWSTR_NOT_FOUND;
    DWORD dwFound = ReverseFind(dwStart, pwcPattern, bIgnoreCase);
    free(pwcPattern);
    return dwFound;
}

DWORD CMyWString::FindOneOf(DWORD dwStart, const WCHAR* pwcSet) const
{
    if (dwStart >= m_dwStrLen || pwcSet == nullptr)
        return MYWSTR_NOT_FOUND;
    for (DWORD dwPos = dwStart; dwPos < m_dwStrLen; ++dwPos)
        if (IsWideCharInSet(m_pwcBuff[dwPos], pwcSet))
            return dwPos;
    return MYWSTR_NOT_FOUND;
}

DWORD CMyWString::FindOneOfA(DWORD dwStart, const char* pcSet) const
{
    if (dwStart >= m_dwStrLen || pcSet == nullptr || pcSet[0] == '\0')
        return MYWSTR_NOT_FOUND;
    WCHAR* pwcSet = ConvSJisToWideChar(pcSet, 0);
    if (pwcSet == nullptr)
        return MYWSTR_NOT_FOUND;
    DWORD dwFound = FindOneOf(dwStart, pwcSet);
    free(pwcSet);
    return dwFound;
}

DWORD CMyWString::ReverseFindOneOf(DWORD dwStart, const WCHAR* pwcSet) const
{
    if (m_dwStrLen == 0 || pwcSet == nullptr)
        return MYWSTR_NOT_FOUND;
    if (dwStart >= m_dwStrLen)
        dwStart = m_dwStrLen - 1;
    for (DWORD dwPos = dwStart + 1; dwPos-- > 0;)
        if (IsWideCharInSet(m_pwcBuff[dwPos], pwcSet))
            return dwPos;
    return MYWSTR_NOT_FOUND;
}

DWORD CMyWString::FindChar(WCHAR wc) const
{
    for (DWORD dwPos = 0; dwPos < m_dwStrLen; ++dwPos)
        if (m_pwcBuff[dwPos] == wc)
            return dwPos;
    return MYWSTR_NOT_FOUND;
}

DWORD CMyWString::ReverseFindChar(WCHAR wc) const
{
    for (DWORD dwPos = m_dwStrLen; dwPos-- > 0;)
        if (m_pwcBuff[dwPos] == wc)
            return dwPos;
    return MYWSTR_NOT_FOUND;
}

int CMyWString::ConsistsOf(const WCHAR* pwcSet) const
{
    if (pwcSet == nullptr || pwcSet[0] == 0)
        return 0;
    for (DWORD dwPos = 0; dwPos < m_dwStrLen; ++dwPos)
        if (!IsWideCharInSet(m_pwcBuff[dwPos], pwcSet))
            return 0;
    return 1;
}

// -1 also for a null text and for a string whose failure flag is set, so a
// failed string never compares equal.
int CMyWString::Compare(const WCHAR* pwcStr, int bIgnoreCase) const
{
    if (pwcStr == nullptr || m_bError)
        return -1;
    return CompareWide(GetString(), pwcStr, bIgnoreCase);
}

int CMyWString::Compare(const char* pcStr, int bIgnoreCase) const
{
    WCHAR* pwcStr = ConvSJisToNewWideChar(pcStr);
    int iResult = Compare(pwcStr, bIgnoreCase);
    free(pwcStr);
    return iResult;
}
