// The about box: template 100, nothing of its own.
#pragma once

#include "framework/win/CDialog.h"
#include "resources/resource.h"

class CMyAboutDialog : public CDialog
{
public:
    CMyAboutDialog() : CDialog(IDD_ABOUTBOX) {}
};
