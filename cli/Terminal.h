// The command line's terminal: arguments converted to Shift-JIS at entry, the
// program's Shift-JIS texts converted back for output, and Ctrl-C.
#pragma once

#include "framework/CString.h"

#include <cstdio>
#include <string>
#include <vector>

struct CliArgument
{
    CString strSJis;      // the argument in Shift-JIS, when it converted
    int bConverted = 0;   // 0: see GetUnconvertedReason
    std::string strShown; // the argument as it arrived, for messages
};

// Learns the terminal's encoding and reads the arguments (argv[1] on).
void GetCliArguments(int argc, char** argv, std::vector<CliArgument>* pArgs);

// Why an argument or a name has no Shift-JIS form (bConverted 0): on Windows
// a character Shift-JIS lacks; on Linux, where such characters are mapped,
// more of them in one run than the mapping holds.
const char* GetUnconvertedReason();

// Writes Shift-JIS text to the stream in the terminal's encoding.
void PrintSJis(FILE* pStream, const char* pcText);
// The program's Shift-JIS text in UTF-8, names as they are on disk (on Linux
// every mapped character back to what it stands for).
std::string MakeUtf8Text(const char* pcText);
// The raw argument as it arrived, for messages: printed as is.
void PrintRaw(FILE* pStream, const std::string& strText);
// Bytes written as they are, flushed: a CSV's CR LF stays CR LF on Windows,
// where the stream itself would put a CR before each LF. 0 on failure.
int WriteBytes(FILE* pStream, const std::string& strBytes);

// 1 when the stream is a terminal (or the Windows console).
int IsTerminal(FILE* pStream);
// The terminal's width in columns, 80 when unknown.
int GetTerminalWidth(FILE* pStream);

// Ctrl-C (on Linux also SIGTERM or SIGHUP) sets the abort flag, so the walk
// and the batch stop at their next test, however many times it comes. On
// Linux a file size limit fails the write instead of killing the program.
void InstallInterruptHandler();
// The exit status after an interrupt: 128 + the signal's number (130 for
// Ctrl-C, 143 for SIGTERM).
int GetInterruptExitCode();

// The folder for TraceFile.txt and ConflictFile.txt when --log-dir is not
// given: on Linux $XDG_STATE_HOME/wavoss, else ~/.local/state/wavoss (the
// program's folder may be read-only there); on Windows the program's folder.
// 0 when there is none.
int GetDefaultLogFolder(CString* pstrFolder);
// Creates the log folder with the folders above it that are missing; on
// Linux for the user alone (0700), as the trace names every path processed.
// 0 on failure, with the system's error code.
int MakeLogFolder(const CString& strFolder);
