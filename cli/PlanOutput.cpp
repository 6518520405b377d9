// Where the command line shows plans.
#include "cli/PlanOutput.h"

#include "cli/Console.h"
#include "cli/ErrorText.h"
#include "cli/FullPath.h"
#include "cli/Messages.h"
#include "cli/Terminal.h"
#include "engine/PlanText.h"
#include "engine/SplitPlan.h"
#include "sources/PathList.h"

#include <cstdio>

CliPlanOutput::~CliPlanOutput()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        CloseHandle(m_hFile);
}

int CliPlanOutput::OpenPlanFile(const CString& strPath)
{
    m_strPath = strPath;
    if (strPath == "-")
    {
        m_bStdout = 1;
        return Write(GetPlanCsvHeader());
    }
    m_Form = GetPlanForm(strPath);
    m_hFile = CreateFileA(strPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE)
    {
        CString strText;
        strText.Format(GetCliText(kMsgPlanNotCreated),
                       (const char*)GetSystemErrorText(GetLastError()));
        PrintError(strText + MakeShownPath(strPath));
        return 0;
    }
    return Write(GetPlanFileHeader(m_Form));
}

int CliPlanOutput::Write(const std::string& strText)
{
    if ((m_hFile == INVALID_HANDLE_VALUE && !m_bStdout) || m_bFailed)
        return 0;
    if (m_bStdout)
    {
        if (WriteBytes(stdout, strText))
            return 1;
        PrintError("cannot write the plan to standard output");
        m_bFailed = 1;
        return 0;
    }
    DWORD dwDone = 0;
    SetLastError(ERROR_SUCCESS); // a short write without a code is a full disk
    if (WriteFile(m_hFile, strText.data(), (DWORD)strText.size(), &dwDone, nullptr) &&
        dwDone == strText.size())
        return 1;
    DWORD dwError = dwDone < strText.size() && GetLastError() == ERROR_SUCCESS
                        ? (DWORD)ERROR_DISK_FULL
                        : GetLastError();
    CString strSaid;
    strSaid.Format(GetCliText(kMsgPlanNotWritten), (const char*)GetSystemErrorText(dwError));
    PrintError(strSaid + MakeShownPath(m_strPath));
    m_bFailed = 1;
    return 0;
}

namespace
{
// Written in blocks: a plan may have a million pieces.
const size_t kBlock = 0x10000;
} // namespace

void CliPlanOutput::TakePlan(const CString& strSrcPath, const CString& strFolder,
                             const CMyPlan& plan)
{
    if (plan.qwClaimedDataBytes != 0)
    {
        CString strText;
        strText.Format(GetCliText(kMsgClaimsMore), plan.qwClaimedDataBytes,
                       plan.qwPresentDataBytes);
        PrintError(strText + MakeShownPath(strSrcPath));
    }
    if (plan.dwUnaligned != 0)
    {
        CString strText;
        strText.Format(GetCliText(kMsgUnaligned), plan.dwUnaligned, (DWORD)plan.Pieces.size());
        PrintError(strText + MakeShownPath(strSrcPath));
    }
    if (m_WholeNote != kMsgCount && plan.Pieces.size() == plan.GetFilesPerPiece())
        PrintError(GetCliText(m_WholeNote) + MakeShownPath(strSrcPath));
    m_strPlanned = strSrcPath;
    m_nDropped = 0;
    m_fates[strSrcPath.GetString()] = kFatePlanned;
    // The plan's rows on standard output take the place of its lines.
    if (!m_bPrint || m_bStdout)
        return;
    CString strLines;
    size_t nDropped = 0;
    for (size_t i = 0; i < plan.Pieces.size(); ++i)
    {
        const CMyPlanPiece& piece = plan.Pieces[i];
        // Audio left out is named by the source it stays in.
        size_t nEnd = i + 1 == plan.Pieces.size() ? plan.Dropped.size()
                                                  : CountDroppedBefore(plan, piece.qwStart);
        for (; nDropped < nEnd && plan.Dropped[nDropped].qwStart < piece.qwStart; ++nDropped)
            strLines += FormatPlanLine(MakeShownPath(strSrcPath), plan.Dropped[nDropped],
                                       plan.dwSamplingRate);
        strLines +=
            FormatPlanLine(MakeShownPath(strFolder + piece.strName), piece, plan.dwSamplingRate);
        for (; nDropped < nEnd; ++nDropped)
            strLines += FormatPlanLine(MakeShownPath(strSrcPath), plan.Dropped[nDropped],
                                       plan.dwSamplingRate);
        if (i + 1 == plan.Pieces.size() || (size_t)strLines.GetLength() >= kBlock)
        {
            PrintSJis(stdout, strLines);
            strLines.Empty();
        }
    }
}

void CliPlanOutput::TakePiece(const CString& strFolder, const CMyPlan& plan, DWORD dwIndex,
                              PieceStatus status)
{
    // Split when every piece is on disk whole, as the run counts it.
    FileFate& fate = m_fates[m_strPlanned.GetString()];
    if (status != kStatusWritten)
        fate = kFateBroken;
    else if (dwIndex + 1 == plan.Pieces.size() && fate != kFateBroken)
        fate = kFateWhole;
    if (m_hFile == INVALID_HANDLE_VALUE && !m_bStdout)
        return;
    const CMyPlanPiece& piece = plan.Pieces[dwIndex];
    const int bLast = dwIndex + 1 == plan.Pieces.size();
    const size_t nEnd = bLast ? plan.Dropped.size() : CountDroppedBefore(plan, piece.qwStart);
    for (; m_nDropped < nEnd && plan.Dropped[m_nDropped].qwStart < piece.qwStart; ++m_nDropped)
        m_strRows += FormatDroppedRow(plan, m_nDropped, status);
    m_strRows += FormatRow(strFolder, plan, dwIndex, status);
    for (; m_nDropped < nEnd; ++m_nDropped)
        m_strRows += FormatDroppedRow(plan, m_nDropped, status);
    // A piece on disk is in the file at once: a run cut off later leaves its
    // row behind; the rows of pieces given up may wait for the next block.
    if (status == kStatusWritten || status == kStatusCutShort ||
        dwIndex + 1 == plan.Pieces.size() || m_strRows.size() >= kBlock)
    {
        Write(m_strRows);
        m_strRows.clear();
    }
}

// The piece in the plan file's form: a CSV row, a cue sheet's track (after
// its recording's FILE line), a label list's line.
std::string CliPlanOutput::FormatRow(const CString& strFolder, const CMyPlan& plan, DWORD dwIndex,
                                     PieceStatus status)
{
    const CMyPlanPiece& piece = plan.Pieces[dwIndex];
    CMyPlanFileRow row;
    if (m_Form == kPlanCsv)
    {
        row.strPath = MakeUtf8Text(MakeShownPath(strFolder + piece.strName));
        row.strSource = MakeUtf8Text(MakeShownPath(m_strPlanned));
    }
    // Every name ends with ".wav".
    row.strTitle = MakeUtf8Text(piece.strName.Left(piece.strName.GetLength() - 4));
    CString strFolderOf, strName;
    if (m_Form == kPlanCue && dwIndex == 0)
        row.strSourceName = MakeUtf8Text(
            SplitFullPath(m_strPlanned, &strFolderOf, &strName) ? strName : m_strPlanned);
    return FormatPlanFileRow(m_Form, row, piece, plan.dwSamplingRate, status, &m_dwTrack);
}

std::string CliPlanOutput::FormatDroppedRow(const CMyPlan& plan, size_t nDropped,
                                            PieceStatus status)
{
    if (m_Form != kPlanCsv)
        return std::string();
    CMyPlanFileRow row;
    row.strPath = row.strSource = MakeUtf8Text(MakeShownPath(m_strPlanned));
    return FormatPlanFileRow(m_Form, row, plan.Dropped[nDropped], plan.dwSamplingRate, status,
                             &m_dwTrack);
}

void CliPlanOutput::TakeRefusal(const CString& strSrcPath, const CString& strReason)
{
    if (!m_bPrint)
    {
        m_reasons[strSrcPath.GetString()] = strReason;
        return;
    }
    CString strWhy = MakeReasonText(strReason);
    CString strText = GetCliText(kMsgWouldNotSplit) + MakeShownPath(strSrcPath);
    if (!strWhy.IsEmpty())
        strText += " (" + strWhy + ")";
    PrintError(strText);
}

void CliPlanOutput::ReportNotSplit(const CMyPathList& list) const
{
    for (DWORD i = 0; i < list.GetCount(); i++)
    {
        const std::string strPath = list.GetAt(i).FilePath.GetString();
        auto fate = m_fates.find(strPath);
        if (fate != m_fates.end() && fate->second == kFateWhole)
            continue;
        auto it = m_reasons.find(strPath);
        CString strWhy;
        if (it != m_reasons.end())
            strWhy = MakeReasonText(it->second);
        else if (fate != m_fates.end())
            strWhy = GetCliText(kMsgPieceFailed);
        else
            strWhy = GetCliText(kMsgUnknownReason);
        CString strText = GetCliText(kMsgNotSplit) + MakeShownPath(list.GetAt(i).FilePath);
        if (!strWhy.IsEmpty())
            strText += " (" + strWhy + ")";
        PrintError(strText);
    }
}
