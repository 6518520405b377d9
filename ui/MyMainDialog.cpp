// The main dialog: start-up, layout, label colouring, keyboard filtering, the
// about box and shutdown.
#include "ui/MyMainDialog.h"

#include "engine/JobFlags.h"
#include "resources/resource.h"
#include "support/Trace.h"
#include "ui/MyAboutDialog.h"

namespace
{
// The job buttons and the look each takes when the dialog is idle.
const struct
{
    int nID;
    int bEnabledWhenIdle;
} kJobButtons[] = {{IDC_ABORT, 0},         {IDC_EXECUTE, 1},     {IDOK, 1},
                   {IDC_ADD, 1},           {IDC_REMOVE, 1},      {IDC_REMOVE_ALL, 1},
                   {IDC_OUTPUT_FOLDER, 1}, {IDC_PLAN_METHOD, 1}, {IDC_PREVIEW, 1}};

// Waits up to dwMillis while serving the messages other threads send to this
// one: a job that updates the list through SendMessage would otherwise wait
// for us while we wait for it.
void WaitServingSentMessages(DWORD dwMillis)
{
    DWORD dwStart = GetTickCount();
    for (;;)
    {
        DWORD dwElapsed = GetTickCount() - dwStart;
        if (dwElapsed >= dwMillis)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, dwMillis - dwElapsed, QS_SENDMESSAGE);
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
} // namespace

CMyMainDialog::CMyMainDialog(CWnd* pParentWnd)
    : CDialog(IDD_WAVOSS_DIALOG, pParentWnd), m_dwUIThreadID(GetCurrentThreadId()),
      m_hIcon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)))
{
    m_pathList.SetFolderEntryHandler(NoteUnholdableEntries, this);
}

CMyMainDialog::~CMyMainDialog() = default;

void CMyMainDialog::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_SECTION_LENGTH, m_editSectionLength);
    DDX_Control(pDX, IDC_OUTPUT_FOLDER_EDIT, m_editOutputFolder);
    DDX_Control(pDX, IDC_OUTPUT_FOLDER_LABEL, m_staticOutputFolder);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_TOTAL_SIZE, m_editTotalSize);
    DDX_Control(pDX, IDC_SOURCE_LIST, m_listSource);
}

BOOL CMyMainDialog::OnInitDialog()
{
    CDialog::OnInitDialog();

    HMENU hSysMenu = GetSystemMenu(FALSE);
    if (hSysMenu != nullptr)
    {
        char acAbout[256] = {};
        LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, acAbout, sizeof(acAbout));
        if (acAbout[0] != '\0')
        {
            AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(hSysMenu, MF_STRING, IDM_ABOUTBOX, acAbout);
        }
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    StartTraceLog(nullptr);
    m_strLastPickerFolder = GetProgramFolderText();
    m_strOutputFolder.Empty();
    m_strExtension = "wav";
    m_editSectionLength.SetWindowText("00:03:00");

    m_progress.SetRange(0, 1024);
    m_progress.SetPos(0);
    m_nListItemCount = 0;
    m_bUseNamePattern = 0;
    m_bHover = 0;
    m_crHoverBack = RGB(255, 255, 0);
    m_crNormalBack = RGB(100, 100, 100);
    m_crHoverText = RGB(0, 0, 0);
    m_crNormalText = RGB(255, 255, 255);

    InsertColumns();
    m_bFilterByExtension = 1;
    m_brushHover.CreateSolidBrush(m_crHoverBack);
    m_brushNormal.CreateSolidBrush(m_crNormalBack);
    EnableJobButtons(1);
    m_bHover = 0;
    SetSortPathList();
    // Explorer can drop a folder on the output-folder edit, and files and
    // folders to add on the list or anywhere else on the window.
    DragAcceptFiles(m_editOutputFolder.m_hWnd, TRUE);
    DragAcceptFiles(m_listSource.m_hWnd, TRUE);
    DragAcceptFiles(m_hWnd, TRUE);
    RECT rcWindow = {};
    ::GetWindowRect(m_hWnd, &rcWindow);
    m_nBaseHeight = rcWindow.bottom - rcWindow.top;
    return TRUE;
}

void CMyMainDialog::InsertColumns()
{
    static const struct
    {
        const char* pcText;
        int nFormat;
        int nWidth; // 0: the client width less 280
    } kColumns[] = {{"ファイル名", LVCFMT_LEFT, 170},
                    {"サイズ", LVCFMT_RIGHT, 80},
                    {"フォルダパス", LVCFMT_LEFT, 0}};

    m_nColumnCount = 0;
    RECT rcClient = {};
    GetClientRect(&rcClient);
    int nWidth = rcClient.right - rcClient.left;
    for (int i = 0; i < 3; i++)
    {
        int nColWidth = kColumns[i].nWidth != 0 ? kColumns[i].nWidth : nWidth - 280;
        m_listSource.InsertColumn(i, kColumns[i].pcText, kColumns[i].nFormat, nColWidth);
        m_nColumnCount++;
    }
    m_listSource.SetExtendedStyle(m_listSource.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
}

void CMyMainDialog::EnableJobButtons(int bIdle)
{
    for (const auto& button : kJobButtons)
    {
        HWND hButton = GetDlgItem(button.nID);
        if (hButton != nullptr)
            ::EnableWindow(hButton, (bIdle != 0) == (button.bEnabledWhenIdle != 0));
    }
}

// The dialog's messages, all in one place.
int CMyMainDialog::OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* plResult)
{
    switch (uMsg)
    {
    case WM_SYSCOMMAND:
        return OnSysCommand((UINT)wParam);
    case WM_PAINT:
        return OnPaint();
    case WM_QUERYDRAGICON:
        *plResult = (LRESULT)m_hIcon;
        return 1;
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam), HIWORD(wParam)))
            return 1;
        break;
    case WM_NOTIFY:
        return OnNotify((const NMHDR*)lParam, plResult);
    case WM_CTLCOLORSTATIC:
    {
        HBRUSH hBrush = OnCtlColor((HDC)wParam, (HWND)lParam, CTLCOLOR_STATIC);
        if (hBrush == nullptr)
            return 0;
        *plResult = (LRESULT)hBrush;
        return 1;
    }
    case WM_JOB_FINISHED:
        OnJobFinished();
        return 1;
    case WM_RUN_PROGRESS:
        OnRunProgress();
        return 1;
    case WM_REBUILD_LIST:
        RebuildList();
        return 1;
    case WM_DROPFILES: // reached here only past our own message loop (another modal one)
        OnDropSources((HDROP)wParam);
        return 1;
    case WM_TIMER:
        OnTimer((UINT_PTR)wParam);
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        break;
    }
    return CDialog::OnMessage(uMsg, wParam, lParam, plResult);
}

int CMyMainDialog::OnCommand(UINT nID, UINT nCode)
{
    // The line about a chosen way of cutting may name the section length.
    if (nCode == EN_CHANGE && nID == IDC_SECTION_LENGTH && m_bSummaryShown)
        UpdatePlanSummary();
    if (nCode != BN_CLICKED)
        return 0;
    switch (nID)
    {
    case IDC_ADD:
        OnAdd();
        return 1;
    case IDC_REMOVE:
        OnRemove();
        return 1;
    case IDC_REMOVE_ALL:
        OnRemoveAll();
        return 1;
    case IDC_OUTPUT_FOLDER:
        OnOutputFolder();
        return 1;
    case IDC_EXECUTE:
        OnExecute();
        return 1;
    case IDC_ABORT:
        OnAbort();
        return 1;
    case IDC_PLAN_METHOD:
        OnPlanMethod();
        return 1;
    case IDC_PREVIEW:
        OnPreview();
        return 1;
    default:
        return 0;
    }
}

int CMyMainDialog::OnNotify(const NMHDR* pHeader, LRESULT* plResult)
{
    if (pHeader->idFrom == IDC_SOURCE_LIST && pHeader->code == LVN_COLUMNCLICK)
    {
        OnColumnClick((const NMLISTVIEW*)pHeader, plResult);
        return 1;
    }
    return 0;
}

int CMyMainDialog::OnSysCommand(UINT nID)
{
    if ((nID & 0xFFF0) != IDM_ABOUTBOX)
        return 0;
    CMyAboutDialog dlgAbout;
    dlgAbout.DoModal();
    return 1;
}

// Minimised, the dialog shows its icon in the middle of its client area; else
// the platform paints it.
int CMyMainDialog::OnPaint()
{
    if (!IsIconic())
        return 0;
    PAINTSTRUCT ps;
    HDC hDC = BeginPaint(m_hWnd, &ps);
    SendMessage(WM_ICONERASEBKGND, (WPARAM)hDC, 0);
    int cxIcon = GetSystemMetrics(SM_CXICON);
    int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rc;
    GetClientRect(&rc);
    int x = (rc.right - rc.left - cxIcon + 1) / 2;
    int y = (rc.bottom - rc.top - cyIcon + 1) / 2;
    DrawIcon(hDC, x, y, m_hIcon);
    EndPaint(m_hWnd, &ps);
    return 1;
}

int CMyMainDialog::IsOwnWindow(HWND hWnd) const
{
    return hWnd != nullptr && (hWnd == m_hWnd || IsChild(m_hWnd, hWnd));
}

BOOL CMyMainDialog::PreTranslateMessage(MSG* pMsg)
{
    // A job that reports through thread messages (no window) is served here.
    if (pMsg->hwnd == nullptr && pMsg->message == WM_JOB_FINISHED)
    {
        OnJobFinished();
        return TRUE;
    }
    if (pMsg->hwnd == nullptr && pMsg->message == WM_RUN_PROGRESS)
    {
        OnRunProgress();
        return TRUE;
    }
    if (pMsg->message == WM_DROPFILES && pMsg->hwnd == m_editOutputFolder.m_hWnd)
    {
        OnDropFiles((HDROP)pMsg->wParam);
        return TRUE;
    }
    if (pMsg->message == WM_DROPFILES && IsOwnWindow(pMsg->hwnd))
    {
        OnDropSources((HDROP)pMsg->wParam);
        return TRUE;
    }
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE) &&
        IsOwnWindow(pMsg->hwnd))
        return TRUE; // neither key closes the dialog nor presses a button
    if (pMsg->message == WM_MOUSEMOVE)
        TrackHover(pMsg->hwnd);
    return CDialog::PreTranslateMessage(pMsg);
}

void CMyMainDialog::TrackHover(HWND hWnd)
{
    int bHover = hWnd != nullptr && hWnd == GetDlgItem(IDC_OUTPUT_FOLDER);
    if (bHover == m_bHover)
        return;
    m_bHover = bHover;
    m_staticOutputFolder.InvalidateRect(nullptr, TRUE);
}

// The "出力フォルダ" label reads white on grey, black on yellow while the
// pointer rests on the Output folder button; everything else keeps the
// platform's colours (null: default handling).
HBRUSH CMyMainDialog::OnCtlColor(HDC hDC, HWND hWnd, UINT nCtlColor)
{
    if (nCtlColor != CTLCOLOR_STATIC || hWnd != m_staticOutputFolder.m_hWnd)
        return nullptr;
    if (m_bHover)
    {
        SetBkColor(hDC, m_crHoverBack);
        SetTextColor(hDC, m_crHoverText);
        return m_brushHover;
    }
    SetBkColor(hDC, m_crNormalBack);
    SetTextColor(hDC, m_crNormalText);
    return m_brushNormal;
}

// Closing while a job runs asks it to stop and keeps the window until it has.
void CMyMainDialog::OnDestroy()
{
    while (g_bIdle.load() == 0)
    {
        g_bAbort.store(1);
        g_bClosing.store(1);
        WaitServingSentMessages(1000);
    }
    m_brushHover.DeleteObject();
    m_brushNormal.DeleteObject();
}
