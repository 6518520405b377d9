// CMyLockedFile: one file handle with its path, a transfer buffer that reads
// land in, the file's size and a recorded position, under its own lock.
#pragma once

#include "engine/ByteBuff.h"
#include "framework/CCriticalSection.h"
#include "framework/CString.h"
#include "platform/Platform.h"

class CMyLockedFile
{
public:
    CMyLockedFile() = default;
    virtual ~CMyLockedFile();
    CMyLockedFile(const CMyLockedFile&) = delete;
    CMyLockedFile& operator=(const CMyLockedFile&) = delete;

    int SetFilePath(const char* pcPath);
    int OpenForRead();
    int OpenForWrite();
    int Close();
    int Seek(ULONGLONG qwPosition);
    ULONGLONG Tell();
    BYTE* Read(DWORD dwWant, DWORD* pdwGot);
    int CopyFrom(CMyLockedFile* pSrc, DWORD dwWant, DWORD* pdwGot);
    int ShareFrom(CMyLockedFile* pSrc, DWORD dwCount);
    int Write(const void* pBuff, ULONGLONG qwCount);
    int WriteAt(ULONGLONG qwPosition, const void* pBuff, ULONGLONG qwCount);
    int WriteWholeFile(const char* pcPath, const void* pBuff, ULONGLONG qwCount);
    // Cuts the file at the current file pointer.
    int Truncate();
    ULONGLONG RefreshFileSize();
    int Lock() { return m_Lock.Lock(); }
    int Unlock() { return m_Lock.Unlock(); }

    int IsOpen() const { return m_bOpen; }
    const CString& GetFilePath() const { return m_strFilePath; }
    const CString& GetFolder() const { return m_strFolder; }
    const CString& GetFileName() const { return m_strFileName; }
    ULONGLONG GetFileSize() const { return m_qwFileSize; }
    ULONGLONG GetPosition() const { return m_qwPosition; }
    // The buffer reads land in; its owner sizes it (Reallocate) before reading.
    CMyByteBuff& GetTransferBuff() { return m_TransferBuff; }
    DWORD GetTransferLimit() const { return m_dwTransferLimit; }
    void SetTransferLimit(DWORD dwLimit) { m_dwTransferLimit = dwLimit; }

private:
    int OpenHandle(DWORD dwAccess, DWORD dwCreation, DWORD dwAttributes);
    DWORD GetBlockFor(DWORD dwWant) const;
    int WritePieces(const BYTE* pbBuff, ULONGLONG qwCount, ULONGLONG* pqwWritten);

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    CCriticalSection m_Lock;
    int m_bOpen = 0;
    CMyByteBuff m_TransferBuff;
    DWORD m_dwTransferLimit = 0;
    CString m_strFilePath;
    CString m_strFolder;
    CString m_strFileName;
    ULONGLONG m_qwFileSize = 0;
    ULONGLONG m_qwPosition = 0;
};
