// What Windows holds in a file name through the "A" calls: the code page's
// characters, a path below MAX_PATH characters.
#include "support/SystemNames.h"

#include "platform/Platform.h"
#include "support/Utf8Conv.h"

#include <cstring>
#include <string>

int ConvUtf8ToNameText(const char* pcText, size_t nBytes, std::string* pstrOut)
{
    return ConvUtf8ToSJis(pcText, nBytes, pstrOut);
}

void AppendNameByte(unsigned char b, std::string* pstrName)
{
    int bRefused = b < 0x20 || b == 0x7F || (b != 0 && strchr("\\/:*?\"<>|", b) != nullptr);
    *pstrName += bRefused ? '_' : (char)b;
}

int FitsNameLimit(const char* pcFolderSep, const char* pcName)
{
    // NTFS holds 255 characters a name: only a folder as short as "C:\"
    // leaves MAX_PATH room for more.
    const int kNameMax = 255;
    std::string strPath = std::string(pcFolderSep) + pcName;
    // A character takes at least one byte.
    if (strPath.size() < MAX_PATH && strlen(pcName) <= (size_t)kNameMax)
        return 1;
    // The characters with the terminator, as the system counts the path it
    // converts from the code page.
    int nChars = MultiByteToWideChar(CP_ACP, 0, strPath.c_str(), -1, nullptr, 0);
    int nNameChars = MultiByteToWideChar(CP_ACP, 0, pcName, -1, nullptr, 0);
    return nChars > 0 && nChars <= MAX_PATH && nNameChars > 0 && nNameChars - 1 <= kNameMax;
}
