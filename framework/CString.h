// The framework's narrow string: Shift-JIS bytes, as in a multibyte build.
#pragma once

#include <cstdarg>
#include <string>

class CString
{
public:
    CString() = default;
    CString(const char* pcText) { Assign(pcText); }
    CString(const char* pcText, int nLength);
    CString(char ch, int nRepeat = 1);
    CString(const CString&) = default;
    CString(CString&&) = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) = default;
    CString& operator=(const char* pcText)
    {
        Assign(pcText);
        return *this;
    }
    CString& operator=(char ch);

    int GetLength() const { return (int)m_str.size(); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    char GetAt(int nIndex) const { return m_str[(size_t)nIndex]; }
    void SetAt(int nIndex, char ch) { m_str[(size_t)nIndex] = ch; }
    char operator[](int nIndex) const { return m_str[(size_t)nIndex]; }
    operator const char*() const { return m_str.c_str(); }
    const char* GetString() const { return m_str.c_str(); }

    // Gives a writable block of at least nMinLength bytes plus a terminator;
    // ReleaseBuffer(-1) takes the length up to the first zero.
    char* GetBuffer(int nMinLength = 0);
    char* GetBufferSetLength(int nLength);
    void ReleaseBuffer(int nNewLength = -1);

    CString& operator+=(const CString& str);
    CString& operator+=(const char* pcText);
    CString& operator+=(char ch);
    void Append(const char* pcText, int nLength);

    void Format(const char* pcFormat, ...);
    void FormatV(const char* pcFormat, va_list args);
    void AppendFormat(const char* pcFormat, ...);

    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Right(int nCount) const;

    // Searches walk Shift-JIS characters: a trail byte never matches.
    int Find(char ch, int nStart = 0) const;
    int Find(const char* pcSub, int nStart = 0) const;
    int ReverseFind(char ch) const;

    int Compare(const char* pcText) const;
    int CompareNoCase(const char* pcText) const;
    void MakeUpper();
    void MakeLower();
    void TrimLeft();
    void TrimRight();

private:
    void Assign(const char* pcText) { m_str.assign(pcText != nullptr ? pcText : ""); }

    std::string m_str;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
CString operator+(const CString& a, char b);
inline bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
inline bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
inline bool operator!=(const CString& a, const char* b) { return a.Compare(b) != 0; }
inline bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
