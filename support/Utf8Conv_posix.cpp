// Shift-JIS to UTF-8 on Linux: through the mapping names and labels share.
#include "support/Utf8Conv.h"

#include "platform/Platform.h"

#include <cstring>

std::string ConvSJisToUtf8(const char* pcText)
{
    std::string strText;
    if (pcText != nullptr)
        SJisToSystemText(pcText, strlen(pcText), 0, &strText);
    return strText;
}
