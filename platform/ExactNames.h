// Names read in UTF-16 and taken into the ANSI code page (932) only when every
// character has its own form there. The "A" calls give "?" for a character the
// code page lacks, or a look-alike ("e" for "é", "\" for "¥"), and a search
// or an open with such a name reaches another file, or none.
#pragma once

#include "platform/Platform.h"

#include <string>

// 1 with the text in the ANSI code page when every character converts to its
// own form; 0 (the result emptied) when one has none there.
int WideToAnsiExact(const WCHAR* pwcText, std::string* pstrResult);

// The ANSI code page text in UTF-16, as the "A" calls read it (empty when it
// cannot be converted).
std::basic_string<WCHAR> WidenAnsi(const char* pcText);

// FindFirstFileA and FindNextFileA for the program's searches: an entry whose
// name the code page cannot hold (or that would not fit the narrow record) is
// passed over, never handed on garbled. A search that finds nothing else
// fails with ERROR_FILE_NOT_FOUND.
HANDLE FindFirstFileExact(LPCSTR pcName, WIN32_FIND_DATAA* pData);
BOOL FindNextFileExact(HANDLE hFind, WIN32_FIND_DATAA* pData);

#ifdef _WIN32
// The wide record as the narrow one; 0 when its name cannot be held exactly.
int FindDataToAnsi(const WIN32_FIND_DATAW& wide, WIN32_FIND_DATAA* pNarrow);

// Calls pfnVisit with every entry of the current folder whose name the code
// page cannot hold ("." and ".." never qualify). The number of such entries.
typedef void (*UnholdableEntryVisitor)(const WIN32_FIND_DATAW& entry, void* pContext);
DWORD VisitUnholdableEntries(UnholdableEntryVisitor pfnVisit, void* pContext);
#endif
