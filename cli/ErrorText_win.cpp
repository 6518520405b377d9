// The system's own words for an error code, from Windows.
#include "cli/ErrorText.h"

CString GetSystemErrorText(DWORD dwError)
{
    char* pcMessage = nullptr;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, dwError,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPSTR)&pcMessage, 0, nullptr);
    CString strText(pcMessage != nullptr ? pcMessage : "");
    if (pcMessage != nullptr)
        LocalFree(pcMessage);
    strText.TrimRight();
    if (strText.GetLength() > 0 && strText[strText.GetLength() - 1] == '.')
        strText = strText.Left(strText.GetLength() - 1);
    if (strText.IsEmpty())
        strText.Format("error %u", dwError);
    return strText;
}
