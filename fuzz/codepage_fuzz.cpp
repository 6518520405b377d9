// Arbitrary bytes through the Linux platform's code-page conversions and the
// trace's Shift-JIS byte walk: sizes asked first must match what is written.
#include "platform/Platform.h"
#include "support/Trace.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text((const char*)data, size);
    for (UINT cp : {(UINT)CP_ACP, (UINT)CP_UTF8})
    {
        int nWide = MultiByteToWideChar(cp, 0, text.data(), (int)text.size(), nullptr, 0);
        if (size != 0 && nWide <= 0)
            abort();
        std::vector<WCHAR> wide((size_t)nWide + 1, 0);
        if (size != 0 &&
            MultiByteToWideChar(cp, 0, text.data(), (int)text.size(), wide.data(), nWide) != nWide)
            abort();
        if (nWide == 0)
            continue;
        int nBack =
            WideCharToMultiByte(CP_ACP, 0, wide.data(), nWide, nullptr, 0, nullptr, nullptr);
        std::vector<char> back((size_t)nBack + 1, 0);
        if (WideCharToMultiByte(CP_ACP, 0, wide.data(), nWide, back.data(), nBack, nullptr,
                                nullptr) != nBack)
            abort();
        int nUtf8 =
            WideCharToMultiByte(CP_UTF8, 0, wide.data(), nWide, nullptr, 0, nullptr, nullptr);
        if (nUtf8 < nWide)
            abort();
    }
    int iLast = FindLastCharSJis(text.c_str(), '\\');
    if (iLast >= 0 && (size_t)iLast >= text.size())
        abort();
    return 0;
}
