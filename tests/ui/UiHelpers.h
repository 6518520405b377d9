// What several UI tests share: scratch folders and WAV files under the test
// program's folder, list-view reading and clicking, and recorded message boxes.
#pragma once

#include "framework/CString.h"
#include "platform/Platform.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// An empty folder <test program folder>\<parent>\<name>; whatever an earlier
// run left in it (files and sub-folders) is removed first.
std::string TestFolder(const char* pcName, const char* pcParent = "ui_run");
void RemoveTree(const std::string& folder);
// A mono 8-bit PCM file at 8000 Hz (8000 data bytes a second) whose data
// bytes follow a pattern seeded by nSeed.
void WriteWave(const std::string& path, uint32_t dwDataBytes, int nSeed = 7);
// WriteWave's file with silence (the 8-bit middle value) over the frames
// [first, end) of each stretch and, after the data, a cue chunk with the
// markers and their labels (Shift-JIS) in a LIST/adtl chunk.
struct WaveMark
{
    uint32_t dwFrame;
    const char* pcLabel;
};
void WriteMarkedWave(const std::string& path, uint32_t dwDataBytes,
                     const std::vector<WaveMark>& marks,
                     const std::vector<std::pair<uint32_t, uint32_t>>& silences, int nSeed = 7);
std::string ReadWhole(const std::string& path);
uint32_t GetLE32(const std::string& s, size_t nAt);

struct Piece
{
    std::string name;
    std::string bytes;
};
// The files of a folder (not its sub-folders), by name.
std::vector<Piece> ReadFolder(const std::string& folder);

class CMyPathList;
// Appends a record for folder\name of the size and numbers the records.
void AddFile(CMyPathList& list, const std::string& folder, const char* pcName, ULONGLONG ullSize);

// nFiles WAV files of 2000 s each (16,000,000 data bytes), collected into the list.
void AddLongWaves(CMyPathList& list, const std::string& folder, int nFiles);
// A stopped run: some pieces, fewer than a whole run of nFiles long files
// gives, each with a header true to its length.
void ExpectStoppedRunPieces(const std::string& folder, int nFiles);

// The main dialog's looks: idle (Abort alone disabled) and busy (the reverse).
bool IdleLook(HWND hDlg);
bool BusyLook(HWND hDlg);
int BarPos(HWND hDlg);

// List views, read and driven from the driver thread.
CString CellText(HWND hList, int nRow, int nSub);
// The texts of column 0, top to bottom, joined with "|".
std::string RowNames(HWND hList);
CString HeaderText(HWND hList, int nCol = 0);
int FindRow(HWND hList, const char* pcText);
void Select(HWND hList, int nRow);
int SelectedCount(HWND hList);
// A click on the column's header, as the mouse gives it.
void ClickHeader(HWND hList, int nCol);
// Puts the pointer on the row.
void PointAtRow(HWND hList, int nRow);
// A double-click on the row, as the mouse gives it: the pointer is put there.
void DoubleClickRow(HWND hList, int nRow);

// The process-wide job flags as a fresh program has them, for the next test.
void ResetJobFlags();

// What Explorer posts with WM_DROPFILES when the paths are dropped on a window.
HDROP MakeDrop(const std::vector<std::string>& paths);

// Message boxes, recorded and answered OK while installed.
class BoxRecorder
{
public:
    BoxRecorder();
    ~BoxRecorder();
    static std::vector<std::string> Boxes();
    static void Clear();

private:
    int (*m_pfnOld)(const char*, UINT);
};

// The fixture of tests that open the window: message boxes recorded, the job
// flags reset for the next test.
struct UiWindowTest : testing::Test
{
    void TearDown() override { ResetJobFlags(); }
    BoxRecorder m_boxes;
};
