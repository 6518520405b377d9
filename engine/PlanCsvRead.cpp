// A plan written by --plan as CSV, perhaps edited in a spreadsheet: each
// row's start is a cut, its piece's name the label of the piece from there.
#include "engine/CutList.h"

#include "support/SJisByteType.h"

namespace
{
// The fields of an RFC 4180 row (quotes doubled inside quoted fields); 0 for
// a quote not closed or text after a closing quote.
int SplitCsvRow(const CString& strLine, std::vector<CString>* pFields)
{
    pFields->clear();
    const char* pc = strLine;
    for (;;)
    {
        std::string strField;
        if (*pc == '"')
        {
            for (++pc;; ++pc)
            {
                if (*pc == '\0')
                    return 0;
                if (*pc == '"' && pc[1] != '"')
                    break;
                if (*pc == '"')
                    ++pc;
                strField += *pc;
            }
            ++pc;
            if (*pc != ',' && *pc != '\0')
                return 0;
        }
        else
            while (*pc != ',' && *pc != '\0')
                strField += *pc++;
        pFields->push_back(CString(strField.c_str()));
        if (*pc == '\0')
            return 1;
        ++pc;
    }
}

// The piece's name without its folder or ".wav".
CString GetPieceStem(const CString& strPath)
{
    const char* pc = strPath;
    int iName = 0;
    for (int i = 0; pc[i] != '\0'; i += GetSJisCharBytes(pc + i))
        if (pc[i] == '/' || pc[i] == '\\')
            iName = i + 1;
    CString strStem = strPath.Mid(iName);
    if (strStem.GetLength() > 4 && strStem.Right(4).CompareNoCase(".wav") == 0)
        strStem = strStem.Left(strStem.GetLength() - 4);
    return strStem;
}

int FindColumn(const std::vector<CString>& header, const char* pcName)
{
    for (size_t i = 0; i < header.size(); ++i)
        if (header[i] == pcName)
            return (int)i;
    return -1;
}

int Fail(CMyCutListError* pError, CutListFault fault, DWORD dwLine)
{
    pError->Fault = fault;
    pError->dwLine = dwLine;
    return 0;
}
} // namespace

int ReadPlanCsv(const std::vector<CString>& lines, CMyCutList* pList, CMyCutListError* pError)
{
    *pList = CMyCutList();
    pList->Kind = kListPlan;
    std::vector<CString> fields;
    int iPath = -1, iStart = -1, iSource = -1, iFrame = -1;
    DWORD dwCuts = 0;
    size_t iGroup = 0;
    for (DWORD i = 0; i < (DWORD)lines.size(); ++i)
    {
        const DWORD dwLine = i + 1;
        if (lines[i].IsEmpty())
            continue;
        if (!SplitCsvRow(lines[i], &fields))
            return Fail(pError, kListFaultLine, dwLine);
        if (iPath < 0)
        {
            iPath = FindColumn(fields, "path");
            iStart = FindColumn(fields, "start");
            iSource = FindColumn(fields, "source");
            iFrame = FindColumn(fields, "start_frame");
            if (iPath < 0 || iStart < 0)
                return Fail(pError, kListFaultLine, dwLine);
            continue;
        }
        CMyListCut cut;
        if ((int)fields.size() <= iPath || (int)fields.size() <= iStart)
            return Fail(pError, kListFaultLine, dwLine);
        // The exact frame where the plan has it, the time (to the millisecond) otherwise.
        int bRead = 0;
        if (iFrame >= 0 && (int)fields.size() > iFrame && !fields[iFrame].IsEmpty())
        {
            bRead = ParseCutTime(fields[iFrame], 0, &cut.Time) && cut.Time.dwPerSecond == 1;
            cut.Time.dwPerSecond = 0;
        }
        else
            bRead = ParseCutTime(fields[iStart], 1, &cut.Time);
        if (!bRead)
            return Fail(pError, kListFaultLine, dwLine);
        cut.strLabel = GetPieceStem(fields[iPath]);
        CString strSource = iSource >= 0 && (int)fields.size() > iSource ? fields[iSource] : "";
        // Rows of one source usually follow each other: the search is rare.
        if (iGroup >= pList->Groups.size() || pList->Groups[iGroup].strSource != strSource)
        {
            for (iGroup = 0; iGroup < pList->Groups.size(); ++iGroup)
                if (pList->Groups[iGroup].strSource == strSource)
                    break;
            if (iGroup == pList->Groups.size())
            {
                pList->Groups.push_back(CMyCutGroup());
                pList->Groups.back().strSource = strSource;
            }
        }
        pList->Groups[iGroup].Cuts.push_back(cut);
        ++dwCuts;
    }
    if (dwCuts == 0)
        return Fail(pError, kListFaultEmpty, 0);
    return 1;
}
