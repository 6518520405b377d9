// A plan as text.
#include "engine/PlanText.h"

#include "support/Utf8Conv.h"

#include <algorithm>

namespace
{
// "-1.24": hundredths of a second, rounded, with the shift's sign.
CString FormatShift(LONGLONG llShift, DWORD dwSamplingRate)
{
    ULONGLONG qwFrames = llShift < 0 ? (ULONGLONG)(-llShift) : (ULONGLONG)llShift;
    ULONGLONG qwHundredths =
        dwSamplingRate != 0 ? (qwFrames * 100 + dwSamplingRate / 2) / dwSamplingRate : 0;
    CString str;
    str.Format("%s%I64u.%02u", llShift < 0 ? "-" : "", qwHundredths / 100,
               (DWORD)(qwHundredths % 100));
    return str;
}

// A CSV field: quoted, its quotes doubled, when it holds a comma, a quote or
// a line break.
std::string CsvField(const std::string& strText)
{
    if (strText.find_first_of(",\"\r\n") == std::string::npos)
        return strText;
    std::string str = "\"";
    for (char c : strText)
    {
        if (c == '"')
            str += '"';
        str += c;
    }
    return str + "\"";
}
} // namespace

CString FormatPlanTime(ULONGLONG qwFrames, DWORD dwSamplingRate)
{
    if (dwSamplingRate == 0)
        return CString();
    ULONGLONG qwSeconds = qwFrames / dwSamplingRate;
    DWORD dwMs = (DWORD)(qwFrames % dwSamplingRate * 1000 / dwSamplingRate);
    CString str;
    str.Format("%02I64u:%02u:%02u.%03u", qwSeconds / 3600, (DWORD)(qwSeconds / 60 % 60),
               (DWORD)(qwSeconds % 60), dwMs);
    return str;
}

CString FormatCutReason(const CMyPlanPiece& piece, DWORD dwSamplingRate)
{
    CString str;
    switch (piece.Cut)
    {
    case kCutLength:
        return "length";
    case kCutMarker:
        str.Format("marker \"%s\"", (const char*)piece.strLabel);
        return str;
    case kCutPause:
        return "pause " + FormatShift(piece.llShift, dwSamplingRate) + " s";
    case kCutNoPause:
        return "no pause";
    case kCutEnd:
        return "end";
    case kCutList:
        str.Format("cut \"%s\"", (const char*)piece.strLabel);
        return str;
    case kCutEveryPause:
        return "pause";
    case kCutTrimmed:
        return "trimmed";
    }
    return str;
}

CString FormatCutReasonText(const CMyPlanPiece& piece, DWORD dwSamplingRate, PlanRuleKind kind)
{
    CString str;
    switch (piece.Cut)
    {
    case kCutLength:
        return kind == kRuleParts ? "等分" : kind == kRuleMaxSize ? "サイズ上限" : "区間長";
    case kCutMarker:
        str.Format("マーカー \"%s\"", (const char*)piece.strLabel);
        return str;
    case kCutPause:
        return "無音 " + FormatShift(piece.llShift, dwSamplingRate) + " 秒";
    case kCutNoPause:
        return "無音なし";
    case kCutEnd:
        return "末尾";
    case kCutList:
        str.Format("指定 \"%s\"", (const char*)piece.strLabel);
        return str;
    case kCutEveryPause:
        return "無音";
    case kCutTrimmed:
        return "削除 (無音)";
    }
    return str;
}

CString FormatPlanLine(const char* pcPath, const CMyPlanPiece& piece, DWORD dwSamplingRate)
{
    CString str;
    str.Format("%s\t%s\t%s\t%s\n", pcPath,
               (const char*)FormatPlanTime(piece.qwStart, dwSamplingRate),
               (const char*)FormatPlanTime(piece.qwFrames, dwSamplingRate),
               (const char*)FormatCutReason(piece, dwSamplingRate));
    return str;
}

const char* GetPlanCsvHeader()
{
    return "path,start,length,reason,source,start_frame,frames,status\r\n";
}

std::string FormatPlanCsvRow(const std::string& strUtf8Path, const std::string& strUtf8Source,
                             const CMyPlanPiece& piece, DWORD dwSamplingRate, PieceStatus status)
{
    static const char* const kStatus[] = {"planned", "written", "cut short", "not written"};
    return CsvField(strUtf8Path) + "," + FormatPlanTime(piece.qwStart, dwSamplingRate).GetString() +
           "," + FormatPlanTime(piece.qwFrames, dwSamplingRate).GetString() + "," +
           CsvField(ConvSJisToUtf8(FormatCutReason(piece, dwSamplingRate))) + "," +
           CsvField(strUtf8Source) + "," + std::to_string(piece.qwStart) + "," +
           std::to_string(piece.qwFrames) + "," +
           (piece.Cut == kCutTrimmed ? "dropped" : kStatus[status]) + "\r\n";
}

size_t CountDroppedBefore(const CMyPlan& plan, ULONGLONG qwFrame)
{
    return (size_t)(std::lower_bound(plan.Dropped.begin(), plan.Dropped.end(), qwFrame,
                                     [](const CMyPlanPiece& piece, ULONGLONG qw)
                                     { return piece.qwStart < qw; }) -
                    plan.Dropped.begin());
}

CString FormatCutTrace(const char* pcPath, const CMyPlanPiece& piece, DWORD dwSamplingRate)
{
    CString str;
    CString strCut = FormatPlanTime(piece.qwStart + piece.qwFrames, dwSamplingRate);
    if (piece.Cut == kCutPause)
        str.Format("区切り %s を無音の中ほどへ %s 秒動かしました。[ %s ]\n", (const char*)strCut,
                   (const char*)FormatShift(piece.llShift, dwSamplingRate), pcPath);
    else if (piece.Cut == kCutNoPause)
        str.Format("区切り %s の前に無音がありません。[ %s ]\n", (const char*)strCut, pcPath);
    return str;
}
