// CMyWString: construction, assignment, appending, SetData and the growth rule.
#include "support/MyWString.h"

#include "support/SJisByteType.h"
#include "support/SJisConv.h"
#include "support/TextAlloc.h"
#include "support/TraceEntry.h"
#include "support/WideChar.h"

#include <cstdlib>
#include <cstring>

namespace
{
const DWORD kMaxBuffSize = 0x7FFFFFFF;
const DWORD kGrowStepLimit = 0x3FC00000;

const WCHAR kEmptyText[1] = {0};

DWORD MaxDword(DWORD a, DWORD b)
{
    return a > b ? a : b;
}
} // namespace

CMyWString::CMyWString() : m_pwcBuff(nullptr), m_dwBuffSize(0), m_dwStrLen(0), m_bError(0)
{
    m_pwcBuff = AllocWideChars(DEFAULT_BUFF_SIZE);
    if (m_pwcBuff == nullptr)
    {
        m_bError = 1;
        return;
    }
    memset(m_pwcBuff, 0, DEFAULT_BUFF_SIZE * sizeof(WCHAR));
    m_dwBuffSize = DEFAULT_BUFF_SIZE;
}

CMyWString::CMyWString(const char* pcStr)
    : m_pwcBuff(nullptr), m_dwBuffSize(0), m_dwStrLen(0), m_bError(0)
{
    DWORD dwInputLen = 0;
    DWORD dwNeedSize = DEFAULT_BUFF_SIZE;
    if (pcStr != nullptr)
    {
        dwInputLen = (DWORD)strlen(pcStr);
        DWORD dwWideLen = CountSJisWideChars(pcStr, dwInputLen);
        if (dwWideLen > 0x3FFFFFFF)
        {
            // Keep the text within reach of the 32-bit sizes, without
            // splitting the character that straddles the cut.
            dwInputLen =
                GetSJisByteType(pcStr, 0x1FFFFFFE) == SJIS_BYTE_LEAD ? 0x20000000 : 0x1FFFFFFF;
            dwWideLen = CountSJisWideChars(pcStr, dwInputLen);
        }
        dwNeedSize = MaxDword(dwWideLen + 1, DEFAULT_BUFF_SIZE);
    }
    m_pwcBuff = AllocWideChars(dwNeedSize);
    if (m_pwcBuff == nullptr)
    {
        m_bError = 1;
        WriteTraceEntry("※　バッファ確保に失敗。CMyWString::CMyWString(const char *pcStr)\n\t"
                        "NeedBuffSize[%u], InputStrLen[%u]\n",
                        dwNeedSize, dwInputLen);
        return;
    }
    m_dwBuffSize = dwNeedSize;
    DWORD dwDone = 0;
    if (ConvSJisToWideCharGetLen(m_pwcBuff, pcStr, m_dwBuffSize, dwInputLen, &dwDone))
        m_dwStrLen = dwDone;
    else
    {
        WriteTraceEntry("※　ワイド文字への変換に失敗。CMyWString::CMyWString(const char "
                        "*pcStr)\n\tNeedBuffSize[%u], InputStrLen[%u]\n",
                        dwNeedSize, dwInputLen);
        m_pwcBuff[0] = 0;
        m_dwStrLen = 0;
    }
}

CMyWString::CMyWString(const WCHAR* pwcStr, DWORD dwMaxCount)
    : m_pwcBuff(nullptr), m_dwBuffSize(0), m_dwStrLen(0), m_bError(0)
{
    DWORD dwLen = WideStrLen(pwcStr);
    if (dwMaxCount != 0 && dwMaxCount != 0xFFFFFFFF && dwMaxCount <= dwLen)
        dwLen = dwMaxCount;
    if (dwLen > kMaxBuffSize - 1)
        dwLen = kMaxBuffSize - 1;
    DWORD dwBuffSize = MaxDword(dwLen + 1, DEFAULT_BUFF_SIZE);
    m_pwcBuff = AllocWideChars(dwBuffSize);
    if (m_pwcBuff == nullptr)
    {
        m_bError = 1;
        return;
    }
    m_dwBuffSize = dwBuffSize;
    if (dwLen > 0)
        memcpy(m_pwcBuff, pwcStr, dwLen * sizeof(WCHAR));
    memset(m_pwcBuff + dwLen, 0, (size_t)(dwBuffSize - dwLen) * sizeof(WCHAR));
    m_dwStrLen = dwLen;
}

CMyWString::~CMyWString()
{
    FreeBuff();
}

void CMyWString::FreeBuff()
{
    free(m_pwcBuff);
    m_pwcBuff = nullptr;
    m_dwBuffSize = 0;
    m_dwStrLen = 0;
}

const WCHAR* CMyWString::GetString() const
{
    return m_pwcBuff != nullptr ? m_pwcBuff : kEmptyText;
}

// Needed below 5,000,000 grows fourfold, below 250,000,000 by half, beyond
// that by steps of 64,000,000 up to 0x3FC00000. The product is formed in
// double precision as capacity * (needed / capacity) * factor, which can come
// out one below needed * factor; each step is rounded to double on purpose,
// so that x87 builds give the same capacities as SSE builds.
DWORD CMyWString::GrowBuffSize(DWORD dwCurBuffSize, DWORD dwNeedSize)
{
    DWORD dwNew;
    if (dwNeedSize >= 250000000)
    {
        uint64_t qwSum = (uint64_t)dwNeedSize + 64000000;
        if (qwSum >= kGrowStepLimit)
            return 0;
        dwNew = (DWORD)qwSum;
    }
    else
    {
        double dFactor = dwNeedSize < 5000000 ? 4.0 : 1.5;
        volatile double dBase = (double)dwNeedSize;
        if (dwCurBuffSize != 0)
        {
            volatile double dRatio = (double)dwNeedSize / (double)dwCurBuffSize;
            dBase = (double)dwCurBuffSize * dRatio;
        }
        volatile double dNew = dBase * dFactor;
        dwNew = (DWORD)dNew;
    }
    return dwNew > kMaxBuffSize ? kMaxBuffSize : dwNew;
}

CMyWString& CMyWString::operator=(const WCHAR* pwcStr)
{
    DWORD dwLen = WideStrLen(pwcStr);
    if (dwLen == 0)
    {
        Empty();
        return *this;
    }
    DWORD dwNeed = dwLen + 1;
    if ((int32_t)dwNeed < 0)
    {
        WriteTraceEntry("※　期待バッファサイズが大きすぎます。CMyWString::operator=()\n\t"
                        "NewStrLen[%d]\n",
                        (int32_t)dwNeed);
        m_bError = 1;
        return *this;
    }
    if (m_dwBuffSize < dwNeed)
    {
        DWORD dwNewSize = GrowBuffSize(m_dwBuffSize, dwNeed);
        if (dwNewSize == 0)
        {
            WriteTraceEntry("※　期待バッファサイズが大きすぎます。CMyWString::operator=()\n\t"
                            "NewBuffSize[%d]\n",
                            -1);
            m_bError = 1;
            return *this;
        }
        // The old buffer goes first; a failed allocation leaves no content.
        FreeBuff();
        m_pwcBuff = AllocWideChars(dwNewSize);
        if (m_pwcBuff == nullptr)
        {
            WriteTraceEntry("※　バッファ確保に失敗。CMyWString::operator=()\n\tNewBuffSize[%u]\n",
                            dwNewSize);
            m_bError = 1;
            return *this;
        }
        m_dwBuffSize = dwNewSize;
    }
    // memmove: the text may be this string's own (s = s.GetString() + 1).
    memmove(m_pwcBuff, pwcStr, (size_t)dwNeed * sizeof(WCHAR));
    m_dwStrLen = dwLen;
    return *this;
}

CMyWString& CMyWString::operator=(const CMyWString& wstr)
{
    if (&wstr == this)
        return *this;
    return operator=(wstr.m_pwcBuff);
}

CMyWString& CMyWString::operator=(const char* pcStr)
{
    if (pcStr == nullptr)
        return *this;
    DWORD dwTempSize = (DWORD)strlen(pcStr) + 1;
    WCHAR* pwcTemp = AllocWideChars(dwTempSize);
    if (pwcTemp == nullptr)
    {
        m_bError = 1;
        WriteTraceEntry("※　バッファの確保に失敗。CMyWString::operator=(const char *pcStr)\n\t"
                        "NewBuffSize[%u]\n",
                        dwTempSize);
        return *this;
    }
    ConvSJisToWideCharBuff(pwcTemp, pcStr);
    operator=(pwcTemp);
    free(pwcTemp);
    return *this;
}

CMyWString& CMyWString::operator+(const WCHAR* pwcStr)
{
    if (pwcStr != nullptr)
        AppendChars(pwcStr, WideStrLen(pwcStr), 0);
    return *this;
}

CMyWString& CMyWString::operator+(const CMyWString& wstr)
{
    return operator+(wstr.m_pwcBuff);
}

int CMyWString::AddStr(const WCHAR* pwcStr, int bLineFeed)
{
    if (pwcStr == nullptr)
        return 0;
    return AppendChars(pwcStr, WideStrLen(pwcStr), bLineFeed);
}

int CMyWString::AddSector(const WCHAR* pwcStr, DWORD dwStart, DWORD dwCount, int bLineFeed)
{
    if (pwcStr == nullptr)
        return 0;
    DWORD dwLen = WideStrLen(pwcStr);
    if (dwLen == 0)
        return 1;
    if (dwStart >= dwLen)
        return 0;
    if (dwCount > dwLen - dwStart)
        dwCount = dwLen - dwStart;
    return AppendChars(pwcStr + dwStart, dwCount, bLineFeed);
}

// The common end of operator+, AddStr and AddSector.
int CMyWString::AppendChars(const WCHAR* pwcStr, DWORD dwCount, int bLineFeed)
{
    if (dwCount == 0)
        return 1;
    uint64_t qwNeed = (uint64_t)m_dwStrLen + dwCount + (bLineFeed ? 1 : 0) + 1;
    if (qwNeed >= 0x80000000u)
    {
        WriteTraceEntry("※　期待バッファサイズが大きすぎます。CMyWString::operator+()\n\t"
                        "NewStrLen[%I64d]\n",
                        (int64_t)qwNeed);
        m_bError = 1;
        return 0;
    }
    DWORD dwNeed = (DWORD)qwNeed;
    if (m_dwBuffSize < dwNeed)
    {
        DWORD dwNewSize = GrowBuffSize(m_dwBuffSize, dwNeed);
        if (dwNewSize == 0)
        {
            WriteTraceEntry("※　期待バッファサイズが大きすぎます。CMyWString::operator+()\n\t"
                            "NewStrLen[%I64d]\n",
                            (int64_t)qwNeed);
            m_bError = 1;
            return 0;
        }
        WCHAR* pwcNew = AllocWideChars(dwNewSize);
        if (pwcNew == nullptr)
        {
            WriteTraceEntry("※　バッファ確保に失敗。CMyWString::operator+()\n\tNewBuffSize[%u]\n",
                            dwNewSize);
            m_bError = 1;
            return 0;
        }
        if (m_dwStrLen > 0)
            memcpy(pwcNew, m_pwcBuff, (size_t)m_dwStrLen * sizeof(WCHAR));
        // The appended text may lie in the old buffer: copy it before freeing.
        memcpy(pwcNew + m_dwStrLen, pwcStr, (size_t)dwCount * sizeof(WCHAR));
        free(m_pwcBuff);
        m_pwcBuff = pwcNew;
        m_dwBuffSize = dwNewSize;
    }
    else
        memmove(m_pwcBuff + m_dwStrLen, pwcStr, (size_t)dwCount * sizeof(WCHAR));
    m_dwStrLen += dwCount;
    if (bLineFeed)
        m_pwcBuff[m_dwStrLen++] = 0x000A;
    m_pwcBuff[m_dwStrLen] = 0;
    return 1;
}

int CMyWString::SetData(const WCHAR* pwcStr, DWORD dwCount)
{
    if (pwcStr == nullptr)
        return 0;
    if (dwCount == 0 || dwCount == 0xFFFFFFFF)
        dwCount = WideStrLen(pwcStr);
    if (dwCount == 0)
    {
        Empty();
        return 1;
    }
    if (dwCount >= m_dwBuffSize)
    {
        DWORD dwNeed = dwCount < 0xFFFFFC18 ? dwCount + 1000 : dwCount + 1;
        // The text may be this string's own: keep the old buffer until copied.
        WCHAR* pwcOld = m_pwcBuff;
        m_pwcBuff = nullptr;
        m_dwBuffSize = 0;
        m_dwStrLen = 0;
        WCHAR* pwcNew = AllocWideChars(dwNeed);
        if (pwcNew == nullptr)
        {
            free(pwcOld);
            m_bError = 1;
            WriteTraceEntry("※　バッファの確保に失敗。CMyWString::SetData()\n\tNeedSize[%u]\n",
                            dwNeed);
            return 0;
        }
        DWORD i = 0;
        for (; i < dwCount && pwcStr[i] != 0; ++i)
            pwcNew[i] = pwcStr[i];
        pwcNew[i] = 0;
        free(pwcOld);
        m_pwcBuff = pwcNew;
        m_dwBuffSize = dwNeed;
        m_dwStrLen = i;
        return 1;
    }
    DWORD i = 0;
    for (; i < dwCount && pwcStr[i] != 0; ++i)
        m_pwcBuff[i] = pwcStr[i];
    m_pwcBuff[i] = 0;
    m_dwStrLen = i;
    return 1;
}

int CMyWString::SetData(const char* pcStr, DWORD dwByteCount)
{
    if (pcStr == nullptr || dwByteCount > 0x7FFFFFFF)
        return 0;
    DWORD dwTextLen = (DWORD)strlen(pcStr);
    if (dwByteCount == 0 || dwByteCount > dwTextLen)
        dwByteCount = dwTextLen;
    if (dwByteCount == 0)
    {
        Empty();
        return 1;
    }
    DWORD dwWideLen = CountSJisSectorWideChars(pcStr, 0, dwByteCount);
    if (dwWideLen == 0)
    {
        Empty();
        return 0;
    }
    if (m_dwBuffSize < dwWideLen + 1)
    {
        FreeBuff();
        DWORD dwNeed = dwWideLen + 1001;
        m_pwcBuff = AllocWideChars(dwNeed);
        if (m_pwcBuff == nullptr)
        {
            WriteTraceEntry("※　バッファの確保に失敗。CMyWString::SetData()\n\tNeedSize[%u]\n",
                            dwNeed);
            m_bError = 1;
            return 0;
        }
        m_dwBuffSize = dwNeed;
    }
    int nDone = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, pcStr, (int)dwByteCount, m_pwcBuff,
                                    (int)m_dwBuffSize);
    m_dwStrLen = nDone > 0 ? (DWORD)nDone : 0;
    m_pwcBuff[m_dwStrLen] = 0;
    return 1;
}
