// Modal dialogs: creation from a template, the modal loop, and the dialog
// procedure that hands every message to the dialog's one dispatch switch.
#include "framework/win/CDialog.h"

#include "framework/win/CWinApp.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    rControl.m_hWnd = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
    if (m_hWnd != nullptr)
        ::DestroyWindow(m_hWnd);
}

INT_PTR CDialog::DoModal()
{
    HWND hOwner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    CWnd* pMain = AfxGetMainWnd();
    if (hOwner == nullptr && pMain != nullptr && pMain != this)
        hOwner = pMain->m_hWnd;
    if (hOwner != nullptr)
        hOwner = ::GetAncestor(hOwner, GA_ROOT);
    BOOL bOwnerDisabled = FALSE;
    if (hOwner != nullptr && ::IsWindowEnabled(hOwner))
    {
        ::EnableWindow(hOwner, FALSE);
        bOwnerDisabled = TRUE;
    }

    m_bEnded = 0;
    m_nModalResult = -1;
    HWND hWnd = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nIDTemplate),
                                     hOwner, DialogProc, (LPARAM)this);
    if (hWnd != nullptr)
    {
        if (!m_bEnded)
        {
            ::ShowWindow(hWnd, SW_SHOWNORMAL);
            RunModalLoop();
        }
        // Hidden before the owner gets its input back, so that activation
        // returns to the owner rather than to another program.
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (bOwnerDisabled)
        ::EnableWindow(hOwner, TRUE);
    if (hOwner != nullptr)
        ::SetActiveWindow(hOwner);
    if (hWnd != nullptr)
        ::DestroyWindow(hWnd);
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bEnded = 1;
    // Wakes the loop in case this was called outside a dispatched message.
    if (m_hWnd != nullptr)
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

void CDialog::RunModalLoop()
{
    while (!m_bEnded)
    {
        MSG msg;
        BOOL bGot = ::GetMessageA(&msg, nullptr, 0, 0);
        if (bGot == 0)
        {
            // WM_QUIT belongs to the outermost loop: leave it in the queue.
            ::PostQuitMessage((int)msg.wParam);
            m_nModalResult = IDCANCEL;
            return;
        }
        if (bGot == -1)
            return;
        if (RouteMessage(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// A nested dialog's loop hands what it does not take (above all the thread
// messages a worker posts, which no window would receive) to the main window's
// filter, as the main window's own loop would.
BOOL CDialog::RouteMessage(MSG* pMsg)
{
    if (PreTranslateMessage(pMsg))
        return TRUE;
    CWnd* pMain = AfxGetMainWnd();
    if (pMain != nullptr && pMain != this && pMain->m_hWnd != nullptr)
        return pMain->PreTranslateMessage(pMsg);
    return FALSE;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    return m_hWnd != nullptr && ::IsDialogMessageA(m_hWnd, pMsg);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx = {this, bSaveAndValidate};
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

int CDialog::OnMessage(UINT uMsg, WPARAM wParam, LPARAM /*lParam*/, LRESULT* plResult)
{
    switch (uMsg)
    {
    case WM_INITDIALOG:
        *plResult = OnInitDialog();
        return 1;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return 0;
        if (LOWORD(wParam) == IDOK)
        {
            OnOK();
            return 1;
        }
        if (LOWORD(wParam) == IDCANCEL)
        {
            OnCancel();
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CDialog* pDlg;
    if (uMsg == WM_INITDIALOG)
    {
        pDlg = (CDialog*)lParam;
        pDlg->m_hWnd = hWnd;
        ::SetWindowLongPtrA(hWnd, DWLP_USER, (LONG_PTR)pDlg);
    }
    else
        pDlg = (CDialog*)::GetWindowLongPtrA(hWnd, DWLP_USER);
    if (pDlg == nullptr) // messages of the creation, before WM_INITDIALOG
        return FALSE;

    LRESULT lResult = 0;
    int bHandled = pDlg->OnMessage(uMsg, wParam, lParam, &lResult);
    if (uMsg == WM_NCDESTROY)
    {
        ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        pDlg->m_hWnd = nullptr;
    }
    if (!bHandled)
        return FALSE;
    switch (uMsg)
    {
    // These give their result as the procedure's return value...
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return (INT_PTR)lResult;
    // ...every other one through DWLP_MSGRESULT.
    default:
        ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, lResult);
        return TRUE;
    }
}
