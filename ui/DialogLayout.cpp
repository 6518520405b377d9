// A resizable dialog's controls following its size.
#include "ui/DialogLayout.h"

void CMyDialogLayout::Attach(HWND hDlg)
{
    m_hDlg = hDlg;
    RECT rc = {};
    ::GetClientRect(hDlg, &rc);
    m_sizeClient = {rc.right, rc.bottom};
    ::GetWindowRect(hDlg, &rc);
    m_sizeMin = {rc.right - rc.left, rc.bottom - rc.top};
}

void CMyDialogLayout::Add(int nID, int nAnchors)
{
    Item item = {::GetDlgItem(m_hDlg, nID), nAnchors, {}};
    if (item.hWnd == nullptr)
        return;
    ::GetWindowRect(item.hWnd, &item.rc);
    ::MapWindowPoints(nullptr, m_hDlg, (POINT*)&item.rc, 2);
    m_items.push_back(item);
}

void CMyDialogLayout::OnSize(int cx, int cy) const
{
    // Minimised: the client is empty, and the controls keep their places.
    if (m_hDlg == nullptr || cx == 0 || cy == 0)
        return;
    const int dx = cx - m_sizeClient.cx;
    const int dy = cy - m_sizeClient.cy;
    for (const Item& item : m_items)
    {
        RECT rc = item.rc;
        if (item.nAnchors & (kGrowWidth | kMoveRight))
            rc.right += dx;
        if (item.nAnchors & kMoveRight)
            rc.left += dx;
        if (item.nAnchors & (kGrowHeight | kMoveDown))
            rc.bottom += dy;
        if (item.nAnchors & kMoveDown)
            rc.top += dy;
        ::SetWindowPos(item.hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::InvalidateRect(m_hDlg, nullptr, TRUE);
}

void CMyDialogLayout::OnGetMinMaxInfo(MINMAXINFO* pInfo) const
{
    if (m_hDlg == nullptr)
        return;
    pInfo->ptMinTrackSize.x = m_sizeMin.cx;
    pInfo->ptMinTrackSize.y = m_sizeMin.cy;
}
