// The framework's narrow string.
#include "framework/CString.h"

#include "framework/FormatText.h"
#include "framework/MbcsBytes.h"

#include <cstring>

CString::CString(const char* pcText, int nLength)
{
    if (pcText != nullptr && nLength > 0)
        m_str.assign(pcText, (size_t)nLength);
}

CString::CString(char ch, int nRepeat)
{
    if (nRepeat > 0)
        m_str.assign((size_t)nRepeat, ch);
}

CString& CString::operator=(char ch)
{
    m_str.assign(1, ch);
    return *this;
}

char* CString::GetBuffer(int nMinLength)
{
    if (nMinLength > (int)m_str.size())
    {
        size_t nOld = m_str.size();
        m_str.resize((size_t)nMinLength, '\0');
        m_str[nOld] = '\0';
    }
    return &m_str[0];
}

char* CString::GetBufferSetLength(int nLength)
{
    m_str.resize(nLength > 0 ? (size_t)nLength : 0, '\0');
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = (int)strlen(m_str.c_str());
    if ((size_t)nNewLength <= m_str.size())
        m_str.resize((size_t)nNewLength);
}

CString& CString::operator+=(const CString& str)
{
    m_str += str.m_str;
    return *this;
}

CString& CString::operator+=(const char* pcText)
{
    if (pcText != nullptr)
        m_str += pcText;
    return *this;
}

CString& CString::operator+=(char ch)
{
    m_str += ch;
    return *this;
}

void CString::Append(const char* pcText, int nLength)
{
    if (pcText != nullptr && nLength > 0)
        m_str.append(pcText, (size_t)nLength);
}

void CString::FormatV(const char* pcFormat, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    size_t n = FormatTextV(nullptr, 0, pcFormat, copy);
    va_end(copy);
    m_str.assign(n + 1, '\0');
    FormatTextV(&m_str[0], n + 1, pcFormat, args);
    m_str.resize(n);
}

void CString::Format(const char* pcFormat, ...)
{
    va_list args;
    va_start(args, pcFormat);
    FormatV(pcFormat, args);
    va_end(args);
}

void CString::AppendFormat(const char* pcFormat, ...)
{
    CString strMore;
    va_list args;
    va_start(args, pcFormat);
    strMore.FormatV(pcFormat, args);
    va_end(args);
    m_str += strMore.m_str;
}

CString CString::Left(int nCount) const
{
    if (nCount <= 0)
        return CString();
    return CString(m_str.c_str(), nCount < GetLength() ? nCount : GetLength());
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst >= GetLength() || nCount <= 0)
        return CString();
    if (nCount > GetLength() - nFirst)
        nCount = GetLength() - nFirst;
    return CString(m_str.c_str() + nFirst, nCount);
}

CString CString::Right(int nCount) const
{
    if (nCount <= 0)
        return CString();
    if (nCount >= GetLength())
        return *this;
    return CString(m_str.c_str() + GetLength() - nCount, nCount);
}

int CString::Find(char ch, int nStart) const
{
    for (int i = 0; i < GetLength(); i = MbcsNextIndex(m_str.c_str(), i))
    {
        if (i >= nStart && m_str[(size_t)i] == ch)
            return i;
    }
    return -1;
}

int CString::Find(const char* pcSub, int nStart) const
{
    if (pcSub == nullptr)
        return -1;
    size_t nSub = strlen(pcSub);
    for (int i = 0; i < GetLength(); i = MbcsNextIndex(m_str.c_str(), i))
    {
        if (i >= nStart && m_str.compare((size_t)i, nSub, pcSub) == 0)
            return i;
    }
    return nSub == 0 && nStart <= GetLength() ? nStart : -1;
}

int CString::ReverseFind(char ch) const
{
    int iFound = -1;
    for (int i = 0; i < GetLength(); i = MbcsNextIndex(m_str.c_str(), i))
    {
        if (m_str[(size_t)i] == ch)
            iFound = i;
    }
    return iFound;
}

int CString::Compare(const char* pcText) const
{
    return strcmp(m_str.c_str(), pcText != nullptr ? pcText : "");
}

int CString::CompareNoCase(const char* pcText) const
{
    return MbcsCompareNoCase(m_str.c_str(), pcText != nullptr ? pcText : "");
}

void CString::MakeUpper() { MbcsChangeCase(&m_str[0], (int)m_str.size(), true); }

void CString::MakeLower() { MbcsChangeCase(&m_str[0], (int)m_str.size(), false); }

void CString::TrimLeft()
{
    size_t n = 0;
    while (n < m_str.size() && (m_str[n] == ' ' || m_str[n] == '\t' || m_str[n] == '\r' ||
                                m_str[n] == '\n'))
        ++n;
    m_str.erase(0, n);
}

void CString::TrimRight()
{
    size_t n = m_str.size();
    while (n > 0 && (m_str[n - 1] == ' ' || m_str[n - 1] == '\t' || m_str[n - 1] == '\r' ||
                     m_str[n - 1] == '\n'))
        --n;
    m_str.resize(n);
}

CString operator+(const CString& a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, const char* b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const char* a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, char b)
{
    CString r(a);
    r += b;
    return r;
}
