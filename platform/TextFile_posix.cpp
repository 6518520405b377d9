// Text-mode files on Linux: the runtime has no text mode, so "\n" is written as
// "\r\n" here, giving the same bytes as on Windows; or, for Linux users, as
// "\n" in UTF-8.
#include "platform/Platform.h"
#include "platform/TextFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace
{
std::atomic<int> g_bForLinuxUsers{0};

FILE* OpenSJisPath(const char* pcPath, const char* pcMode)
{
    char acPath[4096];
    if (pcPath == nullptr || !PosixPathFromSJis(pcPath, acPath, sizeof(acPath)))
        return nullptr;
    return fopen(acPath, pcMode);
}
} // namespace

int AppendTextFile(const char* pcPath, const char* pcText, size_t nLength, DWORD* pdwError)
{
    DWORD dwUnused = 0;
    DWORD& dwError = pdwError != nullptr ? *pdwError : dwUnused;
    dwError = 0;
    errno = 0;
    FILE* fp = OpenSJisPath(pcPath, "ab");
    if (fp == nullptr)
    {
        dwError = errno != 0 ? PosixErrorToWin32(errno) : ERROR_FILENAME_EXCED_RANGE;
        return 0;
    }
    std::string out;
    if (g_bForLinuxUsers.load(std::memory_order_relaxed))
        out = MakeLogText(pcText, nLength);
    else
    {
        out.reserve(nLength + nLength / 8);
        for (size_t i = 0; i < nLength; ++i)
        {
            if (pcText[i] == '\n')
                out += '\r';
            out += pcText[i];
        }
    }
    // A full disk shows at the latest when the buffer is flushed on close.
    if (fwrite(out.data(), 1, out.size(), fp) != out.size())
        dwError = PosixErrorToWin32(errno);
    if (fclose(fp) != 0 && dwError == 0)
        dwError = PosixErrorToWin32(errno);
    return 1;
}

int EmptyTextFile(const char* pcPath)
{
    FILE* fp = OpenSJisPath(pcPath, "wb");
    if (fp == nullptr)
        return 0;
    fclose(fp);
    return 1;
}

void UseLogTextForLinuxUsers(int bOn)
{
    g_bForLinuxUsers.store(bOn, std::memory_order_relaxed);
}

std::string MakeLogText(const char* pcText, size_t nLength)
{
    if (!g_bForLinuxUsers.load(std::memory_order_relaxed))
        return std::string(pcText, nLength);
    std::string text;
    SJisToSystemText(pcText, nLength, 1, &text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] != '\r' || i + 1 >= text.size() || text[i + 1] != '\n')
            out += text[i];
    }
    return out;
}

int LogTextToSJis(const std::string& strLog, std::string* pstrSJis)
{
    if (!g_bForLinuxUsers.load(std::memory_order_relaxed))
    {
        *pstrSJis = strLog;
        return 1;
    }
    return SystemTextToSJis(strLog.data(), strLog.size(), pstrSJis);
}
