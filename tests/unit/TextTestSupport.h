// Helpers of the text tests: wide texts as std::u16string and back, expected trace
// entries, and a text allocator that fails on request.
#pragma once

#include "framework/CString.h"
#include "support/MyWString.h"
#include "support/TextAlloc.h"

#include <atomic>
#include <cstdlib>
#include <string>

// The content of a wide string or buffer, for comparisons in tests.
inline std::u16string U16(const WCHAR* pwc)
{
    std::u16string s;
    for (; pwc != nullptr && *pwc != 0; ++pwc)
        s += (char16_t)*pwc;
    return s;
}
inline std::u16string U16(const CMyWString& wstr)
{
    return U16(wstr.GetString());
}
// A wide literal as the text the string class takes.
inline const WCHAR* W(const std::u16string& s)
{
    return (const WCHAR*)s.c_str();
}

// A text-mode trace entry as it lands in the file: every LF becomes CR LF.
inline std::string TextEntry(const char* pcEntry)
{
    std::string s;
    for (; *pcEntry != '\0'; ++pcEntry)
    {
        if (*pcEntry == '\n')
            s += '\r';
        s += *pcEntry;
    }
    return s;
}

// While alive, the text allocator lets nSkip allocations of at least
// nMinBytes through and fails every later one; smaller ones always succeed.
class CFailingTextAlloc
{
public:
    explicit CFailingTextAlloc(long nSkip = 0, size_t nMinBytes = 0)
    {
        Skip() = nSkip;
        MinBytes() = nMinBytes;
        Failed() = 0;
        m_pfnPrevious = SetTextAllocator(Alloc);
    }
    ~CFailingTextAlloc() { SetTextAllocator(m_pfnPrevious); }
    CFailingTextAlloc(const CFailingTextAlloc&) = delete;
    CFailingTextAlloc& operator=(const CFailingTextAlloc&) = delete;

    // Allocations refused so far.
    long FailedCount() const { return Failed(); }

private:
    static std::atomic<long>& Skip()
    {
        static std::atomic<long> n{0};
        return n;
    }
    static std::atomic<size_t>& MinBytes()
    {
        static std::atomic<size_t> n{0};
        return n;
    }
    static std::atomic<long>& Failed()
    {
        static std::atomic<long> n{0};
        return n;
    }
    static void* Alloc(size_t nBytes)
    {
        if (nBytes >= MinBytes() && Skip()-- <= 0)
        {
            ++Failed();
            return nullptr;
        }
        return malloc(nBytes);
    }

    PFN_TEXT_ALLOC m_pfnPrevious;
};
