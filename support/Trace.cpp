// The trace log: four writers that append to TraceFile.txt, one entry per open.
#include "support/Trace.h"

#include "framework/AfxMessageBox.h"
#include "framework/FormatText.h"
#include "platform/TextFile.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>

namespace
{
// Entries from the user-interface and worker threads would collide on the
// file's share mode and be lost; one lock keeps every entry.
std::mutex g_traceMutex;
CString g_strProgramFolder;
CString g_strTraceFilePath;

thread_local int t_bMuted = 0;

// The system's error of the first entry since start-up that did not reach
// the file; 0 while every one has. Written under g_traceMutex.
std::atomic<DWORD> g_dwLostError{0};

// An entry did not reach the trace file: the first reason is kept. Before
// start-up the path is empty and nothing is meant to be written.
void NoteLostEntry(DWORD dwError)
{
    if (g_strTraceFilePath.IsEmpty() || g_dwLostError.load(std::memory_order_relaxed) != 0)
        return;
    g_dwLostError.store(dwError != 0 ? dwError : ERROR_WRITE_FAULT, std::memory_order_relaxed);
}

// wvsprintfA's limit: 1024 bytes with the terminator.
const size_t kFormatLimit = 1024;

void AppendRaw(const char* pcText, size_t nLength, bool bLineEnd)
{
    if (t_bMuted)
        return;
    std::lock_guard<std::mutex> guard(g_traceMutex);
    HANDLE hFile = CreateFileA(g_strTraceFilePath, GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
    {
        NoteLostEntry(GetLastError());
        return;
    }
    SetFilePointer(hFile, 0, nullptr, FILE_END);
    DWORD dwDone = 0;
    std::string bytes = MakeLogText(pcText, nLength);
    if (bLineEnd)
        bytes += '\n';
    // A short write without an error is a full disk.
    if (!WriteFile(hFile, bytes.data(), (DWORD)bytes.size(), &dwDone, nullptr))
        NoteLostEntry(GetLastError());
    else if (dwDone != bytes.size())
        NoteLostEntry(ERROR_DISK_FULL);
    if (!CloseHandle(hFile))
        NoteLostEntry(GetLastError());
}
} // namespace

int WriteTraceFormat(const char* pcFormat, ...)
{
    if (pcFormat == nullptr)
        return 0;
    char acBuff[kFormatLimit];
    va_list args;
    va_start(args, pcFormat);
    size_t nFull = FormatTextV(acBuff, sizeof(acBuff), pcFormat, args);
    va_end(args);
    size_t nStored = nFull < kFormatLimit ? nFull : kFormatLimit - 1;
    AppendRaw(acBuff, nStored, false);
    return (int)nStored;
}

void WriteTraceText(const char* pcText, int bLineEnd)
{
    if (pcText == nullptr || pcText[0] == '\0')
        return;
    AppendRaw(pcText, strlen(pcText), bLineEnd != 0);
}

void WriteTraceText(const CString& strText, int bLineEnd)
{
    WriteTraceText((const char*)strText, bLineEnd);
}

void WriteTraceString(const CString& strText)
{
    if (t_bMuted)
        return;
    int bOpened;
    {
        std::lock_guard<std::mutex> guard(g_traceMutex);
        DWORD dwError = 0;
        bOpened =
            AppendTextFile(g_strTraceFilePath, strText, (size_t)strText.GetLength(), &dwError);
        if (dwError != 0)
            NoteLostEntry(dwError);
    }
    if (!bOpened)
        AfxMessageBox("トレース用ファイルが開けません", MB_OK);
}

int WriteTraceSystemError(DWORD dwError)
{
    char* pcMessage = nullptr;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, dwError,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPSTR)&pcMessage, 0, nullptr);
    CString strText(pcMessage != nullptr ? pcMessage : "");
    strText += "\n";
    WriteTraceString(strText);
    if (pcMessage != nullptr)
        LocalFree(pcMessage);
    return 1;
}

void SetTraceMuted(int bMuted)
{
    t_bMuted = bMuted;
}

int GetProgramFolder(CString* pstrFolder)
{
    if (pstrFolder == nullptr)
        return -1;
    char acPath[2001];
    ZeroFill(acPath, sizeof(acPath));
    GetModuleFileNameA(nullptr, acPath, 2000);
    acPath[2000] = '\0';
    int iSep = FindLastCharSJis(acPath, '\\');
    if (iSep > 0)
        acPath[iSep] = '\0';
    pstrFolder->Format("%s", acPath);
    return 0;
}

int FindLastCharSJis(const char* pcText, char cFind)
{
    int iFound = -1;
    for (int i = 0;;)
    {
        if (pcText[i] == cFind)
            iFound = i;
        if (pcText[i] == '\0')
            return iFound;
        if (IsSJisLeadByte((BYTE)pcText[i]) && IsSJisTrailByte((BYTE)pcText[i + 1]))
            i += 2;
        else
            ++i;
    }
}

int IsSJisLeadByte(BYTE bChar)
{
    BYTE b = (BYTE)(bChar ^ 0x20);
    return b >= 0xA1 && b <= 0xD5;
}

int IsSJisTrailByte(BYTE bChar)
{
    return (bChar >= 0x40 && bChar <= 0x7E) || (bChar >= 0x80 && bChar <= 0xFC);
}

void ZeroFill(void* pBuff, DWORD dwCount)
{
    if (dwCount != 0)
        memset(pBuff, 0, dwCount);
}

void StartTraceLog(const char* pcFolder)
{
    CString strFolder;
    if (pcFolder != nullptr)
        strFolder = pcFolder;
    else
        GetProgramFolder(&strFolder);
    {
        std::lock_guard<std::mutex> guard(g_traceMutex);
        g_strProgramFolder = strFolder;
        g_strTraceFilePath.Format("%s\\TraceFile.txt", (const char*)strFolder);
        g_dwLostError.store(0, std::memory_order_relaxed);
        EmptyTextFile(g_strTraceFilePath);
    }
}

int GetTraceLostError(DWORD* pdwError)
{
    *pdwError = g_dwLostError.load(std::memory_order_relaxed);
    return *pdwError != 0;
}

CString GetProgramFolderText()
{
    std::lock_guard<std::mutex> guard(g_traceMutex);
    return g_strProgramFolder;
}

CString GetTraceFilePath()
{
    std::lock_guard<std::mutex> guard(g_traceMutex);
    return g_strTraceFilePath;
}
