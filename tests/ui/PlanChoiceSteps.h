// Steps the tests of the 分割方法 choices share: the dialog opened and
// closed, a run into a folder, the pieces written and their audio.
#pragma once

#include "UiDriver.h"
#include "UiHelpers.h"

#include <string>
#include <vector>

// A mouse click on a button, radio button or check box.
void Press(HWND hDlg, int nID);
// Opens 分割方法 from the main window's button.
HWND OpenPlanDialog(DialogDriver& d, HWND hDlg);
bool ClosedDialog(DialogDriver& d, const char* pcCaption);
// Opens プレビュー from the main window's button and waits until its planning
// ended; nullptr when it did not open or did not end.
HWND PlannedPreview(DialogDriver& d, HWND hDlg);
// Runs the main window's Execute into out and waits for the end.
void ExecuteInto(DialogDriver& d, HWND hDlg, const std::string& out);
std::vector<Piece> SortedPieces(const std::string& folder);
// A piece's audio: the body of its data chunk, wherever the chunk lies.
std::string DataOf(const std::string& wav);
