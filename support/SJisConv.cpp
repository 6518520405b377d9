// Shift-JIS and UTF-16 conversion over the platform's code-page services
// (ANSI code page, MB_PRECOMPOSED one way, no flags the other). Undecodable
// bytes and unmappable characters do not fail: the platform puts its
// replacement character in their place.
#include "support/SJisConv.h"

#include "support/SJisByteType.h"
#include "support/TextAlloc.h"
#include "support/TraceEntry.h"

#include <cstdlib>
#include <cstring>

namespace
{
const DWORD kIntMax = 0x7FFFFFFF;

// MultiByteToWideChar with unsigned counts: a length above INT_MAX would read
// as "up to the terminator", so it fails instead. Null pwcDest asks the count.
int SJisToWide(const char* pcSrc, DWORD dwSrcLen, WCHAR* pwcDest, DWORD dwDestSize)
{
    if (dwSrcLen == 0 || dwSrcLen > kIntMax)
        return 0;
    int nDest = pwcDest == nullptr ? 0 : (int)(dwDestSize > kIntMax ? kIntMax : dwDestSize);
    return MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, pcSrc, (int)dwSrcLen, pwcDest, nDest);
}

int WideToSJis(const WCHAR* pwcSrc, DWORD dwSrcLen, char* pcDest, DWORD dwDestSize)
{
    if (dwSrcLen == 0 || dwSrcLen > kIntMax)
        return 0;
    int nDest = pcDest == nullptr ? 0 : (int)(dwDestSize > kIntMax ? kIntMax : dwDestSize);
    return WideCharToMultiByte(CP_ACP, 0, pwcSrc, (int)dwSrcLen, pcDest, nDest, nullptr, nullptr);
}

void SetOutCount(DWORD* pdwCount, DWORD dwValue)
{
    if (pdwCount != nullptr)
        *pdwCount = dwValue;
}

// The failure ending of ConvSJisToWideCharGetLen: empty result, count 0.
int FailEmpty(WCHAR* pwcResultBuff, DWORD* pdwResultLen)
{
    pwcResultBuff[0] = 0;
    SetOutCount(pdwResultLen, 0);
    return 0;
}
} // namespace

int ConvSJisToWideCharGetLen(WCHAR* pwcResultBuff, const char* pcSrcStr, DWORD dwResultBuffSize,
                             DWORD dwSrcLen, DWORD* pdwResultLen)
{
    if (pwcResultBuff == nullptr || pcSrcStr == nullptr || dwResultBuffSize < 2)
    {
        WriteTraceEntry("※　引数が無効です。ConvSJisToWideCharGetLen()\n\tpwcResultBuff[%08X], "
                        "pcSrcStr[%08X], dwResultBuffSize[%u]\n",
                        TraceAddress(pwcResultBuff), TraceAddress(pcSrcStr), dwResultBuffSize);
        SetOutCount(pdwResultLen, 0);
        if (pwcResultBuff != nullptr)
            pwcResultBuff[0] = 0;
        return 0;
    }
    if (dwSrcLen == 0)
    {
        pwcResultBuff[0] = 0;
        SetOutCount(pdwResultLen, 0);
        return 1;
    }
    int iType = GetSJisByteType(pcSrcStr, dwSrcLen - 1);
    if (iType == SJIS_BYTE_INVALID)
    {
        // A length beyond the text's end shrinks to the text. A broken pair
        // inside the length keeps the length: its bytes convert to the
        // replacement character, and nothing beyond what was asked is read.
        DWORD dwTextLen = (DWORD)strnlen(pcSrcStr, dwSrcLen);
        if (dwTextLen < dwSrcLen)
        {
            dwSrcLen = dwTextLen;
            if (dwSrcLen == 0)
                return FailEmpty(pwcResultBuff, pdwResultLen);
            iType = GetSJisByteType(pcSrcStr, dwSrcLen - 1);
        }
    }
    if (iType == SJIS_BYTE_LEAD)
    {
        // The character's second byte lies beyond the length: leave it out.
        if (dwSrcLen == 1)
            return FailEmpty(pwcResultBuff, pdwResultLen);
        --dwSrcLen;
    }
    int nDone = SJisToWide(pcSrcStr, dwSrcLen, pwcResultBuff, dwResultBuffSize);
    if (nDone <= 0)
        return FailEmpty(pwcResultBuff, pdwResultLen);
    DWORD dwEnd = (DWORD)nDone < dwResultBuffSize ? (DWORD)nDone : dwResultBuffSize - 1;
    pwcResultBuff[dwEnd] = 0;
    SetOutCount(pdwResultLen, dwEnd);
    return 1;
}

WCHAR* ConvSJisToWideChar(const char* pcSrcStr, DWORD dwSrcLen, DWORD* pdwResultLen)
{
    SetOutCount(pdwResultLen, 0);
    if (pcSrcStr == nullptr)
    {
        WriteTraceEntry("※　引数が無効です。ConvSJisToWideChar()\n\tpcSrcStr[%08X], dwSrcLen[%u]\n",
                        TraceAddress(pcSrcStr), dwSrcLen);
        return nullptr;
    }
    if (dwSrcLen == 0)
        dwSrcLen = (DWORD)strlen(pcSrcStr);
    if (dwSrcLen == 0)
        return nullptr;
    // The byte's value alone decides, so a text ending in the second byte
    // 0x9F of a complete character is refused too.
    if (IsSJisLeadByte((BYTE)pcSrcStr[dwSrcLen - 1]))
    {
        WriteTraceEntry("※　末尾がSJIS1バイト目なのでワイド文字に変換できません。"
                        "ConvSJisToWideChar()\n");
        return nullptr;
    }
    int nNeed = SJisToWide(pcSrcStr, dwSrcLen, nullptr, 0);
    if (nNeed <= 0)
        return nullptr;
    DWORD dwBuffSize = (DWORD)nNeed + 1;
    WCHAR* pwcBuff = AllocWideChars(dwBuffSize);
    if (pwcBuff == nullptr)
    {
        WriteTraceEntry("※　バッファの確保に失敗。ConvSJisToWideChar()\n\tNeedBuffSize[%u]\n",
                        dwBuffSize);
        return nullptr;
    }
    int nDone = SJisToWide(pcSrcStr, dwSrcLen, pwcBuff, dwBuffSize);
    if (nDone <= 0)
    {
        free(pwcBuff);
        WriteTraceEntry("※　ワイド文字への変換に失敗。ConvSJisToWideChar()\n\tNeedBuffSize[%u]\n",
                        dwBuffSize);
        return nullptr;
    }
    pwcBuff[nDone] = 0;
    SetOutCount(pdwResultLen, (DWORD)nDone);
    return pwcBuff;
}

char* ConvWideCharToSJis(const WCHAR* pwcSrcStr, DWORD dwSrcLen, DWORD* pdwResultLen)
{
    SetOutCount(pdwResultLen, 0);
    if (pwcSrcStr == nullptr)
    {
        WriteTraceEntry(
            "※　引数が無効です。ConvWideCharToSJis()\n\tpwcSrcStr[%08X], dwSrcLen[%u]\n",
            TraceAddress(pwcSrcStr), dwSrcLen);
        return nullptr;
    }
    if (dwSrcLen == 0)
    {
        while (pwcSrcStr[dwSrcLen] != 0)
            ++dwSrcLen;
        if (dwSrcLen == 0)
            return nullptr;
    }
    int nNeed = WideToSJis(pwcSrcStr, dwSrcLen, nullptr, 0);
    if (nNeed <= 0)
        return nullptr;
    DWORD dwBuffSize = (DWORD)nNeed + 1;
    char* pcBuff = AllocSJisBytes(dwBuffSize);
    if (pcBuff == nullptr)
    {
        WriteTraceEntry("※　バッファの確保に失敗。ConvWideCharToSJis()\n\tNeedBuffSize[%u]\n",
                        dwBuffSize);
        return nullptr;
    }
    int nDone = WideToSJis(pwcSrcStr, dwSrcLen, pcBuff, dwBuffSize);
    if (nDone <= 0)
    {
        free(pcBuff);
        WriteTraceEntry("※　ワイド文字への変換に失敗。ConvWideCharToSJis()\n\tNeedBuffSize[%u]\n",
                        dwBuffSize);
        return nullptr;
    }
    pcBuff[nDone] = '\0';
    SetOutCount(pdwResultLen, (DWORD)nDone);
    return pcBuff;
}

WCHAR* ConvSJisToNewWideChar(const char* pcSrcStr)
{
    DWORD dwSrcLen = pcSrcStr != nullptr ? (DWORD)strlen(pcSrcStr) : 0;
    int nNeed = SJisToWide(pcSrcStr, dwSrcLen, nullptr, 0);
    if (nNeed <= 0)
        return nullptr;
    WCHAR* pwcBuff = AllocWideChars((DWORD)nNeed + 1);
    if (pwcBuff == nullptr)
        return nullptr;
    int nDone = SJisToWide(pcSrcStr, dwSrcLen, pwcBuff, (DWORD)nNeed);
    pwcBuff[nDone > 0 ? nDone : 0] = 0;
    return pwcBuff;
}

int ConvSJisToWideCharBuff(WCHAR* pwcResultBuff, const char* pcSrcStr)
{
    if (pwcResultBuff == nullptr)
        return 0;
    DWORD dwSrcLen = pcSrcStr != nullptr ? (DWORD)strlen(pcSrcStr) : 0;
    int nNeed = SJisToWide(pcSrcStr, dwSrcLen, nullptr, 0);
    int nDone = nNeed > 0 ? SJisToWide(pcSrcStr, dwSrcLen, pwcResultBuff, (DWORD)nNeed) : 0;
    pwcResultBuff[nDone > 0 ? nDone : 0] = 0;
    return nDone > 0;
}

DWORD CountSJisWideChars(const char* pcSrcStr, DWORD dwSrcLen)
{
    if (pcSrcStr == nullptr)
        return 0;
    int nNeed = SJisToWide(pcSrcStr, dwSrcLen, nullptr, 0);
    return nNeed > 0 ? (DWORD)nNeed : 0;
}

DWORD CountSJisSectorWideChars(const char* pcSrcStr, DWORD dwOffset, DWORD dwCount)
{
    if (pcSrcStr == nullptr)
        return 0;
    DWORD dwTextLen = (DWORD)strlen(pcSrcStr);
    if (dwOffset >= dwTextLen)
        return 0;
    DWORD dwRest = dwTextLen - dwOffset;
    if (dwCount == 0 || dwCount > dwRest)
        dwCount = dwRest;
    return CountSJisWideChars(pcSrcStr + dwOffset, dwCount);
}
