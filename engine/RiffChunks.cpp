// RIFF chunks: fields, ids, the walk and its pad byte rule, chunk writing.
#include "engine/RiffChunks.h"

WORD GetLE16(const void* pv)
{
    const BYTE* pb = (const BYTE*)pv;
    return (WORD)(pb[0] | (pb[1] << 8));
}

DWORD GetLE32(const void* pv)
{
    const BYTE* pb = (const BYTE*)pv;
    return (DWORD)pb[0] | ((DWORD)pb[1] << 8) | ((DWORD)pb[2] << 16) | ((DWORD)pb[3] << 24);
}

ULONGLONG GetLE64(const void* pv)
{
    return (ULONGLONG)GetLE32(pv) | ((ULONGLONG)GetLE32((const BYTE*)pv + 4) << 32);
}

void PutLE(void* pv, ULONGLONG qw, int nBytes)
{
    BYTE* pb = (BYTE*)pv;
    for (int i = 0; i < nBytes; ++i)
        pb[i] = (BYTE)(qw >> (8 * i));
}

void AppendLE(std::string* pstr, ULONGLONG qw, int nBytes)
{
    for (int i = 0; i < nBytes; ++i)
        pstr->push_back((char)(BYTE)(qw >> (8 * i)));
}

void AppendChunk(std::string* pstr, const char* pcId, const std::string& strBody)
{
    pstr->append(pcId, 4);
    AppendLE(pstr, strBody.size(), 4);
    pstr->append(strBody);
    if (strBody.size() % 2 != 0)
        pstr->push_back('\0');
}

int IsChunkId(const void* pv)
{
    const BYTE* pb = (const BYTE*)pv;
    for (int i = 0; i < 4; ++i)
        if (pb[i] < 0x20 || pb[i] > 0x7E)
            return 0;
    return 1;
}

int IsTag(const void* pv, const char* pcTag)
{
    const BYTE* pb = (const BYTE*)pv;
    for (int i = 0; i < 4; ++i)
    {
        BYTE b = pb[i];
        BYTE t = (BYTE)pcTag[i];
        if (b >= 'a' && b <= 'z')
            b = (BYTE)(b - 32);
        if (t >= 'a' && t <= 'z')
            t = (BYTE)(t - 32);
        if (b != t)
            return 0;
    }
    return 1;
}

int CMyMemoryRiffBytes::ReadAt(ULONGLONG qwPos, DWORD dwCount, std::string* pstrOut)
{
    pstrOut->clear();
    if (qwPos > m_strBytes.size() || dwCount > m_strBytes.size() - qwPos)
        return 0;
    pstrOut->assign(m_strBytes, (size_t)qwPos, dwCount);
    return 1;
}

int CMyFileRiffBytes::ReadAt(ULONGLONG qwPos, DWORD dwCount, std::string* pstrOut)
{
    pstrOut->clear();
    const ULONGLONG qwEnd = m_pFile->GetFileSize();
    if (qwPos > qwEnd || dwCount > qwEnd - qwPos)
        return 0;
    while (pstrOut->size() < dwCount)
    {
        // Read limits itself by the recorded position, which it does not move.
        if (!m_pFile->Seek(qwPos + pstrOut->size()))
            return 0;
        DWORD dwGot = 0;
        const BYTE* pb = m_pFile->Read(dwCount - (DWORD)pstrOut->size(), &dwGot);
        if (pb == nullptr || dwGot == 0)
            return 0;
        pstrOut->append((const char*)pb, dwGot);
    }
    return 1;
}

int IsChunkHeaderAt(CMyRiffBytes* pBytes, ULONGLONG qwPos)
{
    std::string strHead;
    if (!pBytes->ReadAt(qwPos, 8, &strHead))
        return 0;
    const char* pc = strHead.data();
    return IsChunkId(pc) && (IsTag(pc, "data") || GetLE32(pc + 4) <= pBytes->GetEnd() - qwPos - 8);
}

ULONGLONG SkipChunkPad(CMyRiffBytes* pBytes, ULONGLONG qwBodyEnd, ULONGLONG qwSize)
{
    if ((qwSize & 1) == 0)
        return qwBodyEnd;
    if (IsChunkHeaderAt(pBytes, qwBodyEnd + 1) || !IsChunkHeaderAt(pBytes, qwBodyEnd))
        return qwBodyEnd + 1;
    return qwBodyEnd;
}

int CMyChunkWalk::Read(CMyChunk* pChunk)
{
    std::string strHead;
    if (!m_pBytes->ReadAt(m_qwPos, 8, &strHead))
        return 0;
    for (int i = 0; i < 4; ++i)
        pChunk->acId[i] = strHead[i];
    pChunk->dwSize = GetLE32(strHead.data() + 4);
    pChunk->qwPos = m_qwPos;
    return 1;
}

void CMyChunkWalk::Skip(const CMyChunk& chunk)
{
    m_qwPos = SkipChunkPad(m_pBytes, chunk.qwPos + 8 + chunk.dwSize, chunk.dwSize);
}
