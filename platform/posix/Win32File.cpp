// Files, directory listing, folders and disk space for the Linux build.
#include "platform/posix/Win32File.h"
#include "platform/posix/Win32CodePage.h"
#include "platform/posix/Win32NameText.h"
#include "platform/posix/Win32System.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <new>
#include <mutex>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

// Files past 2 GiB and dates past 2038: a 32-bit build needs
// -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64, or sizes and positions would be cut.
static_assert(sizeof(off_t) == 8, "64-bit file offsets required");
static_assert(sizeof(time_t) == 8, "64-bit time required");

namespace
{

enum HandleKind
{
    kFileHandle = 0x46494C45,
    kFindHandle = 0x46494E44
};

struct FileHandle
{
    int iKind;
    int fd;
    dev_t dev;
    ino_t ino;
    DWORD dwAccess;
    DWORD dwShare;
};

struct FindHandle
{
    int iKind;
    std::vector<WIN32_FIND_DATAA> entries;
    size_t nNext;
};

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

FileHandle* AsFile(HANDLE h)
{
    FileHandle* p = (FileHandle*)h;
    if (p == nullptr || h == INVALID_HANDLE_VALUE || p->iKind != kFileHandle)
        return nullptr;
    return p;
}

void FailErrno() { SetLastError(PosixErrorToWin32(errno)); }

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

bool IsSep(WCHAR w) { return w == u'\\' || w == u'/'; }

std::u16string Widen(LPCSTR pcText, UINT uCodePage)
{
    int n = MultiByteToWideChar(uCodePage, 0, pcText, -1, nullptr, 0);
    if (n <= 0)
        return std::u16string();
    std::u16string w((size_t)n, u'\0');
    MultiByteToWideChar(uCodePage, 0, pcText, -1, &w[0], n);
    w.resize((size_t)n - 1);
    return w;
}

// Gives false when the text has a character the code page cannot hold.
bool Narrow(const std::u16string& w, UINT uCodePage, std::string& out)
{
    if (w.empty())
    {
        out.clear();
        return true;
    }
    BOOL bUsedDefault = FALSE;
    LPBOOL pUsed = uCodePage == CP_UTF8 ? nullptr : &bUsedDefault;
    int n = WideCharToMultiByte(uCodePage, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, pUsed);
    if (n <= 0)
        return false;
    out.assign((size_t)n, '\0');
    WideCharToMultiByte(uCodePage, 0, w.data(), (int)w.size(), &out[0], n, nullptr, pUsed);
    return !bUsedDefault;
}

bool ToUtf8Path(LPCSTR pcPath, std::string& out)
{
    if (pcPath == nullptr || pcPath[0] == '\0')
        return false;
    SJisToSystemText(pcPath, strlen(pcPath), 1, &out);
    return true;
}

void ToFileTime(const struct timespec& ts, FILETIME& ft)
{
    uint64_t v = ((uint64_t)ts.tv_sec + 11644473600ull) * 10000000ull + (uint64_t)ts.tv_nsec / 100;
    ft.dwLowDateTime = (DWORD)v;
    ft.dwHighDateTime = (DWORD)(v >> 32);
}

void FillFindData(const struct stat& st, const std::string& sjisName, WIN32_FIND_DATAA& fd)
{
    memset(&fd, 0, sizeof(fd));
    if (S_ISDIR(st.st_mode))
        fd.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    else if (!S_ISREG(st.st_mode))
        fd.dwFileAttributes = FILE_ATTRIBUTE_DEVICE;
    else
    {
        fd.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
        fd.nFileSizeHigh = (DWORD)((uint64_t)st.st_size >> 32);
        fd.nFileSizeLow = (DWORD)((uint64_t)st.st_size);
    }
    if ((st.st_mode & S_IWUSR) == 0)
        fd.dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    ToFileTime(st.st_ctim, fd.ftCreationTime);
    ToFileTime(st.st_atim, fd.ftLastAccessTime);
    ToFileTime(st.st_mtim, fd.ftLastWriteTime);
    size_t n = std::min(sjisName.size(), (size_t)MAX_PATH - 1);
    memcpy(fd.cFileName, sjisName.data(), n);
}

WCHAR Upper(WCHAR c)
{
    if (c >= u'a' && c <= u'z')
        return (WCHAR)(c - 32);
    if (c >= 0xFF41 && c <= 0xFF5A) // full-width Latin small letters
        return (WCHAR)(c - 32);
    return c;
}

// Windows wildcard match, without regard to letter case.
bool WildMatch(const WCHAR* pat, const WCHAR* name)
{
    const WCHAR* pStar = nullptr;
    const WCHAR* pResume = nullptr;
    while (*name != 0)
    {
        if (*pat == u'*')
        {
            pStar = pat++;
            pResume = name;
        }
        else if (*pat == u'?' || (*pat != 0 && Upper(*pat) == Upper(*name)))
        {
            ++pat;
            ++name;
        }
        else if (pStar != nullptr)
        {
            pat = pStar + 1;
            name = ++pResume;
        }
        else
            return false;
    }
    while (*pat == u'*')
        ++pat;
    return *pat == 0;
}

int StatPath(const std::string& utf8, struct stat& st)
{
    if (stat(utf8.c_str(), &st) == 0)
        return 0;
    return lstat(utf8.c_str(), &st);
}

} // namespace

int PosixPathFromSJis(LPCSTR pcPath, char* pcOut, size_t cbOut)
{
    std::string s;
    if (!ToUtf8Path(pcPath, s) || s.size() + 1 > cbOut)
        return 0;
    memcpy(pcOut, s.c_str(), s.size() + 1);
    return 1;
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
    FileHandle* p = new FileHandle{kFileHandle, fd, st.st_dev, st.st_ino, dwDesiredAccess,
                                   dwShareMode};
    {
        std::lock_guard<std::mutex> guard(g_openMutex);
        for (FileHandle* q : g_openFiles)
        {
            if (q->dev == p->dev && q->ino == p->ino && ShareConflict(*q, dwDesiredAccess, dwShareMode))
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
    SetLastError(bExisted && (dwCreationDisposition == OPEN_ALWAYS ||
                              dwCreationDisposition == CREATE_ALWAYS)
                     ? ERROR_ALREADY_EXISTS
                     : ERROR_SUCCESS);
    return p;
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nToRead, LPDWORD lpRead, LPVOID)
{
    FileHandle* p = AsFile(hFile);
    if (lpRead != nullptr)
        *lpRead = 0;
    if (p == nullptr)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD nDone = 0;
    while (nDone < nToRead)
    {
        ssize_t n = read(p->fd, (char*)lpBuffer + nDone, nToRead - nDone);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
        {
            if (lpRead != nullptr)
                *lpRead = nDone;
            SetLastError(errno == EIO ? ERROR_READ_FAULT : PosixErrorToWin32(errno));
            return FALSE;
        }
        if (n == 0)
            break;
        nDone += (DWORD)n;
    }
    if (lpRead != nullptr)
        *lpRead = nDone;
    return TRUE;
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nToWrite, LPDWORD lpWritten, LPVOID)
{
    FileHandle* p = AsFile(hFile);
    if (lpWritten != nullptr)
        *lpWritten = 0;
    if (p == nullptr)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD nDone = 0;
    while (nDone < nToWrite)
    {
        ssize_t n = write(p->fd, (const char*)lpBuffer + nDone, nToWrite - nDone);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
        {
            if (lpWritten != nullptr)
                *lpWritten = nDone;
            SetLastError(n == 0 ? ERROR_DISK_FULL : PosixErrorToWin32(errno));
            return FALSE;
        }
        nDone += (DWORD)n;
    }
    if (lpWritten != nullptr)
        *lpWritten = nDone;
    return TRUE;
}

namespace
{
// Small enough to stay in the processor's cache between the read and the
// write; an 8 MiB buffer goes through memory twice and cost five times the
// system time here.
const DWORD kCopyBufferSize = 256 * 1024;

// copy_file_range moves whole pages only when both file positions lie at the
// same offset within a page. A piece's data sits 44 bytes into its file and
// the source's anywhere, and then the kernel's copy shifts every byte: 0.33
// to 0.6 s of system time for 1 GiB on this kind of machine against 0.25 s
// through a small buffer (and 0.2 s for the congruent copy).
bool IsPageCongruent(int fdFrom, int fdTo)
{
    off_t from = lseek(fdFrom, 0, SEEK_CUR);
    off_t to = lseek(fdTo, 0, SEEK_CUR);
    long page = sysconf(_SC_PAGESIZE);
    if (from < 0 || to < 0 || page <= 0)
        return true;
    return (from - to) % page == 0;
}

// Reads and writes through a small buffer. A write that fails or stops short
// hands the bytes it did not take back to the source, so both positions stay
// at the end of what was copied.
BOOL CopyThroughBuffer(FileHandle* pFrom, FileHandle* pTo, DWORD nBytes, LPDWORD pDone)
{
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kCopyBufferSize]);
    if (!buffer)
    {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    while (*pDone < nBytes)
    {
        DWORD nWant = std::min(kCopyBufferSize, nBytes - *pDone);
        ssize_t nRead = read(pFrom->fd, buffer.get(), nWant);
        if (nRead < 0 && errno == EINTR)
            continue;
        if (nRead < 0)
        {
            SetLastError(errno == EIO ? ERROR_READ_FAULT : PosixErrorToWin32(errno));
            return FALSE;
        }
        if (nRead == 0)
            break; // the source ends here
        ssize_t nWritten = 0;
        while (nWritten < nRead)
        {
            ssize_t n = write(pTo->fd, buffer.get() + nWritten, nRead - nWritten);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
            {
                DWORD dwError = n == 0 ? ERROR_DISK_FULL : PosixErrorToWin32(errno);
                lseek(pFrom->fd, -(off_t)(nRead - nWritten), SEEK_CUR);
                *pDone += (DWORD)nWritten;
                SetLastError(dwError);
                return FALSE;
            }
            nWritten += n;
        }
        *pDone += (DWORD)nRead;
    }
    return TRUE;
}
} // namespace

// The copy inside the kernel where it moves whole pages, through a small
// buffer where it would not, or where the file system has no such copy.
BOOL PlatformCopyFileRange(HANDLE hFrom, HANDLE hTo, DWORD nBytes, LPDWORD pDone)
{
    *pDone = 0;
    FileHandle* pFrom = AsFile(hFrom);
    FileHandle* pTo = AsFile(hTo);
    if (pFrom == nullptr || pTo == nullptr)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!IsPageCongruent(pFrom->fd, pTo->fd))
        return CopyThroughBuffer(pFrom, pTo, nBytes, pDone);
    while (*pDone < nBytes)
    {
        ssize_t n = copy_file_range(pFrom->fd, nullptr, pTo->fd, nullptr, nBytes - *pDone, 0);
        if (n < 0 && errno == EINTR)
            continue;
        // File systems and kernels without the copy say so before copying.
        if (n < 0 && (errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP ||
                      errno == EBADF))
            return CopyThroughBuffer(pFrom, pTo, nBytes, pDone);
        if (n < 0)
        {
            SetLastError(PosixErrorToWin32(errno));
            return FALSE;
        }
        if (n == 0)
            break; // the source ends here
        *pDone += (DWORD)n;
    }
    return TRUE;
}

BOOL SetFilePointerEx(HANDLE hFile, LARGE_INTEGER liDistance, PLARGE_INTEGER lpNewPointer,
                      DWORD dwMoveMethod)
{
    FileHandle* p = AsFile(hFile);
    if (p == nullptr || dwMoveMethod > FILE_END)
    {
        SetLastError(p == nullptr ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int whence = dwMoveMethod == FILE_BEGIN ? SEEK_SET : dwMoveMethod == FILE_CURRENT ? SEEK_CUR : SEEK_END;
    off_t pos = lseek(p->fd, (off_t)liDistance.QuadPart, whence);
    if (pos < 0)
    {
        SetLastError(errno == EINVAL ? 131 /* ERROR_NEGATIVE_SEEK */ : PosixErrorToWin32(errno));
        return FALSE;
    }
    if (lpNewPointer != nullptr)
        lpNewPointer->QuadPart = (LONGLONG)pos;
    return TRUE;
}

DWORD SetFilePointer(HANDLE hFile, LONG lDistance, LONG* lpDistanceHigh, DWORD dwMoveMethod)
{
    LARGE_INTEGER li;
    if (lpDistanceHigh != nullptr)
        li.QuadPart = (LONGLONG)(((uint64_t)(uint32_t)*lpDistanceHigh << 32) | (uint32_t)lDistance);
    else
        li.QuadPart = lDistance;
    LARGE_INTEGER liNew;
    if (!SetFilePointerEx(hFile, li, &liNew, dwMoveMethod))
        return INVALID_SET_FILE_POINTER;
    if (lpDistanceHigh != nullptr)
        *lpDistanceHigh = (LONG)(liNew.QuadPart >> 32);
    SetLastError(NO_ERROR);
    return (DWORD)liNew.QuadPart;
}

BOOL SetEndOfFile(HANDLE hFile)
{
    FileHandle* p = AsFile(hFile);
    if (p == nullptr)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    off_t pos = lseek(p->fd, 0, SEEK_CUR);
    if (pos < 0 || ftruncate(p->fd, pos) != 0)
    {
        FailErrno();
        return FALSE;
    }
    return TRUE;
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
        g_openFiles.erase(std::remove(g_openFiles.begin(), g_openFiles.end(), p), g_openFiles.end());
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

HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindData)
{
    if (lpFileName == nullptr || lpFindData == nullptr)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::u16string w = Widen(lpFileName, CP_ACP);
    size_t iSep = std::u16string::npos;
    for (size_t i = 0; i < w.size(); ++i)
    {
        if (IsSep(w[i]))
            iSep = i;
    }
    std::u16string dir = iSep == std::u16string::npos ? u"." : w.substr(0, iSep == 0 ? 1 : iSep);
    std::u16string pat = iSep == std::u16string::npos ? w : w.substr(iSep + 1);
    if (pat.empty())
    {
        // "C:\dir\" names a folder, not an entry: Windows finds nothing.
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::string dirUtf8, dirSJis;
    Narrow(dir, CP_ACP, dirSJis);
    SJisToSystemText(dirSJis.data(), dirSJis.size(), 1, &dirUtf8);
    FindHandle* pFind = new FindHandle{kFindHandle, {}, 0};
    if (pat.find_first_of(u"*?") == std::u16string::npos)
    {
        std::string full;
        struct stat st;
        if (!ToUtf8Path(lpFileName, full) || StatPath(full, st) != 0)
        {
            SetLastError(errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND);
            delete pFind;
            return INVALID_HANDLE_VALUE;
        }
        std::string name;
        Narrow(pat, CP_ACP, name);
        WIN32_FIND_DATAA fd;
        FillFindData(st, name, fd);
        pFind->entries.push_back(fd);
    }
    else
    {
        DIR* pDir = opendir(dirUtf8.c_str());
        if (pDir == nullptr)
        {
            SetLastError(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND);
            delete pFind;
            return INVALID_HANDLE_VALUE;
        }
        std::u16string match = pat == u"*.*" ? u"*" : pat;
        struct Found
        {
            std::u16string key;
            std::string raw;
            WIN32_FIND_DATAA fd;
        };
        std::vector<Found> found;
        while (struct dirent* pEnt = readdir(pDir))
        {
            std::string sjisName;
            // Left out only when the name needs a user-defined character and
            // none is left; the command line's walk names such entries.
            if (!SystemTextToSJis(pEnt->d_name, strlen(pEnt->d_name), &sjisName) ||
                sjisName.size() >= MAX_PATH)
                continue;
            // Matched as the program sees the name: a '*' or '?' in it is
            // a character of its own there, never a wildcard.
            if (!WildMatch(match.c_str(), Widen(sjisName.c_str(), CP_ACP).c_str()))
                continue;
            std::u16string wName = Widen(pEnt->d_name, CP_UTF8);
            std::string full = dirUtf8 + "/" + pEnt->d_name;
            struct stat st;
            if (StatPath(full, st) != 0)
                continue;
            WIN32_FIND_DATAA fd;
            FillFindData(st, sjisName, fd);
            std::u16string key = wName;
            for (WCHAR& c : key)
                c = Upper(c);
            found.push_back(Found{key, pEnt->d_name, fd});
        }
        closedir(pDir);
        // NTFS lists a folder in the order of its upper-cased names; names
        // that read the same that way (bytes that are not UTF-8 all read as
        // U+FFFD) keep the order of their bytes.
        std::sort(found.begin(), found.end(),
                  [](const Found& a, const Found& b)
                  { return a.key != b.key ? a.key < b.key : a.raw < b.raw; });
        for (const Found& e : found)
            pFind->entries.push_back(e.fd);
        if (pFind->entries.empty())
        {
            SetLastError(ERROR_FILE_NOT_FOUND);
            delete pFind;
            return INVALID_HANDLE_VALUE;
        }
    }
    *lpFindData = pFind->entries[0];
    pFind->nNext = 1;
    SetLastError(ERROR_SUCCESS);
    return pFind;
}

BOOL FindNextFileA(HANDLE hFind, LPWIN32_FIND_DATAA lpFindData)
{
    FindHandle* p = (FindHandle*)hFind;
    if (p == nullptr || hFind == INVALID_HANDLE_VALUE || p->iKind != kFindHandle)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (p->nNext >= p->entries.size())
    {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    *lpFindData = p->entries[p->nNext++];
    return TRUE;
}

BOOL FindClose(HANDLE hFind)
{
    FindHandle* p = (FindHandle*)hFind;
    if (p == nullptr || hFind == INVALID_HANDLE_VALUE || p->iKind != kFindHandle)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    p->iKind = 0;
    delete p;
    return TRUE;
}

DWORD GetFileAttributesA(LPCSTR lpFileName)
{
    std::string path;
    struct stat st;
    if (!ToUtf8Path(lpFileName, path) || StatPath(path, st) != 0)
    {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD dw = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if ((st.st_mode & S_IWUSR) == 0)
        dw |= FILE_ATTRIBUTE_READONLY;
    return dw;
}

BOOL CreateDirectoryA(LPCSTR lpPathName, LPVOID)
{
    std::string path;
    if (!ToUtf8Path(lpPathName, path))
    {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (mkdir(path.c_str(), 0777) != 0)
    {
        SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : PosixErrorToWin32(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR lpPathName)
{
    std::string path;
    if (!ToUtf8Path(lpPathName, path) || rmdir(path.c_str()) != 0)
    {
        FailErrno();
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteFileA(LPCSTR lpFileName)
{
    std::string path;
    if (!ToUtf8Path(lpFileName, path) || unlink(path.c_str()) != 0)
    {
        FailErrno();
        return FALSE;
    }
    return TRUE;
}

DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer)
{
    char acCwd[4096];
    if (getcwd(acCwd, sizeof(acCwd)) == nullptr)
    {
        FailErrno();
        return 0;
    }
    std::string sjis;
    if (!SystemTextToSJis(acCwd, strlen(acCwd), &sjis))
    {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    }
    if (lpBuffer == nullptr || nBufferLength < sjis.size() + 1)
        return (DWORD)sjis.size() + 1;
    memcpy(lpBuffer, sjis.c_str(), sjis.size() + 1);
    return (DWORD)sjis.size();
}

BOOL SetCurrentDirectoryA(LPCSTR lpPathName)
{
    std::string path;
    if (!ToUtf8Path(lpPathName, path) || chdir(path.c_str()) != 0)
    {
        SetLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : PosixErrorToWin32(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL GetDiskFreeSpaceExA(LPCSTR lpDirectoryName, PULARGE_INTEGER lpFreeToCaller,
                         PULARGE_INTEGER lpTotal, PULARGE_INTEGER lpTotalFree)
{
    std::string path = ".";
    if (lpDirectoryName != nullptr && !ToUtf8Path(lpDirectoryName, path))
    {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    struct statvfs sv;
    if (statvfs(path.c_str(), &sv) != 0)
    {
        SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : PosixErrorToWin32(errno));
        return FALSE;
    }
    if (lpFreeToCaller != nullptr)
        lpFreeToCaller->QuadPart = (ULONGLONG)sv.f_bavail * sv.f_frsize;
    if (lpTotal != nullptr)
        lpTotal->QuadPart = (ULONGLONG)sv.f_blocks * sv.f_frsize;
    if (lpTotalFree != nullptr)
        lpTotalFree->QuadPart = (ULONGLONG)sv.f_bfree * sv.f_frsize;
    return TRUE;
}

BOOL MakeSureDirectoryPathExists(LPCSTR lpDirPath)
{
    std::string path;
    if (!ToUtf8Path(lpDirPath, path))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // Everything after the last separator is a file name and is not created.
    for (size_t i = 1; i < path.size(); ++i)
    {
        if (path[i] != '/')
            continue;
        std::string part = path.substr(0, i);
        struct stat st;
        if (stat(part.c_str(), &st) == 0)
        {
            if (!S_ISDIR(st.st_mode))
            {
                SetLastError(PosixErrorToWin32(ENOTDIR)); // ERROR_PATH_NOT_FOUND
                return FALSE;
            }
            continue;
        }
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
        {
            FailErrno();
            return FALSE;
        }
    }
    return TRUE;
}

BOOL FileTimeToLocalFileTime(const FILETIME* lpFileTime, LPFILETIME lpLocal)
{
    uint64_t v = ((uint64_t)lpFileTime->dwHighDateTime << 32) | lpFileTime->dwLowDateTime;
    time_t t = (time_t)(v / 10000000ull) - (time_t)11644473600ll;
    struct tm tmLocal;
    localtime_r(&t, &tmLocal);
    v += (uint64_t)((int64_t)tmLocal.tm_gmtoff * 10000000ll);
    lpLocal->dwLowDateTime = (DWORD)v;
    lpLocal->dwHighDateTime = (DWORD)(v >> 32);
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime)
{
    uint64_t v = ((uint64_t)lpFileTime->dwHighDateTime << 32) | lpFileTime->dwLowDateTime;
    time_t t = (time_t)(v / 10000000ull) - (time_t)11644473600ll;
    struct tm tmUtc;
    if (gmtime_r(&t, &tmUtc) == nullptr)
        return FALSE;
    lpSystemTime->wYear = (WORD)(tmUtc.tm_year + 1900);
    lpSystemTime->wMonth = (WORD)(tmUtc.tm_mon + 1);
    lpSystemTime->wDayOfWeek = (WORD)tmUtc.tm_wday;
    lpSystemTime->wDay = (WORD)tmUtc.tm_mday;
    lpSystemTime->wHour = (WORD)tmUtc.tm_hour;
    lpSystemTime->wMinute = (WORD)tmUtc.tm_min;
    lpSystemTime->wSecond = (WORD)tmUtc.tm_sec;
    lpSystemTime->wMilliseconds = (WORD)((v / 10000) % 1000);
    return TRUE;
}
