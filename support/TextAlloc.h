// Allocation of text buffers (the wide string's and the conversions'), behind
// a replaceable allocator so that tests can make it fail.
#pragma once

#include "platform/Platform.h"

#include <cstddef>

// An allocator returns memory that free() releases, or null.
typedef void* (*PFN_TEXT_ALLOC)(size_t nBytes);

// Installs an allocator (null puts malloc back) and returns the one it replaced.
PFN_TEXT_ALLOC SetTextAllocator(PFN_TEXT_ALLOC pfnAlloc);

// dwCount characters or bytes; null on failure or when the byte size does not
// fit the address space. Released with free().
WCHAR* AllocWideChars(DWORD dwCount);
char* AllocSJisBytes(DWORD dwCount);
