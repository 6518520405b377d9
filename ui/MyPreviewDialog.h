// The "プレビュー" dialog: the pieces a run would write for the chosen files,
// planned by a dry run of the batch on a worker thread (nothing is written,
// the trace included); the list fills when the plans are made, and 中止
// stops the planning between files.
#pragma once

#include "engine/BatchRun.h"
#include "engine/SourcePlan.h"
#include "framework/WinThread.h"
#include "framework/win/CDialog.h"
#include "framework/win/CListCtrl.h"
#include "sources/PathList.h"
#include "ui/DialogLayout.h"
#include "ui/PreviewRows.h"

#include <memory>

class CMyPreviewDialog : public CDialog, public CMyRunHost
{
public:
    // Plans the files of *pFiles (in their order) into strOutputFolder with
    // the section length and the request (null: the default plan); kind
    // names the rule in the reasons.
    CMyPreviewDialog(CWnd* pParentWnd, const CMyPathList* pFiles, const CString& strOutputFolder,
                     DWORD dwSectionLength, const CMyPlanRequest* pRequest, PlanRuleKind kind);
    ~CMyPreviewDialog() override;

    // The batch's host: progress is not shown; the end reaches the window.
    void PostRunProgress() override {}
    void PostJobFinished() override;

protected:
    BOOL OnInitDialog() override;
    // Enter closes the dialog as Esc and 閉じる do, the planning stopped.
    void OnOK() override { OnCancel(); }
    void OnCancel() override;
    int OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) override;

private:
    void StartPlanning();
    void OnJobFinished();
    // Waits for the planning thread, stopping it first when bStop is set.
    void WaitForPlanning(int bStop);
    void OnGetDispInfo(NMLVDISPINFOA* pInfo);
    void SetStatus(const char* pcText);
    // Each column as wide as its widest text, its header's included.
    void FitColumns();
    void OnSavePlan();

    CListCtrl m_list;
    CMyDialogLayout m_layout;
    CMyRunState m_state;
    CMyBatchRun m_batchRun{&m_state, this};
    CMyPreviewRows m_rows;
    std::unique_ptr<CWinThread> m_pThread;
    int m_bPlanning = 0;
    int m_nColumns = kPreviewListCut;
};
