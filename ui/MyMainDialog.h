// The main dialog: the program's one window, owner of the collected files and
// host of the jobs that add and split them.
#pragma once

#include "framework/CString.h"
#include "framework/win/CControls.h"
#include "framework/win/CDialog.h"
#include "framework/win/CGdiObjects.h"
#include "framework/win/CListCtrl.h"
#include "engine/BatchRun.h"
#include "engine/RunState.h"
#include "framework/WinThread.h"
#include "framework/CCriticalSection.h"
#include "sources/AddJob.h"
#include "sources/FilteredPathList.h"
#include "ui/DroppedPicks.h"
#include "ui/LeftOutNames.h"
#include "ui/MyFileDialog.h"
#include "ui/PlanChoice.h"
#include "ui/TaskbarProgress.h"

#include <atomic>
#include <memory>

class CMyMainDialog;

// Sent by the add-files job: rebuild the rows on the user-interface thread.
const UINT WM_REBUILD_LIST = WM_USER + 502;

// What the add-files job asks of the dialog: the confirmed picker (or the
// files dropped on the window), the list's rows and total, the report, and
// the job-finished message.
class CMyDialogAddHost : public CMyAddHost
{
public:
    explicit CMyDialogAddHost(CMyMainDialog* pDialog) : m_pDialog(pDialog) {}

    DWORD GetPickCount() override;
    CString GetPickerFolderText(DWORD dwPick) override;
    CString GetCurrentFolder(DWORD dwPick) override;
    DWORD GetSelectedCount(DWORD dwPick) override;
    const WIN32_FIND_DATAA& GetSelectedEntry(DWORD dwPick, DWORD dwIndex) override;
    void SetLastPickerFolder(const CString& strFolder) override;
    void ReportLeftOutNames() override;
    void RebuildList() override;
    void ShowTotalSize(ULONGLONG ullTotal) override;
    void OpenReport(const char* pcPath) override;
    void DestroyPicker() override;
    void PostJobFinished() override;

    // Opens the report with the shell; tests put a recorder here.
    static void (*s_pfnOpenReport)(const char* pcPath);

private:
    CMyMainDialog* m_pDialog;
};

// The dialog is the batch run's host: the run's messages are posted to its
// window, so that no nested modal loop (a message box, a moved window) drops
// them; should they come as thread messages, PreTranslateMessage takes them.
class CMyMainDialog : public CDialog, public CMyRunHost
{
    friend class CMyDialogAddHost;

public:
    explicit CMyMainDialog(CWnd* pParentWnd = nullptr);
    ~CMyMainDialog() override;

    // The source list's three columns.
    void InsertColumns();
    // Nonzero: the idle look (only Abort disabled); 0: the busy look.
    void EnableJobButtons(int bIdle);

    // The source list (rows written from the path list).
    int InsertRecordRow(const CMyPathRecord& record);
    int RebuildList();
    void UpdateCountHeader();
    void ShowTotalSize(ULONGLONG ullTotal);
    // The list view's sort comparison: rows by their records' identifiers.
    static int CALLBACK CompareRows(LPARAM lData1, LPARAM lData2, LPARAM lColumn);

    BOOL PreTranslateMessage(MSG* pMsg) override;

    CMyFilteredPathList& GetPathList() { return m_pathList; }
    // The picker while it is open or its selection is being collected.
    const CMyFileDialog* GetPicker() const { return m_pPicker.get(); }

    // Starts the worker threads; tests put a failing one here.
    static CWinThread* (*s_pfnBeginThread)(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                                           int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                                           LPSECURITY_ATTRIBUTES lpSecurityAttrs);

    // The taskbar button's progress (tests look whether it was found).
    const CMyTaskbarProgress& GetTaskbarProgress() const { return m_taskbar; }

    // The section-length edit's text in milliseconds (0: invalid), traced.
    DWORD GetSectionLength();
    // How the run cuts: what the "分割方法" dialog last took (the default
    // at start: nothing persists).
    const CMyPlanChoice& GetPlanChoice() const { return m_planChoice; }

    void PostRunProgress() override;
    void PostJobFinished() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    int OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) override;

private:
    int OnCommand(UINT nID, UINT nCode);
    int OnNotify(const NMHDR* pHeader, LRESULT* plResult);
    int OnSysCommand(UINT nID);
    int OnPaint();
    HBRUSH OnCtlColor(HDC hDC, HWND hWnd, UINT nCtlColor);
    void OnDestroy();
    void TrackHover(HWND hWnd);
    int IsOwnWindow(HWND hWnd) const;

    void SetSortPathList();
    void OnRemove();
    void OnRemoveAll();
    void OnColumnClick(const NMLISTVIEW* pNotify, LRESULT* plResult);

    void OnAdd();
    void OnTimer(UINT_PTR nIDEvent);
    void OnOutputFolder();
    void OnExecute();
    void OnAbort();
    void OnJobFinished();
    void OnRunProgress();
    void OnDropFiles(HDROP hDrop);
    // The "分割方法" dialog, the line that names a choice other than the
    // default, and the preview of the selected files' pieces.
    void OnPlanMethod();
    void UpdatePlanSummary();
    void OnPreview();
    // The section length the plan cuts by; when the rule uses it and it is
    // invalid, the refusal is shown (and, for a run, traced) and 0 returned.
    int ReadPlanLength(int bRun, DWORD* pdwSectionLength);
    // The request the run and the preview plan with: null for the default
    // (today's pieces), else m_planRequest; 0, the refusal shown, when the
    // choice does not read.
    int MakeRunRequest(const CMyPlanRequest** ppRequest);
    // Files and folders dropped anywhere else on the window: added as the
    // picker's confirmed selection is.
    void OnDropSources(HDROP hDrop);
    void SetAddFilter();
    void StartAddJob();
    // The walk's folder-entry handler (pContext: the dialog): notes the WAV
    // files and folders there whose names the listing passes over.
    static int NoteUnholdableEntries(const char* pcFolder, void* pContext);

    CEdit m_editSectionLength;
    CEdit m_editOutputFolder;
    CStatic m_staticOutputFolder;
    CProgressCtrl m_progress;
    CEdit m_editTotalSize;
    CListCtrl m_listSource;
    int m_bFilterByExtension = 0;
    int m_bUseNamePattern = 0;
    int m_bHover = 0; // the pointer is over the Output folder button
    CBrush m_brushHover;
    CBrush m_brushNormal;
    COLORREF m_crHoverBack = 0;
    COLORREF m_crNormalBack = 0;
    COLORREF m_crHoverText = 0;
    COLORREF m_crNormalText = 0;
    DWORD m_dwUIThreadID;
    CString m_strExtension;
    CString m_strOutputFolder;
    UINT_PTR m_nTimerID = 0;
    int m_nListItemCount = 0;
    CMyFilteredPathList m_pathList;
    int m_nColumnCount = 0;
    CString m_strLastPickerFolder;
    HICON m_hIcon;
    CMyRunState m_runState;
    CMyBatchRun m_batchRun{&m_runState, this};
    CWinThread* m_pRunThread = nullptr;
    // Owned by the add-files job from the confirmed picker on: it deletes it.
    std::unique_ptr<CMyFileDialog> m_pPicker;
    // In the picker's place when the files came by a drop; owned likewise.
    std::unique_ptr<CMyDroppedPicks> m_pDropped;
    // What the add-files job left out for the code page (the drop's paths,
    // then the walk's names); written by one side at a time, as the list is.
    CMyLeftOutNames m_leftOutNames;
    CMyDialogAddHost m_addHost{this};
    CMyAddJob m_addJob{&m_pathList, &m_addHost};
    CWinThread* m_pAddThread = nullptr;
    CCriticalSection m_lock;
    std::atomic<int> m_bProgressPosted{0}; // one progress message in the queue is enough
    CMyTaskbarProgress m_taskbar;
    CMyPlanChoice m_planChoice;
    CMyPlanRequest m_planRequest; // read by the run's worker: changed only while idle
    int m_bSummaryShown = 0;
    int m_nBaseHeight = 0; // the window's height without the summary line
};
