// CMyWString: inserting, replacing, removing and trimming, and the capacity.
#include "support/MyWString.h"

#include "support/TextAlloc.h"
#include "support/TraceEntry.h"
#include "support/WideChar.h"

#include <cstdlib>
#include <cstring>

namespace
{
const DWORD kMaxBuffSize = 0x7FFFFFFF;
const DWORD kMaxReplacedLen = 0x3FFFFFFF;

void MoveChars(WCHAR* pwcDest, const WCHAR* pwcSrc, DWORD dwCount)
{
    if (dwCount > 0)
        memmove(pwcDest, pwcSrc, (size_t)dwCount * sizeof(WCHAR));
}

// A text that lies inside the buffer being edited would move under the edit;
// such a text is worked on from a copy. Null when the copy cannot be made.
class CEditSource
{
public:
    CEditSource(const WCHAR* pwcText, DWORD dwLen, const WCHAR* pwcBuff, DWORD dwBuffSize)
        : m_pwcCopy(nullptr), m_pwcText(pwcText)
    {
        bool bOwn = pwcBuff != nullptr && pwcText >= pwcBuff && pwcText < pwcBuff + dwBuffSize;
        if (!bOwn)
            return;
        m_pwcCopy = AllocWideChars(dwLen + 1);
        if (m_pwcCopy != nullptr)
        {
            MoveChars(m_pwcCopy, pwcText, dwLen);
            m_pwcCopy[dwLen] = 0;
        }
        m_pwcText = m_pwcCopy;
    }
    ~CEditSource() { free(m_pwcCopy); }
    CEditSource(const CEditSource&) = delete;
    CEditSource& operator=(const CEditSource&) = delete;

    const WCHAR* Text() const { return m_pwcText; }

private:
    WCHAR* m_pwcCopy;
    const WCHAR* m_pwcText;
};
} // namespace

int CMyWString::Insert(DWORD dwIndex, const WCHAR* pwcStr, DWORD dwCount)
{
    if (m_bError || pwcStr == nullptr)
        return 0;
    DWORD dwLen = WideStrLen(pwcStr);
    if (dwCount == 0 || dwCount > dwLen)
        dwCount = dwLen;
    if (dwCount == 0)
        return 1;
    if (dwCount >= kMaxBuffSize)
        return 0;
    if (dwIndex >= m_dwStrLen)
        return AddSector(pwcStr, 0, dwCount, 0);
    DWORD dwNewLen;
    if ((uint64_t)m_dwStrLen + dwCount >= kMaxBuffSize)
    {
        dwNewLen = kMaxBuffSize - 1;
        dwCount = dwNewLen - m_dwStrLen;
    }
    else
        dwNewLen = m_dwStrLen + dwCount;
    if (m_dwBuffSize > dwNewLen)
    {
        CEditSource src(pwcStr, dwCount, m_pwcBuff, m_dwBuffSize);
        if (src.Text() == nullptr)
            return 0;
        MoveChars(m_pwcBuff + dwIndex + dwCount, m_pwcBuff + dwIndex, m_dwStrLen - dwIndex);
        MoveChars(m_pwcBuff + dwIndex, src.Text(), dwCount);
        m_pwcBuff[dwNewLen] = 0;
        m_dwStrLen = dwNewLen;
        return 1;
    }
    DWORD dwNewSize = dwNewLen + 2048;
    if (dwNewSize > kMaxBuffSize || dwNewSize < dwNewLen)
        dwNewSize = kMaxBuffSize;
    WCHAR* pwcNew = AllocWideChars(dwNewSize);
    if (pwcNew == nullptr)
    {
        WriteTraceEntry("※　バッファ確保に失敗。CMyWString::Insert()\n\tCurStrSize[%u], "
                        "NewStrSize[%u], NewBuffSize[%u]\n",
                        m_dwStrLen, dwNewLen, dwNewSize);
        return 0;
    }
    MoveChars(pwcNew, m_pwcBuff, dwIndex);
    MoveChars(pwcNew + dwIndex, pwcStr, dwCount);
    MoveChars(pwcNew + dwIndex + dwCount, m_pwcBuff + dwIndex, m_dwStrLen - dwIndex);
    pwcNew[dwNewLen] = 0;
    free(m_pwcBuff);
    m_pwcBuff = pwcNew;
    m_dwBuffSize = dwNewSize;
    m_dwStrLen = dwNewLen;
    m_bError = 0;
    return 1;
}

int CMyWString::Replace(DWORD dwIndex, DWORD dwCount, const WCHAR* pwcStr, DWORD dwStrLen)
{
    if (m_dwStrLen == 0)
        return SetData(pwcStr, dwStrLen);
    if (dwIndex >= m_dwStrLen)
        return 0;
    if (dwCount > m_dwStrLen - dwIndex)
        dwCount = m_dwStrLen - dwIndex;
    // A length beyond the text would read past its terminator: the text ends it.
    DWORD dwTextLen = WideStrLen(pwcStr);
    if (dwStrLen == 0 || dwStrLen > dwTextLen)
        dwStrLen = dwTextLen;
    if (dwStrLen == 0)
        return DeleteSector(dwIndex, dwCount);
    CEditSource src(pwcStr, dwStrLen, m_pwcBuff, m_dwBuffSize);
    if (src.Text() == nullptr)
        return 0;
    DWORD dwTailIndex = dwIndex + dwCount;
    DWORD dwTailLen = m_dwStrLen - dwTailIndex;
    if (dwStrLen <= dwCount)
    {
        MoveChars(m_pwcBuff + dwIndex, src.Text(), dwStrLen);
        if (dwStrLen < dwCount)
        {
            MoveChars(m_pwcBuff + dwIndex + dwStrLen, m_pwcBuff + dwTailIndex, dwTailLen);
            m_dwStrLen -= dwCount - dwStrLen;
            m_pwcBuff[m_dwStrLen] = 0;
        }
        return 1;
    }
    DWORD dwGrowth = dwStrLen - dwCount;
    if (m_dwBuffSize - m_dwStrLen - 1 >= dwGrowth)
    {
        MoveChars(m_pwcBuff + dwIndex + dwStrLen, m_pwcBuff + dwTailIndex, dwTailLen);
        MoveChars(m_pwcBuff + dwIndex, src.Text(), dwStrLen);
        m_dwStrLen += dwGrowth;
        m_pwcBuff[m_dwStrLen] = 0;
        return 1;
    }
    DWORD dwNeed = m_dwStrLen + dwGrowth + 1;
    bool bOverflow = (uint64_t)m_dwStrLen + 1 + dwGrowth > 0xFFFFFFFFu;
    DWORD dwNewSize = bOverflow ? 0 : GrowBuffSize(m_dwBuffSize, dwNeed);
    if (dwNewSize == 0 || dwNeed - 1 > kMaxReplacedLen)
    {
        WriteTraceEntry("※　置換後の文字列長が大きすぎます。CMyWString::Replace()\n\t"
                        "dwEstStrLen[%u]\n",
                        dwNeed - 1);
        return 0;
    }
    if (!ResizeBuffAndMoveSector(dwNewSize, dwIndex, dwTailIndex, dwIndex + dwStrLen, dwTailLen))
    {
        WriteTraceEntry("※　置換時のバッファ拡張に失敗。CMyWString::Replace()\n\t"
                        "dwNewBuffSize[%u]\n",
                        dwNewSize);
        return 0;
    }
    MoveChars(m_pwcBuff + dwIndex, src.Text(), dwStrLen);
    m_dwStrLen += dwGrowth;
    m_pwcBuff[m_dwStrLen] = 0;
    return 1;
}

// The search resumes after the text just put in, so a replacement that holds
// the text sought is not replaced again.
DWORD CMyWString::ReplaceAll(DWORD dwStart, const WCHAR* pwcFind, DWORD dwFindLen,
                             const WCHAR* pwcNew, DWORD dwNewLen, int bIgnoreCase)
{
    if (pwcFind == nullptr || dwStart >= m_dwStrLen)
        return 0;
    if (dwFindLen == 0 || dwFindLen == 0xFFFFFFFF)
        dwFindLen = WideStrLen(pwcFind);
    if (dwFindLen == 0 || dwFindLen > m_dwStrLen - dwStart)
        return 0;
    if (pwcNew == nullptr)
        pwcNew = WSTR("");
    if (dwNewLen == 0 || dwNewLen == 0xFFFFFFFF)
        dwNewLen = WideStrLen(pwcNew);
    CMyWString wstrNew(pwcNew, dwNewLen);
    CEditSource find(pwcFind, dwFindLen, m_pwcBuff, m_dwBuffSize);
    if (wstrNew.IsError() || find.Text() == nullptr)
        return 0;
    DWORD dwReplaced = 0;
    DWORD dwPos = Find(dwStart, find.Text(), dwFindLen, bIgnoreCase);
    while (dwPos != MYWSTR_NOT_FOUND)
    {
        if (Replace(dwPos, dwFindLen, wstrNew.GetString(), wstrNew.GetLength()))
            ++dwReplaced;
        dwPos = Find(dwPos + wstrNew.GetLength(), find.Text(), dwFindLen, bIgnoreCase);
    }
    return dwReplaced;
}

// Moves the string into a new buffer of dwNewBuffSize characters: the head
// stays at the front, the tail moves from dwTailSrcIndex to dwTailDestIndex.
// The caller fills the gap and sets the length.
int CMyWString::ResizeBuffAndMoveSector(DWORD dwNewBuffSize, DWORD dwHeadLen, DWORD dwTailSrcIndex,
                                        DWORD dwTailDestIndex, DWORD dwTailLen)
{
    if (dwHeadLen > m_dwStrLen || (uint64_t)dwTailSrcIndex + dwTailLen > m_dwStrLen ||
        dwHeadLen >= dwNewBuffSize || (uint64_t)dwTailDestIndex + dwTailLen >= dwNewBuffSize)
        return 0;
    WCHAR* pwcNew = AllocWideChars(dwNewBuffSize);
    if (pwcNew == nullptr)
    {
        WriteTraceEntry("※　バッファの確保に失敗しました。CMyWString::ResizeBuffAndMoveSector()\n\t"
                        "NewBuffSize[%u] , CurBuffSize[%u], CurStrLen[%u]\n",
                        dwNewBuffSize, m_dwBuffSize, m_dwStrLen);
        return 0;
    }
    MoveChars(pwcNew, m_pwcBuff, dwHeadLen);
    pwcNew[dwHeadLen] = 0;
    MoveChars(pwcNew + dwTailDestIndex, m_pwcBuff + dwTailSrcIndex, dwTailLen);
    free(m_pwcBuff);
    m_pwcBuff = pwcNew;
    m_dwBuffSize = dwNewBuffSize;
    return 1;
}

void CMyWString::Empty()
{
    m_dwStrLen = 0;
    if (m_pwcBuff != nullptr)
    {
        m_pwcBuff[0] = 0;
        m_bError = 0;
    }
}

int CMyWString::DeleteSector(DWORD dwIndex, DWORD dwCount)
{
    if (dwIndex >= m_dwStrLen)
        return 0;
    if (dwCount == 0)
        return 1;
    if (dwCount < m_dwStrLen - dwIndex)
    {
        MoveChars(m_pwcBuff + dwIndex, m_pwcBuff + dwIndex + dwCount,
                  m_dwStrLen - dwIndex - dwCount);
        m_dwStrLen -= dwCount;
    }
    else
        m_dwStrLen = dwIndex;
    m_pwcBuff[m_dwStrLen] = 0;
    return 1;
}

int CMyWString::TrimToRange(DWORD dwFirst, DWORD dwLast)
{
    if (m_dwStrLen == 0)
        return 0;
    if (dwLast < dwFirst)
    {
        DWORD dwSwap = dwFirst;
        dwFirst = dwLast;
        dwLast = dwSwap;
    }
    if (dwFirst >= m_dwStrLen)
        return 0;
    if (dwLast > m_dwStrLen - 1)
        dwLast = m_dwStrLen - 1;
    m_dwStrLen = dwLast - dwFirst + 1;
    MoveChars(m_pwcBuff, m_pwcBuff + dwFirst, m_dwStrLen);
    m_pwcBuff[m_dwStrLen] = 0;
    return 1;
}

int CMyWString::TrimToSector(DWORD dwIndex, DWORD dwCount)
{
    if (m_dwStrLen == 0 || dwIndex >= m_dwStrLen)
        return 0;
    if (dwCount > m_dwStrLen - dwIndex)
        dwCount = m_dwStrLen - dwIndex;
    MoveChars(m_pwcBuff, m_pwcBuff + dwIndex, dwCount);
    m_dwStrLen = dwCount;
    m_pwcBuff[m_dwStrLen] = 0;
    return 1;
}

DWORD CMyWString::RemoveChars(const WCHAR* pwcSet)
{
    if (pwcSet == nullptr || pwcSet[0] == 0 || m_dwStrLen == 0)
        return 0;
    DWORD dwKept = 0;
    for (DWORD i = 0; i < m_dwStrLen; ++i)
        if (!IsWideCharInSet(m_pwcBuff[i], pwcSet))
            m_pwcBuff[dwKept++] = m_pwcBuff[i];
    DWORD dwRemoved = m_dwStrLen - dwKept;
    m_dwStrLen = dwKept;
    m_pwcBuff[m_dwStrLen] = 0;
    return dwRemoved;
}

DWORD CMyWString::RemovePrefix(const WCHAR* pwcPrefix, DWORD dwPrefixLen)
{
    if (pwcPrefix == nullptr || m_dwStrLen == 0)
        return m_dwStrLen;
    if (dwPrefixLen == 0 || dwPrefixLen == 0xFFFFFFFF)
        dwPrefixLen = WideStrLen(pwcPrefix);
    if (dwPrefixLen == 0 || dwPrefixLen > m_dwStrLen ||
        CompareWideN(m_pwcBuff, pwcPrefix, dwPrefixLen, 0) != 0)
        return m_dwStrLen;
    DeleteSector(0, dwPrefixLen);
    return m_dwStrLen;
}

int CMyWString::SetBuffSize(DWORD dwNewBuffSize)
{
    if (dwNewBuffSize == 0xFFFFFFFF)
        dwNewBuffSize = kMaxBuffSize;
    // A capacity of 0 could not even hold the terminator.
    if (dwNewBuffSize > kMaxBuffSize || dwNewBuffSize == 0)
        return 0;
    WCHAR* pwcNew = AllocWideChars(dwNewBuffSize);
    if (pwcNew == nullptr)
        return 0;
    DWORD dwKeep = m_dwStrLen < dwNewBuffSize - 1 ? m_dwStrLen : dwNewBuffSize - 1;
    MoveChars(pwcNew, m_pwcBuff, dwKeep);
    pwcNew[dwKeep] = 0;
    free(m_pwcBuff);
    m_pwcBuff = pwcNew;
    m_dwBuffSize = dwNewBuffSize;
    m_dwStrLen = dwKeep;
    m_bError = 0;
    return 1;
}
