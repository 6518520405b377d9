// Conversion between Shift-JIS (the ANSI code page, 932) and UTF-16 text.
// Lengths are byte counts on the narrow side and character counts on the wide
// side, never counting the terminator. Buffers returned are the caller's,
// released with free(). An out-count, where given, receives the length of the
// result, and 0 on every failure.
#pragma once

#include "platform/Platform.h"

// Converts dwSrcLen bytes (fewer when the text ends earlier; a final lead byte
// is left out) into pwcResultBuff, which holds dwResultBuffSize characters and
// is always terminated. 1 on success, 0 on failure.
int ConvSJisToWideCharGetLen(WCHAR* pwcResultBuff, const char* pcSrcStr, DWORD dwResultBuffSize,
                             DWORD dwSrcLen, DWORD* pdwResultLen = nullptr);
// A new wide text of dwSrcLen bytes (0: up to the terminator), or null.
WCHAR* ConvSJisToWideChar(const char* pcSrcStr, DWORD dwSrcLen, DWORD* pdwResultLen = nullptr);
// A new Shift-JIS text of dwSrcLen characters (0: up to the terminator), or null.
char* ConvWideCharToSJis(const WCHAR* pwcSrcStr, DWORD dwSrcLen, DWORD* pdwResultLen = nullptr);
// A new wide text of the whole source, or null; writes no trace entry.
WCHAR* ConvSJisToNewWideChar(const char* pcSrcStr);
// The whole source into pwcResultBuff, which must hold its byte length + 1
// characters; always terminated. 1 or 0.
int ConvSJisToWideCharBuff(WCHAR* pwcResultBuff, const char* pcSrcStr);
// Wide characters that dwSrcLen bytes give; 0 on failure.
DWORD CountSJisWideChars(const char* pcSrcStr, DWORD dwSrcLen);
// Wide characters that dwCount bytes from dwOffset give (0 or too many: to the
// end); 0 on failure or when the offset is at or past the end.
DWORD CountSJisSectorWideChars(const char* pcSrcStr, DWORD dwOffset, DWORD dwCount);
