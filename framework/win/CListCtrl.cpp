// The list view calls that fill a record before their message.
#include "framework/win/CListCtrl.h"

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
