// Arbitrary bytes as the section-length text: ParseSectionLength must agree
// with a plain reading of the rules done on the bytes themselves (spaces
// dropped anywhere, only digits, colons and full stops, one to three fields,
// seconds with a fraction, whole minutes and hours, nothing of 2^32 ms or
// more), so the wide-string pipeline it runs through (conversion, removal,
// the character test, the split) is checked along with the arithmetic.
#include "engine/SectionLength.h"
#include "framework/AfxMessageBox.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{
int SilentPresenter(const char*, UINT) { return IDOK; }

bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

uint64_t Whole(const std::string& field)
{
    uint64_t v = 0;
    for (char c : field)
    {
        if (c < '0' || c > '9')
            break;
        v = v * 10 + (uint64_t)(c - '0');
        if (v > 2147483647u)
            return 2147483647u;
    }
    return v;
}

uint32_t Reference(std::string text)
{
    // A lone lead byte at the very end is left out by the conversion; any
    // other byte above 0x7F becomes a character outside the allowed set.
    if (!text.empty() && IsLead((unsigned char)text.back()))
    {
        bool bTrail = text.size() >= 2 && IsLead((unsigned char)text[text.size() - 2]);
        if (bTrail)
            return 0; // the pair is one character, which is not allowed
        text.pop_back();
    }
    std::string kept;
    for (char c : text)
    {
        if (c == ' ')
            continue;
        if (!strchr("0123456789:.", c) || c == '\0')
            return 0;
        kept += c;
    }
    std::vector<std::string> fields;
    size_t iStart = 0, iColon;
    bool bColon = false;
    while ((iColon = kept.find(':', iStart)) != std::string::npos)
    {
        fields.push_back(kept.substr(iStart, iColon - iStart));
        iStart = iColon + 1;
        bColon = true;
    }
    if (bColon ? iStart < kept.size() : !kept.empty())
        fields.push_back(kept.substr(iStart));
    if (fields.empty() || fields.size() > 3)
        return 0;
    double dMs = strtod(fields.back().c_str(), nullptr) * 1000.0;
    if (!(dMs < 4294967296.0))
        return 0;
    uint64_t total = (uint64_t)dMs;
    static const uint64_t kUnit[] = {0, 60000, 3600000};
    for (size_t k = 1; k < fields.size(); ++k)
    {
        total += Whole(fields[fields.size() - 1 - k]) * kUnit[k];
        if (total > 0xFFFFFFFFu)
            return 0;
    }
    return (uint32_t)total;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    AfxSetMessagePresenter(SilentPresenter);
    std::string text((const char*)data, strnlen((const char*)data, size));
    DWORD dwGot = ParseSectionLength(text.c_str());
    uint32_t want = Reference(text);
    if (dwGot != want)
    {
        fprintf(stderr, "ParseSectionLength gave %u, the rules %u\n", (unsigned)dwGot, want);
        abort();
    }
    return 0;
}
