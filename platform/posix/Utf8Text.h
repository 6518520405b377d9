// UTF-8 one character at a time: the only decoder and encoder of the Linux
// layer, for the code-page conversion and for names.
#pragma once

#include <cstddef>
#include <cstdint>

// The code point of the UTF-8 sequence at p and the bytes it takes; 0 when p
// starts no valid sequence (a lone or missing continuation byte, an overlong
// form, a surrogate, past U+10FFFF, or cut off by the end of the text).
size_t DecodeUtf8(const unsigned char* p, size_t nLeft, uint32_t* pCodePoint);

// Writes the code point (at most U+10FFFF) as 1 to 4 bytes; gives the count.
size_t EncodeUtf8(uint32_t uCodePoint, unsigned char* pOut);
