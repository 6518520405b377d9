// How files come into the window in the UI tests: the picker driven from the
// main dialog, drops of UTF-16 paths, and the box that names what the window
// left out for the code page.
#pragma once

#include "UiDriver.h"

#include <cstdint>
#include <string>
#include <vector>

// What Explorer posts with WM_DROPFILES for UTF-16 paths (names the code page
// cannot hold).
HDROP MakeWideDrop(const std::vector<std::wstring>& paths);
// WriteWave to a UTF-16 path.
void WriteWaveWide(const std::wstring& path, uint32_t dwDataBytes, int nSeed = 7);

// The box that names what the window left out for the code page: the
// system's wide box, captioned as the framework's boxes are, from any thread
// of this program; null after the timeout.
HWND WaitForNameBox(DWORD dwMillis = 10000);
std::wstring NameBoxText(HWND hBox);
// Presses OK and waits until the box is gone.
void CloseNameBox(HWND hBox);

// The picker, driven from the main dialog.
const char kPickerCaption[] = "ファイル・フォルダの入力";
bool PickerShows(HWND hPicker, const std::string& folder);
// Opens the picker with Add; null when it did not come.
HWND OpenPicker(DialogDriver& d, HWND hDlg);
// In the open picker: double-click down the folders.
void EnterFolders(DialogDriver& d, HWND hPicker, const std::vector<std::string>& folders);
// The same, then select the rows.
void PickRows(DialogDriver& d, HWND hPicker, const std::vector<std::string>& folders,
              const std::vector<const char*>& rows);
