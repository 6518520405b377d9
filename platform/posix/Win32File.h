// Files, directory listing, folders and disk space for the Linux build.
// Paths are Shift-JIS and converted to UTF-8 at the system-call boundary.
// Handles and share modes are in Win32FileHandle.cpp; reading, writing and
// the data copy in Win32FileData.cpp; the directory search in
// Win32FindFile.cpp; folders, attributes, free space and times in
// Win32Folder.cpp.
#pragma once

#include "platform/posix/Win32Types.h"

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
// A FIFO, socket or device met in a folder: no file to read.
#define FILE_ATTRIBUTE_DEVICE 0x00000040u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_ATTRIBUTE_REPARSE_POINT 0x00000400u
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000u
// Windows opens the link itself; here a link is not opened at all, as Linux
// cannot open one for reading or writing (ERROR_STOPPED_ON_SYMLINK).
#define FILE_FLAG_OPEN_REPARSE_POINT 0x00200000u
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define INVALID_SET_FILE_POINTER ((DWORD)-1)
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2

struct WIN32_FIND_DATAA
{
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
};
typedef WIN32_FIND_DATAA* LPWIN32_FIND_DATAA;

struct BY_HANDLE_FILE_INFORMATION
{
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD dwVolumeSerialNumber;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD nNumberOfLinks;
    DWORD nFileIndexHigh;
    DWORD nFileIndexLow;
};
typedef BY_HANDLE_FILE_INFORMATION* LPBY_HANDLE_FILE_INFORMATION;

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, LPVOID lpSecurity,
                   DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE hTemplate);
BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nToRead, LPDWORD lpRead, LPVOID lpOverlapped);
BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nToWrite, LPDWORD lpWritten,
               LPVOID lpOverlapped);
DWORD SetFilePointer(HANDLE hFile, LONG lDistance, LONG* lpDistanceHigh, DWORD dwMoveMethod);
BOOL SetFilePointerEx(HANDLE hFile, LARGE_INTEGER liDistance, PLARGE_INTEGER lpNewPointer,
                      DWORD dwMoveMethod);
BOOL SetEndOfFile(HANDLE hFile);
BOOL GetFileSizeEx(HANDLE hFile, PLARGE_INTEGER lpFileSize);
// The volume serial number is the device number folded to 32 bits, the file
// index the inode: together they tell whether two paths reach one file.
BOOL GetFileInformationByHandle(HANDLE hFile, LPBY_HANDLE_FILE_INFORMATION lpInfo);
BOOL FlushFileBuffers(HANDLE hFile);
BOOL CloseHandle(HANDLE hObject);

HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindData);
BOOL FindNextFileA(HANDLE hFind, LPWIN32_FIND_DATAA lpFindData);
BOOL FindClose(HANDLE hFind);

DWORD GetFileAttributesA(LPCSTR lpFileName);
BOOL CreateDirectoryA(LPCSTR lpPathName, LPVOID lpSecurity);
BOOL RemoveDirectoryA(LPCSTR lpPathName);
BOOL DeleteFileA(LPCSTR lpFileName);
DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer);
BOOL SetCurrentDirectoryA(LPCSTR lpPathName);
BOOL GetDiskFreeSpaceExA(LPCSTR lpDirectoryName, PULARGE_INTEGER lpFreeToCaller,
                         PULARGE_INTEGER lpTotal, PULARGE_INTEGER lpTotalFree);
// Creates every folder of the path up to its last separator, as the image-help
// library does on Windows.
BOOL MakeSureDirectoryPathExists(LPCSTR lpDirPath);

BOOL FileTimeToLocalFileTime(const FILETIME* lpFileTime, LPFILETIME lpLocal);
BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime);

// The kernel's copy (copy_file_range) from the file position of one
// descriptor to that of another, as the data copy calls it: the bytes copied,
// or -1 with errno. Tests put their own in to see which copies reach it and to
// make it fail; gives the one it replaced.
typedef long (*PosixCopyCall)(int fdFrom, int fdTo, size_t nBytes);
PosixCopyCall SetPosixCopyCall(PosixCopyCall pfnCopy);

// The Shift-JIS path as the UTF-8 name the file system stores ('\' becomes '/').
// Gives 0 when the path cannot be converted.
int PosixPathFromSJis(LPCSTR pcPath, char* pcOut, size_t cbOut);
