// The command line's options: wavoss-split [-l hh:mm:ss] -o DIR [--log-dir DIR] [-qn] PATH...
#pragma once

#include "cli/Terminal.h"
#include "framework/CString.h"

#include <vector>

struct CliOptions
{
    CString strLength = "00:03:00"; // read as the dialog reads its box
    CString strOutput;
    CString strLogDir;
    int bQuiet = 0;
    int bNoClobber = 0; // -n: a file whose pieces exist is not split again
    int bHelp = 0;
    int bVersion = 0;
    std::vector<CliArgument> paths; // in the order given
};

// Reads the arguments; 0 with an English message in *pstrError for a usage
// error (unknown option, a missing value, an option value Shift-JIS cannot
// hold). A missing output folder or PATH is left to the caller, so that
// --help and --version need neither.
int ParseCliOptions(const std::vector<CliArgument>& args, CliOptions* pOptions, CString* pstrError);

// The usage line, and the whole help text.
const char* GetUsageText();
const char* GetHelpText();
