// Names between the program's Shift-JIS and the system's bytes on Linux, where
// a name may hold any character, any byte but '/' and NUL.
#pragma once

#include <cstddef>
#include <string>

// The characters of the user-defined area of code page 932 (lead bytes
// 0xF0-0xF9) that names can be given.
const size_t kNameAreaSize = 1880;

// The system's text (UTF-8, or any bytes) in Shift-JIS. What Shift-JIS cannot
// carry through the program as itself (a character code page 932 lacks, a
// byte that is not UTF-8, and the characters a Windows name cannot hold,
// '\' '*' '?' ':' '"' '<' '>' '|', which inside a Linux name are neither
// separator nor wildcard, nor refused) is given a character of the user-defined
// area for the life of the process: the first met gets the first free one,
// and it gets the same one whenever it is met again. A user-defined character
// in the text stays itself unless it was given away before it was met. 0 when
// the text needs a character and the area is full; pstrSJis is then undefined.
int SystemTextToSJis(const char* pcText, size_t nLength, std::string* pstrSJis);

// The program's Shift-JIS text as the system's: UTF-8, every given character
// back to what it stands for, and with bPath each '\' (a separator there) as '/'.
void SJisToSystemText(const char* pcSJis, size_t nLength, int bPath, std::string* pstrText);
