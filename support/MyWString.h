// CMyWString: the program's own UTF-16 string, one owned growable buffer and a
// sticky failure flag. Narrow text is Shift-JIS; work that must not split a
// two-byte character (searching, cutting, comparing) is done here.
#pragma once

#include "framework/CString.h"
#include "framework/CStringArray.h"
#include "platform/Platform.h"

// Indexes and "not found" are 32-bit; a count of 0 (and where stated -1)
// means up to the terminating zero.
#define MYWSTR_NOT_FOUND 0xFFFFFFFFu

class CMyWString
{
public:
    enum : DWORD
    {
        DEFAULT_BUFF_SIZE = 2000,
    };

    CMyWString();
    CMyWString(const char* pcStr);
    // At most dwMaxCount characters (0 or -1: no limit).
    CMyWString(const WCHAR* pwcStr, DWORD dwMaxCount = 0);
    ~CMyWString();
    // Strings are passed by reference and never copied.
    CMyWString(const CMyWString&) = delete;

    // Construction and assignment (MyWString.cpp).
    CMyWString& operator=(const WCHAR* pwcStr);
    CMyWString& operator=(const CMyWString& wstr);
    CMyWString& operator=(const char* pcStr);
    // Appends in place and returns this string.
    CMyWString& operator+(const WCHAR* pwcStr);
    CMyWString& operator+(const CMyWString& wstr);
    int AddStr(const WCHAR* pwcStr, int bLineFeed = 0);
    int AddSector(const WCHAR* pwcStr, DWORD dwStart, DWORD dwCount, int bLineFeed = 0);
    int SetData(const WCHAR* pwcStr, DWORD dwCount = 0);
    int SetData(const char* pcStr, DWORD dwByteCount = 0);
    // The capacity the growth rule gives for dwNeedSize characters (terminator
    // included) from dwCurBuffSize; 0 when that is too large.
    static DWORD GrowBuffSize(DWORD dwCurBuffSize, DWORD dwNeedSize);

    // Editing (MyWStringEdit.cpp).
    int Insert(DWORD dwIndex, const WCHAR* pwcStr, DWORD dwCount = 0);
    int Replace(DWORD dwIndex, DWORD dwCount, const WCHAR* pwcStr, DWORD dwStrLen = 0);
    DWORD ReplaceAll(DWORD dwStart, const WCHAR* pwcFind, DWORD dwFindLen, const WCHAR* pwcNew,
                     DWORD dwNewLen, int bIgnoreCase);
    int ResizeBuffAndMoveSector(DWORD dwNewBuffSize, DWORD dwHeadLen, DWORD dwTailSrcIndex,
                                DWORD dwTailDestIndex, DWORD dwTailLen);
    void Empty();
    int DeleteSector(DWORD dwIndex, DWORD dwCount);
    int TrimToRange(DWORD dwFirst, DWORD dwLast);
    int TrimToSector(DWORD dwIndex, DWORD dwCount);
    DWORD RemoveChars(const WCHAR* pwcSet);
    DWORD RemovePrefix(const WCHAR* pwcPrefix, DWORD dwPrefixLen = 0);
    int SetBuffSize(DWORD dwNewBuffSize);

    // Searching and testing (MyWStringFind.cpp).
    DWORD Find(DWORD dwStart, const WCHAR* pwcPattern, DWORD dwPatternLen, int bIgnoreCase) const;
    DWORD ReverseFind(DWORD dwStart, const WCHAR* pwcPattern, int bIgnoreCase) const;
    DWORD ReverseFindA(DWORD dwStart, const char* pcPattern, int bIgnoreCase) const;
    DWORD FindOneOf(DWORD dwStart, const WCHAR* pwcSet) const;
    DWORD FindOneOfA(DWORD dwStart, const char* pcSet) const;
    DWORD ReverseFindOneOf(DWORD dwStart, const WCHAR* pwcSet) const;
    DWORD FindChar(WCHAR wc) const;
    DWORD ReverseFindChar(WCHAR wc) const;
    int ConsistsOf(const WCHAR* pwcSet) const;
    int Compare(const WCHAR* pwcStr, int bIgnoreCase) const;
    int Compare(const char* pcStr, int bIgnoreCase) const;

    // Narrow output (MyWStringNarrow.cpp).
    CString GetSectorData(DWORD dwStart, DWORD dwCount = 0) const;
    // A new array the caller releases with free(); never null.
    char* GetSectorDataA(DWORD dwStart, DWORD dwCount) const;
    int CopySectorTo(CString* pstrDest, DWORD dwStart, DWORD dwCount = 0) const;
    CString GetCString() const;
    DWORD Split(CStringArray* parrDest, const WCHAR* pwcSeparators) const;

    // Path texts; '\' and '/' both separate (PathText.cpp).
    int IsValidPath() const;
    int IsValidFileName() const;
    int ToFileName(int bValidate);
    int ToFileTitle(int bValidate, DWORD dwMaxExtLen);
    int ToExtension(DWORD dwMaxExtLen);

    // The text (never null: "" when there is no buffer), its length, capacity
    // and failure flag.
    const WCHAR* GetString() const;
    DWORD GetLength() const { return m_dwStrLen; }
    DWORD GetBuffSize() const { return m_dwBuffSize; }
    int IsError() const { return m_bError; }
    int IsEmpty() const { return m_dwStrLen == 0; }

private:
    int AppendChars(const WCHAR* pwcStr, DWORD dwCount, int bLineFeed);
    void FreeBuff();

    WCHAR* m_pwcBuff;
    DWORD m_dwBuffSize;
    DWORD m_dwStrLen;
    int m_bError;
};
