// Text taken into the ANSI code page only when every character has its own
// form there.
#include "platform/ExactNames.h"

// Without WC_NO_BEST_FIT_CHARS the system maps a missing character to a
// look-alike and does not say so: Wine here gives "cafe.wav" for "café.wav"
// and the byte of "\" for "¥", with the used-default flag clear.
int WideToAnsiExact(const WCHAR* pwcText, std::string* pstrResult)
{
    pstrResult->clear();
    BOOL bUsedDefault = FALSE;
    int nBytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, pwcText, -1, nullptr, 0, nullptr,
                                     &bUsedDefault);
    if (nBytes <= 0 || bUsedDefault)
        return 0;
    std::string text((size_t)nBytes, '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, pwcText, -1, &text[0], nBytes, nullptr,
                        &bUsedDefault);
    if (bUsedDefault)
        return 0;
    text.resize((size_t)nBytes - 1);
    *pstrResult = text;
    return 1;
}

std::basic_string<WCHAR> WidenAnsi(const char* pcText)
{
    int nChars = MultiByteToWideChar(CP_ACP, 0, pcText, -1, nullptr, 0);
    if (nChars <= 1)
        return std::basic_string<WCHAR>();
    std::basic_string<WCHAR> strWide((size_t)nChars, 0);
    MultiByteToWideChar(CP_ACP, 0, pcText, -1, &strWide[0], nChars);
    strWide.resize((size_t)nChars - 1);
    return strWide;
}
