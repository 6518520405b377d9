// CMyByteBuff: an owned, growable block of bytes.
#include "engine/ByteBuff.h"

#include <cstdlib>
#include <cstring>

CMyByteBuff::~CMyByteBuff()
{
    Release();
}

void CMyByteBuff::Release()
{
    free(m_pbBuff);
    m_pbBuff = nullptr;
    m_dwCapacity = 0;
    m_dwLength = 0;
    m_bOwned = 0;
}

// Grows only: 1 at once when the block already holds dwSize bytes.
int CMyByteBuff::Reserve(DWORD dwSize, int bKeep)
{
    if (m_pbBuff != nullptr && m_dwCapacity >= dwSize)
        return 1;
    return Reallocate(dwSize, bKeep);
}

// Replaces the block by one of exactly dwSize bytes. With bKeep the leading
// bytes that fit are carried over, and a failed allocation leaves the old
// block as it was; without it the old block is gone first. Bytes not carried
// over start as zeros. A size of 0 leaves no block.
int CMyByteBuff::Reallocate(DWORD dwSize, int bKeep)
{
    if (!bKeep)
        Release();
    if (dwSize == 0)
    {
        Release();
        return 1;
    }
    BYTE* pbNew = (BYTE*)WvAlloc(dwSize);
    if (pbNew == nullptr)
        return 0;
    DWORD dwKept = 0;
    if (m_pbBuff != nullptr)
    {
        dwKept = m_dwCapacity < dwSize ? m_dwCapacity : dwSize;
        memcpy(pbNew, m_pbBuff, dwKept);
        free(m_pbBuff);
    }
    m_pbBuff = pbNew;
    m_dwCapacity = dwSize;
    if (m_dwLength > dwKept)
        m_dwLength = dwKept;
    m_bOwned = 1;
    return 1;
}

int CMyByteBuff::SetLength(DWORD dwLength)
{
    if (dwLength > m_dwCapacity)
        return 0;
    m_dwLength = dwLength;
    return 1;
}
