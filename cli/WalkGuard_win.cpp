// Folder identities on Windows (volume and file index), and the names the
// program's listing passes over: those the code page cannot hold.
#include "cli/WalkGuard.h"

#include "cli/Console.h"
#include "cli/FullPath.h"
#include "platform/ExactNames.h"

#include <cwchar>
#include <string>

namespace
{
struct UnholdableReport
{
    CString strShown;
    unsigned long dwCount = 0;
};

// Folders, and the files the walk would have collected.
void ReportEntry(const WIN32_FIND_DATAW& entry, void* pContext)
{
    UnholdableReport* pReport = (UnholdableReport*)pContext;
    size_t nLength = wcslen(entry.cFileName);
    int bFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!bFolder && (nLength <= 4 || _wcsicmp(entry.cFileName + nLength - 4, L".wav") != 0))
        return;
    int nBytes = WideCharToMultiByte(CP_UTF8, 0, entry.cFileName, -1, nullptr, 0, nullptr, nullptr);
    std::string strName(nBytes > 0 ? (size_t)nBytes - 1 : 0, '\0');
    if (nBytes > 1)
        WideCharToMultiByte(CP_UTF8, 0, entry.cFileName, -1, &strName[0], nBytes, nullptr, nullptr);
    PrintErrorRaw(CString("the name has characters that Shift-JIS cannot hold, left out: ") +
                      pReport->strShown + "\\",
                  strName);
    pReport->dwCount++;
}
} // namespace

int GetFolderId(const char* pcFolder, CliFolderId* pId)
{
    HANDLE hFolder =
        CreateFileA(pcFolder, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (hFolder == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION info;
    int bOk = GetFileInformationByHandle(hFolder, &info) &&
              (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    CloseHandle(hFolder);
    if (bOk)
        *pId = CliFolderId(info.dwVolumeSerialNumber,
                           ((unsigned long long)info.nFileIndexHigh << 32) | info.nFileIndexLow);
    return bOk;
}

unsigned long ReportUnnamableEntries(const char* pcFolder)
{
    UnholdableReport report;
    report.strShown = MakeShownPath(pcFolder);
    VisitUnholdableEntries(ReportEntry, &report);
    return report.dwCount;
}
