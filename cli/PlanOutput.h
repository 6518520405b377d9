// Where the command line shows plans: the dry run's lines on standard output
// and the plan file (--plan), both written as the run goes on.
#pragma once

#include "cli/Messages.h"
#include "engine/PlanForms.h"
#include "engine/SplitFile.h"
#include "platform/Platform.h"

#include <map>
#include <string>

class CMyPathList;

class CliPlanOutput : public CMyPlanSink
{
public:
    // bPrint: each plan's lines go to standard output, and each file that
    // would not be split is named on standard error (a dry run). A file whose
    // header claims more audio than it holds is named on standard error
    // either way.
    explicit CliPlanOutput(int bPrint) : m_bPrint(bPrint) {}
    ~CliPlanOutput() override;
    CliPlanOutput(const CliPlanOutput&) = delete;
    CliPlanOutput& operator=(const CliPlanOutput&) = delete;

    // Creates the plan file (an older one is replaced) with its header row;
    // 0, with the reason on standard error, when it cannot. "-" writes the
    // rows to standard output instead of a dry run's lines. A name ending
    // .cue gets a cue sheet, .txt a label list, any other the CSV.
    int OpenPlanFile(const CString& strPath);
    // Markers, the user's cuts or pauses alone: a file that has none to cut
    // at is named with this message (one piece holds it whole); kMsgCount:
    // a rule cuts every file.
    void SetWholeFileNote(CliMessage message) { m_WholeNote = message; }
    // 1 when a row could not be written (said once on standard error).
    int HasFailed() const { return m_bFailed; }

    // After a run: each file of the list that was not split (not every
    // piece on disk whole), named with its reason on standard error, one
    // line each.
    void ReportNotSplit(const CMyPathList& list) const;

    void TakePlan(const CString& strSrcPath, const CString& strFolder,
                  const CMyPlan& plan) override;
    void TakeRefusal(const CString& strSrcPath, const CString& strReason) override;
    // A row of the plan file, with the piece's status.
    void TakePiece(const CString& strFolder, const CMyPlan& plan, DWORD dwIndex,
                   PieceStatus status) override;

private:
    int Write(const std::string& strText);
    std::string FormatRow(const CString& strFolder, const CMyPlan& plan, DWORD dwIndex,
                          PieceStatus status);
    // A stretch --trim leaves out: a row of the CSV only (a cue sheet or a
    // label list holds pieces).
    std::string FormatDroppedRow(const CMyPlan& plan, size_t nDropped, PieceStatus status);

    int m_bPrint;
    CliMessage m_WholeNote = kMsgCount;
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    CString m_strPath;
    int m_bStdout = 0; // the plan file is standard output
    PlanForm m_Form = kPlanCsv;
    DWORD m_dwTrack = 0; // a cue sheet's tracks so far
    int m_bFailed = 0;
    std::string m_strRows; // rows not written yet
    // What the run's worker found, read once it has ended.
    enum FileFate
    {
        kFatePlanned, // had a plan, no piece finished yet
        kFateBroken,  // a piece not on disk whole
        kFateWhole    // every piece on disk whole
    };
    CString m_strPlanned;                     // the file being split
    size_t m_nDropped = 0;                    // its dropped stretches in the plan file
    std::map<std::string, FileFate> m_fates;  // files that had a plan
    std::map<std::string, CString> m_reasons; // refused files: the trace entry
};
