// Text-mode files on Windows: the runtime turns "\n" into "\r\n" itself.
#include "platform/TextFile.h"

#include <cstdio>

int AppendTextFile(const char* pcPath, const char* pcText, size_t nLength)
{
    FILE* fp = fopen(pcPath, "at");
    if (fp == nullptr)
        return 0;
    fwrite(pcText, 1, nLength, fp);
    fclose(fp);
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
