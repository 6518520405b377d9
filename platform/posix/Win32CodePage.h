// Code-page conversion for the Linux build: ANSI code page 932 (Shift-JIS).
#pragma once

#include "platform/posix/Win32Types.h"

#include <string>

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_THREAD_ACP 3
#define CP_UTF8 65001
#define MB_PRECOMPOSED 0x00000001u
#define MB_ERR_INVALID_CHARS 0x00000008u
#define WC_NO_BEST_FIT_CHARS 0x00000400u

UINT GetACP();
int MultiByteToWideChar(UINT uCodePage, DWORD dwFlags, LPCSTR lpMultiByte, int cbMultiByte,
                        LPWSTR lpWide, int cchWide);
int WideCharToMultiByte(UINT uCodePage, DWORD dwFlags, LPCWSTR lpWide, int cchWide,
                        LPSTR lpMultiByte, int cbMultiByte, LPCSTR lpDefaultChar,
                        LPBOOL lpUsedDefaultChar);
// Lead-byte test of code page 932, as IsDBCSLeadByteEx gives it.
BOOL IsDBCSLeadByte(BYTE bTestChar);

// The whole zero-terminated text in UTF-16, empty when it cannot be converted:
// the Linux layer's and the terminal's shorthand for MultiByteToWideChar.
std::u16string WidenText(LPCSTR pcText, UINT uCodePage);
