// Text-mode files as the C runtime keeps them on Windows: "\n" is stored as
// "\r\n". Paths are Shift-JIS.
#pragma once

#include <cstddef>

// Appends the text (fopen "at"); gives 0 when the file cannot be opened.
int AppendTextFile(const char* pcPath, const char* pcText, size_t nLength);
// Creates the file empty, or empties it (fopen "wt"); gives 0 on failure.
int EmptyTextFile(const char* pcPath);
