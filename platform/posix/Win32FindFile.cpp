// The directory search for the Linux build: one entry by its name, or a
// folder's entries that match a wildcard pattern, in the order NTFS lists them.
#include "platform/posix/Win32CodePage.h"
#include "platform/posix/Win32FileParts.h"
#include "platform/posix/Win32NameText.h"
#include "platform/posix/Win32System.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <vector>

using namespace posixfs;

namespace
{
struct FindHandle
{
    int iKind;
    std::vector<WIN32_FIND_DATAA> entries;
    size_t nNext;
};

bool IsSep(WCHAR w)
{
    return w == u'\\' || w == u'/';
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

void ToFileTime(const struct timespec& ts, FILETIME& ft)
{
    uint64_t v = ((uint64_t)ts.tv_sec + 11644473600ull) * 10000000ull + (uint64_t)ts.tv_nsec / 100;
    ft.dwLowDateTime = (DWORD)v;
    ft.dwHighDateTime = (DWORD)(v >> 32);
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
void CopyName(const std::string& sjisName, WIN32_FIND_DATAA& fd)
{
    size_t n = std::min(sjisName.size(), (size_t)MAX_PATH - 1);
    memcpy(fd.cFileName, sjisName.data(), n);
}

// The record of a folder's entry. The listing's own type spares the system
// call for a folder, FIFO, socket or device: the type is all that is read of
// those (they get no times or rights). A regular file is asked for its size
// and times; a link is followed, so that a link to a file counts as that file,
// and taken as itself (no file) when it leads nowhere; so is an entry of a
// file system that gives no type. 0 when the entry has gone meanwhile.
int DescribeEntry(int fdDir, const struct dirent* pEnt, const std::string& sjisName,
                  WIN32_FIND_DATAA& fd)
{
    switch (pEnt->d_type)
    {
    case DT_DIR:
    case DT_FIFO:
    case DT_SOCK:
    case DT_CHR:
    case DT_BLK:
        memset(&fd, 0, sizeof(fd));
        fd.dwFileAttributes =
            pEnt->d_type == DT_DIR ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_DEVICE;
        CopyName(sjisName, fd);
        return 1;
    default:
        break;
    }
    struct stat st;
    int iFollow = pEnt->d_type == DT_REG ? AT_SYMLINK_NOFOLLOW : 0;
    if (fstatat(fdDir, pEnt->d_name, &st, iFollow) != 0 &&
        (iFollow != 0 || fstatat(fdDir, pEnt->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0))
        return 0;
    FillFindData(st, sjisName, fd);
    return 1;
}
} // namespace

void posixfs::FillFindData(const struct stat& st, const std::string& sjisName, WIN32_FIND_DATAA& fd)
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
    CopyName(sjisName, fd);
}

int posixfs::StatPath(const std::string& utf8, struct stat& st)
{
    if (stat(utf8.c_str(), &st) == 0)
        return 0;
    return lstat(utf8.c_str(), &st);
}

HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindData)
{
    if (lpFileName == nullptr || lpFindData == nullptr)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::u16string w = WidenText(lpFileName, CP_ACP);
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
            if (match != u"*" &&
                !WildMatch(match.c_str(), WidenText(sjisName.c_str(), CP_ACP).c_str()))
                continue;
            WIN32_FIND_DATAA fd;
            if (!DescribeEntry(dirfd(pDir), pEnt, sjisName, fd))
                continue;
            std::u16string key = WidenText(pEnt->d_name, CP_UTF8);
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
