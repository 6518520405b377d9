// What the system holds in a file name: the characters a piece's name keeps
// from a text a recording carries (a marker's label) or the user typed, and
// the length allowed.
#pragma once

#include <cstddef>
#include <string>

// nBytes of UTF-8 as Shift-JIS for a piece's name. On Linux a character
// Shift-JIS lacks keeps itself, through the same mapping as names read from
// a folder (the characters Windows refuses in a name stay themselves, for
// AppendNameByte to judge); on Windows it becomes '?', as the code page
// gives it. 0 (and *pstrOut empty) when the bytes are not valid UTF-8.
int ConvUtf8ToNameText(const char* pcText, size_t nBytes, std::string* pstrOut);

// 1 when the system takes the name (Shift-JIS) in the folder (Shift-JIS, with
// its final separator): on Linux a component holds 255 bytes of what is
// stored, UTF-8; on Windows the whole path stays below MAX_PATH characters,
// and a name holds 255.
int FitsNameLimit(const char* pcFolderSep, const char* pcName);

// Appends what a piece's name holds for the single-byte character b of its
// text: '_' for a character the system refuses in a name (on Windows \ / : *
// ? " < > | and control characters; on Linux, where a recording's own name
// may hold the others, '/' and control characters), else the character.
void AppendNameByte(unsigned char b, std::string* pstrName);
