// The plan preview's rows: the pieces a run would write (or why a file would
// not be split), as a dry run of the batch hands them over on its worker
// thread, and the texts of their cells.
#pragma once

#include "engine/PlanForms.h"
#include "engine/SourceCuts.h"
#include "engine/SplitFile.h"
#include "engine/SplitPlan.h"
#include "framework/CString.h"

#include <memory>
#include <string>
#include <vector>

// The list keeps at most this many rows: a plan of a million pieces would
// fill the memory of the 32-bit program without telling anyone more.
const DWORD kMaxPreviewRows = 100000;

enum PreviewColumn
{
    kPreviewFile,    // the source's name, on its first row
    kPreviewName,    // the piece's path under the output folder
    kPreviewStart,   // hh:mm:ss.mmm from the start of the recording
    kPreviewLength,  // hh:mm:ss.mmm
    kPreviewReason,  // why the piece ends there (FormatCutReasonText)
    kPreviewListCut, // a cut list's piece: why it starts there and its label
    kPreviewColumns
};

class CMyPreviewRows : public CMyPlanSink
{
public:
    // strOutputFolder: the folder planned into (names are shown below it);
    // kind: the rule, for the words of the reasons; pCuts: the run's cut
    // lists (null: none), for the words of the cuts' kinds.
    CMyPreviewRows(const CString& strOutputFolder, PlanRuleKind kind,
                   std::shared_ptr<const CMyRunCuts> pCuts = nullptr)
        : m_strOutputFolder(strOutputFolder), m_Kind(kind), m_pCuts(std::move(pCuts))
    {
    }

    void TakePlan(const CString& strSrcPath, const CString& strFolder,
                  const CMyPlan& plan) override;
    void TakeRefusal(const CString& strSrcPath, const CString& strReason) override;

    DWORD GetRowCount() const { return m_dwRows; }
    CString GetCell(DWORD dwRow, int nColumn) const;
    // The line above the list: files, pieces, files that would not be split,
    // rows left out; and that the preview was stopped when bAborted.
    CString DescribeRows(int bAborted) const;
    // The plan as the command line writes it to a plan file in the form
    // (each piece "planned"); 0 when the list left rows out.
    int FormatPlanFile(PlanForm form, std::string* pstrText) const;

private:
    struct File
    {
        CString strSrcPath;    // the source's path
        CString strName;       // the source's file name
        CString strFullFolder; // the pieces' folder as planned, with its separator
        CString strFolder;     // the pieces' folder under the output folder ("" or "sub\")
        CString strRefusal;    // set for a file that would not be split
        int bRefused = 0;
        DWORD dwSamplingRate = 0;
        DWORD dwFirstRow = 0;
        const char* pcListWord = nullptr; // the kind of the cut list that cuts it
        CString strFirstLabel;
        std::vector<CMyPlanPiece> Pieces; // those that fit in the list
    };

    File& AddFile(const CString& strSrcPath);
    const char* GetListWord(const CString& strSrcPath) const;
    CString GetStartText(const File& file, DWORD dwIndex) const;

    CString m_strOutputFolder;
    PlanRuleKind m_Kind;
    std::shared_ptr<const CMyRunCuts> m_pCuts;
    std::vector<File> m_files;
    DWORD m_dwRows = 0;
    ULONGLONG m_qwPieces = 0; // planned, the rows left out included
    // Rows of audio trimmed, which make no piece.
    ULONGLONG m_qwDropped = 0;
    DWORD m_dwRefused = 0;
};
