// Conversion between UTF-8 and Shift-JIS text.
#include "support/Utf8Conv.h"

#include "platform/Platform.h"

#include <climits>
#include <vector>

namespace
{
// Converts to UTF-16 with the platform; 0 for text it refuses.
int Widen(UINT uCodePage, DWORD dwFlags, const char* pcText, size_t nBytes,
          std::vector<WCHAR>* pWide)
{
    pWide->clear();
    if (nBytes == 0 || nBytes > (size_t)INT_MAX)
        return nBytes == 0;
    int nWide = MultiByteToWideChar(uCodePage, dwFlags, pcText, (int)nBytes, nullptr, 0);
    if (nWide <= 0)
        return 0;
    pWide->resize((size_t)nWide);
    return MultiByteToWideChar(uCodePage, dwFlags, pcText, (int)nBytes, pWide->data(), nWide) ==
           nWide;
}

std::string Narrow(UINT uCodePage, const std::vector<WCHAR>& wide)
{
    if (wide.empty())
        return std::string();
    int nBytes = WideCharToMultiByte(uCodePage, 0, wide.data(), (int)wide.size(), nullptr, 0,
                                     nullptr, nullptr);
    if (nBytes <= 0)
        return std::string();
    std::string str((size_t)nBytes, '\0');
    if (WideCharToMultiByte(uCodePage, 0, wide.data(), (int)wide.size(), &str[0], nBytes, nullptr,
                            nullptr) != nBytes)
        return std::string();
    return str;
}
} // namespace

int ConvUtf8ToSJis(const char* pcText, size_t nBytes, std::string* pstrOut)
{
    std::vector<WCHAR> wide;
    pstrOut->clear();
    if (!Widen(CP_UTF8, MB_ERR_INVALID_CHARS, pcText, nBytes, &wide))
        return 0;
    *pstrOut = Narrow(CP_ACP, wide);
    return 1;
}

std::string ConvSJisToUtf8Plain(const char* pcText)
{
    std::vector<WCHAR> wide;
    std::string strText(pcText != nullptr ? pcText : "");
    if (!Widen(CP_ACP, 0, strText.data(), strText.size(), &wide))
        return std::string();
    return Narrow(CP_UTF8, wide);
}
