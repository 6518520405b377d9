// Separator searches on Shift-JIS paths that never take a trail byte (0x5C in
// a two-byte character) for a backslash.
#pragma once

#include "framework/CString.h"

#include <vector>

// Index of the last '\' or '/', -1 when there is none.
int FindLastSeparator(const CString& strPath);
// The components between separators, empty ones included.
void SplitPathComponents(const CString& strPath, std::vector<CString>* pParts);
