// printf-style formatting with the directives of the program's texts.
#pragma once

#include <cstdarg>
#include <cstddef>

// Formats like the Windows wsprintf family, plus the runtime's 64-bit "I64" and
// "ll" sizes: %d %i %u %x %X %c %s %p %%, flags '-' '0' '#', a width (or '*')
// and a precision. One implementation on every platform, so that texts come
// out byte for byte the same; wvsprintfA itself knows no 64-bit size.
// Stores at most cbOut - 1 characters and a terminator (nothing when cbOut is
// 0) and returns the length of the whole formatted text.
size_t FormatTextV(char* pcOut, size_t cbOut, const char* pcFmt, va_list args);
size_t FormatText(char* pcOut, size_t cbOut, const char* pcFmt, ...);
