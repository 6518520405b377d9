// Drives a real dialog the way a user would: the dialog runs modally on the
// test's (main) thread while a driver thread finds windows, clicks, types,
// reads states and texts, and saves screenshots. Every wait is bounded, and a
// dialog the driver cannot close is ended, so a broken dialog fails the test
// instead of hanging it.
#pragma once

#include "framework/CString.h"
#include "framework/win/CDialog.h"

#include <atomic>
#include <functional>
#include <string>

class DialogDriver
{
public:
    explicit DialogDriver(DWORD dwUIThreadID) : m_dwUIThreadID(dwUIThreadID) {}

    // Polls until pred holds or dwMillis pass; gives the last answer.
    static bool WaitUntil(const std::function<bool()>& pred, DWORD dwMillis = 5000);

    // The visible dialog (class #32770) of the user-interface thread whose
    // caption is pcCaption (Shift-JIS), or null after the timeout.
    HWND WaitForDialog(const char* pcCaption, DWORD dwMillis = 5000) const;
    HWND FindDialog(const char* pcCaption) const;
    // The user-interface thread's visible top-level windows other than hExcept.
    std::vector<HWND> OtherDialogs(HWND hExcept) const;

    static CString Text(HWND hWnd);
    static CString ItemText(HWND hDlg, int nID) { return Text(GetDlgItem(hDlg, nID)); }
    static bool Enabled(HWND hDlg, int nID) { return IsWindowEnabled(GetDlgItem(hDlg, nID)) != 0; }
    // Posts a click, so that a handler that opens a modal window does not
    // block the driver.
    static void Click(HWND hDlg, int nID);
    // Sets an edit's text as typing would (EN_CHANGE follows).
    static void Type(HWND hDlg, int nID, const char* pcText);

    // The colour on screen at a point of hWnd's client area.
    static COLORREF ScreenPixel(HWND hWnd, int x, int y);
    // Saves the window as it is on screen to <test program folder>\screenshots\<name>.bmp.
    static bool SaveScreenshot(HWND hWnd, const char* pcName);

    // Whether DoModal has returned.
    bool DialogEnded() const { return m_bEnded.load() != 0; }
    DWORD UIThreadID() const { return m_dwUIThreadID; }

private:
    friend INT_PTR RunWithDriver(CDialog& dlg, const std::function<void(DialogDriver&)>& drive);
    DWORD m_dwUIThreadID;
    std::atomic<int> m_bEnded{0};
};

// Runs dlg modally as the application's main window while drive plays the
// user on its own thread. When drive returns, whatever it left open is
// closed (other windows first, then the dialog); a dialog that does not end
// within seconds is stopped with WM_QUIT and the test fails. Gives DoModal's result.
INT_PTR RunWithDriver(CDialog& dlg, const std::function<void(DialogDriver&)>& drive);

// The trace file's content (Shift-JIS).
std::string ReadTraceFile();
