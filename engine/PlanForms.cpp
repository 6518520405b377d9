// A plan written as a cue sheet or as a label list.
#include "engine/PlanForms.h"

#include "engine/PlanText.h"

#include <cstdio>
#include <cstring>

namespace
{
const DWORD kCueFramesPerSecond = 75;
const DWORD kMicroseconds = 1000000;

// "s.uuuuuu", the microseconds rounded.
std::string FormatSeconds(ULONGLONG qwFrame, DWORD dwSamplingRate)
{
    ULONGLONG qwSeconds = qwFrame / dwSamplingRate;
    ULONGLONG qwMicro =
        (qwFrame % dwSamplingRate * kMicroseconds + dwSamplingRate / 2) / dwSamplingRate;
    if (qwMicro == kMicroseconds)
    {
        ++qwSeconds;
        qwMicro = 0;
    }
    char acText[48];
    snprintf(acText, sizeof(acText), "%llu.%06llu", (unsigned long long)qwSeconds,
             (unsigned long long)qwMicro);
    return acText;
}

int IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// "digits.dddddd" and the character after it at *pi.
int SkipSeconds(const std::string& str, size_t* pi)
{
    size_t i = *pi;
    size_t iStart = i;
    while (i < str.size() && IsDigit(str[i]))
        ++i;
    if (i == iStart || i >= str.size() || str[i] != '.')
        return 0;
    for (int k = 0; k < 6; ++k)
        if (++i >= str.size() || !IsDigit(str[i]))
            return 0;
    *pi = i + 1;
    return 1;
}
} // namespace

PlanForm GetPlanForm(const char* pcPath)
{
    size_t n = strlen(pcPath);
    if (n < 4 || pcPath[n - 4] != '.')
        return kPlanCsv;
    const std::string strExt(pcPath + n - 3);
    char acExt[4] = {0, 0, 0, 0};
    for (int i = 0; i < 3; ++i)
        acExt[i] = (char)(strExt[i] >= 'A' && strExt[i] <= 'Z' ? strExt[i] + 32 : strExt[i]);
    if (strcmp(acExt, "cue") == 0)
        return kPlanCue;
    if (strcmp(acExt, "txt") == 0)
        return kPlanLabels;
    return kPlanCsv;
}

const char* GetPlanCueHeader()
{
    return "REM COMMENT \"wavoss-split plan\"\r\n";
}

std::string FormatPlanCueFile(const std::string& strUtf8Name)
{
    return "FILE \"" + strUtf8Name + "\" WAVE\r\n";
}

std::string FormatPlanCueTrack(DWORD dwTrack, const std::string& strUtf8Title, ULONGLONG qwStart,
                               DWORD dwSamplingRate)
{
    const ULONGLONG qwCue =
        dwSamplingRate != 0 ? qwStart / dwSamplingRate * kCueFramesPerSecond +
                                  qwStart % dwSamplingRate * kCueFramesPerSecond / dwSamplingRate
                            : 0;
    const ULONGLONG qwSeconds = qwCue / kCueFramesPerSecond;
    char acIndex[64];
    snprintf(acIndex, sizeof(acIndex), "    INDEX 01 %02llu:%02u:%02u\r\n",
             (unsigned long long)(qwSeconds / 60), (unsigned)(qwSeconds % 60),
             (unsigned)(qwCue % kCueFramesPerSecond));
    char acTrack[32];
    snprintf(acTrack, sizeof(acTrack), "  TRACK %02u AUDIO\r\n", (unsigned)dwTrack);
    // A quote cannot be written inside a cue sheet's quoted value.
    std::string strTitle = strUtf8Title;
    for (char& c : strTitle)
        if (c == '"')
            c = '\'';
    return std::string(acTrack) + "    TITLE \"" + strTitle + "\"\r\n" + acIndex;
}

std::string FormatPlanLabel(const std::string& strUtf8Title, ULONGLONG qwStart, ULONGLONG qwFrames,
                            DWORD dwSamplingRate)
{
    if (dwSamplingRate == 0)
        return std::string();
    return FormatSeconds(qwStart, dwSamplingRate) + "\t" +
           FormatSeconds(qwStart + qwFrames, dwSamplingRate) + "\t" + strUtf8Title + "\r\n";
}

int IsPlanLabelStart(const std::string& strStart)
{
    size_t i = 0;
    if (!SkipSeconds(strStart, &i) || i >= strStart.size() || strStart[i] != '\t')
        return 0;
    ++i;
    return SkipSeconds(strStart, &i) && i < strStart.size() && strStart[i] == '\t';
}

const char* GetPlanFileHeader(PlanForm form)
{
    static const char* const kHeaders[] = {GetPlanCsvHeader(), GetPlanCueHeader(), ""};
    return kHeaders[form];
}

std::string FormatPlanFileRow(PlanForm form, const CMyPlanFileRow& row, const CMyPlanPiece& piece,
                              DWORD dwSamplingRate, PieceStatus status, DWORD* pdwTrack)
{
    if (form == kPlanCsv)
        return FormatPlanCsvRow(row.strPath, row.strSource, piece, dwSamplingRate, status);
    if (piece.Cut == kCutTrimmed)
        return std::string();
    if (form == kPlanLabels)
        return FormatPlanLabel(row.strTitle, piece.qwStart, piece.qwFrames, dwSamplingRate);
    std::string strRow;
    if (!row.strSourceName.empty())
        strRow = FormatPlanCueFile(row.strSourceName);
    return strRow + FormatPlanCueTrack(++*pdwTrack, row.strTitle, piece.qwStart, dwSamplingRate);
}
