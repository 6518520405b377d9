// The regular-expression engine behind the name filter: Boost.Regex over
// 16-bit wide characters, default Perl syntax, whole-text matching.
#pragma once

#include "platform/Platform.h"

#include <memory>

class CMyWideRegex
{
public:
    CMyWideRegex();
    ~CMyWideRegex();
    CMyWideRegex(const CMyWideRegex&) = delete;
    CMyWideRegex& operator=(const CMyWideRegex&) = delete;

    // Compiles dwLength characters with the default options; 0 when the
    // library refuses the pattern (the expression is then unusable).
    int Assign(const WCHAR* pwcPattern, DWORD dwLength);
    // 1 when the whole text matches; 0 when it does not, when nothing is
    // compiled, or when the library gives up (too complex a match).
    int MatchWhole(const WCHAR* pwcText, DWORD dwLength) const;

private:
    struct Impl; // the platform's basic_regex
    std::unique_ptr<Impl> m_pImpl;
    int m_bUsable = 0;
};
