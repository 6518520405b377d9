// The platform's message box on Linux: the text on standard error, in UTF-8.
#include "framework/AfxMessageBox.h"

#include <cstdio>
#include <vector>

int AfxPlatformPresent(const char* pcText, UINT /*nType*/)
{
    int nWide = MultiByteToWideChar(CP_ACP, 0, pcText, -1, nullptr, 0);
    std::vector<WCHAR> wide((size_t)(nWide > 0 ? nWide : 1), 0);
    MultiByteToWideChar(CP_ACP, 0, pcText, -1, wide.data(), nWide);
    int nUtf8 = WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> utf8((size_t)(nUtf8 > 0 ? nUtf8 : 1), 0);
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, utf8.data(), nUtf8, nullptr, nullptr);
    fprintf(stderr, "%s\n", utf8.data());
    return IDOK;
}
