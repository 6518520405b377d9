// Absolute, tidy paths for the command line's arguments: the folder walk
// changes the current directory, and the mirrored output folders are cut
// from the paths as given.
#pragma once

#include "framework/CString.h"

// The full path of the Shift-JIS argument, without "." or ".." components,
// doubled separators or a trailing separator (except at a root). 0 when it
// cannot be made (the current directory cannot be read).
int MakeFullPath(const char* pcPath, CString* pstrFull);

// The folder that holds the entry the full path names, and the entry's name.
// 0 for a root, which has no holding folder that the walk can name.
int SplitFullPath(const CString& strFull, CString* pstrFolder, CString* pstrName);

// The path with the platform's own separators, for messages (the program
// joins names with "\\", which Linux shows as it is).
CString MakeShownPath(const char* pcPath);
