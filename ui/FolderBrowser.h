// The shell's folder-selection dialog, opened on a given folder.
#pragma once

#include "framework/CString.h"
#include "platform/Platform.h"

// Lets the user choose a folder. 1: a folder was chosen and *pstrResult holds
// its path (empty for an item with no file-system path); 2: cancelled or a
// null argument (*pstrResult untouched).
int BrowseForFolder(HWND hOwner, const char* pcInitialFolder, CString* pstrResult);

// The shell's browse callback: selects the initial folder (lData) once the
// dialog is up. Always 0.
int CALLBACK BrowseFolderCallback(HWND hWnd, UINT uMsg, LPARAM lParam, LPARAM lData);
