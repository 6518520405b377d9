// A file's split plan: the pieces to write, each with the reason its cut is
// where it is, and the rule and source facts the planners make it from.
#pragma once

#include "framework/CString.h"
#include "platform/Platform.h"

#include <vector>

class CMyWaveHeader;
struct CMyMarker;

// Why a piece ends where it does.
enum PlanCut
{
    kCutLength,  // the length, part count or size limit
    kCutMarker,  // a marker of the source
    kCutPause,   // a length cut moved back into a pause
    kCutNoPause, // a length cut that found no pause to move to
    kCutEnd,     // the end of the data
    kCutList,    // a cut the user gave
    // The middle of a pause (every pause).
    kCutEveryPause,
    // No piece: pause audio left out (CMyPlan::Dropped).
    kCutTrimmed
};

const DWORD kNoMarker = 0xFFFFFFFF;

// A plan holds at most this many pieces: a plan is kept whole in memory,
// where the copy once streamed, so a length of a millisecond on a long
// recording is refused rather than allowed to exhaust it.
const DWORD kMaxPlanPieces = 1000000;

// A cut the planner makes before the rule cuts the parts between: a marker
// of the source or a cut the user gave.
struct CMyFixedCut
{
    ULONGLONG qwFrame = 0;
    PlanCut Cut = kCutMarker;
    DWORD dwMarker = kNoMarker; // kCutMarker: index into the source's markers
    CString strLabel;           // Shift-JIS, may be empty
    CString strPerformer;       // Shift-JIS, may be empty
};

// Fields ordered so that a plan of many pieces stays small.
struct CMyPlanPiece
{
    ULONGLONG qwStart = 0;  // first frame, counted from the start of the data
    ULONGLONG qwFrames = 0; // whole frames
    // kCutPause: frames the cut moved (0 or less).
    LONGLONG llShift = 0;
    // Bytes of a partial frame at the end of the data: only the last piece
    // carries them, as the split always has.
    DWORD dwTailBytes = 0;
    // kCutMarker: the marker at the cut (index into the source's markers).
    DWORD dwMarker = kNoMarker;
    PlanCut Cut = kCutEnd;
    // The shorter last piece of a fixed-length plan: the split writes
    // "RestDataSize" before it, and a full disk before it stops only this file.
    int bRest = 0;
    // kCutMarker: the label of the marker at the cut (Shift-JIS, may be empty).
    CString strLabel;
    // The piece's file name with ".wav", without folder (PieceNames).
    CString strName;
    // Split by channel: the file of the plan's outputs this entry is.
    WORD wOutput = 0;
};

// Split by channel, each piece is written to one file per output: the
// channels it holds and the name they give {channel}.
struct CMyPlanOutput
{
    std::vector<WORD> Channels; // the source's, counted from 0, in the file's order
    CString strChannel;         // Shift-JIS
    WORD wBlockSize = 0;        // of the file
};

struct CMyPlan
{
    std::vector<CMyPlanPiece> Pieces;
    // The stretches of pause audio no piece holds (trimmed), in frame order.
    std::vector<CMyPlanPiece> Dropped;
    // Trace entries for the file (Shift-JIS, each with its line ends): a
    // refusal, fields that fell back, markers that could not be used.
    std::vector<CString> Notes;
    // The label a cut at the start gives the first piece (it cuts nothing).
    CString strFirstLabel;
    DWORD dwSamplingRate = 0;
    WORD wBlockSize = 0;
    // A header that claims more sample bytes than the file holds: the bytes
    // it claims and those there, which alone are planned (0, 0 when the file
    // holds them all).
    ULONGLONG qwClaimedDataBytes = 0;
    ULONGLONG qwPresentDataBytes = 0;
    // Names cut to the system's limit (PieceNames): they may meet names that
    // another file's pieces have whole.
    DWORD dwShortNames = 0;
    // Pieces whose audio would start at an odd offset in the source, where
    // no chunk can align it: they share no blocks (CMyPlanRequest::bShareBlocks).
    DWORD dwUnaligned = 0;
    // Split by channel: the files of each piece, whose entries follow each
    // other in Pieces, piece by piece. Empty: a piece is one file.
    std::vector<CMyPlanOutput> Outputs;

    ULONGLONG GetPieceBytes(size_t i) const
    {
        if (!Outputs.empty())
            return Pieces[i].qwFrames * Outputs[Pieces[i].wOutput].wBlockSize;
        return Pieces[i].qwFrames * wBlockSize + Pieces[i].dwTailBytes;
    }
    // The files each piece is written to.
    DWORD GetFilesPerPiece() const { return Outputs.empty() ? 1 : (DWORD)Outputs.size(); }
    // The number of the piece entry i belongs to, from 1.
    DWORD GetPieceNumber(size_t i) const { return (DWORD)(i / GetFilesPerPiece()) + 1; }
};

// The way of cutting the user chose.
enum PlanRuleKind
{
    kRuleLength,  // -l: fixed length (today's)
    kRuleParts,   // -N: equal parts
    kRuleMaxSize, // -S: files of at most a size
    kRuleWhole    // markers alone: each part between markers whole
};

struct CMyPlanRule
{
    PlanRuleKind Kind = kRuleLength;
    DWORD dwSectionLength = 180000; // kRuleLength: milliseconds
    DWORD dwParts = 0;              // kRuleParts
    ULONGLONG qwMaxSize = 0;        // kRuleMaxSize: bytes per file, header included
    int bMarkers = 0;               // cut at the source's markers first
    // Move each length or size cut back to a pause (kRuleLength, kRuleMaxSize).
    int bPause = 0;
    // How far before the nominal cut a pause is looked for, in milliseconds;
    // 0: a tenth of the piece, at most 30 s.
    DWORD dwPauseWindow = 0;
    DWORD dwPauseMin = 300;     // milliseconds of quiet that make a pause
    double dPauseLevel = -40.0; // dBFS a 10 ms window stays below in a pause
    // The level found from each recording instead (PauseScan).
    int bAutoLevel = 0;
    // Cut in the middle of every pause, before the rule cuts the parts.
    int bEveryPause = 0;
    // bEveryPause: a pause that would leave a piece shorter (ms) is no cut.
    DWORD dwMinPiece = 0;
    // bEveryPause: the pause audio at the ends of each piece beyond
    // kTrimKeepMs is left out of the pieces.
    int bTrim = 0;
};

// Pause audio kept at a trimmed end, so that no piece starts abruptly.
const DWORD kTrimKeepMs = 100;

// What the planners know of one source.
struct CMyPlanSource
{
    ULONGLONG qwDataBytes = 0; // the sample bytes present (header and file agreeing)
    DWORD dwSamplingRate = 0;
    WORD wBlockSize = 0;
    WORD wChannels = 0;
    WORD wSampleFormat = 1; // 1 integer PCM, 3 IEEE float
    // The piece header's length in either form (CalcPieceHeaderLength),
    // where no header is given; with one, each piece's own is measured (the
    // numbers of an iXML time reference differ in length between pieces).
    DWORD dwHeadLength = 0;
    DWORD dwHeadLengthRf64 = 0;
    const CMyWaveHeader* pHeader = nullptr;
    // The source's markers in frame order (ReadMarkers); may be null.
    const std::vector<CMyMarker>* pMarkers = nullptr;
    // The user's cuts in frame order; may be null.
    const std::vector<CMyFixedCut>* pCuts = nullptr;
    // Set when pieces carry their markers' cue and adtl chunks: a size limit
    // then counts those bytes too.
    int bCarryMarkers = 0;
    // Set when each piece's audio keeps its offset within a block in the
    // source (qwDataStart + frames before it): a size limit then counts the
    // JUNK chunk that does it.
    int bAlignBlocks = 0;
    ULONGLONG qwDataStart = 0;
};

// Where the pause search reads samples: only the frames it asks for.
class CMyFrameReader
{
public:
    virtual ~CMyFrameReader() = default;
    // Up to dwFrames whole frames from frame qwFirst of the data, in a buffer
    // that stays as it is until the reader's next call; null when they cannot
    // be read.
    virtual const BYTE* ReadFrames(ULONGLONG qwFirst, DWORD dwFrames, DWORD* pdwGot) = 0;
};
