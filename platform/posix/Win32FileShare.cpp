// Sharing a range of blocks between two open files, for the Linux build:
// file systems that share blocks (XFS with reflink, btrfs, ZFS, bcachefs)
// then hold the range once, and a later write to either file copies only the
// blocks it touches.
#include "platform/Platform.h"
#include "platform/posix/Win32FileParts.h"
#include "platform/posix/Win32System.h"

#include <cerrno>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace posixfs;

// Fails, sharing nothing, where the file system cannot share (ext4, tmpfs:
// EOPNOTSUPP), the files lie on two file systems (EXDEV), the positions or
// the length are not multiples of its block (EINVAL), or either file is
// in use as a swap file or program (ETXTBSY): the caller then copies, which
// meets a real fault (a full disk, a failing device) and names it.
BOOL PlatformShareFileRange(HANDLE hFrom, HANDLE hTo, DWORD nBytes)
{
    FileHandle* pFrom = AsFile(hFrom);
    FileHandle* pTo = AsFile(hTo);
    if (pFrom == nullptr || pTo == nullptr)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    off_t from = lseek(pFrom->fd, 0, SEEK_CUR);
    off_t to = lseek(pTo->fd, 0, SEEK_CUR);
    if (from < 0 || to < 0)
    {
        FailErrno();
        return FALSE;
    }
    struct file_clone_range range;
    range.src_fd = pFrom->fd;
    range.src_offset = (__u64)from;
    range.src_length = nBytes;
    range.dest_offset = (__u64)to;
    int iResult;
    do
        iResult = ioctl(pTo->fd, FICLONERANGE, &range);
    while (iResult < 0 && errno == EINTR);
    if (iResult < 0)
    {
        SetLastError(errno == EOPNOTSUPP || errno == ENOTTY ? (DWORD)ERROR_NOT_SUPPORTED
                                                            : PosixErrorToWin32(errno));
        return FALSE;
    }
    // The call leaves both file pointers where they were.
    if (lseek(pFrom->fd, from + (off_t)nBytes, SEEK_SET) < 0 ||
        lseek(pTo->fd, to + (off_t)nBytes, SEEK_SET) < 0)
    {
        FailErrno();
        return FALSE;
    }
    return TRUE;
}
