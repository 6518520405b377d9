// The output folder as the window takes it from its box: blanks around it
// trimmed, and only an absolute folder path, tidied by the system's own rules.
#pragma once

#include "framework/CString.h"

// 1 when the text, blanks around it trimmed, is an absolute folder path: a
// drive and a separator ("C:\", "C:/") or a share ("\\server\share"). It is
// given back as the system reads it: "." and ".." worked out, "/" as "\",
// doubled separators and the dots and blanks that end a name dropped, and no
// final separator but a drive root's ("C:/rec//" and "C:\rec." give
// "C:\rec"). 0 for anything else ("out", "\rec", a bare drive "C:", a device
// path "\\?\C:\rec"), with the trimmed text, empty when there were only
// blanks.
int MakeOutputFolder(const char* pcText, CString* pstrFolder);
