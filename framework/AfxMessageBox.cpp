// The framework's message box and application title.
#include "framework/AfxMessageBox.h"

#include "framework/CString.h"
#include "framework/MbcsBytes.h"

#include <atomic>
#include <mutex>

int AfxPlatformPresent(const char* pcText, UINT nType); // AfxMessageBox_win/_posix

namespace
{
std::atomic<AfxMessagePresenter> g_pfnPresenter{nullptr};
}

int AfxMessageBox(const char* pcText, UINT nType, UINT /*nIDHelp*/)
{
    // With no icon asked for, the framework shows the exclamation icon.
    if ((nType & MB_ICONMASK) == 0)
        nType |= MB_ICONEXCLAMATION;
    AfxMessagePresenter pfn = g_pfnPresenter.load();
    if (pfn != nullptr)
        return pfn(pcText != nullptr ? pcText : "", nType);
    return AfxPlatformPresent(pcText != nullptr ? pcText : "", nType);
}

AfxMessagePresenter AfxSetMessagePresenter(AfxMessagePresenter pfnPresenter)
{
    return g_pfnPresenter.exchange(pfnPresenter);
}

const char* AfxGetAppName()
{
    static CString s_strName;
    static std::once_flag s_once;
    std::call_once(s_once, [] {
        char acPath[2048] = {};
        GetModuleFileNameA(nullptr, acPath, sizeof(acPath) - 1);
        int iStart = 0;
        int iDot = -1;
        for (int i = 0; acPath[i] != '\0'; i = MbcsNextIndex(acPath, i))
        {
            if (acPath[i] == '\\' || acPath[i] == '/')
            {
                iStart = i + 1;
                iDot = -1;
            }
            else if (acPath[i] == '.')
                iDot = i;
        }
        CString strName(acPath + iStart);
        if (iDot > iStart)
            strName = strName.Left(iDot - iStart);
        s_strName = strName;
    });
    return s_strName;
}
