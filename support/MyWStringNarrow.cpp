// CMyWString: narrow (Shift-JIS) output and splitting into narrow fields.
#include "support/MyWString.h"

#include "support/TextAlloc.h"
#include "support/TraceEntry.h"
#include "support/WideChar.h"

#include <cstdlib>

namespace
{
// The Shift-JIS bytes of dwCount characters as a new array, or null after a
// trace entry under pcName ("GetSectorData" or "GetSectorDataA").
char* ConvertSector(const WCHAR* pwcSrc, DWORD dwCount, const char* pcName)
{
    int nBytes =
        dwCount == 0 || dwCount > 0x7FFFFFFF
            ? 0
            : WideCharToMultiByte(CP_ACP, 0, pwcSrc, (int)dwCount, nullptr, 0, nullptr, nullptr);
    if (nBytes <= 0)
    {
        WriteTraceEntry("※　ワイド文字からの変換予定バイト数が出せません。CMyWString::%s()\n",
                        pcName);
        return nullptr;
    }
    DWORD dwTempSize = (DWORD)nBytes + 1;
    char* pcTemp = AllocSJisBytes(dwTempSize);
    if (pcTemp == nullptr)
    {
        WriteTraceEntry("※　バッファ確保に失敗。CMyWString::%s()\n\tTempBuffSize[%u]\n", pcName,
                        dwTempSize);
        return nullptr;
    }
    int nDone =
        WideCharToMultiByte(CP_ACP, 0, pwcSrc, (int)dwCount, pcTemp, nBytes, nullptr, nullptr);
    if (nDone <= 0)
    {
        free(pcTemp);
        WriteTraceEntry("※　ワイド文字からの変換に失敗。CMyWString::%s()\n\tTempBuffSize[%u]\n",
                        pcName, dwTempSize);
        return nullptr;
    }
    pcTemp[nDone] = '\0';
    return pcTemp;
}
} // namespace

CString CMyWString::GetSectorData(DWORD dwStart, DWORD dwCount) const
{
    if (dwStart >= m_dwStrLen)
        return CString();
    if (dwCount == 0 || dwCount > m_dwStrLen - dwStart)
        dwCount = m_dwStrLen - dwStart;
    char* pcBytes = ConvertSector(m_pwcBuff + dwStart, dwCount, "GetSectorData");
    if (pcBytes == nullptr)
        return CString();
    CString strResult(pcBytes);
    free(pcBytes);
    return strResult;
}

// A count of 0 stays 0 here and fails at the byte count, with its entry.
char* CMyWString::GetSectorDataA(DWORD dwStart, DWORD dwCount) const
{
    char* pcBytes = nullptr;
    if (dwStart < m_dwStrLen)
    {
        if (dwCount > m_dwStrLen - dwStart)
            dwCount = m_dwStrLen - dwStart;
        pcBytes = ConvertSector(m_pwcBuff + dwStart, dwCount, "GetSectorDataA");
    }
    if (pcBytes == nullptr)
    {
        // The empty answer bypasses the replaceable allocator: one byte.
        pcBytes = (char*)malloc(1);
        if (pcBytes != nullptr)
            pcBytes[0] = '\0';
    }
    return pcBytes;
}

int CMyWString::CopySectorTo(CString* pstrDest, DWORD dwStart, DWORD dwCount) const
{
    if (pstrDest == nullptr)
        return 0;
    if (dwStart >= m_dwStrLen)
    {
        pstrDest->Empty();
        return 0;
    }
    if (dwCount == 0 || dwCount > m_dwStrLen - dwStart)
        dwCount = m_dwStrLen - dwStart;
    char* pcBytes = GetSectorDataA(dwStart, dwCount);
    *pstrDest = pcBytes != nullptr ? pcBytes : "";
    free(pcBytes);
    return 1;
}

CString CMyWString::GetCString() const
{
    CString strResult;
    CopySectorTo(&strResult, 0, 0);
    return strResult;
}

// Fields between separators; an empty field between two separators or before
// the first one is kept, a trailing separator adds none.
DWORD CMyWString::Split(CStringArray* parrDest, const WCHAR* pwcSeparators) const
{
    if (parrDest == nullptr)
        return 0;
    parrDest->RemoveAll();
    if (pwcSeparators == nullptr || pwcSeparators[0] == 0)
        return 0;
    DWORD dwFieldStart = 0;
    bool bFoundSeparator = false;
    DWORD dwPos = FindOneOf(0, pwcSeparators);
    while (dwPos != MYWSTR_NOT_FOUND)
    {
        bFoundSeparator = true;
        parrDest->Add(dwPos == dwFieldStart ? CString()
                                            : GetSectorData(dwFieldStart, dwPos - dwFieldStart));
        dwFieldStart = dwPos + 1;
        dwPos = FindOneOf(dwFieldStart, pwcSeparators);
    }
    if (bFoundSeparator ? dwFieldStart < m_dwStrLen : m_dwStrLen > 0)
        parrDest->Add(GetSectorData(dwFieldStart, 0));
    return (DWORD)parrDest->GetSize();
}
