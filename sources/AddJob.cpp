// The add-files job: collects the picked files and folders into the path list,
// reports and takes out files whose pieces would land on the same paths,
// numbers the new records.
#include "sources/AddJob.h"

#include "engine/JobFlags.h"
#include "engine/LockedFile.h"
#include "framework/AfxMessageBox.h"
#include "platform/TextFile.h"
#include "support/Trace.h"

namespace
{
// Writes the report over any earlier one; 1 when it was written whole.
int WriteConflictFile(const CString& strPath, const CString& strReport)
{
    CMyLockedFile file;
    std::string bytes = MakeLogText(strReport.GetString(), (size_t)strReport.GetLength());
    return file.WriteWholeFile(strPath, bytes.data(), (ULONGLONG)bytes.size());
}
} // namespace

// The report is put together from the joined Shift-JIS text itself, so every
// path appears with exactly the bytes of the file it names.
CString MakeConflictReport(const CString& strJoined)
{
    CString strReport("=====  重複したファイルのリスト  =====\r\n");
    const char* pcText = strJoined;
    int iStart = 0;
    for (int i = 0; pcText[i] != '\0'; i++)
    {
        if (pcText[i] != '\n')
            continue;
        strReport.Append(pcText + iStart, i - iStart);
        strReport += "\r\n";
        iStart = i + 1;
    }
    strReport += pcText + iStart;
    strReport += "\r\n";
    return strReport;
}

void CMyAddJob::RunAddJob()
{
    CMyFilteredPathList& list = *m_pPathList;
    int bFilter = m_bUseNamePattern || m_bFilterByExtension;
    for (DWORD dwPick = 0; dwPick < m_pHost->GetPickCount(); dwPick++)
    {
        m_pHost->SetLastPickerFolder(m_pHost->GetPickerFolderText(dwPick));
        DWORD dwSelected = m_pHost->GetSelectedCount(dwPick);
        CString strFolder = m_pHost->GetCurrentFolder(dwPick);
        if (strFolder.IsEmpty())
            continue;
        list.SetPickedBaseFolder(strFolder);
        g_bAdding.store(1, std::memory_order_relaxed);

        // Single files first, then the contents of the selected folders.
        CMyArray<CString> folders;
        folders.Reallocate(dwSelected, 0);
        for (DWORD i = 0; i < dwSelected; i++)
        {
            const WIN32_FIND_DATAA& entry = m_pHost->GetSelectedEntry(dwPick, i);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            {
                CString strPath;
                strPath.Format("%s\\%s", (const char*)strFolder, entry.cFileName);
                folders.Append(strPath);
            }
            else
                list.AddFile(strFolder, entry, bFilter);
        }
        for (DWORD i = 0; i < folders.GetCount(); i++)
            list.AddPath(folders[i], 1, bFilter);
    }
    m_pHost->ReportLeftOutNames();

    CMyPathList duplicates;
    DWORD dwDuplicates = list.FindDuplicateNames(&duplicates);
    m_dwDuplicates = dwDuplicates;
    if (dwDuplicates != 0)
    {
        CString strMessage;
        strMessage.Format("※　%u 個のファイルが重複しています。", dwDuplicates);
        AfxMessageBox(strMessage, MB_OK);
        CString strJoined;
        duplicates.JoinFilePaths(&strJoined);
        // No program folder is known where nothing may be written (a
        // command line's dry run): the message alone tells.
        CString strFolder = GetProgramFolderText();
        CString strPath;
        strPath.Format("%s\\ConflictFile.txt", (const char*)strFolder);
        if (!strFolder.IsEmpty() && WriteConflictFile(strPath, MakeConflictReport(strJoined)))
            m_pHost->OpenReport(strPath);
    }
    list.RemovePaths(duplicates);
    list.AssignIDs();
    g_bAdding.store(0, std::memory_order_relaxed);

    if (!g_bClosing.load(std::memory_order_relaxed))
    {
        m_pHost->RebuildList();
        m_pHost->ShowTotalSize(list.GetTotalSize());
    }
    m_pHost->DestroyPicker();
    m_pHost->PostJobFinished();
}

UINT AddThreadProc(LPVOID pParam)
{
    CMyAddJob* pJob = (CMyAddJob*)pParam;
    if (pJob == nullptr)
        return 0xFFFFFFFFu;
    pJob->RunAddJob();
    // Closing waits for this flag and then tears down what the job used: the
    // job's own accesses must be ordered before it.
    g_bIdle.store(1, std::memory_order_release);
    g_bAdding.store(0, std::memory_order_relaxed);
    return 0;
}
