// Shared helpers of the unit tests: scratch folders, file bytes, the trace and
// captured message boxes.
#pragma once

#include "framework/CString.h"

#include <string>
#include <vector>

// The platform's separator, for building paths in tests.
#ifdef _WIN32
#define TEST_SEP "\\"
#else
#define TEST_SEP "/"
#endif

// A fresh, empty folder under the run's scratch root (removed with the root).
CString MakeTestDir(const char* pcName);
CString JoinPath(const CString& strFolder, const char* pcName);

bool WriteBytes(const CString& strPath, const std::string& data);
bool ReadBytes(const CString& strPath, std::string& data);
// head at the start and tail at qwTailAt, nothing written between: a large
// file that costs the disk next to nothing. Callers delete it.
bool WriteSparse(const CString& strPath, const std::string& head, unsigned long long qwTailAt,
                 const std::string& tail);
bool PathExists(const CString& strPath);

// The trace file of the test run: read, and emptied between tests.
std::string ReadTrace();
void ClearTrace();

// Message boxes shown since the last clear (Shift-JIS texts).
std::vector<std::string> TakeMessages();
