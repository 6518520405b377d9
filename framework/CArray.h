// The framework's growable array of values.
#pragma once

#include <cstddef>
#include <vector>

template <class TYPE, class ARG_TYPE = const TYPE&> class CArray
{
public:
    int GetSize() const { return (int)m_items.size(); }
    int GetCount() const { return (int)m_items.size(); }
    int GetUpperBound() const { return (int)m_items.size() - 1; }
    bool IsEmpty() const { return m_items.empty(); }
    const TYPE& GetAt(int nIndex) const { return m_items[(size_t)nIndex]; }
    TYPE& ElementAt(int nIndex) { return m_items[(size_t)nIndex]; }
    const TYPE& operator[](int nIndex) const { return m_items[(size_t)nIndex]; }
    TYPE& operator[](int nIndex) { return m_items[(size_t)nIndex]; }
    TYPE* GetData() { return m_items.data(); }
    const TYPE* GetData() const { return m_items.data(); }
    void SetAt(int nIndex, ARG_TYPE value) { m_items[(size_t)nIndex] = value; }
    void SetAtGrow(int nIndex, ARG_TYPE value)
    {
        if ((size_t)nIndex >= m_items.size())
            m_items.resize((size_t)nIndex + 1);
        m_items[(size_t)nIndex] = value;
    }
    int Add(ARG_TYPE value)
    {
        m_items.push_back(value);
        return (int)m_items.size() - 1;
    }
    void InsertAt(int nIndex, ARG_TYPE value) { m_items.insert(m_items.begin() + nIndex, value); }
    void RemoveAt(int nIndex, int nCount = 1)
    {
        m_items.erase(m_items.begin() + nIndex, m_items.begin() + nIndex + nCount);
    }
    void RemoveAll() { m_items.clear(); }
    void SetSize(int nNewSize) { m_items.resize(nNewSize > 0 ? (size_t)nNewSize : 0); }

private:
    std::vector<TYPE> m_items;
};
