// Errors, system texts, program path, time and threads for the Linux build.
#include "platform/posix/Win32System.h"
#include "platform/posix/Win32CodePage.h"
#include "platform/posix/Win32NameText.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{
thread_local DWORD t_dwLastError = 0;
// The last errno this thread turned into a Windows code, and that code.
thread_local int t_iLastErrno = 0;
thread_local DWORD t_dwLastErrnoCode = 0;

struct ErrorText
{
    DWORD dwCode;
    const char* pcText;
};

// The texts a Japanese Windows gives, for the codes this program meets.
const ErrorText kErrorTexts[] = {
    {ERROR_SUCCESS, "この操作を正しく終了しました。\r\n"},
    {ERROR_INVALID_FUNCTION, "ファンクションが間違っています。\r\n"},
    {ERROR_FILE_NOT_FOUND, "指定されたファイルが見つかりません。\r\n"},
    {ERROR_PATH_NOT_FOUND, "指定されたパスが見つかりません。\r\n"},
    {ERROR_TOO_MANY_OPEN_FILES, "システムはファイルを開くことができません。\r\n"},
    {ERROR_ACCESS_DENIED, "アクセスが拒否されました。\r\n"},
    {ERROR_INVALID_HANDLE, "ハンドルが無効です。\r\n"},
    {ERROR_NOT_ENOUGH_MEMORY, "このコマンドを実行するのに十分な記憶域がありません。\r\n"},
    {ERROR_NO_MORE_FILES, "これ以上ファイルがありません。\r\n"},
    {ERROR_WRITE_FAULT, "指定されたデバイスに書き込めません。\r\n"},
    {ERROR_READ_FAULT, "指定されたデバイスから読み取れません。\r\n"},
    {ERROR_SHARING_VIOLATION,
     "プロセスはファイルにアクセスできません。別のプロセスが使用中です。\r\n"},
    {ERROR_HANDLE_EOF, "ファイルの終わりに到達しました。\r\n"},
    {ERROR_HANDLE_DISK_FULL, "ディスクがいっぱいです。\r\n"},
    {ERROR_NOT_SUPPORTED, "この要求はサポートされていません。\r\n"},
    {ERROR_FILE_EXISTS, "ファイルが存在します。\r\n"},
    {ERROR_INVALID_PARAMETER, "パラメーターが間違っています。\r\n"},
    {ERROR_DISK_FULL, "ディスクに十分な空き領域がありません。\r\n"},
    {ERROR_INSUFFICIENT_BUFFER, "システム コールに渡されるデータ領域が小さすぎます。\r\n"},
    {ERROR_INVALID_NAME,
     "ファイル名、ディレクトリ名、またはボリューム ラベルの構文が間違っています。\r\n"},
    {ERROR_STOPPED_ON_SYMLINK, "作成操作はシンボリック リンクに到達した後で停止しました。\r\n"},
    {ERROR_DIR_NOT_EMPTY, "ディレクトリが空ではありません。\r\n"},
    {ERROR_ALREADY_EXISTS, "既に存在するファイルを作成することはできません。\r\n"},
    {ERROR_FILENAME_EXCED_RANGE, "ファイル名または拡張子が長すぎます。\r\n"},
    {ERROR_FILE_TOO_LARGE, "ファイル サイズが制限値を超えているため、保存できません。\r\n"},
    {ERROR_NO_UNICODE_TRANSLATION,
     "Unicode 文字のマッピングがターゲットのマルチバイト コード ページにありません。\r\n"},
};

DWORD ToWin32Error(int iErrno)
{
    switch (iErrno)
    {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EFBIG: // past the file size limit (ulimit -f), with room on the disk
        return ERROR_FILE_TOO_LARGE;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case ELOOP: // a link where none is followed, or too many links
        return ERROR_STOPPED_ON_SYMLINK;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case EIO:
        return ERROR_WRITE_FAULT;
    case EBUSY:
    case ETXTBSY:
        return ERROR_SHARING_VIOLATION;
    default:
        return ERROR_INVALID_FUNCTION;
    }
}
} // namespace

DWORD GetLastError()
{
    return t_dwLastError;
}
void SetLastError(DWORD dwErrCode)
{
    t_dwLastError = dwErrCode;
}

DWORD PosixErrorToWin32(int iErrno)
{
    t_iLastErrno = iErrno;
    t_dwLastErrnoCode = ToWin32Error(iErrno);
    return t_dwLastErrnoCode;
}

int GetErrnoOfError(DWORD dwError)
{
    if (t_iLastErrno != 0 && dwError == t_dwLastErrnoCode)
        return t_iLastErrno;
    switch (dwError)
    {
    case ERROR_SUCCESS:
        return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_INVALID_HANDLE:
        return EBADF;
    case ERROR_NOT_ENOUGH_MEMORY:
        return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return EEXIST;
    case ERROR_DIR_NOT_EMPTY:
        return ENOTEMPTY;
    case ERROR_STOPPED_ON_SYMLINK:
        return ELOOP;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_INVALID_PARAMETER:
    case ERROR_INVALID_NAME:
        return EINVAL;
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
        return EIO;
    case ERROR_SHARING_VIOLATION:
        return EBUSY;
    case ERROR_NOT_SUPPORTED:
        return EOPNOTSUPP;
    case ERROR_NO_UNICODE_TRANSLATION:
        return EILSEQ;
    default:
        return 0;
    }
}

DWORD FormatMessageA(DWORD dwFlags, LPCVOID /*lpSource*/, DWORD dwMessageId, DWORD /*dwLanguageId*/,
                     LPSTR lpBuffer, DWORD nSize, va_list* /*Arguments*/)
{
    const char* pcText = nullptr;
    for (const ErrorText& e : kErrorTexts)
    {
        if (e.dwCode == dwMessageId)
            pcText = e.pcText;
    }
    if (pcText == nullptr || (dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) == 0)
    {
        SetLastError(317); // ERROR_MR_MID_NOT_FOUND
        return 0;
    }
    DWORD nLen = (DWORD)strlen(pcText);
    if ((dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0)
    {
        char* pcCopy = (char*)malloc(nLen + 1);
        if (pcCopy == nullptr)
            return 0;
        memcpy(pcCopy, pcText, nLen + 1);
        *(char**)lpBuffer = pcCopy;
        return nLen;
    }
    if (lpBuffer == nullptr || nSize <= nLen)
    {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    memcpy(lpBuffer, pcText, nLen + 1);
    return nLen;
}

HLOCAL LocalFree(HLOCAL hMem)
{
    free(hMem);
    return nullptr;
}

DWORD GetModuleFileNameA(HMODULE /*hModule*/, LPSTR lpFilename, DWORD nSize)
{
    if (lpFilename == nullptr || nSize == 0)
        return 0;
    char acUtf8[4096];
    ssize_t n = readlink("/proc/self/exe", acUtf8, sizeof(acUtf8) - 1);
    if (n <= 0)
    {
        SetLastError(PosixErrorToWin32(errno));
        return 0;
    }
    acUtf8[n] = '\0';
    // Reported with '\' separators as Windows does, so the program folder is
    // cut at the last backslash on both platforms.
    std::string sjis;
    if (!SystemTextToSJis(acUtf8, (size_t)n, &sjis))
    {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    }
    int nBytes = (int)sjis.size() + 1;
    if ((DWORD)nBytes > nSize)
    {
        memcpy(lpFilename, sjis.data(), nSize - 1);
        lpFilename[nSize - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    memcpy(lpFilename, sjis.c_str(), (size_t)nBytes);
    for (int i = 0; lpFilename[i] != '\0'; ++i)
    {
        if (IsDBCSLeadByte((BYTE)lpFilename[i]) && lpFilename[i + 1] != '\0')
            ++i;
        else if (lpFilename[i] == '/')
            lpFilename[i] = '\\';
    }
    return (DWORD)(nBytes - 1);
}

void Sleep(DWORD dwMilliseconds)
{
    struct timespec ts;
    ts.tv_sec = dwMilliseconds / 1000;
    ts.tv_nsec = (long)(dwMilliseconds % 1000) * 1000000L;
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR)
    {
    }
}

DWORD GetTickCount()
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (DWORD)((uint64_t)ts.tv_sec * 1000u + (uint64_t)ts.tv_nsec / 1000000u);
}

DWORD GetCurrentThreadId()
{
    return (DWORD)syscall(SYS_gettid);
}

int _stricmp(const char* pcText1, const char* pcText2)
{
    const unsigned char* p1 = (const unsigned char*)pcText1;
    const unsigned char* p2 = (const unsigned char*)pcText2;
    for (;; p1++, p2++)
    {
        int c1 = (*p1 >= 'A' && *p1 <= 'Z') ? *p1 + 32 : *p1;
        int c2 = (*p2 >= 'A' && *p2 <= 'Z') ? *p2 + 32 : *p2;
        if (c1 != c2 || c1 == 0)
            return c1 - c2;
    }
}
