// The plan preview's rows.
#include "ui/PreviewRows.h"

#include "engine/PlanText.h"
#include "support/Trace.h"
#include "support/Utf8Conv.h"

#include <algorithm>
#include <cstring>

namespace
{
const char kMark[] = "※　";
const char kFullStop[] = "。";

CString NameOfPath(const CString& strPath)
{
    int iSep = std::max(FindLastCharSJis(strPath, '\\'), FindLastCharSJis(strPath, '/'));
    return strPath.Mid(iSep + 1);
}

// A trace entry as a reason: its first sentence, without the mark.
CString ShortReason(const CString& strEntry)
{
    CString str = strEntry;
    int iLineEnd = str.Find('\n');
    if (iLineEnd >= 0)
        str = str.Left(iLineEnd);
    if (str.Find(kMark) == 0)
        str = str.Mid((int)strlen(kMark));
    int iStop = str.Find(kFullStop);
    if (iStop >= 0)
        str = str.Left(iStop + (int)strlen(kFullStop));
    return str;
}
} // namespace

CMyPreviewRows::File& CMyPreviewRows::AddFile(const CString& strSrcPath)
{
    m_files.emplace_back();
    File& file = m_files.back();
    file.strSrcPath = strSrcPath;
    file.strName = NameOfPath(strSrcPath);
    file.dwFirstRow = m_dwRows;
    return file;
}

// The kind of list that cuts the source, as the window says it: the list
// beside it, else the list chosen, else times typed.
const char* CMyPreviewRows::GetListWord(const CString& strSrcPath) const
{
    if (m_pCuts == nullptr)
        return nullptr;
    const CMyCutList* pList = nullptr;
    auto it = m_pCuts->Beside.find(strSrcPath.GetString());
    if (it != m_pCuts->Beside.end())
        pList = &it->second;
    else if (FindCutGroup(m_pCuts->Listed, strSrcPath) != nullptr)
        pList = &m_pCuts->Listed;
    else if (FindCutGroup(m_pCuts->Typed, strSrcPath) != nullptr)
        pList = &m_pCuts->Typed;
    if (pList == nullptr)
        return nullptr;
    switch (pList->Kind)
    {
    case kListCue:
        return "キューシート";
    case kListLabels:
        return "ラベル";
    case kListPlan:
        return "プラン";
    case kListTimes:
        break;
    }
    return "指定";
}

// A piece that starts at a list's cut (the cut before it, or a labelled cut
// at the start): the list's kind and the cut's label.
CString CMyPreviewRows::GetStartText(const File& file, DWORD dwIndex) const
{
    if (file.pcListWord == nullptr)
        return CString();
    CString strLabel;
    if (dwIndex == 0 && !file.strFirstLabel.IsEmpty())
        strLabel = file.strFirstLabel;
    else if (dwIndex != 0 && file.Pieces[dwIndex - 1].Cut == kCutList)
        strLabel = file.Pieces[dwIndex - 1].strLabel;
    else
        return CString();
    CString str;
    str.Format("%s \"%s\"", file.pcListWord, (const char*)strLabel);
    return str;
}

void CMyPreviewRows::TakePlan(const CString& strSrcPath, const CString& strFolder,
                              const CMyPlan& plan)
{
    File& file = AddFile(strSrcPath);
    file.dwSamplingRate = plan.dwSamplingRate;
    file.pcListWord = GetListWord(strSrcPath);
    file.strFirstLabel = plan.strFirstLabel;
    file.strFullFolder = strFolder;
    // The folder is the output folder and the mirrored sub-folder.
    const int nOutput = m_strOutputFolder.GetLength();
    if (strFolder.Left(nOutput) == m_strOutputFolder)
    {
        file.strFolder = strFolder.Mid(nOutput);
        while (!file.strFolder.IsEmpty() && (file.strFolder[0] == '\\' || file.strFolder[0] == '/'))
            file.strFolder = file.strFolder.Mid(1);
    }
    else
        file.strFolder = strFolder;
    m_qwPieces += plan.Pieces.size();
    size_t nRoom = kMaxPreviewRows - m_dwRows;
    size_t nTaken = std::min(nRoom, plan.Pieces.size());
    file.Pieces.assign(plan.Pieces.begin(), plan.Pieces.begin() + (std::ptrdiff_t)nTaken);
    m_qwDropped += plan.Dropped.size();
    if (!plan.Dropped.empty())
    {
        // Audio left out is shown where it lies, between the pieces.
        file.Pieces.insert(file.Pieces.end(), plan.Dropped.begin(), plan.Dropped.end());
        std::stable_sort(file.Pieces.begin(), file.Pieces.end(),
                         [](const CMyPlanPiece& a, const CMyPlanPiece& b)
                         { return a.qwStart < b.qwStart; });
        file.Pieces.resize(std::min(nRoom, file.Pieces.size()));
    }
    m_dwRows += (DWORD)file.Pieces.size();
}

void CMyPreviewRows::TakeRefusal(const CString& strSrcPath, const CString& strReason)
{
    File& file = AddFile(strSrcPath);
    file.bRefused = 1;
    file.strRefusal =
        strReason.IsEmpty() ? CString("分割するデータがありません。") : ShortReason(strReason);
    ++m_dwRefused;
    if (m_dwRows < kMaxPreviewRows)
        ++m_dwRows;
}

CString CMyPreviewRows::GetCell(DWORD dwRow, int nColumn) const
{
    // The last file whose rows start at or before the row; files that got no
    // row start where the next one does.
    auto it = std::upper_bound(m_files.begin(), m_files.end(), dwRow,
                               [](DWORD dw, const File& file) { return dw < file.dwFirstRow; });
    if (dwRow >= m_dwRows || it == m_files.begin())
        return CString();
    const File& file = *(it - 1);
    const DWORD dwIndex = dwRow - file.dwFirstRow;
    if (file.bRefused)
    {
        switch (nColumn)
        {
        case kPreviewFile:
            return file.strName;
        case kPreviewName:
            return "(分割しません)";
        case kPreviewReason:
            return file.strRefusal;
        default:
            return CString();
        }
    }
    if (dwIndex >= file.Pieces.size())
        return CString();
    const CMyPlanPiece& piece = file.Pieces[dwIndex];
    switch (nColumn)
    {
    case kPreviewFile:
        return dwIndex == 0 ? file.strName : CString();
    case kPreviewName:
        return piece.Cut == kCutTrimmed ? CString("(書きません)") : file.strFolder + piece.strName;
    case kPreviewStart:
        return FormatPlanTime(piece.qwStart, file.dwSamplingRate);
    case kPreviewLength:
        return FormatPlanTime(piece.qwFrames, file.dwSamplingRate);
    case kPreviewReason:
        return FormatCutReasonText(piece, file.dwSamplingRate, m_Kind);
    case kPreviewListCut:
        return GetStartText(file, dwIndex);
    default:
        return CString();
    }
}

CString CMyPreviewRows::DescribeRows(int bAborted) const
{
    CString str;
    if (bAborted)
        str = "中止しました。";
    const DWORD dwPlanned = (DWORD)m_files.size() - m_dwRefused;
    if (dwPlanned != 0)
        str.AppendFormat("%u 個のファイルから %I64u 個のピースができます。", dwPlanned, m_qwPieces);
    if (m_dwRefused != 0)
        str.AppendFormat("%u 個のファイルは分割しません。", m_dwRefused);
    if (m_qwPieces + m_qwDropped + m_dwRefused > m_dwRows)
        str.AppendFormat("初めの %u 行だけを表示しています。", m_dwRows);
    if (str.IsEmpty())
        str = "分割するファイルがありません。";
    return str;
}

int CMyPreviewRows::FormatPlanFile(PlanForm form, std::string* pstrText) const
{
    if (m_qwPieces + m_qwDropped + m_dwRefused > m_dwRows)
        return 0;
    *pstrText = GetPlanFileHeader(form);
    DWORD dwTrack = 0;
    for (const File& file : m_files)
    {
        CMyPlanFileRow row;
        row.strSource = ConvSJisToUtf8(file.strSrcPath);
        int bFileLine = form == kPlanCue;
        for (const CMyPlanPiece& piece : file.Pieces)
        {
            const int bPiece = piece.Cut != kCutTrimmed;
            row.strPath =
                bPiece ? ConvSJisToUtf8(file.strFullFolder + piece.strName) : row.strSource;
            // Every name ends with ".wav".
            row.strTitle = bPiece
                               ? ConvSJisToUtf8(piece.strName.Left(piece.strName.GetLength() - 4))
                               : std::string();
            row.strSourceName = bFileLine && bPiece ? ConvSJisToUtf8(file.strName) : std::string();
            bFileLine = bFileLine && !bPiece;
            *pstrText +=
                FormatPlanFileRow(form, row, piece, file.dwSamplingRate, kStatusPlanned, &dwTrack);
        }
    }
    return 1;
}
