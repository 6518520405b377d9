// The list view calls that fill a record before their message.
#include "framework/win/CListCtrl.h"

int CListCtrl::InsertColumn(int nCol, const char* pcText, int nFormat, int nWidth) const
{
    // The text passes through a 260-byte buffer, as the columns' text limit.
    char acText[260] = {};
    lstrcpynA(acText, pcText, sizeof(acText));
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = nFormat;
    column.cx = nWidth;
    column.pszText = acText;
    column.cchTextMax = sizeof(acText);
    column.iSubItem = nCol;
    return InsertColumn(nCol, &column);
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, const char* pcText) const
{
    LVITEMA item = {};
    item.iSubItem = nSubItem;
    item.pszText = (LPSTR)pcText;
    return (BOOL)SendMessage(LVM_SETITEMTEXTA, (WPARAM)nItem, (LPARAM)&item);
}

int CListCtrl::GetItemText(int nItem, int nSubItem, char* pcBuff, int nBuffLen) const
{
    if (pcBuff == nullptr || nBuffLen <= 0)
        return 0;
    pcBuff[0] = '\0';
    LVITEMA item = {};
    item.iSubItem = nSubItem;
    item.pszText = pcBuff;
    item.cchTextMax = nBuffLen;
    return (int)SendMessage(LVM_GETITEMTEXTA, (WPARAM)nItem, (LPARAM)&item);
}

LPARAM CListCtrl::GetItemData(int nItem) const
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    return GetItem(&item) ? item.lParam : 0;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) const
{
    LVITEMA item = {};
    item.state = nState;
    item.stateMask = nMask;
    return (BOOL)SendMessage(LVM_SETITEMSTATE, (WPARAM)nItem, (LPARAM)&item);
}
