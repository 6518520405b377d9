// Collection for the command line: each PATH checked and turned into a pick
// (the folder that holds it, and its own directory entry), then the add-files
// job run over all picks on a worker thread.
#include "cli/Collect.h"

#include "cli/Console.h"
#include "cli/ErrorText.h"
#include "cli/FullPath.h"
#include "cli/JobEnd.h"
#include "cli/Messages.h"
#include "engine/JobFlags.h"
#include "framework/WinThread.h"
#include "platform/TextFile.h"
#include "support/FileSystem.h"

#include <string>

namespace
{
class CMyCliAddHost : public CMyAddHost
{
public:
    explicit CMyCliAddHost(const std::vector<CliPick>& picks) : m_picks(picks) {}

    DWORD GetPickCount() override { return (DWORD)m_picks.size(); }
    CString GetPickerFolderText(DWORD dwPick) override { return m_picks[dwPick].strFolder; }
    CString GetCurrentFolder(DWORD dwPick) override { return m_picks[dwPick].strFolder; }
    DWORD GetSelectedCount(DWORD) override { return 1; }
    const WIN32_FIND_DATAA& GetSelectedEntry(DWORD dwPick, DWORD) override
    {
        return m_picks[dwPick].entry;
    }
    void SetLastPickerFolder(const CString&) override {}
    void RebuildList() override {}
    void ShowTotalSize(ULONGLONG) override {}
    // The report's lines after its heading, one message each.
    void OpenReport(const char* pcPath) override
    {
        std::string report;
        HANDLE hFile = CreateFileA(pcPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        if (hFile != INVALID_HANDLE_VALUE)
        {
            char acBuff[4096];
            DWORD dwGot = 0;
            while (ReadFile(hFile, acBuff, sizeof(acBuff), &dwGot, nullptr) && dwGot > 0)
                report.append(acBuff, dwGot);
            CloseHandle(hFile);
        }
        // Lines end in CR LF (Windows) or LF (for Linux users).
        size_t iLine = report.find('\n');
        while (iLine != std::string::npos && iLine + 1 < report.size())
        {
            size_t iEnd = report.find('\n', iLine + 1);
            std::string line = report.substr(
                iLine + 1, iEnd == std::string::npos ? std::string::npos : iEnd - iLine - 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            std::string sjis;
            if (!line.empty() && LogTextToSJis(line, &sjis))
                PrintError(GetCliText(kMsgCollides) + MakeShownPath(sjis.c_str()));
            iLine = iEnd;
        }
        PrintError(CString(GetCliText(kMsgCollisionList)) + MakeShownPath(pcPath));
    }
    void DestroyPicker() override {}
    void PostJobFinished() override { m_end.Signal(); }

    CMyJobEnd m_end;

private:
    const std::vector<CliPick>& m_picks;
};

void OnUnreadableFolder(const char* pcFolder, DWORD dwError, void* pContext)
{
    CString strText;
    strText.Format(GetCliText(kMsgFolderUnreadLeftOut), (const char*)GetSystemErrorText(dwError));
    PrintError(strText + MakeShownPath(pcFolder));
    ((CliCollection*)pContext)->dwUnreadable++;
}

int IsListableFolder(const CString& strFolder)
{
    WIN32_FIND_DATAA entry;
    HANDLE hFind = WvFindFirstFile(strFolder + "\\*.*", &entry);
    if (hFind == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(hFind);
    return 1;
}
} // namespace

void MakeCliPicks(const std::vector<CliArgument>& paths, const CliWalkGuard& guard,
                  CMyFilteredPathList* pList, std::vector<CliPick>* pPicks, CliCollection* pResult)
{
    for (const CliArgument& arg : paths)
    {
        if (!arg.bConverted)
        {
            CString strText;
            strText.Format(GetCliText(kMsgPathUnconverted), GetUnconvertedReason());
            PrintErrorRaw(strText, arg.strShown);
            pResult->dwSkipped++;
            continue;
        }
        CString strFull;
        CliPick pick;
        CString strName;
        CString strWords;
        const char* pcProblem = nullptr;
        if (!MakeFullPath(arg.strSJis, &strFull))
            pcProblem = GetCliText(kMsgCannotAbsolutePath);
        else if (!GetFindData(&pick.entry, strFull))
            pcProblem = GetCliText(kMsgNoSuchPath);
        else if (!SplitFullPath(strFull, &pick.strFolder, &strName))
            pcProblem = GetCliText(kMsgRootPath);
        else if (pick.entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            CliFolderId id;
            if (guard.bHaveOutputId && GetFolderId(strFull, &id) && id == guard.outputId)
                pcProblem = GetCliText(kMsgPathIsOutput);
            else if (!IsListableFolder(strFull))
            {
                strWords.Format(GetCliText(kMsgFolderUnreadSkipped),
                                (const char*)GetSystemErrorText(GetLastError()));
                pcProblem = strWords;
            }
        }
        else if (pick.entry.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)
            pcProblem = GetCliText(kMsgNotRegularSkipped);
        else if (!pList->MatchName(CMyWString((const char*)strName)))
            pcProblem = GetCliText(kMsgNotWav);
        if (pcProblem != nullptr)
        {
            PrintError(CString(pcProblem) +
                       MakeShownPath(strFull.IsEmpty() ? arg.strSJis : strFull));
            pResult->dwSkipped++;
            continue;
        }
        pPicks->push_back(pick);
    }
}

int RunCliCollection(const std::vector<CliPick>& picks, CliWalkGuard* pGuard,
                     CMyFilteredPathList* pList, CliCollection* pResult)
{
    CMyCliAddHost host(picks);
    CMyAddJob job(pList, &host);
    job.m_bUseNamePattern = 0;
    job.m_bFilterByExtension = 1;
    pList->SetFolderErrorHandler(OnUnreadableFolder, pResult);
    pList->SetFolderEntryHandler(OnEnterFolder, pGuard);

    g_bIdle.store(0, std::memory_order_relaxed);
    CWinThread* pThread =
        AfxBeginThread(AddThreadProc, &job, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (pThread == nullptr)
    {
        g_bIdle.store(1, std::memory_order_relaxed);
        pList->SetFolderErrorHandler(nullptr, nullptr);
        pList->SetFolderEntryHandler(nullptr, nullptr);
        return 0;
    }
    pThread->m_bAutoDelete = FALSE;
    pThread->ResumeThread();
    while (!host.m_end.WaitFor(100))
    {
        if (g_bAdding.load(std::memory_order_relaxed))
        {
            CString strLine;
            strLine.Format(GetCliText(kMsgCollecting), pList->GetCount());
            ShowStatusLine(strLine);
        }
    }
    pThread->WaitForExit(nullptr);
    delete pThread;
    ClearStatusLine();
    pList->SetFolderErrorHandler(nullptr, nullptr);
    pList->SetFolderEntryHandler(nullptr, nullptr);
    pResult->dwDuplicates = job.m_dwDuplicates;
    pResult->dwUnnamable = pGuard->dwUnnamable;
    return 1;
}
