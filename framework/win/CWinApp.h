// The application object: one global instance whose InitInstance is the
// program.
#pragma once

#include "framework/win/CWnd.h"

class CWinApp
{
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Returns FALSE to end the program when it returns.
    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }

    const char* m_pszAppName; // the title: the executable's base name
    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr; // receives thread messages met by nested modal loops
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// Registers the common control classes the dialog templates use.
void AfxInitCommonControls();
// The program's entry: prepares the controls and runs the application object.
int AfxWinMain(HINSTANCE hInstance);
