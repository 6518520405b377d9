// Runs the built wavoss-split with arguments and collects what it printed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/types.h>
#endif

struct ProgramResult
{
    int nExitCode = -1;
    std::string strOut; // standard output, bytes as written
    std::string strErr; // standard error, bytes as written
};

// Arguments are UTF-8 (converted to the program's wide command line on
// Windows); strWorkDir (UTF-8, empty: this process's) is the program's
// current directory.
ProgramResult RunSplitProgram(const std::vector<std::string>& args,
                              const std::string& strWorkDir = std::string());

#ifndef _WIN32
// Starts wavoss-split, through the build's emulator when the tests have one
// (a 32-bit build on a kernel that cannot run it), with its standard output
// and error written to the files; inChild runs in the child just before the
// program starts (a folder to work in, a limit). The child's pid, or -1.
// Every test that starts the program starts it here.
pid_t StartSplitProgram(const std::vector<std::string>& args, const std::string& strOutPath,
                        const std::string& strErrPath,
                        const std::function<void()>& inChild = std::function<void()>());
#endif

// The bytes the program writes for Shift-JIS text on a redirected stream.
std::string ExpectedOutput(const std::string& strSJis);
// A Shift-JIS path or name as UTF-8, for arguments.
std::string SJisToUtf8(const std::string& strSJis);
