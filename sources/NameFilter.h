// The name filter: a wide regular expression that whole file names must match.
#pragma once

#include "platform/Platform.h"
#include "sources/WideRegex.h"
#include "support/MyWString.h"

class CMyNameFilter
{
public:
    CMyNameFilter() = default;
    virtual ~CMyNameFilter() = default;
    CMyNameFilter(const CMyNameFilter&) = delete;
    CMyNameFilter& operator=(const CMyNameFilter&) = delete;

    int SetPattern(const char* pcPattern);
    int SetPattern(const WCHAR* pwcPattern);
    int IsMatch(const WCHAR* pwcText) const;
    int IsMatch(const WCHAR* pwcText, DWORD dwLength) const;
    int IsCompiled() const { return m_bCompiled; }

private:
    int Compile();

    int m_bCompiled = 0;
    CMyWString m_strPattern;
    CMyWideRegex m_expression;
};
