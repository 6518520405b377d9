// The add-files job: collects the picked files and folders into the path list,
// reports and takes out files whose pieces would land on the same paths,
// numbers the new records.
//
// Host protocol (the main dialog's Add, or the command line):
//   1. Before the picker opens, set the list's filter as every Add does:
//      SetPatternOn(0), SetExtension("wav"), SetExtensionOn(1); the job's
//      m_bUseNamePattern 0 and m_bFilterByExtension 1.
//   2. When the picker is confirmed: g_bIdle = 0, then start
//      AfxBeginThread(AddThreadProc, &job). If no thread starts, set g_bIdle
//      back to 1 (the job never runs, so the host disposes of the picker).
//      The job itself gives every new record the pick's GetCurrentFolder as
//      its BaseFoldPath (the picked base folder).
//   3. While g_bAdding is 1 the list's GetCount may be read as a progress
//      figure; nothing else of the list may be touched until the job ends.
//   4. The job calls back, in this order: SetLastPickerFolder (per pick),
//      ReportLeftOutNames, (the count message box and OpenReport when the
//      pieces of files would land on the same paths), RebuildList and
//      ShowTotalSize unless g_bClosing, DestroyPicker, PostJobFinished.
//      AddThreadProc then sets g_bIdle to 1 and g_bAdding to 0.
//   5. Abort sets g_bAbort: the walk stops early and the job finishes with
//      what it found; the host's job-finished handler clears g_bAbort.
#pragma once

#include "sources/FilteredPathList.h"

// What the add-files job asks of the window that started it. The main dialog
// implements it around its picker and list view; the command line implements
// it around its arguments. Every call comes from the job's worker thread.
//
// A pick is one confirmed selection: the folder the picker showed and the
// entries selected in it. The dialog has one pick (its picker); the command
// line has one per argument. Picks are collected in order, and the duplicate
// check then runs once over the whole list.
class CMyAddHost
{
public:
    virtual ~CMyAddHost() = default;

    virtual DWORD GetPickCount() { return 1; }
    // The picker's current folder text as the picker holds it (the next Add
    // opens there).
    virtual CString GetPickerFolderText(DWORD dwPick) = 0;
    // GetCurrentFolder: the same without a trailing backslash; empty when the
    // picker has no folder, and the pick is then passed over.
    virtual CString GetCurrentFolder(DWORD dwPick) = 0;
    // The selected entries in the picker's order.
    virtual DWORD GetSelectedCount(DWORD dwPick) = 0;
    virtual const WIN32_FIND_DATAA& GetSelectedEntry(DWORD dwPick, DWORD dwIndex) = 0;

    // The dialog's last picker folder := the text.
    virtual void SetLastPickerFolder(const CString& strFolder) = 0;
    // Once the picks are collected: tells the user which names were left out
    // because the program cannot hold them (the host noted them itself, while
    // reading its picks and from the walk's folder-entry handler).
    virtual void ReportLeftOutNames() {}
    // Rewrites every row from the path list and the header (the dialog's
    // RebuildList, served on the user-interface thread while the job waits).
    virtual void RebuildList() = 0;
    // Shows the sum of all records' FileSize.
    virtual void ShowTotalSize(ULONGLONG ullTotal) = 0;
    // Opens the duplicate report that was just written (the shell's "open";
    // the command line prints the path instead).
    virtual void OpenReport(const char* pcPath) = 0;
    // The job owns the picker and destroys it here, once, near its end.
    virtual void DestroyPicker() = 0;
    // Job finished (message 1524 to the dialog's window); posted, never sent.
    virtual void PostJobFinished() = 0;
};

// The job's inputs. The owner fills them on the user-interface thread before
// the worker starts; the job is then the only writer of the list.
class CMyAddJob
{
public:
    CMyAddJob(CMyFilteredPathList* pPathList, CMyAddHost* pHost)
        : m_pPathList(pPathList), m_pHost(pHost)
    {
    }
    virtual ~CMyAddJob() = default;

    // Runs the whole job on the calling thread.
    void RunAddJob();

    CMyFilteredPathList* m_pPathList;
    CMyAddHost* m_pHost;
    // The dialog's filter flags: either one set selects the filtered forms.
    int m_bUseNamePattern = 0;
    int m_bFilterByExtension = 1;
    // Result: how many files were found with colliding names (and taken out).
    DWORD m_dwDuplicates = 0;
};

// Thread entry for AfxBeginThread; pParam is the CMyAddJob. Runs the job, then
// sets the idle flag and clears the adding flag. 0xFFFFFFFF for a null job.
UINT AddThreadProc(LPVOID pParam);

// The report's content: the title line, one line per path, an empty line, all
// ended by CR LF. strJoined is JoinFilePaths' text (each path ends in "\n").
CString MakeConflictReport(const CString& strJoined);
