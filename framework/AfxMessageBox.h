// The framework's message box, with a presenter that tests and the command line
// can replace.
#pragma once

#include "platform/Platform.h"

#ifndef _WIN32
#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_YESNO 0x00000004u
#define MB_ICONHAND 0x00000010u
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONMASK 0x000000F0u
#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7
#endif

// Shows the Shift-JIS text; returns the button pressed (IDOK for an OK box).
typedef int (*AfxMessagePresenter)(const char* pcText, UINT nType);

int AfxMessageBox(const char* pcText, UINT nType = MB_OK, UINT nIDHelp = 0);
// Installs a presenter (null restores the platform's) and returns the old one.
AfxMessagePresenter AfxSetMessagePresenter(AfxMessagePresenter pfnPresenter);
// The application's title: the program file's base name without extension.
const char* AfxGetAppName();
