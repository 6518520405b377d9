// What the command line's folder walk passes over.
#include "cli/WalkGuard.h"

void StartWalkGuard(CliWalkGuard* pGuard, const CString& strOutputFull)
{
    pGuard->bHaveOutputId = GetFolderId(strOutputFull, &pGuard->outputId);
}

int OnEnterFolder(const char* pcFolder, void* pContext)
{
    CliWalkGuard* pGuard = (CliWalkGuard*)pContext;
    CliFolderId id;
    if (GetFolderId(".", &id))
    {
        if (pGuard->bHaveOutputId && id == pGuard->outputId)
            return 0;
        if (!pGuard->walked.insert(id).second)
            return 0;
    }
    pGuard->dwUnnamable += ReportUnnamableEntries(pcFolder);
    return 1;
}
