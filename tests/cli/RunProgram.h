// Runs the built wavoss-split with arguments and collects what it printed.
#pragma once

#include <string>
#include <vector>

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

// The bytes the program writes for Shift-JIS text on a redirected stream.
std::string ExpectedOutput(const std::string& strSJis);
// A Shift-JIS path or name as UTF-8, for arguments.
std::string SJisToUtf8(const std::string& strSJis);
