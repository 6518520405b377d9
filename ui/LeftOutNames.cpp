// Names left out of the window for the code page, and the box that lists them.
#include "ui/LeftOutNames.h"

#include "framework/AfxMessageBox.h"
#include "platform/ExactNames.h"

namespace
{
std::wstring WithCount(const WCHAR* pwcFormat, DWORD dwCount)
{
    std::wstring strText(pwcFormat);
    size_t iAt = strText.find(L"%u");
    if (iAt != std::wstring::npos)
        strText.replace(iAt, 2, std::to_wstring(dwCount));
    return strText;
}
} // namespace

void CMyLeftOutNames::Add(const char* pcFolder, const WCHAR* pwcName)
{
    std::wstring strPath;
    if (pcFolder != nullptr)
        strPath = WidenAnsi(pcFolder) + L"\\";
    m_names.push_back(strPath + pwcName);
}

std::wstring CMyLeftOutNames::MakeText(const WCHAR* pwcHead) const
{
    std::wstring strText = WithCount(pwcHead, GetCount()) + L"\n";
    for (DWORD i = 0; i < GetCount() && i < kShownNames; i++)
        strText += L"\n" + m_names[i];
    if (GetCount() > kShownNames)
        strText += L"\n" + WithCount(L"ほか %u 個", GetCount() - kShownNames);
    return strText;
}

// The box is the system's wide one: the framework's boxes take Shift-JIS,
// which is what these names cannot be written in.
void CMyLeftOutNames::Show(HWND hOwner, const WCHAR* pwcHead) const
{
    if (m_names.empty())
        return;
    MessageBoxW(hOwner, MakeText(pwcHead).c_str(), WidenAnsi(AfxGetAppName()).c_str(), MB_OK);
}
