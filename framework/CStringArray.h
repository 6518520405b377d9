// The framework's array of narrow strings.
#pragma once

#include "framework/CString.h"

#include <vector>

class CStringArray
{
public:
    int GetSize() const { return (int)m_items.size(); }
    int GetCount() const { return (int)m_items.size(); }
    int GetUpperBound() const { return (int)m_items.size() - 1; }
    bool IsEmpty() const { return m_items.empty(); }
    const CString& GetAt(int nIndex) const { return m_items[(size_t)nIndex]; }
    CString& ElementAt(int nIndex) { return m_items[(size_t)nIndex]; }
    const CString& operator[](int nIndex) const { return m_items[(size_t)nIndex]; }
    CString& operator[](int nIndex) { return m_items[(size_t)nIndex]; }
    void SetAt(int nIndex, const char* pcText) { m_items[(size_t)nIndex] = pcText; }
    int Add(const CString& str)
    {
        m_items.push_back(str);
        return (int)m_items.size() - 1;
    }
    int Add(const char* pcText) { return Add(CString(pcText)); }
    void InsertAt(int nIndex, const CString& str)
    {
        m_items.insert(m_items.begin() + nIndex, str);
    }
    void RemoveAt(int nIndex, int nCount = 1)
    {
        m_items.erase(m_items.begin() + nIndex, m_items.begin() + nIndex + nCount);
    }
    void RemoveAll() { m_items.clear(); }
    void SetSize(int nNewSize) { m_items.resize(nNewSize > 0 ? (size_t)nNewSize : 0); }

private:
    std::vector<CString> m_items;
};
