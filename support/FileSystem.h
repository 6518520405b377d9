// File-system helpers: existence tests, directory entries, the current
// directory, 64-bit sizes, number reading and thousands separators.
#pragma once

#include "framework/CString.h"
#include "platform/Platform.h"

// 1 if pcPath names an existing entry that is a folder (bWantFolder set) or
// not a folder (clear). With bReport set, a miss is written to the trace with
// the system's text for the error the search left behind.
int IsExistFile(const char* pcPath, int bWantFolder, int bReport);
// Fills *pFindData with the first directory entry matching pcPath; 1 if found.
int GetFindData(WIN32_FIND_DATAA* pFindData, const char* pcPath);
// The process's current directory; 1 on success, 0 (and an empty text) else.
int GetCurrentDir(CString* pstrDir);
// Puts "," between groups of three integer digits of the decimal text in
// place, without letting it grow past dwBuffSize bytes with its terminator
// (0: no limit). Returns the new length.
int InsertThousandsSeparators(char* pcText, DWORD dwBuffSize);
ULONGLONG MakeUInt64(DWORD dwLow, DWORD dwHigh);
// The runtime's strtod of the text (0.0 for null).
double StrToDouble(const char* pcText);
// The 32-bit runtime's strtoul of the text in base 10 (0 for null).
DWORD StrToULong(const char* pcText);
