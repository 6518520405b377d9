// Whether --plan may write over the file it names.
#include "cli/PlanFileCheck.h"

#include "engine/PlanForms.h"
#include "platform/Platform.h"

namespace
{
// Enough to see the header row.
const DWORD kStartBytes = 64;
// The columns every plan's header row has begun with; later columns may
// differ between versions.
const char kPlanColumns[] = "path,start,length,reason";
} // namespace

PlanFileKind ClassifyPlanFileStart(const std::string& strStart)
{
    if (strStart.empty())
        return kPlanFileFree;
    for (const char* pcId : {"RIFF", "RF64", "BW64"})
        if (strStart.compare(0, 4, pcId) == 0)
            return kPlanFileWave;
    // A cue sheet or label list written by --plan; another cue sheet may be
    // the only copy of a disc's tracks, and is kept.
    const std::string strCue = GetPlanCueHeader();
    if (strStart.compare(0, strCue.size(), strCue) == 0 || IsPlanLabelStart(strStart))
        return kPlanFilePlan;
    const size_t nColumns = sizeof(kPlanColumns) - 1;
    if (strStart.compare(0, nColumns, kPlanColumns) != 0 || strStart.size() == nColumns)
        return kPlanFileOther;
    const char cNext = strStart[nColumns];
    return cNext == ',' || cNext == '\r' || cNext == '\n' ? kPlanFilePlan : kPlanFileOther;
}

PlanFileKind ClassifyPlanFile(const char* pcPath)
{
    HANDLE hFile = CreateFileA(pcPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
    {
        const DWORD dwError = GetLastError();
        return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND ? kPlanFileFree
                                                                                  : kPlanFileUnread;
    }
    char acStart[kStartBytes];
    DWORD dwRead = 0;
    const BOOL bRead = ReadFile(hFile, acStart, kStartBytes, &dwRead, nullptr);
    const DWORD dwError = GetLastError();
    CloseHandle(hFile);
    if (!bRead)
    {
        SetLastError(dwError);
        return kPlanFileUnread;
    }
    return ClassifyPlanFileStart(std::string(acStart, dwRead));
}
