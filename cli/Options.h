// The command line's options: wavoss-split [-l hh:mm:ss | -N N | -S SIZE] [-m]
// [-c FILE] [--at T,...] [--cuts-beside] [-p[S]] [--name T] [--dry-run]
// [--plan FILE] [--share-blocks] -o DIR [--log-dir DIR] [-qn] PATH...
#pragma once

#include "cli/Terminal.h"
#include "framework/CString.h"

#include <vector>

struct CliOptions
{
    CString strLength = "00:03:00"; // read as the dialog reads its box
    int bLengthGiven = 0;           // -l was given (-m alone keeps parts whole)
    // How to cut, as typed (empty: not given); read by MakeCliPlanRequest.
    CString strParts;    // -N
    CString strMaxSize;  // -S
    int bMarkers = 0;    // -m
    CString strCuts;     // -c, --cuts: the cut list's path
    CString strAt;       // --at: times typed
    int bCutsBeside = 0; // --cuts-beside
    int bPause = 0;      // -p
    CString strPause;    // -p's SECONDS, when given
    CString strPauseMin;
    CString strPauseLevel;
    int bEveryPause = 0; // -P
    CString strMinPiece; // --min-piece
    int bTrim = 0;       // --trim
    CString strName;     // --name
    int bDryRun = 0;     // --dry-run
    CString strPlanFile; // --plan
    CString strOutput;
    CString strLogDir;
    int bQuiet = 0;
    int bNoClobber = 0;   // -n: a file whose pieces exist is not split again
    int bShareBlocks = 0; // --share-blocks
    int bHelp = 0;
    int bVersion = 0;
    // --channels: each piece one file per channel or group.
    int bChannels = 0;
    CString strChannels;
    std::vector<CliArgument> paths; // in the order given
};

// Reads the arguments; 0 with an English message in *pstrError for a usage
// error (unknown option, a missing value, an option value Shift-JIS cannot
// hold). A missing output folder or PATH is left to the caller, so that
// --help and --version need neither.
int ParseCliOptions(const std::vector<CliArgument>& args, CliOptions* pOptions, CString* pstrError);

// The whole help text.
const char* GetHelpText();
