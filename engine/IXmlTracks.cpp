// The track list of a recorder's iXML chunk.
#include "engine/IXmlTracks.h"

#include <cstring>

namespace
{
const size_t kNone = std::string::npos;
// More tracks than this in one list is no recorder's.
const size_t kMaxTracks = 0x10000;

struct TrackSpan
{
    size_t iStart = 0; // "<TRACK>"
    size_t iEnd = 0;   // after "</TRACK>"
};

// The list's body [*piBody, *piBodyEnd) and its tracks; 0 when the text
// holds no list whose tags close.
int FindTracks(const std::string& strXml, size_t* piBody, size_t* piBodyEnd,
               std::vector<TrackSpan>* pTracks)
{
    static const char kOpen[] = "<TRACK_LIST>";
    static const char kClose[] = "</TRACK_LIST>";
    pTracks->clear();
    size_t iBody = strXml.find(kOpen);
    if (iBody == kNone)
        return 0;
    iBody += strlen(kOpen);
    size_t iBodyEnd = strXml.find(kClose, iBody);
    if (iBodyEnd == kNone)
        return 0;
    for (size_t i = iBody;;)
    {
        size_t iStart = strXml.find("<TRACK>", i);
        if (iStart == kNone || iStart >= iBodyEnd)
            break;
        size_t iEnd = strXml.find("</TRACK>", iStart);
        if (iEnd == kNone || iEnd >= iBodyEnd || pTracks->size() >= kMaxTracks)
            return 0;
        iEnd += strlen("</TRACK>");
        pTracks->push_back(TrackSpan{iStart, iEnd});
        i = iEnd;
    }
    *piBody = iBody;
    *piBodyEnd = iBodyEnd;
    return 1;
}

// The text of <pcName>...</pcName> inside [iFrom, iTo): its offset and
// length, or kNone.
size_t FindElement(const std::string& strXml, size_t iFrom, size_t iTo, const char* pcName,
                   size_t* pnText)
{
    std::string strOpen = std::string("<") + pcName + ">";
    size_t iText = strXml.find(strOpen, iFrom);
    if (iText == kNone || iText >= iTo)
        return kNone;
    iText += strOpen.size();
    size_t iClose = strXml.find(std::string("</") + pcName + ">", iText);
    if (iClose == kNone || iClose >= iTo)
        return kNone;
    *pnText = iClose - iText;
    return iText;
}

// The element's decimal number (blanks around it allowed), at most 65535;
// 0 when it holds none.
DWORD ReadIndex(const std::string& strXml, const TrackSpan& track, const char* pcName)
{
    size_t nText = 0;
    size_t i = FindElement(strXml, track.iStart, track.iEnd, pcName, &nText);
    if (i == kNone)
        return 0;
    const std::string strText = strXml.substr(i, nText);
    size_t iFirst = strText.find_first_not_of(" \t\r\n");
    if (iFirst == kNone)
        return 0;
    DWORD dwValue = 0;
    size_t k = iFirst;
    for (; k < strText.size() && strText[k] >= '0' && strText[k] <= '9'; ++k)
    {
        dwValue = dwValue * 10 + (DWORD)(strText[k] - '0');
        if (dwValue > 0xFFFF)
            return 0;
    }
    if (k == iFirst || strText.find_first_not_of(" \t\r\n", k) != kNone)
        return 0;
    return dwValue;
}

// XML text with its predefined entities as characters; an '&' that starts
// none stays.
std::string DecodeText(const std::string& strText)
{
    static const struct
    {
        const char* pcEntity;
        char c;
    } kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string strOut;
    for (size_t i = 0; i < strText.size(); ++i)
    {
        char c = strText[i];
        if (c == '&')
            for (const auto& entity : kEntities)
                if (strText.compare(i, strlen(entity.pcEntity), entity.pcEntity) == 0)
                {
                    c = entity.c;
                    i += strlen(entity.pcEntity) - 1;
                    break;
                }
        strOut += c;
    }
    // Blanks around a name are the writer's layout, not the name.
    size_t iFirst = strOut.find_first_not_of(" \t\r\n");
    if (iFirst == kNone)
        return std::string();
    return strOut.substr(iFirst, strOut.find_last_not_of(" \t\r\n") + 1 - iFirst);
}
} // namespace

void ReadIXmlTrackNames(const std::string& strXml, WORD wChannels, std::vector<std::string>* pNames)
{
    pNames->assign(wChannels, std::string());
    std::vector<TrackSpan> tracks;
    size_t iBody = 0, iBodyEnd = 0;
    if (!FindTracks(strXml, &iBody, &iBodyEnd, &tracks))
        return;
    std::vector<char> named(wChannels, 0);
    for (const TrackSpan& track : tracks)
    {
        DWORD dwIndex = ReadIndex(strXml, track, "INTERLEAVE_INDEX");
        size_t nText = 0;
        size_t iName = FindElement(strXml, track.iStart, track.iEnd, "NAME", &nText);
        if (dwIndex == 0 || dwIndex > wChannels || named[dwIndex - 1])
            continue;
        named[dwIndex - 1] = 1;
        if (iName != kNone)
            (*pNames)[dwIndex - 1] = DecodeText(strXml.substr(iName, nText));
    }
}

std::string ReduceIXmlTracks(const std::string& strXml, const CMyChannelGroup& group)
{
    std::vector<TrackSpan> tracks;
    size_t iBody = 0, iBodyEnd = 0;
    if (!FindTracks(strXml, &iBody, &iBodyEnd, &tracks))
        return strXml;
    // What stood between the first two tracks stands between the kept ones.
    const size_t iListStart = tracks.empty() ? iBodyEnd : tracks.front().iStart;
    const size_t iListEnd = tracks.empty() ? iBodyEnd : tracks.back().iEnd;
    const std::string strSep =
        tracks.size() > 1 ? strXml.substr(tracks[0].iEnd, tracks[1].iStart - tracks[0].iEnd)
                          : std::string();
    std::string strKept;
    DWORD dwKept = 0;
    for (size_t iPlace = 0; iPlace < group.size(); ++iPlace)
        for (const TrackSpan& track : tracks)
        {
            if (ReadIndex(strXml, track, "INTERLEAVE_INDEX") != (DWORD)group[iPlace] + 1)
                continue;
            std::string strTrack = strXml.substr(track.iStart, track.iEnd - track.iStart);
            const TrackSpan inside{0, strTrack.size()};
            size_t nText = 0;
            size_t i = FindElement(strTrack, 0, inside.iEnd, "INTERLEAVE_INDEX", &nText);
            strTrack.replace(i, nText, std::to_string(iPlace + 1));
            strKept += (dwKept++ != 0 ? strSep : std::string()) + strTrack;
            break;
        }
    std::string strHead = strXml.substr(0, iListStart);
    size_t nCount = 0;
    size_t iCount = FindElement(strHead, iBody, iListStart, "TRACK_COUNT", &nCount);
    if (iCount != kNone)
        strHead.replace(iCount, nCount, std::to_string(dwKept));
    return strHead + strKept + strXml.substr(iListEnd);
}
