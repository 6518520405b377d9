// A source's markers: the points of its "cue " chunk with the labl, note and
// ltxt entries of its LIST/adtl chunk, and the cue and adtl chunks of a piece.
#pragma once

#include "framework/CString.h"
#include "platform/Platform.h"

#include <string>
#include <vector>

// One labl, note or ltxt entry as the source holds it, after its dwName.
struct CMyAdtlEntry
{
    char acId[4] = {0, 0, 0, 0};
    std::string strBody;
};

struct CMyMarker
{
    DWORD dwId = 0;         // dwName: what the adtl entries refer to
    ULONGLONG qwFrame = 0;  // frames from the start of the data
    ULONGLONG qwLength = 0; // a region's frames (its ltxt), 0 for a point
    CString strLabel;       // the labl text, decoded to Shift-JIS; may be empty
    std::vector<CMyAdtlEntry> Entries;
};

// The markers of a "cue " body and the sub-chunks of a LIST/adtl body (after
// its "adtl" type), in frame order. A point's frame is its dwSampleOffset, or
// its dwPosition where a recorder left the offset 0. Points that cannot be
// read, or that lie past the data's qwDataFrames, are left out and named in
// *pNotes (trace entries); regions are cut at the end of the data.
void ReadMarkers(const std::string& strCue, const std::string& strAdtl, ULONGLONG qwDataFrames,
                 std::vector<CMyMarker>* pMarkers, std::vector<CString>* pNotes);

// A marker text (zero-terminated or not) as Shift-JIS: text that is valid
// UTF-8 and not plain ASCII is converted from UTF-8, anything else is taken
// as Shift-JIS already. Characters Shift-JIS lacks keep themselves where
// names can hold them (ConvUtf8ToNameText), else become '?'.
CString DecodeMarkerText(const char* pcText, size_t nBytes);

// The "cue " and LIST/adtl chunks (ids, sizes and pad bytes included) for a
// piece of frames [qwStart, qwStart + qwFrames): the points inside it and the
// regions that overlap it, clipped to it, positions counted from its start.
// Empty when none falls inside.
std::string BuildPieceMarkerChunks(const std::vector<CMyMarker>& markers, ULONGLONG qwStart,
                                   ULONGLONG qwFrames);

// The markers that can fall inside frames [qwStart, qwEnd) of a piece, for
// BuildPieceMarkerChunks without a walk through all of them: the regions
// (indexes of the markers with a length) that begin before it, then the
// points from it on, in the source's order.
std::vector<CMyMarker> PickPieceMarkers(const std::vector<CMyMarker>& markers,
                                        const std::vector<size_t>& regions, ULONGLONG qwStart,
                                        ULONGLONG qwEnd);

// The chunks of a piece cut short after qwFrames frames, filling the nSpace
// bytes its planned chunks took: what they leave is a JUNK chunk.
std::string BuildShortPieceMarkerChunks(const std::vector<CMyMarker>& markers, ULONGLONG qwStart,
                                        ULONGLONG qwFrames, size_t nSpace);
