// The path list with its name filter and the operations that add files to it:
// one picked file, one path, and the recursive folder walk.
#pragma once

#include "sources/NameFilter.h"
#include "sources/PathList.h"

// Every adding operation has a filtered form (bFilter 1: names must pass
// MatchName) and an unfiltered one. They run on the add-files worker only, one
// at a time, and never report: a file that is not added just makes the
// result 0. Folder texts never end with a backslash.
class CMyFilteredPathList : public CMyPathList
{
public:
    // Compiles the default pattern ".+"; both filters start switched off.
    CMyFilteredPathList();
    ~CMyFilteredPathList() override = default;

    // The filter settings, rewritten by every Add before the picker opens.
    void SetExtension(const char* pcExtension);
    void SetExtensionOn(int bOn) { m_bExtensionOn = bOn; }
    void SetPatternOn(int bOn) { m_bPatternOn = bOn; }
    // Compiles the pattern filter's expression; its result is kept as pattern-ok.
    int SetPattern(const char* pcPattern);
    int SetPattern(const WCHAR* pwcPattern);
    int IsMatch(const WCHAR* pwcText) const { return m_nameFilter.IsMatch(pwcText); }

    // The folder the picker showed when the selection was confirmed; every
    // record added from now on carries it as its BaseFoldPath.
    void SetPickedBaseFolder(const char* pcFolder) { m_strPickedBaseFolder = pcFolder; }
    const CString& GetPickedBaseFolder() const { return m_strPickedBaseFolder; }

    // Told about every folder of the walk that cannot be entered or listed
    // (the walk itself never reports; the command line does). Null: nobody.
    typedef void (*FolderErrorHandler)(const char* pcFolder, DWORD dwError, void* pContext);
    void SetFolderErrorHandler(FolderErrorHandler pfnHandler, void* pContext)
    {
        m_pfnFolderError = pfnHandler;
        m_pFolderErrorContext = pContext;
    }

    // Asked about every folder of the walk once it has been entered (it is then
    // the current directory) and before it is listed: 0 passes it over, with
    // everything below it. Null: every folder is walked.
    typedef int (*FolderEntryHandler)(const char* pcFolder, void* pContext);
    void SetFolderEntryHandler(FolderEntryHandler pfnHandler, void* pContext)
    {
        m_pfnFolderEntry = pfnHandler;
        m_pFolderEntryContext = pContext;
    }

    // 1 when the name passes the active filter (the pattern, else the
    // extension); 0 when it fails or no filter is on.
    int MatchName(const CMyWString& strName) const;

    // Adds one entry the picker collected in pcFolder; 1 when a record was added.
    int AddFile(const char* pcFolder, const WIN32_FIND_DATAA& entry, int bFilter);
    // Adds the file the path names, or walks the folder it names (bRecurse 1).
    int AddPath(const char* pcPath, int bRecurse, int bFilter);
    // Adds the folder's files in listing order, then walks its sub-folders one
    // after the other (bRecurse 1). 1 when every file entry met was added.
    int ScanFolder(const char* pcFolder, int bRecurse, int bFilter);

private:
    int MatchNarrowName(const char* pcName);
    int IsWantedExtension(CMyWString& strWork) const;
    void ReportFolderError(const char* pcFolder, DWORD dwError) const;
    static CString JoinPath(const char* pcFolder, const char* pcName);
    void FillNextSlot(const char* pcFolder, const char* pcName, const CString& strPath,
                      const WIN32_FIND_DATAA& entry);

    int m_bExtensionOn = 0;
    int m_bPatternOn = 0;
    int m_bPatternOk = 0;
    CMyNameFilter m_nameFilter;
    CString m_strExtension;
    CMyWString m_strWideExtension;
    CString m_strPickedBaseFolder;
    FolderErrorHandler m_pfnFolderError = nullptr;
    void* m_pFolderErrorContext = nullptr;
    FolderEntryHandler m_pfnFolderEntry = nullptr;
    void* m_pFolderEntryContext = nullptr;
    // Work strings of the walk and of the single-file forms (worker thread only).
    mutable CMyWString m_strWorkName;
    CMyWString m_strWorkPath;
};
