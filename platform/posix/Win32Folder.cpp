// Paths, folders, attributes, free space and file times for the Linux build.
#include "platform/posix/Win32FileParts.h"
#include "platform/posix/Win32NameText.h"
#include "platform/posix/Win32System.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace posixfs;

bool posixfs::ToUtf8Path(LPCSTR pcPath, std::string& out)
{
    if (pcPath == nullptr || pcPath[0] == '\0')
        return false;
    SJisToSystemText(pcPath, strlen(pcPath), 1, &out);
    return true;
}

int PosixPathFromSJis(LPCSTR pcPath, char* pcOut, size_t cbOut)
{
    std::string s;
    if (!ToUtf8Path(pcPath, s) || s.size() + 1 > cbOut)
        return 0;
    memcpy(pcOut, s.c_str(), s.size() + 1);
    return 1;
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
