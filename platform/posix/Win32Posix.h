// The subset of the Windows API that the portable code uses, for Linux. It
// behaves like a Japanese Windows (ANSI code page 932) whose file system stores
// UTF-8 names: "A" calls take Shift-JIS paths; '\' and '/' both separate.
// Only generic POSIX code belongs in this folder.
#pragma once

#include "platform/posix/Win32Types.h"
#include "platform/posix/Win32File.h"
#include "platform/posix/Win32CodePage.h"
#include "platform/posix/Win32System.h"
#include "platform/posix/Win32Message.h"
#include "platform/posix/Win32NameText.h"
