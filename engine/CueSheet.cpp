// A cue sheet as cuts: each track's INDEX 01 starts a piece that takes the
// track's TITLE and PERFORMER.
#include "engine/CutList.h"

#include <cstring>

namespace
{
// Cue sheets count 75 frames a second (a compact disc's sectors).
const DWORD kCueFramesPerSecond = 75;

// The words of a cue sheet's line: a quoted value is one word without its
// quotes; *pbOpen is set for a quote not closed.
std::vector<CString> SplitWords(const CString& strLine, int* pbOpen)
{
    std::vector<CString> words;
    const char* pc = strLine;
    *pbOpen = 0;
    for (;;)
    {
        while (*pc == ' ' || *pc == '\t')
            ++pc;
        if (*pc == '\0')
            return words;
        const char* pcStart = pc;
        if (*pc == '"')
        {
            // A quote is never the second byte of a Shift-JIS character.
            const char* pcClose = strchr(pc + 1, '"');
            if (pcClose == nullptr)
            {
                *pbOpen = 1;
                return words;
            }
            words.push_back(CString(pc + 1, (int)(pcClose - pc - 1)));
            pc = pcClose + 1;
            continue;
        }
        while (*pc != '\0' && *pc != ' ' && *pc != '\t')
            ++pc;
        words.push_back(CString(pcStart, (int)(pc - pcStart)));
    }
}

// A value given unquoted may hold blanks: the rest of the line after the
// command (TITLE My Song).
CString TakeValue(const CString& strLine, const std::vector<CString>& words)
{
    CString strRest(strLine);
    strRest.TrimLeft();
    if (strRest.Find('"') >= 0 || words.size() < 2)
        return words.size() >= 2 ? words[1] : CString();
    strRest = strRest.Mid(words[0].GetLength());
    strRest.TrimLeft();
    strRest.TrimRight();
    return strRest;
}

// "mm:ss:ff", minutes of any count.
int ParseCueTime(const CString& strText, CMyCutTime* pTime)
{
    ULONGLONG qwParts[3] = {0, 0, 0};
    const char* pc = strText;
    for (int i = 0; i < 3; ++i)
    {
        if (i > 0 && *pc++ != ':')
            return 0;
        if (*pc < '0' || *pc > '9')
            return 0;
        for (; *pc >= '0' && *pc <= '9'; ++pc)
        {
            if (qwParts[i] > 1000000000ull)
                return 0;
            qwParts[i] = qwParts[i] * 10 + (ULONGLONG)(*pc - '0');
        }
    }
    if (*pc != '\0' || qwParts[1] >= 60 || qwParts[2] >= kCueFramesPerSecond)
        return 0;
    pTime->qwUnits = (qwParts[0] * 60 + qwParts[1]) * kCueFramesPerSecond + qwParts[2];
    pTime->dwPerSecond = kCueFramesPerSecond;
    return 1;
}

struct CMyCueTrack
{
    DWORD dwLine = 0;
    size_t iGroup = 0; // the FILE its INDEX 01 is in
    int bStart = 0;    // an INDEX 01 was read
    CMyListCut Cut;
};

int Fail(CMyCutListError* pError, CutListFault fault, DWORD dwLine)
{
    pError->Fault = fault;
    pError->dwLine = dwLine;
    return 0;
}
} // namespace

int ReadCueSheet(const std::vector<CString>& lines, CMyCutList* pList, CMyCutListError* pError)
{
    *pList = CMyCutList();
    pList->Kind = kListCue;
    CString strSheetPerformer;
    std::vector<CMyCueTrack> tracks;
    for (DWORD i = 0; i < (DWORD)lines.size(); ++i)
    {
        const DWORD dwLine = i + 1;
        int bOpen = 0;
        std::vector<CString> words = SplitWords(lines[i], &bOpen);
        if (bOpen)
            return Fail(pError, kListFaultLine, dwLine);
        if (words.empty())
            continue;
        CString strCommand = words[0];
        strCommand.MakeUpper();
        CMyCueTrack* pTrack = tracks.empty() ? nullptr : &tracks.back();
        if (strCommand == "FILE")
        {
            if (words.size() < 2)
                return Fail(pError, kListFaultLine, dwLine);
            CMyCutGroup group;
            // FILE name WAVE: an unquoted name with blanks ends before the type.
            group.strSource = words[1];
            if (lines[i].Find('"') < 0 && words.size() > 3)
                for (size_t k = 2; k + 1 < words.size(); ++k)
                    group.strSource += " " + words[k];
            pList->Groups.push_back(group);
        }
        else if (strCommand == "TRACK")
        {
            if (words.size() < 2 || words[1].IsEmpty() || words[1][0] < '0' || words[1][0] > '9')
                return Fail(pError, kListFaultLine, dwLine);
            tracks.push_back(CMyCueTrack());
            tracks.back().dwLine = dwLine;
        }
        else if (strCommand == "INDEX")
        {
            CMyCutTime time;
            if (pTrack == nullptr || pList->Groups.empty() || words.size() < 3 ||
                !ParseCueTime(words[2], &time))
                return Fail(pError, kListFaultLine, dwLine);
            // INDEX 00 (a pregap) stays with the piece before it.
            if ((words[1] == "01" || words[1] == "1") && !pTrack->bStart)
            {
                pTrack->bStart = 1;
                pTrack->Cut.Time = time;
                pTrack->iGroup = pList->Groups.size() - 1;
            }
        }
        else if (strCommand == "TITLE" && pTrack != nullptr)
            pTrack->Cut.strLabel = TakeValue(lines[i], words);
        else if (strCommand == "PERFORMER")
        {
            if (pTrack != nullptr)
                pTrack->Cut.strPerformer = TakeValue(lines[i], words);
            else
                strSheetPerformer = TakeValue(lines[i], words);
        }
        // REM, CATALOG, ISRC, FLAGS, the sheet's TITLE and anything else tell no cut.
    }
    if (tracks.empty())
        return Fail(pError, kListFaultEmpty, 0);
    for (CMyCueTrack& track : tracks)
    {
        if (!track.bStart)
            return Fail(pError, kListFaultLine, track.dwLine);
        if (track.Cut.strPerformer.IsEmpty())
            track.Cut.strPerformer = strSheetPerformer;
        pList->Groups[track.iGroup].Cuts.push_back(track.Cut);
    }
    // A file whose first track starts after 0 begins with the hidden pregap.
    for (CMyCutGroup& group : pList->Groups)
    {
        int bAtStart = group.Cuts.empty();
        for (const CMyListCut& cut : group.Cuts)
            bAtStart = bAtStart || cut.Time.qwUnits == 0;
        if (bAtStart)
            continue;
        CMyListCut lead;
        lead.Time.dwPerSecond = kCueFramesPerSecond;
        lead.strLabel = "00";
        lead.strPerformer = strSheetPerformer;
        group.Cuts.insert(group.Cuts.begin(), lead);
    }
    return 1;
}
