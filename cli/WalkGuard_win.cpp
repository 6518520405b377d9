// Folder identities on Windows (volume and file index); a Windows listing
// gives every name, so nothing is dropped there.
#include "cli/WalkGuard.h"

#include "platform/Platform.h"

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

unsigned long ReportUnnamableEntries(const char*)
{
    return 0;
}
