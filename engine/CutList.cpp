// Cut lists: the text as lines, the form recognised, times read.
#include "engine/CutList.h"

#include "support/SystemNames.h"

#include <algorithm>
#include <cstring>

namespace
{
const DWORD kMaxDecimals = 9;

int IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The first word of a line, as a cue sheet's command would be (blanks before
// it skipped), in upper case.
CString FirstWord(const CString& strLine)
{
    const char* pc = strLine;
    while (*pc == ' ' || *pc == '\t')
        ++pc;
    const char* pcEnd = pc;
    while (*pcEnd != '\0' && *pcEnd != ' ' && *pcEnd != '\t')
        ++pcEnd;
    CString strWord(pc, (int)(pcEnd - pc));
    strWord.MakeUpper();
    return strWord;
}

int IsCueCommand(const CString& strWord)
{
    static const char* const kCommands[] = {
        "REM",        "FILE", "TRACK",      "INDEX", "TITLE",  "PERFORMER", "CATALOG",
        "CDTEXTFILE", "ISRC", "SONGWRITER", "FLAGS", "PREGAP", "POSTGAP"};
    for (const char* pc : kCommands)
        if (strWord == pc)
            return 1;
    return 0;
}

// Whole digits into *pqw; 0 when there are none or they pass 2^64.
int ReadDigits(const char** ppc, ULONGLONG* pqw, DWORD* pdwCount)
{
    const char* pc = *ppc;
    ULONGLONG qw = 0;
    DWORD dwCount = 0;
    for (; IsDigit(*pc); ++pc, ++dwCount)
    {
        if (qw > (~0ull - 9) / 10)
            return 0;
        qw = qw * 10 + (ULONGLONG)(*pc - '0');
    }
    *ppc = pc;
    *pqw = qw;
    if (pdwCount != nullptr)
        *pdwCount = dwCount;
    return dwCount != 0;
}
} // namespace

int SplitCutListText(const std::string& strText, std::vector<CString>* pLines, DWORD* pdwBadLine)
{
    pLines->clear();
    size_t iStart = strText.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const size_t iNul = strText.find('\0', iStart);
    if (iNul != std::string::npos)
    {
        // Its line counted as the lines are split below: CR LF, LF or CR ends one.
        DWORD dwLine = 1;
        for (size_t i = iStart; i < iNul; ++i)
            if (strText[i] == '\n' || (strText[i] == '\r' && strText[i + 1] != '\n'))
                ++dwLine;
        *pdwBadLine = dwLine;
        return 0;
    }
    std::string strSJis;
    const int bAscii =
        std::all_of(strText.begin() + iStart, strText.end(), [](char c) { return (BYTE)c < 0x80; });
    if (bAscii || !ConvUtf8ToNameText(strText.data() + iStart, strText.size() - iStart, &strSJis))
        strSJis.assign(strText, iStart, std::string::npos);
    const char* pc = strSJis.c_str();
    const char* pcEnd = pc + strSJis.size();
    while (pc < pcEnd)
    {
        const char* pcLineEnd = pc;
        while (pcLineEnd < pcEnd && *pcLineEnd != '\r' && *pcLineEnd != '\n')
            ++pcLineEnd;
        pLines->push_back(CString(pc, (int)(pcLineEnd - pc)));
        if (pcLineEnd + 1 < pcEnd && pcLineEnd[0] == '\r' && pcLineEnd[1] == '\n')
            ++pcLineEnd;
        pc = pcLineEnd + 1;
    }
    return 1;
}

int ReadCutList(const std::string& strText, CMyCutList* pList, CMyCutListError* pError)
{
    *pList = CMyCutList();
    *pError = CMyCutListError();
    std::vector<CString> lines;
    if (!SplitCutListText(strText, &lines, &pError->dwLine))
    {
        pError->Fault = kListFaultLine;
        return 0;
    }
    for (const CString& strLine : lines)
    {
        CString strWord = FirstWord(strLine);
        if (strWord.IsEmpty())
            continue;
        if (strLine.Left(5) == "path," || strLine.Left(6) == "\"path\"")
            return ReadPlanCsv(lines, pList, pError);
        if (IsCueCommand(strWord))
            return ReadCueSheet(lines, pList, pError);
        break;
    }
    return ReadLabelList(lines, pList, pError);
}

int ReadCutListFile(const char* pcPath, CMyCutList* pList, CMyCutListError* pError)
{
    *pList = CMyCutList();
    *pError = CMyCutListError();
    HANDLE hFile = CreateFileA(pcPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string strText;
    LARGE_INTEGER size;
    int bRead = hFile != INVALID_HANDLE_VALUE && GetFileSizeEx(hFile, &size);
    if (bRead && size.QuadPart > (LONGLONG)kMaxCutListBytes)
    {
        CloseHandle(hFile);
        pError->Fault = kListFaultLarge;
        return 0;
    }
    if (bRead)
    {
        strText.resize((size_t)size.QuadPart);
        DWORD dwDone = 0;
        bRead = strText.empty() ||
                (ReadFile(hFile, &strText[0], (DWORD)strText.size(), &dwDone, nullptr) &&
                 dwDone == strText.size());
    }
    const DWORD dwError = GetLastError();
    if (hFile != INVALID_HANDLE_VALUE)
        CloseHandle(hFile);
    if (!bRead)
    {
        pError->Fault = kListFaultUnread;
        pError->dwError = dwError != ERROR_SUCCESS ? dwError : (DWORD)ERROR_READ_FAULT;
        return 0;
    }
    return ReadCutList(strText, pList, pError);
}

int ParseCutTime(const char* pcText, int bColons, CMyCutTime* pTime)
{
    const char* pc = pcText;
    ULONGLONG qwFields[3] = {0, 0, 0};
    int nFields = 0;
    for (;;)
    {
        if (!ReadDigits(&pc, &qwFields[nFields], nullptr))
            return 0;
        ++nFields;
        if (*pc != ':' || !bColons || nFields == 3)
            break;
        ++pc;
    }
    // "mm:ss" and "hh:mm:ss": minutes and seconds below 60 after a colon.
    for (int i = 1; i < nFields; ++i)
        if (qwFields[i] >= 60)
            return 0;
    ULONGLONG qwSeconds = 0;
    for (int i = 0; i < nFields; ++i)
    {
        if (qwSeconds > (~0ull - qwFields[i]) / 60)
            return 0;
        qwSeconds = qwSeconds * 60 + qwFields[i];
    }
    ULONGLONG qwFraction = 0;
    DWORD dwPerSecond = 1;
    if (*pc == '.')
    {
        ++pc;
        DWORD dwDigits = 0;
        for (; IsDigit(*pc); ++pc, ++dwDigits)
            if (dwDigits < kMaxDecimals)
            {
                qwFraction = qwFraction * 10 + (ULONGLONG)(*pc - '0');
                dwPerSecond *= 10;
            }
        if (dwDigits == 0)
            return 0;
    }
    if (*pc != '\0' || qwSeconds > (~0ull - qwFraction) / dwPerSecond)
        return 0;
    pTime->qwUnits = qwSeconds * dwPerSecond + qwFraction;
    pTime->dwPerSecond = dwPerSecond;
    return 1;
}

int ReadCutTimes(const char* pcTimes, CMyCutList* pList)
{
    *pList = CMyCutList();
    pList->Kind = kListTimes;
    pList->Groups.resize(1);
    const char* pc = pcTimes;
    for (;;)
    {
        const char* pcComma = strchr(pc, ',');
        CString strTime = pcComma != nullptr ? CString(pc, (int)(pcComma - pc)) : CString(pc);
        strTime.TrimLeft();
        strTime.TrimRight();
        CMyListCut cut;
        if (!ParseCutTime(strTime, 1, &cut.Time))
            return 0;
        pList->Groups[0].Cuts.push_back(cut);
        if (pcComma == nullptr)
            return 1;
        pc = pcComma + 1;
    }
}

ULONGLONG FramesOfCutTime(const CMyCutTime& time, DWORD dwSamplingRate)
{
    if (time.dwPerSecond == 0)
        return time.qwUnits;
    const ULONGLONG qwSeconds = time.qwUnits / time.dwPerSecond;
    const ULONGLONG qwRest = time.qwUnits % time.dwPerSecond;
    if (dwSamplingRate != 0 && qwSeconds > ~0ull / dwSamplingRate - 1)
        return ~0ull;
    // qwRest < 10^9 and the rate < 2^32: the product stays within 64 bits.
    return qwSeconds * dwSamplingRate +
           (qwRest * dwSamplingRate + time.dwPerSecond / 2) / time.dwPerSecond;
}
