// What Linux holds in a file name: any character, 255 bytes of UTF-8.
#include "support/SystemNames.h"

#include "platform/Platform.h"
#include "support/Utf8Conv.h"

#include <cstring>

namespace
{
// NAME_MAX of the file systems in use: bytes of a name as stored.
const size_t kNameMax = 255;
} // namespace

int ConvUtf8ToNameText(const char* pcText, size_t nBytes, std::string* pstrOut)
{
    std::string strPlain;
    if (!ConvUtf8ToSJis(pcText, nBytes, &strPlain))
        return 0;
    // The mapping gives the characters a Windows name refuses a character
    // of their own: here they go on as themselves, to be judged as in a
    // label of plain ASCII. In UTF-8 an ASCII byte is never part of another
    // character.
    pstrOut->clear();
    size_t iRun = 0;
    for (size_t i = 0; i <= nBytes; ++i)
    {
        bool bRefused =
            i < nBytes && pcText[i] != '\0' && strchr("\\*?:\"<>|", pcText[i]) != nullptr;
        if (i < nBytes && !bRefused)
            continue;
        std::string strRun;
        if (!SystemTextToSJis(pcText + iRun, i - iRun, &strRun))
        {
            // The mapping's area is full: the characters it lacks become '?'.
            *pstrOut = strPlain;
            return 1;
        }
        *pstrOut += strRun;
        if (i < nBytes)
            *pstrOut += pcText[i];
        iRun = i + 1;
    }
    return 1;
}

void AppendNameByte(unsigned char b, std::string* pstrName)
{
    if (b < 0x20 || b == 0x7F || b == '/')
    {
        *pstrName += '_';
        return;
    }
    if (b != '\\')
    {
        *pstrName += (char)b;
        return;
    }
    // The program's paths take '\\' as a separator: in a name it is the
    // character that stands for it in names read from folders.
    static const std::string s_strBackslash = []
    {
        std::string str;
        return SystemTextToSJis("\\", 1, &str) ? str : std::string("_");
    }();
    *pstrName += s_strBackslash;
}

int FitsNameLimit(const char* /*pcFolderSep*/, const char* pcName)
{
    // A byte of Shift-JIS is at most 3 bytes of UTF-8 (a half-width kana):
    // most names need no conversion to be measured.
    if (strlen(pcName) * 3 <= kNameMax)
        return 1;
    std::string strStored;
    SJisToSystemText(pcName, strlen(pcName), 0, &strStored);
    return strStored.size() <= kNameMax;
}
