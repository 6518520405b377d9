// The name filter's expression on Windows: the library's Win32 regex traits
// over wchar_t, which is the 16-bit WCHAR there.
#include "sources/WideRegex.h"

#include <boost/regex.hpp>
#include <boost/regex/v5/w32_regex_traits.hpp>

struct CMyWideRegex::Impl
{
    boost::basic_regex<wchar_t, boost::w32_regex_traits<wchar_t>> expression;
};

CMyWideRegex::CMyWideRegex() : m_pImpl(new Impl) {}
CMyWideRegex::~CMyWideRegex() = default;

int CMyWideRegex::Assign(const WCHAR* pwcPattern, DWORD dwLength)
{
    m_bUsable = 0;
    try
    {
        m_pImpl->expression.assign(pwcPattern, pwcPattern + dwLength);
    }
    catch (...)
    {
        return 0;
    }
    m_bUsable = 1;
    return 1;
}

int CMyWideRegex::MatchWhole(const WCHAR* pwcText, DWORD dwLength) const
{
    if (!m_bUsable)
        return 0;
    try
    {
        return boost::regex_match(pwcText, pwcText + dwLength, m_pImpl->expression) ? 1 : 0;
    }
    catch (...)
    {
        return 0;
    }
}
