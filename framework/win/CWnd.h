// A window handle and the calls the dialogs make on it, one message each.
#pragma once

#include "framework/CString.h"
#include "platform/Platform.h"

class CWnd
{
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Sees every message the modal loop takes from the queue before it is
    // dispatched; TRUE consumes it.
    virtual BOOL PreTranslateMessage(MSG* /*pMsg*/) { return FALSE; }

    LRESULT SendMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, uMsg, wParam, lParam);
    }
    BOOL PostMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, uMsg, wParam, lParam);
    }
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable = TRUE) const { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL SetWindowText(const char* pcText) const { return ::SetWindowTextA(m_hWnd, pcText); }
    void GetWindowText(CString& strText) const;
    BOOL InvalidateRect(const RECT* pRect, BOOL bErase = TRUE) const
    {
        return ::InvalidateRect(m_hWnd, pRect, bErase);
    }
    BOOL GetClientRect(RECT* pRect) const { return ::GetClientRect(m_hWnd, pRect); }
    void SetRedraw(BOOL bRedraw = TRUE) const { SendMessage(WM_SETREDRAW, (WPARAM)bRedraw); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    HMENU GetSystemMenu(BOOL bRevert) const { return ::GetSystemMenu(m_hWnd, bRevert); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon) const
    {
        return (HICON)SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, (LPARAM)hIcon);
    }
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse) const
    {
        return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr);
    }
    BOOL KillTimer(UINT_PTR nIDEvent) const { return ::KillTimer(m_hWnd, nIDEvent); }

    HWND m_hWnd = nullptr;
};

// Stops a window's drawing for the lifetime of the object, then repaints it
// whole: many rows changed one by one would otherwise repaint once each.
class CRedrawFreeze
{
public:
    explicit CRedrawFreeze(const CWnd& wnd) : m_wnd(wnd) { m_wnd.SetRedraw(FALSE); }
    ~CRedrawFreeze()
    {
        m_wnd.SetRedraw(TRUE);
        m_wnd.InvalidateRect(nullptr, TRUE);
    }
    CRedrawFreeze(const CRedrawFreeze&) = delete;
    CRedrawFreeze& operator=(const CRedrawFreeze&) = delete;

private:
    const CWnd& m_wnd;
};
