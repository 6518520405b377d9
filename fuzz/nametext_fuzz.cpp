// Arbitrary Linux names through the user-defined area and back: every name
// that gets a Shift-JIS form comes back byte for byte, and that form holds no
// character the program would read as a separator or a wildcard.
#include "platform/Platform.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string name((const char*)data, size);
    if (name.find('\0') != std::string::npos || name.find('/') != std::string::npos)
        return 0;
    std::string sjis;
    if (!SystemTextToSJis(name.data(), name.size(), &sjis))
        return 0; // the area is full: the name is reported, never garbled
    for (int bPath = 0; bPath <= 1; bPath++)
    {
        std::string back;
        SJisToSystemText(sjis.data(), sjis.size(), bPath, &back);
        if (back != name)
            abort();
    }
    if (sjis.empty())
        return 0;
    std::vector<WCHAR> wide(sjis.size() + 1, 0);
    int nWide = MultiByteToWideChar(CP_ACP, 0, sjis.data(), (int)sjis.size(), wide.data(),
                                    (int)wide.size());
    for (int i = 0; i < nWide; i++)
    {
        if (wide[i] < 0x80 && strchr("\\/*?:\"<>|", (int)wide[i]) != nullptr)
            abort();
        // What an undecodable byte would read as, unless the name has it.
        if (wide[i] == 0x30FB && name.find("\xE3\x83\xBB") == std::string::npos)
            abort();
    }
    return 0;
}
