// The system's own words for an error code on Linux: strerror in the user's
// locale (the program itself runs in the "C" locale).
#include "cli/ErrorText.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <string>

namespace
{
// The text in UTF-8; as it is when its set is UTF-8 or cannot be converted.
std::string ToUtf8(const char* pcText, const char* pcCodeset)
{
    std::string text(pcText);
    iconv_t cd = iconv_open("UTF-8", pcCodeset);
    if (cd == (iconv_t)-1)
        return text;
    std::string out(text.size() * 4 + 16, '\0');
    char* pIn = &text[0];
    size_t nIn = text.size();
    char* pOut = &out[0];
    size_t nOut = out.size();
    size_t rc = iconv(cd, &pIn, &nIn, &pOut, &nOut);
    iconv_close(cd);
    if (rc == (size_t)-1)
        return text;
    out.resize(out.size() - nOut);
    return out;
}
} // namespace

CString GetSystemErrorText(DWORD dwError)
{
    int iErrno = GetErrnoOfError(dwError);
    CString strText;
    if (iErrno == 0 && dwError != ERROR_SUCCESS)
    {
        strText.Format("error %u", dwError);
        return strText;
    }
    std::string text;
    locale_t loc = newlocale(LC_ALL_MASK, "", (locale_t)0);
    if (loc != (locale_t)0)
    {
        text = ToUtf8(strerror_l(iErrno, loc), nl_langinfo_l(CODESET, loc));
        freelocale(loc);
    }
    else
        text = strerror(iErrno);
    std::string sjis;
    if (!SystemTextToSJis(text.data(), text.size(), &sjis) || sjis.empty())
        strText.Format("error %u", dwError);
    else
        strText = CString(sjis.data(), (int)sjis.size());
    return strText;
}
