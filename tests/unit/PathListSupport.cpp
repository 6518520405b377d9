#include "PathListSupport.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

CString Joined(const CString& strFolder, const char* pcName)
{
    return strFolder + "\\" + pcName;
}

CString MakeSubDir(const CString& strFolder, const char* pcName)
{
    CString strPath = Joined(strFolder, pcName);
    CreateDirectoryA(strPath, nullptr);
    return strPath;
}

void Touch(const CString& strFolder, const char* pcName, size_t nBytes)
{
    ASSERT_TRUE(WriteBytes(JoinPath(strFolder, pcName), std::string(nBytes, 'x')));
}

CWavList::CWavList()
{
    SetPatternOn(0);
    SetExtension("wav");
    SetExtensionOn(1);
}

CWavList::CWavList(const CString& strBase) : CWavList()
{
    SetPickedBaseFolder(strBase);
}

CMyPathRecord MakeRecord(const char* pcFolder, const char* pcName, ULONGLONG qwSize)
{
    CMyPathRecord record;
    record.FoldPath = pcFolder;
    record.FileName = pcName;
    record.FilePath.Format("%s\\%s", pcFolder, pcName);
    record.FileSize = qwSize;
    return record;
}

std::vector<std::string> Paths(const CMyPathList& list)
{
    std::vector<std::string> paths;
    for (DWORD i = 0; i < list.GetCount(); i++)
        paths.push_back(list.GetAt(i).FilePath.GetString());
    return paths;
}

std::vector<std::string> FileNames(const CMyPathList& list)
{
    std::vector<std::string> names;
    for (DWORD i = 0; i < list.GetCount(); i++)
        names.push_back(list.GetAt(i).FileName.GetString());
    return names;
}

std::vector<DWORD> IDs(const CMyPathList& list)
{
    std::vector<DWORD> ids;
    for (DWORD i = 0; i < list.GetCount(); i++)
        ids.push_back(list.GetAt(i).ID);
    return ids;
}
