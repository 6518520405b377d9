// The driver thread's helpers and the run of one driven dialog.
#include "UiDriver.h"

#include "engine/JobFlags.h"
#include "framework/win/CWinApp.h"
#include "support/Trace.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace
{
struct FindArgs
{
    const char* pcCaption;
    HWND hExcept;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    FindArgs* pArgs = (FindArgs*)lParam;
    if (!IsWindowVisible(hWnd) || hWnd == pArgs->hExcept)
        return TRUE;
    if (pArgs->pcCaption != nullptr)
    {
        char acClass[64] = {};
        GetClassNameA(hWnd, acClass, sizeof(acClass));
        if (lstrcmpA(acClass, "#32770") != 0 || DialogDriver::Text(hWnd) != pArgs->pcCaption)
            return TRUE;
    }
    pArgs->found.push_back(hWnd);
    return TRUE;
}
} // namespace

bool DialogDriver::WaitUntil(const std::function<bool()>& pred, DWORD dwMillis)
{
    DWORD dwStart = GetTickCount();
    for (;;)
    {
        if (pred())
            return true;
        if (GetTickCount() - dwStart >= dwMillis)
            return pred();
        Sleep(20);
    }
}

HWND DialogDriver::FindDialog(const char* pcCaption) const
{
    FindArgs args = {pcCaption, nullptr, {}};
    EnumThreadWindows(m_dwUIThreadID, CollectWindow, (LPARAM)&args);
    return args.found.empty() ? nullptr : args.found.front();
}

HWND DialogDriver::WaitForDialog(const char* pcCaption, DWORD dwMillis) const
{
    HWND hFound = nullptr;
    WaitUntil([&] { return (hFound = FindDialog(pcCaption)) != nullptr; }, dwMillis);
    return hFound;
}

std::vector<HWND> DialogDriver::OtherDialogs(HWND hExcept) const
{
    FindArgs args = {nullptr, hExcept, {}};
    EnumThreadWindows(m_dwUIThreadID, CollectWindow, (LPARAM)&args);
    return args.found;
}

CString DialogDriver::Text(HWND hWnd)
{
    char acText[2048] = {};
    GetWindowTextA(hWnd, acText, sizeof(acText));
    return CString(acText);
}

void DialogDriver::Click(HWND hDlg, int nID)
{
    PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), (LPARAM)GetDlgItem(hDlg, nID));
}

void DialogDriver::Type(HWND hDlg, int nID, const char* pcText)
{
    SendMessageA(GetDlgItem(hDlg, nID), WM_SETTEXT, 0, (LPARAM)pcText);
}

COLORREF DialogDriver::ScreenPixel(HWND hWnd, int x, int y)
{
    POINT pt = {x, y};
    ClientToScreen(hWnd, &pt);
    HDC hScreen = GetDC(nullptr);
    COLORREF cr = GetPixel(hScreen, pt.x, pt.y);
    ReleaseDC(nullptr, hScreen);
    return cr;
}

bool DialogDriver::SaveScreenshot(HWND hWnd, const char* pcName)
{
    RedrawWindow(hWnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    Sleep(300); // lets the X server show what was painted
    RECT rc;
    GetWindowRect(hWnd, &rc);
    int cx = rc.right - rc.left;
    int cy = rc.bottom - rc.top;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    HDC hScreen = GetDC(nullptr);
    HDC hMem = CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = CreateDIBSection(hScreen, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = SelectObject(hMem, hBitmap);
    BitBlt(hMem, 0, 0, cx, cy, hScreen, rc.left, rc.top, SRCCOPY);
    GdiFlush();

    char acPath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, acPath, sizeof(acPath));
    *strrchr(acPath, '\\') = '\0';
    lstrcatA(acPath, "\\screenshots");
    CreateDirectoryA(acPath, nullptr);
    lstrcatA(acPath, "\\");
    lstrcatA(acPath, pcName);
    lstrcatA(acPath, ".bmp");

    DWORD dwRow = ((DWORD)cx * 3 + 3) & ~3u;
    BITMAPFILEHEADER bf = {};
    bf.bfType = 0x4D42;
    bf.bfOffBits = sizeof(bf) + sizeof(bmi.bmiHeader);
    bf.bfSize = bf.bfOffBits + dwRow * (DWORD)cy;
    bool bSaved = false;
    HANDLE hFile = CreateFileA(acPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (hFile != INVALID_HANDLE_VALUE)
    {
        DWORD dwDone = 0;
        bSaved = WriteFile(hFile, &bf, sizeof(bf), &dwDone, nullptr) &&
                 WriteFile(hFile, &bmi.bmiHeader, sizeof(bmi.bmiHeader), &dwDone, nullptr) &&
                 WriteFile(hFile, pBits, dwRow * (DWORD)cy, &dwDone, nullptr);
        CloseHandle(hFile);
    }
    SelectObject(hMem, hOld);
    DeleteObject(hBitmap);
    DeleteDC(hMem);
    ReleaseDC(nullptr, hScreen);
    return bSaved;
}

INT_PTR RunWithDriver(CDialog& dlg, const std::function<void(DialogDriver&)>& drive)
{
    CWinApp* pApp = AfxGetApp();
    pApp->m_pMainWnd = &dlg;
    DialogDriver driver(GetCurrentThreadId());
    std::atomic<int> bForced{0};
    std::thread driverThread(
        [&]
        {
            // The dialog is up once its window exists and is visible.
            DialogDriver::WaitUntil(
                [&] {
                    return driver.DialogEnded() ||
                           (dlg.m_hWnd != nullptr && IsWindowVisible(dlg.m_hWnd));
                },
                10000);
            drive(driver);
            // Close what the test left open: other windows first, then the dialog.
            for (int i = 0; i < 50 && !driver.DialogEnded(); i++)
            {
                HWND hMain = dlg.m_hWnd;
                for (HWND hOther : driver.OtherDialogs(hMain))
                    PostMessageA(hOther, WM_CLOSE, 0, 0);
                if (hMain != nullptr && IsWindowEnabled(hMain))
                    PostMessageA(hMain, WM_CLOSE, 0, 0);
                DialogDriver::WaitUntil([&] { return driver.DialogEnded(); }, 200);
            }
            if (!driver.DialogEnded())
            {
                bForced.store(1);
                PostThreadMessageA(driver.UIThreadID(), WM_QUIT, 0, 0);
            }
        });
    INT_PTR nResult = dlg.DoModal();
    driver.m_bEnded.store(1);
    driverThread.join();
    pApp->m_pMainWnd = nullptr;
    // A forced end leaves WM_QUIT in the queue: take it out for the next test.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
    }
    EXPECT_EQ(0, bForced.load()) << "the dialog did not close and was ended with WM_QUIT";
    return nResult;
}

std::string ReadTraceFile()
{
    std::string text;
    HANDLE hFile = CreateFileA(GetTraceFilePath(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return text;
    char acBuff[4096];
    DWORD dwRead = 0;
    while (ReadFile(hFile, acBuff, sizeof(acBuff), &dwRead, nullptr) && dwRead > 0)
        text.append(acBuff, dwRead);
    CloseHandle(hFile);
    return text;
}
