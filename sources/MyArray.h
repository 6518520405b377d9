// The growable array of the source lists: records, free identifiers, indexes, folders.
#pragma once

#include "platform/Platform.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

// Every allocated element is constructed; elements 0 to count - 1 are in use.
// The storage comes from WvAlloc so that tests can make it fail. The count is
// atomic because the user-interface thread reads it as a progress figure while
// the add-files job appends.
template <class T> class CMyArray
{
public:
    CMyArray() = default;
    ~CMyArray() { Release(); }
    CMyArray(const CMyArray&) = delete;
    CMyArray& operator=(const CMyArray&) = delete;

    DWORD GetCount() const { return m_dwCount.load(std::memory_order_relaxed); }
    void SetCount(DWORD dwCount) { m_dwCount.store(dwCount, std::memory_order_relaxed); }
    DWORD GetCapacity() const { return m_dwCapacity; }
    int IsOwned() const { return m_bOwned; }
    T* GetData() { return m_pItems; }
    const T* GetData() const { return m_pItems; }
    T& operator[](DWORD dwIndex) { return m_pItems[dwIndex]; }
    const T& operator[](DWORD dwIndex) const { return m_pItems[dwIndex]; }

    // Replaces the storage by exactly dwNewCapacity default elements. With
    // bKeep the first min(old, new) elements are carried over and the count is
    // cut to fit; on failure the old storage is untouched. Without bKeep the
    // old storage is released first.
    //
    // Growing with bKeep reserves up to twice the old capacity behind the
    // capacity asked for, so that a list grown a thousand records at a time is
    // copied a few times instead of once per thousand. The reserve is never
    // visible: its elements stay default, the capacity is what was asked for,
    // and a reserve that cannot be had falls back to the exact size.
    int Reallocate(DWORD dwNewCapacity, int bKeep)
    {
        if (!bKeep)
            Release();
        else if (dwNewCapacity >= m_dwCapacity && dwNewCapacity <= m_dwReserved)
        {
            m_dwCapacity = dwNewCapacity;
            m_bOwned = 1;
            return 1;
        }
        DWORD dwReserve = dwNewCapacity;
        if (bKeep && dwNewCapacity > m_dwCapacity && m_dwCapacity <= 0x7FFFFFFFu &&
            m_dwCapacity * 2 > dwNewCapacity)
            dwReserve = m_dwCapacity * 2;
        T* pNew = Allocate(dwReserve);
        if (pNew == nullptr && dwReserve != dwNewCapacity)
            pNew = Allocate(dwReserve = dwNewCapacity);
        if (pNew == nullptr && dwNewCapacity != 0)
            return 0;
        DWORD dwKeep = m_dwCapacity < dwNewCapacity ? m_dwCapacity : dwNewCapacity;
        for (DWORD i = 0; i < dwKeep; i++)
            pNew[i] = std::move(m_pItems[i]);
        DWORD dwCount = GetCount() < dwKeep ? GetCount() : dwKeep;
        Destroy();
        m_pItems = pNew;
        m_dwCapacity = dwNewCapacity;
        m_dwReserved = dwReserve;
        SetCount(dwCount);
        m_bOwned = 1;
        return 1;
    }

    // Makes room for one more element: full storage grows by 1000 (or by 1
    // near the 32-bit limit). 0 when it cannot grow.
    int GrowForAppend()
    {
        if (GetCount() < m_dwCapacity)
            return 1;
        if (m_dwCapacity == 0xFFFFFFFFu)
            return 0;
        DWORD dwNew = m_dwCapacity > 0xFFFFFFFFu - 1000 ? m_dwCapacity + 1 : m_dwCapacity + 1000;
        return Reallocate(dwNew, 1);
    }

    // Appends by the step-of-1000 rule; the array is unchanged on failure.
    int Append(const T& item)
    {
        if (!GrowForAppend())
            return 0;
        DWORD dwCount = GetCount();
        m_pItems[dwCount] = item;
        SetCount(dwCount + 1);
        return 1;
    }

    // Destroys every element and frees the storage: all four fields 0.
    void Release()
    {
        Destroy();
        m_pItems = nullptr;
        m_dwCapacity = 0;
        m_dwReserved = 0;
        SetCount(0);
        m_bOwned = 0;
    }

private:
    // dwCount default elements, or null (also for 0).
    static T* Allocate(DWORD dwCount)
    {
        if (dwCount == 0 || (uint64_t)dwCount > (uint64_t)SIZE_MAX / sizeof(T))
            return nullptr;
        T* pItems = (T*)WvAlloc((size_t)dwCount * sizeof(T));
        if (pItems != nullptr)
            for (DWORD i = 0; i < dwCount; i++)
                new (&pItems[i]) T();
        return pItems;
    }

    void Destroy()
    {
        if (m_pItems == nullptr)
            return;
        for (DWORD i = 0; i < m_dwReserved; i++)
            m_pItems[i].~T();
        free(m_pItems);
    }

    T* m_pItems = nullptr;
    DWORD m_dwCapacity = 0;
    DWORD m_dwReserved = 0; // elements allocated and constructed, capacity or more
    std::atomic<DWORD> m_dwCount{0};
    int m_bOwned = 0;
};
