// Helpers of the path-list and add-files tests: folders and files joined as
// the program joins them, the list as every Add leaves it, and its columns.
#pragma once

#include "sources/FilteredPathList.h"

#include <string>
#include <vector>

// The program joins folder and name with a backslash on every platform.
CString Joined(const CString& strFolder, const char* pcName);
// Joined as the program joins, so that expected paths match its records.
CString MakeSubDir(const CString& strFolder, const char* pcName);
// A file of nBytes in the folder; fails the test when it cannot be written.
void Touch(const CString& strFolder, const char* pcName, size_t nBytes = 4);

// The list as every Add leaves it: extension filter "wav", pattern off; the
// walk's base folder when one is given.
struct CWavList : public CMyFilteredPathList
{
    CWavList();
    explicit CWavList(const CString& strBase);
};

CMyPathRecord MakeRecord(const char* pcFolder, const char* pcName, ULONGLONG qwSize = 0);

std::vector<std::string> Paths(const CMyPathList& list);
std::vector<std::string> FileNames(const CMyPathList& list);
std::vector<DWORD> IDs(const CMyPathList& list);
