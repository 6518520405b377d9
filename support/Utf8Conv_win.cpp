// Shift-JIS to UTF-8 on Windows: the code page holds every character a name
// or a label has there.
#include "support/Utf8Conv.h"

std::string ConvSJisToUtf8(const char* pcText)
{
    return ConvSJisToUtf8Plain(pcText);
}
