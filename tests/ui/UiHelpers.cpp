// Shared helpers of the UI tests.
#include "UiHelpers.h"

#include "UiDriver.h"
#include "engine/JobFlags.h"
#include "framework/AfxMessageBox.h"
#include "platform/ExactNames.h"
#include "resources/resource.h"
#include "sources/PathList.h"
#include "support/Trace.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <mutex>

namespace
{
std::mutex g_boxLock;
std::vector<std::string> g_boxes;

int RecordBox(const char* pcText, UINT)
{
    std::lock_guard<std::mutex> lock(g_boxLock);
    g_boxes.push_back(pcText);
    return IDOK;
}

// Wide, so that names the code page cannot hold go too.
void RemoveTreeWide(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE hFind = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (hFind != INVALID_HANDLE_VALUE)
    {
        do
        {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = folder + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTreeWide(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(hFind, &data));
        FindClose(hFind);
    }
    RemoveDirectoryW(folder.c_str());
}

void PutLE(std::string& s, size_t nAt, uint32_t dwValue, int nBytes)
{
    for (int i = 0; i < nBytes; i++)
        s[nAt + i] = (char)((dwValue >> (8 * i)) & 0xFF);
}
} // namespace

void RemoveTree(const std::string& folder)
{
    RemoveTreeWide(WidenAnsi(folder.c_str()));
}

std::string TestFolder(const char* pcName, const char* pcParent)
{
    CString strProgram;
    GetProgramFolder(&strProgram);
    std::string parent = std::string((const char*)strProgram) + "\\" + pcParent;
    std::string folder = parent + "\\" + pcName;
    CreateDirectoryA(parent.c_str(), nullptr);
    RemoveTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

namespace
{
std::string MakeWave(uint32_t dwDataBytes, int nSeed)
{
    std::string wav(44, '\0');
    memcpy(&wav[0], "RIFF", 4);
    PutLE(wav, 4, 36 + dwDataBytes, 4);
    memcpy(&wav[8], "WAVEfmt ", 8);
    PutLE(wav, 16, 16, 4);
    PutLE(wav, 20, 1, 2);
    PutLE(wav, 22, 1, 2);
    PutLE(wav, 24, 8000, 4);
    PutLE(wav, 28, 8000, 4);
    PutLE(wav, 32, 1, 2);
    PutLE(wav, 34, 8, 2);
    memcpy(&wav[36], "data", 4);
    PutLE(wav, 40, dwDataBytes, 4);
    wav.resize(44 + dwDataBytes);
    for (uint32_t i = 0; i < dwDataBytes; i++)
        wav[44 + i] = (char)(i * (uint32_t)nSeed + (i >> 8));
    return wav;
}

std::string Chunk(const char* pcId, const std::string& body)
{
    std::string chunk(pcId, 4);
    chunk += std::string(4, '\0');
    PutLE(chunk, 4, (uint32_t)body.size(), 4);
    chunk += body;
    if (body.size() % 2 != 0)
        chunk += '\0';
    return chunk;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD dwWritten = 0;
    WriteFile(h, bytes.data(), (DWORD)bytes.size(), &dwWritten, nullptr);
    CloseHandle(h);
}
} // namespace

void WriteWave(const std::string& path, uint32_t dwDataBytes, int nSeed)
{
    WriteBytes(path, MakeWave(dwDataBytes, nSeed));
}

void WriteMarkedWave(const std::string& path, uint32_t dwDataBytes,
                     const std::vector<WaveMark>& marks,
                     const std::vector<std::pair<uint32_t, uint32_t>>& silences, int nSeed)
{
    std::string wav = MakeWave(dwDataBytes, nSeed);
    for (const auto& silence : silences)
        for (uint32_t i = silence.first; i < silence.second && i < dwDataBytes; i++)
            wav[44 + i] = (char)0x80;
    std::string cue(4, '\0');
    std::string adtl = "adtl";
    PutLE(cue, 0, (uint32_t)marks.size(), 4);
    for (size_t i = 0; i < marks.size(); i++)
    {
        std::string point(24, '\0');
        PutLE(point, 0, (uint32_t)i + 1, 4);
        PutLE(point, 4, marks[i].dwFrame, 4);
        memcpy(&point[8], "data", 4);
        PutLE(point, 20, marks[i].dwFrame, 4);
        cue += point;
        std::string label(4, '\0');
        PutLE(label, 0, (uint32_t)i + 1, 4);
        adtl += Chunk("labl", label + marks[i].pcLabel + std::string(1, '\0'));
    }
    wav += Chunk("cue ", cue) + Chunk("LIST", adtl);
    PutLE(wav, 4, (uint32_t)wav.size() - 8, 4);
    WriteBytes(path, wav);
}

std::string ReadWhole(const std::string& path)
{
    std::string bytes;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    DWORD dwSize = GetFileSize(h, nullptr);
    bytes.resize(dwSize);
    DWORD dwRead = 0;
    if (dwSize != 0)
        ReadFile(h, &bytes[0], dwSize, &dwRead, nullptr);
    bytes.resize(dwRead);
    CloseHandle(h);
    return bytes;
}

uint32_t GetLE32(const std::string& s, size_t nAt)
{
    return (uint32_t)(uint8_t)s[nAt] | (uint32_t)(uint8_t)s[nAt + 1] << 8 |
           (uint32_t)(uint8_t)s[nAt + 2] << 16 | (uint32_t)(uint8_t)s[nAt + 3] << 24;
}

std::vector<Piece> ReadFolder(const std::string& folder)
{
    std::vector<Piece> pieces;
    WIN32_FIND_DATAA data;
    HANDLE hFind = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return pieces;
    do
    {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            pieces.push_back({data.cFileName, ReadWhole(folder + "\\" + data.cFileName)});
    } while (FindNextFileA(hFind, &data));
    FindClose(hFind);
    return pieces;
}

void AddFile(CMyPathList& list, const std::string& folder, const char* pcName, ULONGLONG ullSize)
{
    CMyPathRecord record;
    record.FileName = pcName;
    record.FoldPath = folder.c_str();
    record.FilePath = (folder + "\\" + pcName).c_str();
    record.FileSize = ullSize;
    record.BaseFoldPath = folder.c_str();
    ASSERT_EQ(1, list.AppendRecord(record));
    list.AssignIDs();
}

void AddLongWaves(CMyPathList& list, const std::string& folder, int nFiles)
{
    for (int i = 0; i < nFiles; i++)
    {
        char acName[32];
        wsprintfA(acName, "long%d.wav", i);
        WriteWave(folder + "\\" + acName, 16000000);
        AddFile(list, folder, acName, 44 + 16000000);
    }
}

void ExpectStoppedRunPieces(const std::string& folder, int nFiles)
{
    std::vector<Piece> pieces = ReadFolder(folder);
    ASSERT_FALSE(pieces.empty());
    EXPECT_LT(pieces.size(), (size_t)nFiles * 2000);
    for (const Piece& piece : pieces)
    {
        SCOPED_TRACE(piece.name);
        ASSERT_GE(piece.bytes.size(), 44u);
        EXPECT_EQ(piece.bytes.size() - 44, GetLE32(piece.bytes, 40));
        EXPECT_EQ(piece.bytes.size() - 8, GetLE32(piece.bytes, 4));
    }
}

bool IdleLook(HWND hDlg)
{
    return DialogDriver::Enabled(hDlg, IDC_EXECUTE) && DialogDriver::Enabled(hDlg, IDC_ADD) &&
           DialogDriver::Enabled(hDlg, IDC_OUTPUT_FOLDER) &&
           !DialogDriver::Enabled(hDlg, IDC_ABORT);
}

bool BusyLook(HWND hDlg)
{
    return !DialogDriver::Enabled(hDlg, IDC_EXECUTE) && !DialogDriver::Enabled(hDlg, IDC_ADD) &&
           DialogDriver::Enabled(hDlg, IDC_ABORT);
}

int BarPos(HWND hDlg)
{
    return (int)SendMessageA(GetDlgItem(hDlg, IDC_PROGRESS), PBM_GETPOS, 0, 0);
}

CString CellText(HWND hList, int nRow, int nSub)
{
    char acText[1024] = {};
    LVITEMA item = {};
    item.iSubItem = nSub;
    item.pszText = acText;
    item.cchTextMax = sizeof(acText);
    SendMessageA(hList, LVM_GETITEMTEXTA, (WPARAM)nRow, (LPARAM)&item);
    return CString(acText);
}

std::string RowNames(HWND hList)
{
    std::string names;
    for (int i = 0; i < ListView_GetItemCount(hList); i++)
        names += std::string(i ? "|" : "") + (const char*)CellText(hList, i, 0);
    return names;
}

CString HeaderText(HWND hList, int nCol)
{
    char acText[260] = {};
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = acText;
    column.cchTextMax = sizeof(acText);
    SendMessageA(hList, LVM_GETCOLUMNA, (WPARAM)nCol, (LPARAM)&column);
    return CString(acText);
}

int FindRow(HWND hList, const char* pcText)
{
    for (int i = 0; i < ListView_GetItemCount(hList); i++)
        if (CellText(hList, i, 0) == CString(pcText))
            return i;
    return -1;
}

void Select(HWND hList, int nRow)
{
    LVITEMA item = {};
    item.state = LVIS_SELECTED;
    item.stateMask = LVIS_SELECTED;
    SendMessageA(hList, LVM_SETITEMSTATE, (WPARAM)nRow, (LPARAM)&item);
}

int SelectedCount(HWND hList)
{
    return (int)SendMessageA(hList, LVM_GETSELECTEDCOUNT, 0, 0);
}

void ClickHeader(HWND hList, int nCol)
{
    HWND hHeader = ListView_GetHeader(hList);
    RECT rc = {};
    SendMessageA(hHeader, HDM_GETITEMRECT, (WPARAM)nCol, (LPARAM)&rc);
    LPARAM lPos = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    PostMessageA(hHeader, WM_LBUTTONDOWN, MK_LBUTTON, lPos);
    PostMessageA(hHeader, WM_LBUTTONUP, 0, lPos);
}

namespace
{
// The row's middle in the list's client co-ordinates.
POINT RowPoint(HWND hList, int nRow)
{
    RECT rc = {};
    rc.left = LVIR_LABEL;
    SendMessageA(hList, LVM_GETITEMRECT, (WPARAM)nRow, (LPARAM)&rc);
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}
} // namespace

void PointAtRow(HWND hList, int nRow)
{
    POINT pt = RowPoint(hList, nRow);
    ClientToScreen(hList, &pt);
    SetCursorPos(pt.x, pt.y);
}

void DoubleClickRow(HWND hList, int nRow)
{
    PointAtRow(hList, nRow);
    POINT pt = RowPoint(hList, nRow);
    LPARAM lPos = MAKELPARAM(pt.x, pt.y);
    PostMessageA(hList, WM_LBUTTONDOWN, MK_LBUTTON, lPos);
    PostMessageA(hList, WM_LBUTTONUP, 0, lPos);
    PostMessageA(hList, WM_LBUTTONDBLCLK, MK_LBUTTON, lPos);
    PostMessageA(hList, WM_LBUTTONUP, 0, lPos);
}

BoxRecorder::BoxRecorder() : m_pfnOld(AfxSetMessagePresenter(RecordBox))
{
    Clear();
}

BoxRecorder::~BoxRecorder()
{
    AfxSetMessagePresenter(m_pfnOld);
}

std::vector<std::string> BoxRecorder::Boxes()
{
    std::lock_guard<std::mutex> lock(g_boxLock);
    return g_boxes;
}

void BoxRecorder::Clear()
{
    std::lock_guard<std::mutex> lock(g_boxLock);
    g_boxes.clear();
}

HDROP MakeDrop(const std::vector<std::string>& paths)
{
    std::string list;
    for (const std::string& path : paths)
        list += path + '\0';
    list += '\0';
    HGLOBAL hMem = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    DROPFILES* pDrop = (DROPFILES*)GlobalLock(hMem);
    pDrop->pFiles = sizeof(DROPFILES);
    pDrop->fWide = FALSE;
    memcpy((char*)pDrop + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(hMem);
    return (HDROP)hMem;
}

void ResetJobFlags()
{
    g_bIdle.store(1);
    g_bAbort.store(0);
    g_bClosing.store(0);
    g_bAdding.store(0);
}
