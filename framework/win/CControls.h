// The simple controls of the dialogs: edits, static texts, progress bars and
// list boxes, each a window handle with its own messages.
#pragma once

#include "framework/win/CWnd.h"

#include <commctrl.h>

class CEdit : public CWnd
{
};

class CStatic : public CWnd
{
};

class CProgressCtrl : public CWnd
{
public:
    void SetRange(short nLower, short nUpper) const
    {
        SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper));
    }
    int SetPos(int nPos) const { return (int)SendMessage(PBM_SETPOS, (WPARAM)nPos); }
    int GetPos() const { return (int)SendMessage(PBM_GETPOS); }
};
