// The name filter: a wide regular expression that whole file names must match.
#include "sources/NameFilter.h"

// The pattern is taken as it stands: no anchors added, nothing escaped, case
// significant. A null or empty pattern only empties the text and keeps the
// expression compiled before.
int CMyNameFilter::SetPattern(const char* pcPattern)
{
    if (pcPattern == nullptr || pcPattern[0] == '\0')
    {
        m_strPattern.Empty();
        return 0;
    }
    m_bCompiled = 0;
    if (!m_strPattern.SetData(pcPattern, 0))
        return 0;
    return Compile();
}

int CMyNameFilter::SetPattern(const WCHAR* pwcPattern)
{
    if (pwcPattern == nullptr || pwcPattern[0] == 0)
    {
        m_strPattern.Empty();
        return 0;
    }
    m_bCompiled = 0;
    if (!m_strPattern.SetData(pwcPattern, 0))
        return 0;
    return Compile();
}

int CMyNameFilter::Compile()
{
    if (!m_expression.Assign(m_strPattern.GetString(), m_strPattern.GetLength()))
        return 0;
    m_bCompiled = 1;
    return 1;
}

int CMyNameFilter::IsMatch(const WCHAR* pwcText) const
{
    if (pwcText == nullptr)
        return 0;
    DWORD dwLength = 0;
    while (pwcText[dwLength] != 0)
        dwLength++;
    return IsMatch(pwcText, dwLength);
}

int CMyNameFilter::IsMatch(const WCHAR* pwcText, DWORD dwLength) const
{
    if (!m_bCompiled || pwcText == nullptr)
        return 0;
    return m_expression.MatchWhole(pwcText, dwLength);
}
