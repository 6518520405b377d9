// One failure entry built with CString formatting and written in text mode,
// the way the string and conversion routines report.
#pragma once

#include "support/Trace.h"

#include <cstdarg>
#include <cstdint>

inline void WriteTraceEntry(const char* pcFormat, ...)
{
    CString strEntry;
    va_list args;
    va_start(args, pcFormat);
    strEntry.FormatV(pcFormat, args);
    va_end(args);
    WriteTraceString(strEntry);
}

// An address as the entries show it: its low 32 bits for "%08X".
inline DWORD TraceAddress(const void* p)
{
    return (DWORD)(uintptr_t)p;
}
