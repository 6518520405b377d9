// The application object and the program's start.
#include "framework/win/CWinApp.h"

#include "framework/AfxMessageBox.h"

#include <commctrl.h>

namespace
{
CWinApp* g_pApp = nullptr;
}

CWinApp::CWinApp() : m_pszAppName(AfxGetAppName())
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp != nullptr ? g_pApp->m_pMainWnd : nullptr;
}

void AfxInitCommonControls()
{
    INITCOMMONCONTROLSEX init = {};
    init.dwSize = sizeof(init);
    init.dwICC = ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS;
    InitCommonControlsEx(&init);
}

int AfxWinMain(HINSTANCE hInstance)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return 1;
    pApp->m_hInstance = hInstance;
    AfxInitCommonControls();
    // The program lives in InitInstance (a modal dialog): nothing is left to
    // run when it returns, whatever it returns.
    pApp->InitInstance();
    return pApp->ExitInstance();
}
