// The GUI program's entry point; linked into the program only, not into the
// dialog library (the UI tests have their own main).
#include "framework/win/CWinApp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*pcCmdLine*/,
                   int /*nShowCmd*/)
{
    return AfxWinMain(hInstance);
}
