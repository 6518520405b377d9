// The command line's standard error: the program's message boxes, the
// command line's own messages and the one-line status that they interrupt.
#pragma once

#include "framework/CString.h"

#include <string>

// Routes AfxMessageBox to standard error (Shift-JIS converted for the
// terminal), after clearing the status line.
void InstallConsolePresenter();

// "wavoss-split: " and the Shift-JIS text, on a line of its own.
void PrintError(const char* pcText);
// The same with a raw argument (as typed) after the text.
void PrintErrorRaw(const char* pcText, const std::string& strRaw);
// A line of Shift-JIS text on standard error.
void PrintLine(const char* pcText);

// The batch's summary box is kept back until PrintHeldSummary, so that the
// files that were not split come before it.
void HoldRunSummary();
void PrintHeldSummary();

// The status line: drawn over itself with "\r", only when standard error is
// a terminal and the status is enabled.
void EnableStatusLine(int bEnable);
void ShowStatusLine(const CString& strLine);
void ClearStatusLine();
