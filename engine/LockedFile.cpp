// CMyLockedFile: one file handle with its path, a transfer buffer that reads
// land in, the file's size and a recorded position, under its own lock.
#include "engine/LockedFile.h"

#include "support/FileSystem.h"
#include "support/SJisByteType.h"
#include "support/Trace.h"

namespace
{
const DWORD kTransferSize = 0x800000;
// The most bytes one system write is given.
const ULONGLONG kMaxPiece = 0xFFFFFFFFull;
const ULONGLONG kAllOnes = 0xFFFFFFFFFFFFFFFFull;

bool IsSep(char c)
{
    return c == '\\' || c == '/';
}

// Index of the last '\' or '/' of the Shift-JIS text, -1 for none; the trail
// byte of a two-byte character (0x83 0x5C, and 0xFA 0x5C of the extension
// rows, which the trace's narrower lead-byte test misses) is never taken for one.
int FindLastSeparator(const char* pcPath)
{
    int iFound = -1;
    for (int i = 0; pcPath[i] != '\0';)
    {
        if (IsCodePageLeadByte((BYTE)pcPath[i]) && IsSJisTrailByte((BYTE)pcPath[i + 1]))
        {
            i += 2;
            continue;
        }
        if (IsSep(pcPath[i]))
            iFound = i;
        ++i;
    }
    return iFound;
}
// 0 when the handle reached a link itself (Windows opens a reparse point when
// asked not to follow it; Linux refuses to open a link at all).
int IsPlainFile(HANDLE hFile)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(hFile, &info))
        return 0;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
    {
        SetLastError(ERROR_STOPPED_ON_SYMLINK);
        return 0;
    }
    return 1;
}
} // namespace

CMyLockedFile::~CMyLockedFile()
{
    Close();
}

// Stores the path with its folder part (the text before the last separator;
// the whole path when there is none or it is the first character) and its
// file-name part (the text after it; the whole path when there is none).
// Only while closed.
int CMyLockedFile::SetFilePath(const char* pcPath)
{
    if (m_bOpen || pcPath == nullptr || pcPath[0] == '\0')
        return 0;
    CString strPath(pcPath);
    int iSep = FindLastSeparator(pcPath);
    m_strFolder = iSep > 0 ? strPath.Left(iSep) : strPath;
    m_strFileName = iSep >= 0 ? strPath.Mid(iSep + 1) : strPath;
    m_strFilePath = strPath;
    return 1;
}

int CMyLockedFile::OpenHandle(DWORD dwAccess, DWORD dwCreation, DWORD dwAttributes)
{
    if (m_bOpen)
        return 0;
    m_hFile = CreateFileA(m_strFilePath, dwAccess, FILE_SHARE_READ, nullptr, dwCreation,
                          dwAttributes, nullptr);
    if (m_hFile != INVALID_HANDLE_VALUE && (dwAttributes & FILE_FLAG_OPEN_REPARSE_POINT) &&
        !IsPlainFile(m_hFile))
    {
        DWORD dwError = GetLastError();
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
        SetLastError(dwError);
    }
    if (m_hFile != INVALID_HANDLE_VALUE)
    {
        m_bOpen = 1;
        WIN32_FIND_DATAA fd;
        if (GetFindData(&fd, m_strFilePath))
            m_qwFileSize = MakeUInt64(fd.nFileSizeLow, fd.nFileSizeHigh);
    }
    m_qwPosition = 0;
    return m_bOpen;
}

// An existing file, for reading only; others may read it too.
int CMyLockedFile::OpenForRead()
{
    CSingleLock lock(&m_Lock);
    return OpenHandle(GENERIC_READ, OPEN_EXISTING, FILE_ATTRIBUTE_READONLY);
}

// Opens without truncating, or creates the file; others may read it. Never
// through a link: one planted where a piece goes would have the piece written
// over its target, or created outside the folder.
int CMyLockedFile::OpenForWrite()
{
    return OpenHandle(GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT);
}

// 0 when the system reported a failure (the last error says which): what
// was written may not all have reached the file. The object is closed either
// way: the system has let go of the handle whatever it reported (Linux frees
// the descriptor, and Windows fails only for a handle that was not valid), and
// using it again could reach a file opened since.
int CMyLockedFile::Close()
{
    CSingleLock lock(&m_Lock);
    if (!m_bOpen)
        return 1;
    int bClosed = WvCloseHandle(m_hFile) ? 1 : 0;
    m_bOpen = 0;
    m_hFile = INVALID_HANDLE_VALUE;
    return bClosed;
}

int CMyLockedFile::Seek(ULONGLONG qwPosition)
{
    if (!m_bOpen)
        return 0;
    LARGE_INTEGER liTo;
    liTo.QuadPart = (LONGLONG)qwPosition;
    if (!SetFilePointerEx(m_hFile, liTo, nullptr, FILE_BEGIN))
        return 0;
    m_qwPosition = qwPosition;
    return 1;
}

// The file pointer; 0 when closed, all ones when the system cannot say.
ULONGLONG CMyLockedFile::Tell()
{
    if (!m_bOpen)
        return 0;
    LARGE_INTEGER liZero, liAt;
    liZero.QuadPart = 0;
    if (!SetFilePointerEx(m_hFile, liZero, &liAt, FILE_CURRENT))
        return kAllOnes;
    return (ULONGLONG)liAt.QuadPart;
}

// Reads at most dwWant bytes, the transfer limit, the buffer's capacity and
// what is left from the recorded position to the size, from the current file
// pointer into the transfer buffer. Null only when closed; a failed read
// gives the buffer and 0 bytes.
BYTE* CMyLockedFile::Read(DWORD dwWant, DWORD* pdwGot)
{
    if (pdwGot != nullptr)
        *pdwGot = 0;
    if (!m_bOpen)
        return nullptr;
    DWORD dwRead = GetBlockFor(dwWant);
    DWORD dwDone = 0;
    if (dwRead > 0 && !WvReadFile(m_hFile, m_TransferBuff.GetBuff(), dwRead, &dwDone))
        dwDone = 0;
    m_TransferBuff.SetLength(dwDone);
    if (pdwGot != nullptr)
        *pdwGot = dwDone;
    return m_TransferBuff.GetBuff();
}

DWORD CMyLockedFile::GetBlockFor(DWORD dwWant) const
{
    DWORD dwBlock = dwWant < m_dwTransferLimit ? dwWant : m_dwTransferLimit;
    if (dwBlock > m_TransferBuff.GetCapacity())
        dwBlock = m_TransferBuff.GetCapacity();
    if (m_qwPosition >= m_qwFileSize)
        return 0;
    if (dwBlock > m_qwFileSize - m_qwPosition)
        dwBlock = (DWORD)(m_qwFileSize - m_qwPosition);
    return dwBlock;
}

// Copies the block that pSrc->Read(dwWant) would read from the source's file
// pointer to this file's, with the system's own copy. 0 when nothing was
// copied (no such copy here, or a fault): the caller then reads and writes.
int CMyLockedFile::CopyFrom(CMyLockedFile* pSrc, DWORD dwWant, DWORD* pdwGot)
{
    *pdwGot = 0;
    CSingleLock lock(&m_Lock);
    CSingleLock srcLock(&pSrc->m_Lock);
    if (!m_bOpen || !pSrc->m_bOpen)
        return 0;
    DWORD dwBlock = pSrc->GetBlockFor(dwWant);
    if (dwBlock == 0)
        return 0;
    WvCopyFileRange(pSrc->m_hFile, m_hFile, dwBlock, pdwGot);
    m_qwPosition = Tell();
    return *pdwGot > 0;
}

// Shares dwCount bytes, all within the source's recorded size, from the
// source's file pointer with this file at its own (both at multiples of
// the file system's block), advancing both. 0 when nothing was shared (no
// such sharing here): the caller then copies.
int CMyLockedFile::ShareFrom(CMyLockedFile* pSrc, DWORD dwCount)
{
    CSingleLock lock(&m_Lock);
    CSingleLock srcLock(&pSrc->m_Lock);
    if (!m_bOpen || !pSrc->m_bOpen || dwCount == 0)
        return 0;
    ULONGLONG qwFrom = pSrc->Tell();
    if (qwFrom == kAllOnes || qwFrom > pSrc->m_qwFileSize ||
        dwCount > pSrc->m_qwFileSize - qwFrom || !WvShareFileRange(pSrc->m_hFile, m_hFile, dwCount))
        return 0;
    m_qwPosition = Tell();
    return 1;
}

// Writes qwCount bytes at the file pointer in system writes of at most
// 0xFFFFFFFF bytes; a write that fails or comes back short (a full disk, as
// the last error then says) ends it. Adds the bytes written to *pqwWritten.
// 1 when everything was written.
int CMyLockedFile::WritePieces(const BYTE* pbBuff, ULONGLONG qwCount, ULONGLONG* pqwWritten)
{
    while (qwCount > 0)
    {
        DWORD dwPiece = (DWORD)(qwCount < kMaxPiece ? qwCount : kMaxPiece);
        DWORD dwDone = 0;
        BOOL bOk = WvWriteFile(m_hFile, pbBuff, dwPiece, &dwDone);
        *pqwWritten += dwDone;
        if (bOk && dwDone != dwPiece)
            SetLastError(ERROR_DISK_FULL); // a short write says nothing else
        if (!bOk || dwDone != dwPiece)
            return 0;
        pbBuff += dwPiece;
        qwCount -= dwPiece;
    }
    return 1;
}

// Writes at the current file pointer, opening the file first when needed.
int CMyLockedFile::Write(const void* pBuff, ULONGLONG qwCount)
{
    CSingleLock lock(&m_Lock);
    if (!m_bOpen && !OpenForWrite())
        return 0;
    ULONGLONG qwWritten = 0;
    int bOk = WritePieces((const BYTE*)pBuff, qwCount, &qwWritten);
    m_qwPosition = Tell();
    return bOk;
}

int CMyLockedFile::WriteAt(ULONGLONG qwPosition, const void* pBuff, ULONGLONG qwCount)
{
    CSingleLock lock(&m_Lock);
    if (!m_bOpen && !OpenForWrite())
        return 0;
    if (!Seek(qwPosition))
        return 0;
    return Write(pBuff, qwCount);
}

// Replaces the file's whole content; the size counts the bytes written.
int CMyLockedFile::WriteWholeFile(const char* pcPath, const void* pBuff, ULONGLONG qwCount)
{
    CSingleLock lock(&m_Lock);
    if (!SetFilePath(pcPath))
        return 0;
    if (!m_TransferBuff.Reallocate(kTransferSize, 1))
        return 0;
    m_dwTransferLimit = kTransferSize;
    if (!OpenForWrite())
        return 0;
    if (!Seek(0))
    {
        Close();
        return 0;
    }
    m_qwFileSize = 0;
    int bOk = WritePieces((const BYTE*)pBuff, qwCount, &m_qwFileSize);
    // Without the cut an older, longer content would survive behind the new.
    if (!Truncate())
        bOk = 0;
    Close();
    return bOk;
}

int CMyLockedFile::Truncate()
{
    if (!m_bOpen)
        return 0;
    // A file that ends there already is left as it is: XFS spends
    // milliseconds on each cut of a file whose blocks are shared.
    LARGE_INTEGER liSize;
    ULONGLONG qwAt = Tell();
    if (qwAt != kAllOnes && GetFileSizeEx(m_hFile, &liSize) && (ULONGLONG)liSize.QuadPart == qwAt)
        return 1;
    return SetEndOfFile(m_hFile) ? 1 : 0;
}

// The size from a fresh directory lookup; all ones (size unchanged) when the
// file is not found.
ULONGLONG CMyLockedFile::RefreshFileSize()
{
    WIN32_FIND_DATAA fd;
    if (m_strFilePath.IsEmpty() || !GetFindData(&fd, m_strFilePath))
        return kAllOnes;
    m_qwFileSize = MakeUInt64(fd.nFileSizeLow, fd.nFileSizeHigh);
    return m_qwFileSize;
}
