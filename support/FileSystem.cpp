// File-system helpers: existence tests, directory entries, the current
// directory, 64-bit sizes, number reading and thousands separators.
#include "support/FileSystem.h"

#include "support/Trace.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace
{
const DWORD kCurrentDirBuff = 5000;

// One directory lookup. A path that ends in a separator names no entry: the
// search refuses it with ERROR_FILE_NOT_FOUND (Windows, Wine and ours alike).
bool FindEntry(WIN32_FIND_DATAA* pFindData, const char* pcPath)
{
    HANDLE hFind = WvFindFirstFile(pcPath, pFindData);
    if (hFind == INVALID_HANDLE_VALUE)
        return false;
    FindClose(hFind);
    return true;
}
} // namespace

int IsExistFile(const char* pcPath, int bWantFolder, int bReport)
{
    if (pcPath == nullptr)
    {
        WriteTraceString(CString("※引数が無効。IxExistFile()\n"));
        return 0;
    }
    WIN32_FIND_DATAA fd;
    if (FindEntry(&fd, pcPath))
    {
        bool bFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (bFolder == (bWantFolder != 0))
            return 1;
    }
    if (bReport)
    {
        DWORD dwError = GetLastError();
        WriteTraceFormat("※　パスの存在チェック失敗。IsExistFile()\n\t%s\n:", pcPath);
        WriteTraceSystemError(dwError);
    }
    return 0;
}

int GetFindData(WIN32_FIND_DATAA* pFindData, const char* pcPath)
{
    if (pFindData == nullptr || pcPath == nullptr)
        return 0;
    return FindEntry(pFindData, pcPath) ? 1 : 0;
}

int GetCurrentDir(CString* pstrDir)
{
    if (pstrDir == nullptr)
        return 0;
    char* pcBuff = pstrDir->GetBuffer((int)kCurrentDirBuff);
    pcBuff[0] = '\0';
    DWORD dwLength = GetCurrentDirectoryA(kCurrentDirBuff, pcBuff);
    // A longer directory gives the size it needs and leaves the buffer alone.
    if (dwLength == 0 || dwLength >= kCurrentDirBuff)
    {
        pcBuff[0] = '\0';
        pstrDir->ReleaseBuffer(0);
        return 0;
    }
    pstrDir->ReleaseBuffer(-1);
    return 1;
}

int InsertThousandsSeparators(char* pcText, DWORD dwBuffSize)
{
    if (pcText == nullptr)
        return 0;
    size_t nLength = strlen(pcText);
    size_t nDigits = 0;
    size_t iStop = nLength;
    for (size_t i = 0; i < nLength; ++i)
    {
        if (isdigit((unsigned char)pcText[i]))
            ++nDigits;
        else if (pcText[i] == '.' && iStop == nLength)
            iStop = i;
    }
    // A full stop before index 4 leaves at most three integer digits.
    if (nDigits < 4 || iStop < 4)
        return (int)nLength;

    int nGroup = 0;
    bool bGroupComplete = false;
    for (size_t i = iStop; i-- > 0;)
    {
        if (isdigit((unsigned char)pcText[i]))
        {
            if (bGroupComplete && (dwBuffSize == 0 || nLength + 1 < dwBuffSize))
            {
                // The tail after this digit, terminator included, moves right.
                memmove(pcText + i + 2, pcText + i + 1, nLength - i);
                pcText[i + 1] = ',';
                ++nLength;
                bGroupComplete = false;
            }
            ++nGroup;
        }
        if (nGroup > 2)
        {
            bGroupComplete = true;
            nGroup = 0;
        }
    }
    return (int)nLength;
}

ULONGLONG MakeUInt64(DWORD dwLow, DWORD dwHigh)
{
    return ((ULONGLONG)dwHigh << 32) | dwLow;
}

double StrToDouble(const char* pcText)
{
    return pcText != nullptr ? strtod(pcText, nullptr) : 0.0;
}

DWORD StrToULong(const char* pcText)
{
    if (pcText == nullptr)
        return 0;
    // Linux's unsigned long has 64 bits; read the way the 32-bit runtime does:
    // an optional sign, a magnitude that saturates at 0xFFFFFFFF, and a minus
    // sign negating the value modulo 2^32.
    const char* pc = pcText;
    while (isspace((unsigned char)*pc))
        ++pc;
    bool bNegative = *pc == '-';
    if (*pc == '-' || *pc == '+')
        ++pc;
    if (!isdigit((unsigned char)*pc))
        return 0;
    errno = 0;
    unsigned long long ullValue = strtoull(pc, nullptr, 10);
    if (errno == ERANGE || ullValue > 0xFFFFFFFFull)
        return 0xFFFFFFFFu;
    DWORD dwValue = (DWORD)ullValue;
    return bNegative ? 0u - dwValue : dwValue;
}
