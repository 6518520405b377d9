// A source's markers, and the cue and adtl chunks of a piece.
#include "engine/Markers.h"

#include "engine/RiffChunks.h"
#include "support/SystemNames.h"
#include "support/Utf8Conv.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace
{
const DWORD kCuePointBytes = 24;

// The cue points that can be read; a count beyond the chunk is named.
void ReadCuePoints(const std::string& strCue, std::vector<CMyMarker>* pMarkers,
                   std::vector<CString>* pNotes)
{
    if (strCue.size() < 4)
    {
        pNotes->push_back("※　cueチャンクが短すぎるため、マーカーを読めません。ReadMarkers()\n");
        return;
    }
    DWORD dwCount = GetLE32(strCue.data());
    DWORD dwReadable = (DWORD)((strCue.size() - 4) / kCuePointBytes);
    if (dwReadable > dwCount)
        dwReadable = dwCount;
    else if (dwReadable < dwCount)
    {
        CString strNote;
        strNote.Format("※　cueチャンクの大きさを越えるキューポイントを読めません。ReadMarkers()\n"
                       "\tCuePoints[%u], Readable[%u]\n",
                       dwCount, dwReadable);
        pNotes->push_back(strNote);
    }
    for (DWORD i = 0; i < dwReadable; ++i)
    {
        const char* pc = strCue.data() + 4 + (size_t)i * kCuePointBytes;
        CMyMarker marker;
        marker.dwId = GetLE32(pc);
        DWORD dwOffset = GetLE32(pc + 20);
        // Some recorders leave dwSampleOffset 0 and give the place only in dwPosition.
        marker.qwFrame = dwOffset != 0 ? dwOffset : GetLE32(pc + 4);
        pMarkers->push_back(marker);
    }
}

// The markers by their dwName, so that every entry finds its points at once.
typedef std::unordered_multimap<DWORD, size_t> CMyMarkerIds;

void AttachEntry(const char* pcId, const char* pcBody, DWORD dwSize, ULONGLONG qwDataFrames,
                 const CMyMarkerIds& ids, std::vector<CMyMarker>* pMarkers)
{
    auto range = ids.equal_range(GetLE32(pcBody));
    if (range.first == range.second)
        return;
    CMyAdtlEntry entry;
    memcpy(entry.acId, pcId, 4);
    entry.strBody.assign(pcBody + 4, dwSize - 4);
    int bLabel = memcmp(pcId, "labl", 4) == 0;
    CString strLabel = bLabel ? DecodeMarkerText(pcBody + 4, dwSize - 4) : CString();
    int bRegion = memcmp(pcId, "ltxt", 4) == 0 && dwSize >= 8;
    for (auto it = range.first; it != range.second; ++it)
    {
        CMyMarker& marker = (*pMarkers)[it->second];
        marker.Entries.push_back(entry);
        if (bLabel && marker.strLabel.IsEmpty())
            marker.strLabel = strLabel;
        if (bRegion && marker.qwLength == 0)
        {
            ULONGLONG qwLength = GetLE32(pcBody + 4);
            ULONGLONG qwLeft = qwDataFrames - marker.qwFrame;
            marker.qwLength = qwLength < qwLeft ? qwLength : qwLeft;
        }
    }
}

// labl, note and ltxt entries go to the points with their dwName.
void ReadAdtlEntries(const std::string& strAdtl, ULONGLONG qwDataFrames,
                     std::vector<CMyMarker>* pMarkers, std::vector<CString>* pNotes)
{
    CMyMarkerIds ids;
    for (size_t i = 0; i < pMarkers->size(); ++i)
        ids.emplace((*pMarkers)[i].dwId, i);
    CMyMemoryRiffBytes bytes(strAdtl);
    CMyChunkWalk walk(&bytes, 0);
    CMyChunk chunk;
    while (walk.GetPos() + 8 <= strAdtl.size() && walk.Read(&chunk))
    {
        const DWORD dwSize = chunk.dwSize;
        const size_t pos = (size_t)chunk.qwPos;
        if (dwSize > strAdtl.size() - pos - 8)
        {
            CString strNote;
            strNote.Format("※　adtlチャンクの終わりを越える項目を読めません。ReadMarkers()\n"
                           "\tOffset[%u], Size[%u]\n",
                           (DWORD)pos, dwSize);
            pNotes->push_back(strNote);
            return;
        }
        const char* pc = chunk.acId;
        int bKnown =
            memcmp(pc, "labl", 4) == 0 || memcmp(pc, "note", 4) == 0 || memcmp(pc, "ltxt", 4) == 0;
        if (bKnown && dwSize >= 4)
            AttachEntry(pc, strAdtl.data() + pos + 8, dwSize, qwDataFrames, ids, pMarkers);
        walk.Skip(chunk);
    }
}
} // namespace

void ReadMarkers(const std::string& strCue, const std::string& strAdtl, ULONGLONG qwDataFrames,
                 std::vector<CMyMarker>* pMarkers, std::vector<CString>* pNotes)
{
    pMarkers->clear();
    if (strCue.empty())
        return;
    std::vector<CMyMarker> all;
    ReadCuePoints(strCue, &all, pNotes);
    CString strOutside;
    for (const CMyMarker& marker : all)
    {
        if (marker.qwFrame <= qwDataFrames)
            pMarkers->push_back(marker);
        else
            strOutside.AppendFormat("\tCueId[%u], Position[%I64u]\n", marker.dwId, marker.qwFrame);
    }
    if (!strOutside.IsEmpty())
    {
        CString strNote;
        strNote.Format("※　データの外を指すマーカーを使いません。ReadMarkers()\n"
                       "\tDataFrames[%I64u]\n",
                       qwDataFrames);
        pNotes->push_back(strNote + strOutside);
    }
    ReadAdtlEntries(strAdtl, qwDataFrames, pMarkers, pNotes);
    std::stable_sort(pMarkers->begin(), pMarkers->end(),
                     [](const CMyMarker& a, const CMyMarker& b) { return a.qwFrame < b.qwFrame; });
}

CString DecodeMarkerText(const char* pcText, size_t nBytes)
{
    const char* pcEnd = (const char*)memchr(pcText, 0, nBytes);
    size_t n = pcEnd != nullptr ? (size_t)(pcEnd - pcText) : nBytes;
    std::string strText(pcText, n);
    bool bAscii =
        std::all_of(strText.begin(), strText.end(), [](char c) { return (BYTE)c < 0x80; });
    std::string strSJis;
    if (!bAscii && ConvUtf8ToNameText(strText.data(), strText.size(), &strSJis))
        return CString(strSJis.c_str());
    return CString(strText.c_str());
}

std::string BuildPieceMarkerChunks(const std::vector<CMyMarker>& markers, ULONGLONG qwStart,
                                   ULONGLONG qwFrames)
{
    std::string strPoints;
    std::string strAdtl;
    DWORD dwCount = 0;
    const ULONGLONG qwEnd = qwStart + qwFrames;
    for (const CMyMarker& marker : markers)
    {
        ULONGLONG qwLast = marker.qwFrame + marker.qwLength; // a region's end
        int bInside = marker.qwFrame >= qwStart && marker.qwFrame < qwEnd;
        int bOverlaps = marker.qwLength > 0 && marker.qwFrame < qwEnd && qwLast > qwStart;
        if (qwFrames == 0 || (!bInside && !bOverlaps))
            continue;
        ULONGLONG qwFirst = marker.qwFrame > qwStart ? marker.qwFrame : qwStart;
        DWORD dwOffset = (DWORD)(qwFirst - qwStart);
        AppendLE(&strPoints, marker.dwId, 4);
        AppendLE(&strPoints, dwOffset, 4); // dwPosition
        strPoints.append("data", 4);
        AppendLE(&strPoints, 0, 4); // dwChunkStart
        AppendLE(&strPoints, 0, 4); // dwBlockStart
        AppendLE(&strPoints, dwOffset, 4);
        ++dwCount;
        for (const CMyAdtlEntry& entry : marker.Entries)
        {
            std::string strBody;
            AppendLE(&strBody, marker.dwId, 4);
            strBody.append(entry.strBody);
            if (memcmp(entry.acId, "ltxt", 4) == 0 && strBody.size() >= 8)
            {
                ULONGLONG qwRegionEnd = qwLast < qwEnd ? qwLast : qwEnd;
                DWORD dwLength = marker.qwLength > 0 ? (DWORD)(qwRegionEnd - qwFirst) : 0;
                PutLE(&strBody[4], dwLength, 4);
            }
            AppendChunk(&strAdtl, entry.acId, strBody);
        }
    }
    if (dwCount == 0)
        return std::string();
    std::string strCue;
    AppendLE(&strCue, dwCount, 4);
    strCue.append(strPoints);
    std::string strOut;
    AppendChunk(&strOut, "cue ", strCue);
    if (!strAdtl.empty())
        AppendChunk(&strOut, "LIST", "adtl" + strAdtl);
    return strOut;
}

// The markers that can fall inside frames [qwStart, qwEnd): the regions that
// begin before it, then the points from it on, in the source's order.
std::vector<CMyMarker> PickPieceMarkers(const std::vector<CMyMarker>& markers,
                                        const std::vector<size_t>& regions, ULONGLONG qwStart,
                                        ULONGLONG qwEnd)
{
    std::vector<CMyMarker> picked;
    for (size_t i : regions)
        if (markers[i].qwFrame < qwStart && markers[i].qwFrame + markers[i].qwLength > qwStart)
            picked.push_back(markers[i]);
    auto it = std::lower_bound(markers.begin(), markers.end(), qwStart,
                               [](const CMyMarker& m, ULONGLONG qw) { return m.qwFrame < qw; });
    for (; it != markers.end() && it->qwFrame < qwEnd; ++it)
        picked.push_back(*it);
    return picked;
}

// A piece cut short carries the markers of the frames it holds, in the
// space the planned ones took: the rest is a JUNK chunk (markers only ever
// drop whole chunks of at least 24 bytes, so it always fits).
std::string BuildShortPieceMarkerChunks(const std::vector<CMyMarker>& markers, ULONGLONG qwStart,
                                        ULONGLONG qwFrames, size_t nSpace)
{
    std::string str = BuildPieceMarkerChunks(markers, qwStart, qwFrames);
    if (str.size() + 8 > nSpace)
        return str;
    // Both sizes are even: every chunk is padded.
    AppendChunk(&str, "JUNK", std::string(nSpace - str.size() - 8, '\0'));
    return str;
}
