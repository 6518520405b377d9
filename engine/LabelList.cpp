// A label list as an audio editor exports a label track: start, end and
// text, tab-separated, a line each.
#include "engine/CutList.h"

namespace
{
// The fields of a line between tabs; the text (the third) keeps any later tab.
std::vector<CString> SplitFields(const CString& strLine)
{
    std::vector<CString> fields;
    int iStart = 0;
    while (fields.size() < 2)
    {
        int iTab = strLine.Find('\t', iStart);
        if (iTab < 0)
            break;
        fields.push_back(strLine.Mid(iStart, iTab - iStart));
        iStart = iTab + 1;
    }
    fields.push_back(strLine.Mid(iStart));
    for (size_t i = 0; i < fields.size() && i < 2; ++i)
    {
        fields[i].TrimLeft();
        fields[i].TrimRight();
    }
    return fields;
}

// -1, 0 or 1 as a is before, on or after b, whatever their units.
int CompareTimes(const CMyCutTime& a, const CMyCutTime& b)
{
    const ULONGLONG qwA = a.qwUnits / a.dwPerSecond, qwB = b.qwUnits / b.dwPerSecond;
    if (qwA != qwB)
        return qwA < qwB ? -1 : 1;
    // Both rests are below 10^9: their cross products stay within 64 bits.
    const ULONGLONG qwRestA = a.qwUnits % a.dwPerSecond * b.dwPerSecond;
    const ULONGLONG qwRestB = b.qwUnits % b.dwPerSecond * a.dwPerSecond;
    return qwRestA < qwRestB ? -1 : qwRestA > qwRestB ? 1 : 0;
}
} // namespace

int ReadLabelList(const std::vector<CString>& lines, CMyCutList* pList, CMyCutListError* pError)
{
    *pList = CMyCutList();
    pList->Kind = kListLabels;
    pList->Groups.resize(1);
    std::vector<CMyListCut>& cuts = pList->Groups[0].Cuts;
    for (DWORD i = 0; i < (DWORD)lines.size(); ++i)
    {
        CString strLine = lines[i];
        // The editors' spectral extras follow their label on lines of their own.
        if (strLine.Left(1) == "\\")
            continue;
        CString strBlank(strLine);
        strBlank.TrimLeft();
        if (strBlank.IsEmpty())
            continue;
        std::vector<CString> fields = SplitFields(strLine);
        CMyListCut start, end;
        if (fields.size() < 2 || !ParseCutTime(fields[0], 0, &start.Time) ||
            !ParseCutTime(fields[1], 0, &end.Time) || CompareTimes(end.Time, start.Time) < 0)
        {
            pError->Fault = kListFaultLine;
            pError->dwLine = i + 1;
            return 0;
        }
        if (fields.size() > 2)
            start.strLabel = fields[2];
        cuts.push_back(start);
        // A region ends at a cut of its own, which names nothing.
        if (CompareTimes(end.Time, start.Time) > 0)
            cuts.push_back(end);
    }
    if (cuts.empty())
    {
        pError->Fault = kListFaultEmpty;
        pError->dwLine = 0;
        return 0;
    }
    return 1;
}
