// The platform's message box on Windows: MessageBoxA captioned with the title.
#include "framework/AfxMessageBox.h"

int AfxPlatformPresent(const char* pcText, UINT nType)
{
    return MessageBoxA(GetActiveWindow(), pcText, AfxGetAppName(), nType);
}
