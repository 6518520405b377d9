// Runs the built wavoss-split on Linux: fork, exec, output into files.
#include "RunProgram.h"

#include "TestSupport.h"
#include "platform/Platform.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
std::string ReadWhole(const char* pcPath)
{
    std::string data;
    FILE* pFile = fopen(pcPath, "rb");
    if (pFile == nullptr)
        return data;
    char acBuff[4096];
    size_t n;
    while ((n = fread(acBuff, 1, sizeof(acBuff), pFile)) > 0)
        data.append(acBuff, n);
    fclose(pFile);
    return data;
}
} // namespace

std::string SJisToUtf8(const std::string& strSJis)
{
    int n = MultiByteToWideChar(CP_ACP, 0, strSJis.c_str(), -1, nullptr, 0);
    std::u16string wide((size_t)(n > 0 ? n : 1), u'\0');
    MultiByteToWideChar(CP_ACP, 0, strSJis.c_str(), -1, &wide[0], n);
    int m = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out((size_t)(m > 0 ? m : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &out[0], m, nullptr, nullptr);
    out.resize(strlen(out.c_str()));
    return out;
}

// The child runs in a UTF-8 locale: its messages come out as UTF-8.
std::string ExpectedOutput(const std::string& strSJis)
{
    return SJisToUtf8(strSJis);
}

pid_t StartSplitProgram(const std::vector<std::string>& args, const std::string& strOutPath,
                        const std::string& strErrPath, const std::function<void()>& inChild)
{
    // The tests' environment names the emulator's wrapper when there is one.
    const char* pcExe =
        getenv("WAVOSS_SPLIT_EXE") != nullptr ? getenv("WAVOSS_SPLIT_EXE") : WAVOSS_SPLIT_EXE;
    pid_t pid = fork();
    if (pid != 0)
        return pid;
    int fdOut = open(strOutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int fdErr = open(strErrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fdOut < 0 || fdErr < 0 || dup2(fdOut, 1) < 0 || dup2(fdErr, 2) < 0)
        _exit(127);
    setenv("LC_ALL", "C.UTF-8", 1);
    if (inChild)
        inChild();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(pcExe));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(pcExe, argv.data());
    _exit(127);
}

ProgramResult RunSplitProgram(const std::vector<std::string>& args, const std::string& strWorkDir)
{
    CString strDir = MakeTestDir("run");
    std::string strOutPath = std::string(strDir) + "/stdout";
    std::string strErrPath = std::string(strDir) + "/stderr";
    ProgramResult result;
    pid_t pid = StartSplitProgram(args, strOutPath, strErrPath,
                                  [&]()
                                  {
                                      if (!strWorkDir.empty() && chdir(strWorkDir.c_str()) != 0)
                                          _exit(127);
                                  });
    int nStatus = 0;
    if (pid > 0 && waitpid(pid, &nStatus, 0) == pid && WIFEXITED(nStatus))
        result.nExitCode = WEXITSTATUS(nStatus);
    result.strOut = ReadWhole(strOutPath.c_str());
    result.strErr = ReadWhole(strErrPath.c_str());
    return result;
}
