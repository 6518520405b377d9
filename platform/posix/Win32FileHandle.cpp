// Handles of open files for the Linux build: opening with Windows' share
// modes (and a lock against other processes' writers), sizes, identities,
// closing.
#include "platform/posix/Win32FileParts.h"
#include "platform/posix/Win32System.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

using namespace posixfs;

namespace
{
// Open files of this process, so that share modes shut other openers out as
// they do on Windows (Linux itself has no such locks; other processes' writers
// meet a lock, below).
std::mutex g_openMutex;
std::vector<FileHandle*> g_openFiles;

bool ShareConflict(const FileHandle& a, DWORD dwAccess, DWORD dwShare)
{
    if ((dwAccess & GENERIC_READ) && !(a.dwShare & FILE_SHARE_READ))
        return true;
    if ((dwAccess & GENERIC_WRITE) && !(a.dwShare & FILE_SHARE_WRITE))
        return true;
    if ((a.dwAccess & GENERIC_READ) && !(dwShare & FILE_SHARE_READ))
        return true;
    if ((a.dwAccess & GENERIC_WRITE) && !(dwShare & FILE_SHARE_WRITE))
        return true;
    return false;
}

int StatHandle(HANDLE hFile, struct stat* pst)
{
    FileHandle* p = AsFile(hFile);
    if (p == nullptr || fstat(p->fd, pst) != 0)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return 1;
}
} // namespace

FileHandle* posixfs::AsFile(HANDLE h)
{
    FileHandle* p = (FileHandle*)h;
    if (p == nullptr || h == INVALID_HANDLE_VALUE || p->iKind != kFileHandle)
        return nullptr;
    return p;
}

void posixfs::FailErrno()
{
    SetLastError(PosixErrorToWin32(errno));
}

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, LPVOID,
                   DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE)
{
    std::string path;
    if (!ToUtf8Path(lpFileName, path))
    {
        SetLastError(lpFileName == nullptr ? ERROR_INVALID_PARAMETER : ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    // Never waits: a FIFO or a device where a file was expected must not
    // hold the run in open() (nor later in a read).
    int flags = O_CLOEXEC | O_NONBLOCK;
    if ((dwDesiredAccess & GENERIC_READ) && (dwDesiredAccess & GENERIC_WRITE))
        flags |= O_RDWR;
    else if (dwDesiredAccess & GENERIC_WRITE)
        flags |= O_WRONLY;
    else if (dwDesiredAccess == 0 && dwCreationDisposition == OPEN_EXISTING)
        flags |= O_PATH; // no access: attributes only, as on Windows, even without read rights
    else
        flags |= O_RDONLY;
    if (dwFlagsAndAttributes & FILE_FLAG_OPEN_REPARSE_POINT)
        flags |= O_NOFOLLOW;
    bool bTruncate = false;
    switch (dwCreationDisposition)
    {
    case CREATE_NEW:
        flags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT;
        bTruncate = true;
        break;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    case TRUNCATE_EXISTING:
        bTruncate = true;
        break;
    case OPEN_EXISTING:
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    bool bExisted = access(path.c_str(), F_OK) == 0;
    int fd = open(path.c_str(), flags, 0666);
    if (fd < 0)
    {
        if (errno == EEXIST)
            SetLastError(ERROR_FILE_EXISTS);
        else if (errno == ENOENT && (flags & O_CREAT))
            SetLastError(ERROR_PATH_NOT_FOUND);
        else
            FailErrno();
        return INVALID_HANDLE_VALUE;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))
    {
        close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    FileHandle* p =
        new FileHandle{kFileHandle, fd, st.st_dev, st.st_ino, dwDesiredAccess, dwShareMode};
    {
        std::lock_guard<std::mutex> guard(g_openMutex);
        for (FileHandle* q : g_openFiles)
        {
            if (q->dev == p->dev && q->ino == p->ino &&
                ShareConflict(*q, dwDesiredAccess, dwShareMode))
            {
                close(fd);
                delete p;
                SetLastError(ERROR_SHARING_VIOLATION);
                return INVALID_HANDLE_VALUE;
            }
        }
        g_openFiles.push_back(p);
    }
    // Other processes: a writer that shares no writing holds an exclusive
    // lock until its handle closes, so that a second writer of the file (a
    // second run cutting a source of the same name into the same folder) is
    // refused before either writes a byte. File systems without locks go
    // without.
    if ((dwDesiredAccess & GENERIC_WRITE) && !(dwShareMode & FILE_SHARE_WRITE) &&
        flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
    {
        CloseHandle(p);
        SetLastError(ERROR_SHARING_VIOLATION);
        return INVALID_HANDLE_VALUE;
    }
    if (bTruncate && ftruncate(fd, 0) != 0)
    {
        FailErrno();
        CloseHandle(p);
        return INVALID_HANDLE_VALUE;
    }
    SetLastError(
        bExisted && (dwCreationDisposition == OPEN_ALWAYS || dwCreationDisposition == CREATE_ALWAYS)
            ? ERROR_ALREADY_EXISTS
            : ERROR_SUCCESS);
    return p;
}

BOOL GetFileSizeEx(HANDLE hFile, PLARGE_INTEGER lpFileSize)
{
    struct stat st;
    if (!StatHandle(hFile, &st))
        return FALSE;
    lpFileSize->QuadPart = (LONGLONG)st.st_size;
    return TRUE;
}

BOOL GetFileInformationByHandle(HANDLE hFile, LPBY_HANDLE_FILE_INFORMATION lpInfo)
{
    struct stat st;
    if (!StatHandle(hFile, &st))
        return FALSE;
    WIN32_FIND_DATAA fd;
    FillFindData(st, std::string(), fd);
    memset(lpInfo, 0, sizeof(*lpInfo));
    lpInfo->dwFileAttributes = fd.dwFileAttributes;
    lpInfo->ftCreationTime = fd.ftCreationTime;
    lpInfo->ftLastAccessTime = fd.ftLastAccessTime;
    lpInfo->ftLastWriteTime = fd.ftLastWriteTime;
    uint64_t qwDevice = (uint64_t)st.st_dev;
    lpInfo->dwVolumeSerialNumber = (DWORD)qwDevice ^ (DWORD)(qwDevice >> 32);
    lpInfo->nFileSizeHigh = fd.nFileSizeHigh;
    lpInfo->nFileSizeLow = fd.nFileSizeLow;
    lpInfo->nNumberOfLinks = (DWORD)st.st_nlink;
    lpInfo->nFileIndexHigh = (DWORD)((uint64_t)st.st_ino >> 32);
    lpInfo->nFileIndexLow = (DWORD)st.st_ino;
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE hFile)
{
    FileHandle* p = AsFile(hFile);
    if (p == nullptr || fsync(p->fd) != 0)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL CloseHandle(HANDLE hObject)
{
    FileHandle* p = AsFile(hObject);
    if (p == nullptr)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    {
        std::lock_guard<std::mutex> guard(g_openMutex);
        g_openFiles.erase(std::remove(g_openFiles.begin(), g_openFiles.end(), p),
                          g_openFiles.end());
    }
    int rc = close(p->fd);
    p->iKind = 0;
    delete p;
    if (rc != 0)
    {
        FailErrno();
        return FALSE;
    }
    return TRUE;
}
