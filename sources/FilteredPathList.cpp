// The path list with its name filter and the operations that add files to it:
// one picked file, one path, and the recursive folder walk.
#include "sources/FilteredPathList.h"

#include "engine/JobFlags.h"
#include "support/FileSystem.h"
#include "support/PathText.h"

#include <cstring>

CMyFilteredPathList::CMyFilteredPathList()
{
    m_bPatternOk = m_nameFilter.SetPattern(WSTR(".+"));
}

void CMyFilteredPathList::SetExtension(const char* pcExtension)
{
    m_strExtension = pcExtension;
    m_strWideExtension = (const char*)m_strExtension;
}

int CMyFilteredPathList::SetPattern(const char* pcPattern)
{
    m_bPatternOk = m_nameFilter.SetPattern(pcPattern);
    return m_bPatternOk;
}

int CMyFilteredPathList::SetPattern(const WCHAR* pwcPattern)
{
    m_bPatternOk = m_nameFilter.SetPattern(pwcPattern);
    return m_bPatternOk;
}

int CMyFilteredPathList::MatchName(const CMyWString& strName) const
{
    if (m_bPatternOn)
        return m_bPatternOk && m_nameFilter.IsMatch(strName.GetString(), strName.GetLength());
    if (!m_bExtensionOn)
        return 0;
    m_strWorkName = strName;
    return IsWantedExtension(m_strWorkName);
}

// Cuts the work string down to its extension in place.
int CMyFilteredPathList::IsWantedExtension(CMyWString& strWork) const
{
    if (!strWork.ToExtension(4))
        return 0;
    return strWork.Compare(m_strWideExtension.GetString(), 1) == 0;
}

// MatchName for a name from a listing, without copying it once more.
int CMyFilteredPathList::MatchNarrowName(const char* pcName)
{
    if (!m_strWorkPath.SetData(pcName, 0))
        return 0;
    if (m_bPatternOn || !m_bExtensionOn)
        return MatchName(m_strWorkPath);
    return IsWantedExtension(m_strWorkPath);
}

// folder + "\\" + name, as "%s\\%s" gives it.
CString CMyFilteredPathList::JoinPath(const char* pcFolder, const char* pcName)
{
    CString strPath(pcFolder);
    strPath += '\\';
    strPath += pcName;
    return strPath;
}

void CMyFilteredPathList::FillNextSlot(const char* pcFolder, const char* pcName,
                                       const CString& strPath, const WIN32_FIND_DATAA& entry)
{
    CMyPathRecord& record = NextSlot();
    record.FoldPath = pcFolder;
    record.FileName = pcName;
    record.FilePath = strPath;
    record.FileSize = MakeUInt64(entry.nFileSizeLow, entry.nFileSizeHigh);
    record.BaseFoldPath = m_strPickedBaseFolder;
    record.ID = MY_NO_ID;
    CommitNextSlot();
}

void CMyFilteredPathList::ReportFolderError(const char* pcFolder, DWORD dwError) const
{
    if (m_pfnFolderError != nullptr)
        m_pfnFolderError(pcFolder, dwError, m_pFolderErrorContext);
}

// Single files grow a full list by 4096 records at once, before any test.
int CMyFilteredPathList::AddFile(const char* pcFolder, const WIN32_FIND_DATAA& entry, int bFilter)
{
    if (GetCount() == GetCapacity())
    {
        DWORD dwCapacity = GetCapacity();
        if (dwCapacity == 0xFFFFFFFFu)
            return 0;
        DWORD dwNew = dwCapacity > 0xFFFFFFFFu - 4096 ? 0xFFFFFFFFu : dwCapacity + 4096;
        if (!ReserveRecords(dwNew))
            return 0;
    }
    // Only files are collected; a FIFO, socket or device is no source.
    if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
        return 0;
    if (bFilter && !MatchNarrowName(entry.cFileName))
        return 0;
    if (pcFolder == nullptr)
        pcFolder = "";
    CString strPath = JoinPath(pcFolder, entry.cFileName);
    if (FindPath(strPath) != MY_NOT_FOUND)
        return 0;
    if (pcFolder[0] == '\0')
        return 0;
    FillNextSlot(pcFolder, entry.cFileName, strPath, entry);
    return 1;
}

int CMyFilteredPathList::AddPath(const char* pcPath, int bRecurse, int bFilter)
{
    WIN32_FIND_DATAA entry;
    if (pcPath == nullptr || !GetFindData(&entry, pcPath))
        return 0;
    CString strFolder = GetFolderFromPath(pcPath);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    {
        if (!bRecurse)
            return 0;
        if (GetCapacity() < GetCount() + 1 && !ReserveRecords(GetCount() + 1))
            return 0;
        return ScanFolder(pcPath, 1, bFilter);
    }
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)
        return 0;
    if (bFilter)
    {
        if (!m_strWorkPath.SetData(pcPath, 0) || !m_strWorkPath.ToFileName(1))
            return 0;
        if (!MatchName(m_strWorkPath))
            return 0;
    }
    if (FindPath(pcPath) != MY_NOT_FOUND)
        return 0;
    if (GetCapacity() < GetCount() + 1 && !ReserveRecords(GetCount() + 1))
        return 0;
    if (strFolder.IsEmpty())
        return 0;
    FillNextSlot(strFolder, entry.cFileName, JoinPath(strFolder, entry.cFileName), entry);
    return 1;
}

// Depth first: a folder's files in listing order, then each sub-folder in
// turn. The listing is closed before any sub-folder is entered, so one
// listing is open at a time however deep the tree.
int CMyFilteredPathList::ScanFolder(const char* pcFolder, int bRecurse, int bFilter)
{
    if (bFilter && ((m_bPatternOn && !m_bPatternOk) || (!m_bPatternOn && !m_bExtensionOn)))
        return 0;
    if (pcFolder == nullptr)
        return 0;
    CMyArray<CString> subFolders;
    subFolders.Reallocate(1024, 0);
    int bResult = 1;

    CString strSavedDir;
    GetCurrentDir(&strSavedDir);
    if (!SetCurrentDirectoryA(pcFolder))
    {
        ReportFolderError(pcFolder, GetLastError());
        return 0;
    }
    if (m_pfnFolderEntry != nullptr && !m_pfnFolderEntry(pcFolder, m_pFolderEntryContext))
    {
        SetCurrentDirectoryA(strSavedDir);
        return 1;
    }
    WIN32_FIND_DATAA entry;
    HANDLE hFind = WvFindFirstFile("*.*", &entry);
    if (hFind == INVALID_HANDLE_VALUE)
    {
        // Every folder lists at least "." and "..": this one is unreadable.
        DWORD dwError = GetLastError();
        if (dwError != ERROR_FILE_NOT_FOUND && dwError != ERROR_NO_MORE_FILES)
            ReportFolderError(pcFolder, dwError);
    }
    else
    {
        DWORD dwSeen = 0;
        do
        {
            // The first two entries are "." and ".."; the abort test comes
            // before each one after them.
            if (++dwSeen > 2 && g_bAbort.load(std::memory_order_relaxed))
                break;
            const char* pcName = entry.cFileName;
            if (strcmp(pcName, ".") == 0 || strcmp(pcName, "..") == 0)
                continue;
            int bFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (bFolder && bRecurse)
            {
                subFolders.Append(JoinPath(pcFolder, pcName)); // a failed append loses that folder
                continue;
            }
            int bAdded = 0;
            int bDevice = (entry.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0;
            if ((!bFilter || MatchNarrowName(pcName)) && pcFolder[0] != '\0' && !bFolder &&
                !bDevice)
            {
                CString strPath = JoinPath(pcFolder, pcName);
                if (FindPath(strPath) == MY_NOT_FOUND && GrowForAppend())
                {
                    FillNextSlot(pcFolder, pcName, strPath, entry);
                    bAdded = 1;
                }
            }
            bResult &= bAdded;
        } while (WvFindNextFile(hFind, &entry));
        FindClose(hFind);
    }
    for (DWORD i = 0; i < subFolders.GetCount(); i++)
        bResult &= ScanFolder(subFolders[i], 1, bFilter);
    SetCurrentDirectoryA(strSavedDir);
    return bResult;
}
