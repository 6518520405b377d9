// The application object: runs the main dialog and ends with it.
#pragma once

#include "framework/win/CWinApp.h"

class CMyApp : public CWinApp
{
public:
    BOOL InitInstance() override;
};
