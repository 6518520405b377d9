// The name filter's expression on Linux. Boost.Regex knows no char16_t, so
// each UTF-16 unit becomes one wchar_t: a pattern then sees exactly the units
// it would see on Windows (a surrogate pair stays two characters).
#include "sources/WideRegex.h"

#include <boost/regex.hpp>

#include <locale>
#include <string>

namespace
{
std::wstring Widen(const WCHAR* pwcText, DWORD dwLength)
{
    std::wstring text;
    text.reserve(dwLength);
    for (DWORD i = 0; i < dwLength; i++)
        text.push_back((wchar_t)pwcText[i]);
    return text;
}
} // namespace

struct CMyWideRegex::Impl
{
    // Character classes as Windows classifies them: by Unicode, not by the
    // "C" locale that knows only ASCII letters.
    Impl()
    {
        try
        {
            expression.imbue(std::locale("C.UTF-8"));
        }
        catch (...)
        {
        }
    }

    boost::wregex expression;
};

CMyWideRegex::CMyWideRegex() : m_pImpl(new Impl) {}
CMyWideRegex::~CMyWideRegex() = default;

int CMyWideRegex::Assign(const WCHAR* pwcPattern, DWORD dwLength)
{
    m_bUsable = 0;
    try
    {
        m_pImpl->expression.assign(Widen(pwcPattern, dwLength));
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
        std::wstring text = Widen(pwcText, dwLength);
        return boost::regex_match(text, m_pImpl->expression) ? 1 : 0;
    }
    catch (...)
    {
        return 0;
    }
}
