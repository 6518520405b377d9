// CMyByteBuff: an owned, growable block of bytes.
#pragma once

#include "platform/Platform.h"

class CMyByteBuff
{
public:
    CMyByteBuff() = default;
    virtual ~CMyByteBuff();
    CMyByteBuff(const CMyByteBuff&) = delete;
    CMyByteBuff& operator=(const CMyByteBuff&) = delete;

    int Reserve(DWORD dwSize, int bKeep);
    int Reallocate(DWORD dwSize, int bKeep);

    BYTE* GetBuff() { return m_pbBuff; }
    const BYTE* GetBuff() const { return m_pbBuff; }
    DWORD GetCapacity() const { return m_dwCapacity; }
    DWORD GetLength() const { return m_dwLength; }
    // 0 (and nothing changed) when dwLength exceeds the capacity.
    int SetLength(DWORD dwLength);
    int IsOwned() const { return m_bOwned; }

private:
    void Release();

    BYTE* m_pbBuff = nullptr;
    DWORD m_dwCapacity = 0;
    DWORD m_dwLength = 0;
    int m_bOwned = 0;
};
