// The shell's folder-selection dialog, opened on a given folder.
#include "ui/FolderBrowser.h"

#include "support/Trace.h"

#include <shlobj.h>

int CALLBACK BrowseFolderCallback(HWND hWnd, UINT uMsg, LPARAM lParam, LPARAM lData)
{
    (void)lParam;
    if (uMsg == BFFM_INITIALIZED && lData != 0)
        SendMessageA(hWnd, BFFM_SETSELECTIONA, TRUE, lData);
    return 0;
}

int BrowseForFolder(HWND hOwner, const char* pcInitialFolder, CString* pstrResult)
{
    if (pcInitialFolder == nullptr || pstrResult == nullptr)
    {
        WriteTraceString("※　引数が無効です。");
        return 2;
    }
    char acPath[2000] = {};
    BROWSEINFOA info = {};
    info.hwndOwner = hOwner;
    info.lpszTitle = "フォルダを選択してください";
    info.lpfn = BrowseFolderCallback;
    info.lParam = (LPARAM)pcInitialFolder;
    LPITEMIDLIST pidl = SHBrowseForFolderA(&info);
    if (pidl == nullptr)
        return 2;
    // A virtual folder has no path: the buffer then stays empty.
    SHGetPathFromIDListA(pidl, acPath);
    IMalloc* pMalloc = nullptr;
    if (SHGetMalloc(&pMalloc) == S_OK && pMalloc != nullptr)
    {
        pMalloc->Free(pidl);
        pMalloc->Release();
    }
    pstrResult->Format("%s", acPath);
    return 1;
}
