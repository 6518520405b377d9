// The replaceable allocator of text buffers.
#include "support/TextAlloc.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace
{
void* DefaultAlloc(size_t nBytes)
{
    return malloc(nBytes);
}

std::atomic<PFN_TEXT_ALLOC> g_pfnAlloc{DefaultAlloc};
} // namespace

PFN_TEXT_ALLOC SetTextAllocator(PFN_TEXT_ALLOC pfnAlloc)
{
    return g_pfnAlloc.exchange(pfnAlloc != nullptr ? pfnAlloc : DefaultAlloc,
                               std::memory_order_relaxed);
}

WCHAR* AllocWideChars(DWORD dwCount)
{
    // On a 32-bit build 0x80000000 or more characters overflow size_t.
    if ((uint64_t)dwCount * sizeof(WCHAR) > (uint64_t)SIZE_MAX)
        return nullptr;
    return (WCHAR*)g_pfnAlloc.load(std::memory_order_relaxed)((size_t)dwCount * sizeof(WCHAR));
}

char* AllocSJisBytes(DWORD dwCount)
{
    return (char*)g_pfnAlloc.load(std::memory_order_relaxed)((size_t)dwCount);
}
