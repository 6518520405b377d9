// Conversion between UTF-8 (marker texts, plan files) and the program's
// Shift-JIS narrow text, through UTF-16.
#pragma once

#include <cstddef>
#include <string>

// nBytes of UTF-8 as Shift-JIS in *pstrOut; characters Shift-JIS lacks
// become '?'. 0 (and *pstrOut empty) when the bytes are not valid UTF-8.
int ConvUtf8ToSJis(const char* pcText, size_t nBytes, std::string* pstrOut);
// Shift-JIS text up to its terminator as UTF-8; bytes that are no Shift-JIS
// character become U+FFFD. Empty for empty text. On Linux a character of the
// user-defined area that stands for one Shift-JIS lacks (a name's or a
// label's) is that character again.
std::string ConvSJisToUtf8(const char* pcText);
// The same with code page 932's own table alone.
std::string ConvSJisToUtf8Plain(const char* pcText);
