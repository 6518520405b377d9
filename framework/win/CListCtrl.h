// The list view control: one message per call.
#pragma once

#include "framework/win/CWnd.h"

#include <commctrl.h>

class CListCtrl : public CWnd
{
public:
    int GetItemCount() const { return (int)SendMessage(LVM_GETITEMCOUNT); }
    // Room for nItems rows at once, before they are inserted one by one.
    void SetItemCount(int nItems) const { SendMessage(LVM_SETITEMCOUNT, (WPARAM)nItems); }
    int InsertItem(const LVITEMA* pItem) const
    {
        return (int)SendMessage(LVM_INSERTITEMA, 0, (LPARAM)pItem);
    }
    BOOL SetItem(const LVITEMA* pItem) const
    {
        return (BOOL)SendMessage(LVM_SETITEMA, 0, (LPARAM)pItem);
    }
    BOOL GetItem(LVITEMA* pItem) const { return (BOOL)SendMessage(LVM_GETITEMA, 0, (LPARAM)pItem); }
    BOOL SetItemText(int nItem, int nSubItem, const char* pcText) const;
    // Copies at most nBuffLen bytes with the terminator; gives the length copied.
    int GetItemText(int nItem, int nSubItem, char* pcBuff, int nBuffLen) const;
    LPARAM GetItemData(int nItem) const;
    UINT GetItemState(int nItem, UINT nMask) const
    {
        return (UINT)SendMessage(LVM_GETITEMSTATE, (WPARAM)nItem, (LPARAM)nMask);
    }
    BOOL SetItemState(int nItem, UINT nState, UINT nMask) const;
    int GetNextItem(int nItem, UINT nFlags) const
    {
        return (int)SendMessage(LVM_GETNEXTITEM, (WPARAM)nItem, MAKELPARAM(nFlags, 0));
    }
    BOOL DeleteItem(int nItem) const { return (BOOL)SendMessage(LVM_DELETEITEM, (WPARAM)nItem); }
    BOOL DeleteAllItems() const { return (BOOL)SendMessage(LVM_DELETEALLITEMS); }
    int InsertColumn(int nCol, const LVCOLUMNA* pColumn) const
    {
        return (int)SendMessage(LVM_INSERTCOLUMNA, (WPARAM)nCol, (LPARAM)pColumn);
    }
    // A column with its text, alignment and width, as sub-item nCol.
    int InsertColumn(int nCol, const char* pcText, int nFormat, int nWidth) const;
    BOOL SetColumn(int nCol, const LVCOLUMNA* pColumn) const
    {
        return (BOOL)SendMessage(LVM_SETCOLUMNA, (WPARAM)nCol, (LPARAM)pColumn);
    }
    BOOL GetColumn(int nCol, LVCOLUMNA* pColumn) const
    {
        return (BOOL)SendMessage(LVM_GETCOLUMNA, (WPARAM)nCol, (LPARAM)pColumn);
    }
    DWORD GetExtendedStyle() const { return (DWORD)SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE); }
    // Mask 0: every style bit is written.
    DWORD SetExtendedStyle(DWORD dwStyle) const
    {
        return (DWORD)SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, (LPARAM)dwStyle);
    }
    // The comparison gets both rows' item data and dwData.
    BOOL SortItems(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData) const
    {
        return (BOOL)SendMessage(LVM_SORTITEMS, (WPARAM)dwData, (LPARAM)pfnCompare);
    }
    HIMAGELIST SetImageList(HIMAGELIST hImageList, int nImageListType) const
    {
        return (HIMAGELIST)SendMessage(LVM_SETIMAGELIST, (WPARAM)nImageListType,
                                       (LPARAM)hImageList);
    }
    BOOL SetBkColor(COLORREF cr) const { return (BOOL)SendMessage(LVM_SETBKCOLOR, 0, (LPARAM)cr); }
    BOOL SetTextBkColor(COLORREF cr) const
    {
        return (BOOL)SendMessage(LVM_SETTEXTBKCOLOR, 0, (LPARAM)cr);
    }
    BOOL SetTextColor(COLORREF cr) const
    {
        return (BOOL)SendMessage(LVM_SETTEXTCOLOR, 0, (LPARAM)cr);
    }
    BOOL SetColumnWidth(int nCol, int cx) const
    {
        return (BOOL)SendMessage(LVM_SETCOLUMNWIDTH, (WPARAM)nCol, MAKELPARAM(cx, 0));
    }
    // The row under the point (client co-ordinates), or -1.
    int HitTest(POINT pt) const
    {
        LVHITTESTINFO info = {};
        info.pt = pt;
        return (int)SendMessage(LVM_HITTEST, 0, (LPARAM)&info);
    }
    int GetTopIndex() const { return (int)SendMessage(LVM_GETTOPINDEX); }
    BOOL GetItemRect(int nItem, RECT* pRect, UINT nCode) const
    {
        pRect->left = (LONG)nCode;
        return (BOOL)SendMessage(LVM_GETITEMRECT, (WPARAM)nItem, (LPARAM)pRect);
    }
    BOOL Scroll(int dx, int dy) const
    {
        return (BOOL)SendMessage(LVM_SCROLL, (WPARAM)dx, (LPARAM)dy);
    }
};
