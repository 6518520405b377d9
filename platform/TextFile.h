// Text-mode files as the C runtime keeps them on Windows: "\n" is stored as
// "\r\n". Paths are Shift-JIS.
#pragma once

#include "platform/Platform.h"

#include <cstddef>
#include <string>

// Appends the text (fopen "at"); gives 0 when the file cannot be opened.
// *pdwError (when given): 0, or the system's error when the text did not
// reach the file whole (not opened, not all written, not closed).
int AppendTextFile(const char* pcPath, const char* pcText, size_t nLength,
                   DWORD* pdwError = nullptr);
// Creates the file empty, or empties it (fopen "wt"); gives 0 on failure.
int EmptyTextFile(const char* pcPath);

// The log files (TraceFile.txt, ConflictFile.txt) hold the program's Shift-JIS
// text with '\' between folders and CR LF line ends, as the Windows programs
// write them. On Linux, once the command line asks for it, they are for Linux
// users instead: UTF-8 (names as they are on disk), '/' and LF. Windows keeps
// the first form whatever is asked.
void UseLogTextForLinuxUsers(int bOn);
// The bytes a log file gets for the text: the text itself, or in the form for
// Linux users (AppendTextFile then writes these, without adding CRs).
std::string MakeLogText(const char* pcText, size_t nLength);
// A log file's text back in Shift-JIS (the inverse of MakeLogText but for
// the line ends and separators); 0 when it cannot be.
int LogTextToSJis(const std::string& strLog, std::string* pstrSJis);
