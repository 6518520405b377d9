// The "プレビュー" dialog.
#include "ui/MyPreviewDialog.h"

#include "engine/JobFlags.h"
#include "framework/AfxMessageBox.h"
#include "resources/resource.h"
#include "support/Trace.h"
#include "ui/TextMeasure.h"

#include <algorithm>

#include <commdlg.h>

namespace
{
const struct
{
    const char* pcText;
    int nFormat;
    int nWidth;
} kColumns[kPreviewColumns] = {{"ファイル", LVCFMT_LEFT, 100}, {"名前", LVCFMT_LEFT, 250},
                               {"開始", LVCFMT_RIGHT, 100},    {"長さ", LVCFMT_RIGHT, 100},
                               {"理由", LVCFMT_LEFT, 150},     {"始まり", LVCFMT_LEFT, 150}};

// Beside its text a cell has the list's margins: a text is cut, with an
// ellipsis, when the column is narrower than its width and these.
const int kCellMargin = 16;

// The batch's dry run, its trace entries dropped: a preview is no run.
UINT PreviewThreadProc(LPVOID pParam)
{
    SetTraceMuted(1);
    UINT nResult = RunThreadProc(pParam);
    SetTraceMuted(0);
    return nResult;
}
// A new file of the text; a failure is traced with the path.
int WriteWholeFile(const char* pcPath, const std::string& strText)
{
    HANDLE hFile = CreateFileA(pcPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD dwDone = 0;
    const int bDone = hFile != INVALID_HANDLE_VALUE &&
                      WriteFile(hFile, strText.data(), (DWORD)strText.size(), &dwDone, nullptr) &&
                      dwDone == strText.size();
    if (!bDone)
    {
        const DWORD dwError = GetLastError();
        WriteTraceFormat("※　プランを書けませんでした。WriteWholeFile()\n\tPath[%s]\n", pcPath);
        WriteTraceSystemError(dwError);
    }
    if (hFile != INVALID_HANDLE_VALUE)
        CloseHandle(hFile);
    return bDone;
}
} // namespace

CMyPreviewDialog::CMyPreviewDialog(CWnd* pParentWnd, const CMyPathList* pFiles,
                                   const CString& strOutputFolder, DWORD dwSectionLength,
                                   const CMyPlanRequest* pRequest, PlanRuleKind kind)
    : CDialog(IDD_PREVIEW_DIALOG, pParentWnd),
      m_rows(strOutputFolder, kind, pRequest != nullptr ? pRequest->pCuts : nullptr)
{
    // Where the pieces start is the news only with a cut list.
    if (pRequest != nullptr && pRequest->pCuts != nullptr)
        m_nColumns = kPreviewColumns;
    m_state.m_pPathList = pFiles;
    m_state.m_strOutputFolder = strOutputFolder;
    m_state.m_dwSectionLength = dwSectionLength;
    m_state.m_pPlanRequest = pRequest;
    m_state.m_pPlanSink = &m_rows;
    m_state.m_bDryRun = 1;
}

// The thread works on this object's members: it has ended before they go.
CMyPreviewDialog::~CMyPreviewDialog()
{
    WaitForPlanning(1);
}

void CMyPreviewDialog::PostJobFinished()
{
    ::PostMessageA(m_hWnd, WM_JOB_FINISHED, (WPARAM)m_hWnd, 0);
}

BOOL CMyPreviewDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.m_hWnd = GetDlgItem(IDC_PREVIEW_LIST);
    for (int i = 0; i < m_nColumns; i++)
        m_list.InsertColumn(i, kColumns[i].pcText, kColumns[i].nFormat, kColumns[i].nWidth);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    m_layout.Attach(m_hWnd);
    m_layout.Add(IDC_PREVIEW_STATUS, kGrowWidth);
    m_layout.Add(IDC_PREVIEW_LIST, kGrowWidth | kGrowHeight);
    m_layout.Add(IDC_PREVIEW_SAVE, kMoveDown);
    m_layout.Add(IDC_PREVIEW_ABORT, kMoveRight | kMoveDown);
    m_layout.Add(IDCANCEL, kMoveRight | kMoveDown);
    StartPlanning();
    return TRUE;
}

void CMyPreviewDialog::SetStatus(const char* pcText)
{
    ::SetDlgItemTextA(m_hWnd, IDC_PREVIEW_STATUS, pcText);
}

// Started only from an idle window, which the dialog keeps disabled until
// the planning has ended.
void CMyPreviewDialog::StartPlanning()
{
    SetStatus("ピースを計画しています...");
    g_bIdle.store(0);
    m_pThread.reset(AfxBeginThread(PreviewThreadProc, &m_batchRun, THREAD_PRIORITY_NORMAL, 0,
                                   CREATE_SUSPENDED));
    if (!m_pThread)
    {
        g_bIdle.store(1);
        SetStatus("※　計画を始められませんでした。");
        ::EnableWindow(GetDlgItem(IDC_PREVIEW_ABORT), FALSE);
        return;
    }
    m_pThread->m_bAutoDelete = FALSE;
    m_bPlanning = 1;
    m_pThread->ResumeThread();
}

void CMyPreviewDialog::WaitForPlanning(int bStop)
{
    if (!m_pThread)
        return;
    if (bStop && m_bPlanning)
        g_bAbort.store(1);
    m_pThread->WaitForExit(nullptr);
    m_pThread.reset();
    if (m_bPlanning)
    {
        m_bPlanning = 0;
        g_bAbort.store(0);
    }
}

void CMyPreviewDialog::OnJobFinished()
{
    if (!m_bPlanning)
        return;
    const int bAborted = g_bAbort.load();
    m_bPlanning = 0;
    WaitForPlanning(0);
    g_bAbort.store(0);
    m_list.SetItemCount((int)m_rows.GetRowCount());
    FitColumns();
    SetStatus(m_rows.DescribeRows(bAborted));
    HWND hAbort = GetDlgItem(IDC_PREVIEW_ABORT);
    if (::GetFocus() == hAbort)
        SendMessage(WM_NEXTDLGCTL, (WPARAM)GetDlgItem(IDCANCEL), TRUE);
    ::EnableWindow(hAbort, FALSE);
    ::EnableWindow(GetDlgItem(IDC_PREVIEW_SAVE), !bAborted);
}

// The plan in the form its name's extension says, written whole or not at
// all (a plan cut short would cut the recordings short when read back).
void CMyPreviewDialog::OnSavePlan()
{
    std::string strText;
    const char* pcRefusal = nullptr;
    char acPath[MAX_PATH] = {};
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = "プラン (*.csv)\0*.csv\0キューシート (*.cue)\0*.cue\0"
                      "ラベル (*.txt)\0*.txt\0";
    ofn.lpstrFile = acPath;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = "csv";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!m_rows.FormatPlanFile(kPlanCsv, &strText))
        pcRefusal = "※　一覧に入りきらない計画は保存できません。";
    else if (!GetSaveFileNameA(&ofn))
        return;
    else if (!m_rows.FormatPlanFile(GetPlanForm(acPath), &strText) ||
             !WriteWholeFile(acPath, strText))
        pcRefusal = "※　プランを保存できませんでした。";
    if (pcRefusal != nullptr)
        AfxMessageBox(pcRefusal, MB_OK);
}

void CMyPreviewDialog::FitColumns()
{
    CMyTextMeasure measure(m_list.m_hWnd);
    const DWORD dwRows = m_rows.GetRowCount();
    for (int i = 0; i < m_nColumns; i++)
    {
        int nWidest = measure.GetWidth(kColumns[i].pcText, lstrlenA(kColumns[i].pcText));
        for (DWORD dwRow = 0; dwRow < dwRows; dwRow++)
        {
            const CString strCell = m_rows.GetCell(dwRow, i);
            nWidest = std::max(nWidest, measure.GetWidth(strCell, strCell.GetLength()));
        }
        m_list.SetColumnWidth(i, nWidest + kCellMargin);
    }
}

void CMyPreviewDialog::OnCancel()
{
    WaitForPlanning(1);
    CDialog::OnCancel();
}

void CMyPreviewDialog::OnGetDispInfo(NMLVDISPINFOA* pInfo)
{
    LVITEMA& item = pInfo->item;
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0)
        return;
    CString strCell = m_rows.GetCell((DWORD)item.iItem, item.iSubItem);
    lstrcpynA(item.pszText, strCell, item.cchTextMax);
}

int CMyPreviewDialog::OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* plResult)
{
    switch (uMsg)
    {
    case WM_JOB_FINISHED:
        OnJobFinished();
        return 1;
    case WM_SIZE:
        m_layout.OnSize(LOWORD(lParam), HIWORD(lParam));
        return 1;
    case WM_GETMINMAXINFO:
        m_layout.OnGetMinMaxInfo((MINMAXINFO*)lParam);
        return 1;
    case WM_NOTIFY:
    {
        NMHDR* pHeader = (NMHDR*)lParam;
        if (pHeader->idFrom == IDC_PREVIEW_LIST && pHeader->code == LVN_GETDISPINFOA)
        {
            OnGetDispInfo((NMLVDISPINFOA*)lParam);
            return 1;
        }
        return 0;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_PREVIEW_SAVE)
        {
            OnSavePlan();
            return 1;
        }
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_PREVIEW_ABORT)
        {
            if (m_bPlanning)
                g_bAbort.store(1);
            return 1;
        }
        break;
    default:
        break;
    }
    return CDialog::OnMessage(uMsg, wParam, lParam, plResult);
}
