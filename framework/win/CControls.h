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

// A list box; item data is one pointer-sized value per item.
class CListBox : public CWnd
{
public:
    int GetCount() const { return (int)SendMessage(LB_GETCOUNT); }
    void ResetContent() const { SendMessage(LB_RESETCONTENT); }
    int AddString(const char* pcText) const
    {
        return (int)SendMessage(LB_ADDSTRING, 0, (LPARAM)pcText);
    }
    int SetItemData(int nIndex, DWORD_PTR dwData) const
    {
        return (int)SendMessage(LB_SETITEMDATA, (WPARAM)nIndex, (LPARAM)dwData);
    }
    DWORD_PTR GetItemData(int nIndex) const
    {
        return (DWORD_PTR)SendMessage(LB_GETITEMDATA, (WPARAM)nIndex);
    }
    int GetCurSel() const { return (int)SendMessage(LB_GETCURSEL); }
    int SetCurSel(int nSelect) const { return (int)SendMessage(LB_SETCURSEL, (WPARAM)nSelect); }
    // The first item starting with the text (case-insensitive), or LB_ERR.
    int FindString(int nStartAfter, const char* pcText) const
    {
        return (int)SendMessage(LB_FINDSTRING, (WPARAM)nStartAfter, (LPARAM)pcText);
    }
    int SetItemHeight(int nIndex, UINT cyItemHeight) const
    {
        return (int)SendMessage(LB_SETITEMHEIGHT, (WPARAM)nIndex, MAKELPARAM(cyItemHeight, 0));
    }
};
