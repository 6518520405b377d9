// The Windows calls the portable code makes: the real ones on Windows, our own
// subset (platform/posix) elsewhere. Portable code includes this, never <windows.h>.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <imagehlp.h>
#include <shellapi.h>
#ifndef ERROR_STOPPED_ON_SYMLINK // not in every SDK's winerror.h
#define ERROR_STOPPED_ON_SYMLINK 681
#endif
// Narrow literals are Shift-JIS; wide literals are UTF-16 on both platforms.
#define WSTR(s) L##s
#else
#include "platform/posix/Win32Posix.h"
#define WSTR(s) u##s
#endif

#include "platform/PlatformHooks.h"
