// Piece names from a template: "{title}_{n}" gives today's "<title>_001.wav";
// other fields tell where a piece belongs ({start}, {time}, {date}, {label},
// {performer}, {count}, {channel}).
#pragma once

#include "engine/SplitPlan.h"
#include "framework/CString.h"

#include <string>
#include <vector>

struct CMyMarker;

const char* const kDefaultNameTemplate = "{title}_{n}";
// The same when the run splits by channel.
const char* const kDefaultChannelNameTemplate = "{title}_{n}_{channel}";

enum NameField
{
    kFieldText,      // literal text
    kFieldTitle,     // {title}: the source's name without its extension
    kFieldNumber,    // {n}: the piece number, at least 3 digits
    kFieldCount,     // {count}: pieces of the file
    kFieldStart,     // {start}: hh-mm-ss from the start, .mmm when not whole
    kFieldTime,      // {time}: hhmmss, time of day of the first sample (bext)
    kFieldDate,      // {date}: yyyymmdd, the recording date (bext)
    kFieldLabel,     // {label}: the label of the marker or cut the piece belongs to
    kFieldPerformer, // {performer}: the performer of the cut the piece belongs to
    kFieldChannel    // {channel}: the track names or numbers of a channel file
};

struct CMyNamePart
{
    NameField Field = kFieldText;
    CString strText; // kFieldText only
};

struct CMyNameTemplate
{
    std::vector<CMyNamePart> Parts;
};

// Reads a Shift-JIS template; 0 with the offending text ("{x}", or "{" for
// a brace left open) in *pstrBad for a field it does not know. A ".wav" that
// ends it (either case) is left out: every name gets its own.
int ParseNameTemplate(const char* pcTemplate, CMyNameTemplate* pTemplate, CString* pstrBad);

// What a file gives the fields beside its pieces.
struct CMyNameFacts
{
    CString strTitle;
    int bTimeReference = 0; // a bext chunk gave the time reference
    ULONGLONG qwTimeReference = 0;
    CString strDate; // "yyyymmdd", empty when the bext gives none
    // The pieces' folder with its final separator: a name must fit the
    // system's limit there (on Windows the whole path counts).
    CString strFolderSep;
};

// The time reference and date of a bext body (empty: none).
void ReadBextFacts(const std::string& strBext, CMyNameFacts* pFacts);

// Sets every piece's strName: the template's text with the characters the
// system refuses in a name as '_' (AppendNameByte; {title} is taken as it
// is), and "_2", "_3", ... before ".wav" for names an earlier piece of
// the plan has (letter case aside). A name longer than the system takes in
// facts.strFolderSep is cut before ".wav" (or before its "_2") after a whole
// character. A field the file cannot give falls back: {time} to {start},
// {date} to nothing, {label} to {n}, {performer} to nothing; one note each
// per file, and one for the names cut. A piece's label and performer are
// those of the last marker or user's cut (pCuts, in frame order) at or
// before its start; on one frame the first with a label, markers first.
void NamePlanPieces(const CMyNameTemplate& nameTemplate, const CMyNameFacts& facts,
                    const std::vector<CMyMarker>* pMarkers, CMyPlan* pPlan,
                    const std::vector<CMyFixedCut>* pCuts = nullptr);

// {start}: "hh-mm-ss", with ".mmm" when the frame is not on a whole second.
CString FormatStartField(ULONGLONG qwFrame, DWORD dwSamplingRate);
