// The picker, wide drops and the box of names left out, driven for the UI tests.
#include "UiPicks.h"

#include "UiHelpers.h"
#include "framework/AfxMessageBox.h"
#include "platform/ExactNames.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>

HDROP MakeWideDrop(const std::vector<std::wstring>& paths)
{
    std::wstring list;
    for (const std::wstring& path : paths)
        list += path + L'\0';
    list += L'\0';
    size_t nBytes = list.size() * sizeof(WCHAR);
    HGLOBAL hMem = GlobalAlloc(GHND, sizeof(DROPFILES) + nBytes);
    DROPFILES* pDrop = (DROPFILES*)GlobalLock(hMem);
    pDrop->pFiles = sizeof(DROPFILES);
    pDrop->fWide = TRUE;
    memcpy((char*)pDrop + sizeof(DROPFILES), list.data(), nBytes);
    GlobalUnlock(hMem);
    return (HDROP)hMem;
}

void WriteWaveWide(const std::wstring& path, uint32_t dwDataBytes, int nSeed)
{
    std::string temp = TestFolder("wide", "ui_temp") + "\\w.wav";
    WriteWave(temp, dwDataBytes, nSeed);
    ASSERT_TRUE(MoveFileW(WidenAnsi(temp.c_str()).c_str(), path.c_str()));
}

namespace
{
struct NameBoxSearch
{
    std::wstring caption;
    HWND hFound;
};

BOOL CALLBACK FindNameBox(HWND hWnd, LPARAM lParam)
{
    NameBoxSearch* pSearch = (NameBoxSearch*)lParam;
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hWnd, &dwProcess);
    WCHAR awcClass[64] = {};
    WCHAR awcCaption[256] = {};
    GetClassNameW(hWnd, awcClass, 64);
    GetWindowTextW(hWnd, awcCaption, 256);
    if (dwProcess != GetCurrentProcessId() || !IsWindowVisible(hWnd) ||
        std::wstring(awcClass) != L"#32770" || pSearch->caption != awcCaption)
        return TRUE;
    pSearch->hFound = hWnd;
    return FALSE;
}
} // namespace

HWND WaitForNameBox(DWORD dwMillis)
{
    NameBoxSearch search = {WidenAnsi(AfxGetAppName()), nullptr};
    DialogDriver::WaitUntil(
        [&]
        {
            EnumWindows(FindNameBox, (LPARAM)&search);
            return search.hFound != nullptr;
        },
        dwMillis);
    return search.hFound;
}

// The system's box shows its text in the static control 0xFFFF (Windows and
// Wine alike).
std::wstring NameBoxText(HWND hBox)
{
    WCHAR awcText[4096] = {};
    GetDlgItemTextW(hBox, 0xFFFF, awcText, 4096);
    return awcText;
}

void CloseNameBox(HWND hBox)
{
    PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(hBox, IDOK));
    EXPECT_TRUE(DialogDriver::WaitUntil([&] { return !IsWindow(hBox); }));
}

bool PickerShows(HWND hPicker, const std::string& folder)
{
    return DialogDriver::ItemText(hPicker, IDC_CURRENT_FOLDER) == CString(folder.c_str());
}

HWND OpenPicker(DialogDriver& d, HWND hDlg)
{
    d.Click(hDlg, IDC_ADD);
    return d.WaitForDialog(kPickerCaption);
}

void EnterFolders(DialogDriver& d, HWND hPicker, const std::vector<std::string>& folders)
{
    HWND hFiles = GetDlgItem(hPicker, IDC_FILE_LIST);
    std::string shown = (const char*)DialogDriver::ItemText(hPicker, IDC_CURRENT_FOLDER);
    for (const std::string& folder : folders)
    {
        int nRow = FindRow(hFiles, folder.c_str());
        ASSERT_GE(nRow, 0) << folder;
        DoubleClickRow(hFiles, nRow);
        shown += "\\" + folder;
        ASSERT_TRUE(d.WaitUntil([&] { return PickerShows(hPicker, shown); })) << shown;
    }
}

void PickRows(DialogDriver& d, HWND hPicker, const std::vector<std::string>& folders,
              const std::vector<const char*>& rows)
{
    EnterFolders(d, hPicker, folders);
    HWND hFiles = GetDlgItem(hPicker, IDC_FILE_LIST);
    for (const char* pcRow : rows)
    {
        int nRow = FindRow(hFiles, pcRow);
        ASSERT_GE(nRow, 0) << pcRow;
        Select(hFiles, nRow);
    }
}
