// What the files of the Linux file layer share: the file handle, errors from
// errno, paths in the system's form and directory records. Only that layer
// includes this.
#pragma once

#include "platform/posix/Win32File.h"

#include <string>
#include <sys/stat.h>
#include <sys/types.h>

// Files past 2 GiB and dates past 2038: a 32-bit build needs
// -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64, or sizes and positions would be cut.
static_assert(sizeof(off_t) == 8, "64-bit file offsets required");
static_assert(sizeof(time_t) == 8, "64-bit time required");

namespace posixfs
{
// Marks a live handle of each kind; a closed one is zeroed.
const int kFileHandle = 0x46494C45;
const int kFindHandle = 0x46494E44;

struct FileHandle
{
    int iKind;
    int fd;
    dev_t dev;
    ino_t ino;
    DWORD dwAccess;
    DWORD dwShare;
};

// The open file behind a handle; null for anything else.
FileHandle* AsFile(HANDLE h);
// The thread's last error from errno.
void FailErrno();
// The Shift-JIS path as the UTF-8 path the system takes; false for a null or
// empty path.
bool ToUtf8Path(LPCSTR pcPath, std::string& out);
// stat, or lstat for a link that leads nowhere; 0 when found.
int StatPath(const std::string& utf8, struct stat& st);
// The directory record of an entry: its attributes, size, times and name.
void FillFindData(const struct stat& st, const std::string& sjisName, WIN32_FIND_DATAA& fd);
} // namespace posixfs
