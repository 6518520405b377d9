// The application object: the whole program is one modal main dialog.
#include "ui/MyApp.h"

#include "ui/MyMainDialog.h"

CMyApp theApp;

BOOL CMyApp::InitInstance()
{
    CMyMainDialog dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // FALSE: the program ends here rather than in a message loop of its own.
    return FALSE;
}
