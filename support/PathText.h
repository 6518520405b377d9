// Path texts: cutting narrow (Shift-JIS) paths at their last '\' or '/',
// character by character, so that the second byte of a two-byte character
// (0x83 0x5C) is never taken for a separator. The tests and cuts on a
// CMyWString (IsValidPath, ToFileName, ...) are members of that class.
#pragma once

#include "framework/CString.h"
#include "support/MyWString.h"

// The text after the last separator; the whole path when there is none; ""
// when the path ends in its separator.
CString GetFileNameFromPath(const char* pcPath);
// 1 when the path ends in '\' or '/'.
int EndsWithSeparator(const char* pcPath);
// The text before the last separator; the whole path when there is none or
// it stands at index 0 ("\x" stays "\x", "C:\" gives "C:").
CString GetFolderFromPath(const char* pcPath);
