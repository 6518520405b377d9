// Folder identities and the names the listing drops, on Linux.
#include "cli/WalkGuard.h"

#include "cli/Console.h"
#include "cli/FullPath.h"
#include "cli/Messages.h"
#include "cli/Terminal.h"
#include "platform/Platform.h"

#include <climits>
#include <cstring>
#include <dirent.h>
#include <strings.h>
#include <string>
#include <sys/stat.h>

namespace
{
// 1 when the name has a Shift-JIS form (what the listing keeps): always, but
// when it needs a user-defined character and the run has given them all.
int IsNamable(const char* pcName)
{
    std::string sjis;
    return SystemTextToSJis(pcName, strlen(pcName), &sjis);
}

int HasWaveExtension(const char* pcName)
{
    size_t n = strlen(pcName);
    return n > 4 && strcasecmp(pcName + n - 4, ".wav") == 0;
}

// A *.wav that is a FIFO, socket or device (also behind a link): the
// listing marks it and the walk leaves it out.
int IsSpecialWave(int fdDir, const struct dirent* pEntry)
{
    if (!HasWaveExtension(pEntry->d_name) || pEntry->d_type == DT_REG || pEntry->d_type == DT_DIR)
        return 0;
    if (pEntry->d_type != DT_LNK && pEntry->d_type != DT_UNKNOWN)
        return 1;
    struct stat st;
    return fstatat(fdDir, pEntry->d_name, &st, 0) == 0 && !S_ISREG(st.st_mode) &&
           !S_ISDIR(st.st_mode);
}
} // namespace

int GetFolderId(const char* pcFolder, CliFolderId* pId)
{
    char acPath[PATH_MAX];
    struct stat st;
    if (!PosixPathFromSJis(pcFolder, acPath, sizeof(acPath)) || stat(acPath, &st) != 0 ||
        !S_ISDIR(st.st_mode))
        return 0;
    *pId = CliFolderId((unsigned long long)st.st_dev, (unsigned long long)st.st_ino);
    return 1;
}

unsigned long ReportUnnamableEntries(const char* pcFolder)
{
    DIR* pDir = opendir(".");
    if (pDir == nullptr)
        return 0;
    unsigned long dwCount = 0;
    CString strShown = MakeShownPath(pcFolder);
    while (struct dirent* pEntry = readdir(pDir))
    {
        const char* pcName = pEntry->d_name;
        if (IsSpecialWave(dirfd(pDir), pEntry))
        {
            PrintErrorRaw(GetCliText(kMsgNotRegularLeftOut) + strShown + "/", pcName);
            dwCount++;
            continue;
        }
        if (IsNamable(pcName))
            continue;
        struct stat st;
        int bFolder = fstatat(dirfd(pDir), pcName, &st, 0) == 0 && S_ISDIR(st.st_mode);
        if (!bFolder && !HasWaveExtension(pcName))
            continue;
        CString strText;
        strText.Format(GetCliText(kMsgNameUnconverted), GetUnconvertedReason());
        PrintErrorRaw(strText + strShown + "/", pcName);
        dwCount++;
    }
    closedir(pDir);
    return dwCount;
}
