// Cut lists the user gives: a cue sheet, a label list from an audio editor,
// a plan written by --plan, or times typed on the command line. They are read
// into times, not frames: one list may cut sources of different rates.
#pragma once

#include "framework/CString.h"
#include "platform/Platform.h"

#include <string>
#include <vector>

// A point in time as the list gives it: qwUnits of 1/dwPerSecond second, or
// frames of the source when dwPerSecond is 0 (a plan's start_frame).
struct CMyCutTime
{
    ULONGLONG qwUnits = 0;
    DWORD dwPerSecond = 0;
};

// One cut: the piece that starts there takes its label and performer.
struct CMyListCut
{
    CMyCutTime Time;
    CString strLabel;     // Shift-JIS, may be empty
    CString strPerformer; // Shift-JIS, may be empty
};

// The cuts a list gives one source, or every source.
struct CMyCutGroup
{
    // A cue sheet's FILE name or a plan's source path (Shift-JIS); empty:
    // every source.
    CString strSource;
    std::vector<CMyListCut> Cuts;
};

enum CutListKind
{
    kListCue,    // a cue sheet
    kListLabels, // a label list: start, end and text per line
    kListPlan,   // a plan written by --plan as CSV
    kListTimes   // times typed (--at)
};

struct CMyCutList
{
    CutListKind Kind = kListLabels;
    std::vector<CMyCutGroup> Groups;
};

// Why a list gives no cuts; the line is counted from 1 (0: the whole text).
enum CutListFault
{
    kListFaultNone,
    kListFaultLine,   // a line that cannot be parsed
    kListFaultEmpty,  // no cut at all
    kListFaultUnread, // the file cannot be read (dwError)
    kListFaultLarge   // more than kMaxCutListBytes: no list is that long
};

// A cut list of a million cuts is far below this; a recording named by
// mistake is not read whole.
const DWORD kMaxCutListBytes = 64u << 20;

struct CMyCutListError
{
    CutListFault Fault = kListFaultNone;
    DWORD dwLine = 0;
    DWORD dwError = 0; // kListFaultUnread: the system's error
};

// The text as Shift-JIS lines without their ends (CR LF, LF or CR): a UTF-8
// byte-order mark is dropped, valid UTF-8 converted, anything else taken as
// Shift-JIS already. 0 with the line of a NUL byte, which no text holds.
int SplitCutListText(const std::string& strText, std::vector<CString>* pLines, DWORD* pdwBadLine);

// The list in strText, recognised by its content (a plan's header row, a cue
// sheet's commands, else a label list). 0 with *pError set when a line
// cannot be parsed or no cut is found.
int ReadCutList(const std::string& strText, CMyCutList* pList, CMyCutListError* pError);
// The same for the file at the Shift-JIS path.
int ReadCutListFile(const char* pcPath, CMyCutList* pList, CMyCutListError* pError);
// Each form alone, from the lines SplitCutListText gives.
int ReadCueSheet(const std::vector<CString>& lines, CMyCutList* pList, CMyCutListError* pError);
int ReadLabelList(const std::vector<CString>& lines, CMyCutList* pList, CMyCutListError* pError);
int ReadPlanCsv(const std::vector<CString>& lines, CMyCutList* pList, CMyCutListError* pError);

// Times typed (--at): "hh:mm:ss.fff", "mm:ss" or seconds, separated by
// commas. 0 when one of them cannot be read.
int ReadCutTimes(const char* pcTimes, CMyCutList* pList);

// A time as seconds with decimals, or as "hh:mm:ss.fff" and "mm:ss" when
// bColons; digits past the ninth decimal are dropped. 0 for anything else.
int ParseCutTime(const char* pcText, int bColons, CMyCutTime* pTime);

// The frame nearest to the time at the rate (frames stay as they are);
// ULLONG_MAX-ish values saturate rather than wrap.
ULONGLONG FramesOfCutTime(const CMyCutTime& time, DWORD dwSamplingRate);
