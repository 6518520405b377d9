// Text-mode files on Linux: the runtime has no text mode, so "\n" is written as
// "\r\n" here, giving the same bytes as on Windows.
#include "platform/Platform.h"
#include "platform/TextFile.h"

#include <cstdio>
#include <string>

namespace
{
FILE* OpenSJisPath(const char* pcPath, const char* pcMode)
{
    char acPath[4096];
    if (pcPath == nullptr || !PosixPathFromSJis(pcPath, acPath, sizeof(acPath)))
        return nullptr;
    return fopen(acPath, pcMode);
}
} // namespace

int AppendTextFile(const char* pcPath, const char* pcText, size_t nLength)
{
    FILE* fp = OpenSJisPath(pcPath, "ab");
    if (fp == nullptr)
        return 0;
    std::string out;
    out.reserve(nLength + nLength / 8);
    for (size_t i = 0; i < nLength; ++i)
    {
        if (pcText[i] == '\n')
            out += '\r';
        out += pcText[i];
    }
    fwrite(out.data(), 1, out.size(), fp);
    fclose(fp);
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
