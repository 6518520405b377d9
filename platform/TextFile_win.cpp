// Text-mode files on Windows: the runtime turns "\n" into "\r\n" itself.
#include "platform/TextFile.h"

#include <cstdio>

int AppendTextFile(const char* pcPath, const char* pcText, size_t nLength, DWORD* pdwError)
{
    DWORD dwUnused = 0;
    DWORD& dwError = pdwError != nullptr ? *pdwError : dwUnused;
    dwError = 0;
    SetLastError(0);
    FILE* fp = fopen(pcPath, "at");
    if (fp == nullptr)
    {
        dwError = GetLastError() != 0 ? GetLastError() : ERROR_OPEN_FAILED;
        return 0;
    }
    // The runtime's failing WriteFile leaves the system's error behind.
    if (fwrite(pcText, 1, nLength, fp) != nLength)
        dwError = GetLastError() != 0 ? GetLastError() : ERROR_WRITE_FAULT;
    if (fclose(fp) != 0 && dwError == 0)
        dwError = GetLastError() != 0 ? GetLastError() : ERROR_WRITE_FAULT;
    return 1;
}

int EmptyTextFile(const char* pcPath)
{
    FILE* fp = fopen(pcPath, "wt");
    if (fp == nullptr)
        return 0;
    fclose(fp);
    return 1;
}

void UseLogTextForLinuxUsers(int) {}

std::string MakeLogText(const char* pcText, size_t nLength)
{
    return std::string(pcText, nLength);
}

int LogTextToSJis(const std::string& strLog, std::string* pstrSJis)
{
    *pstrSJis = strLog;
    return 1;
}
