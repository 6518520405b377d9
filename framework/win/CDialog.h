// Dialogs from resource templates, run modally by our own message loop, with
// one dispatch point per dialog and control binding (DDX_Control).
#pragma once

#include "framework/win/CWnd.h"

class CDataExchange
{
public:
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate; // TRUE: controls to members; FALSE: the reverse
};

// Binds the member to the dialog's control nIDC.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd
{
public:
    // With no parent, the application's main window (if any) owns the dialog.
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Disables the owner, creates the dialog and pumps messages until
    // EndDialog; gives EndDialog's result, or -1 when the dialog could not be
    // created.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    // Keyboard navigation (IsDialogMessage) for the dialog and its controls.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    virtual void DoDataExchange(CDataExchange* /*pDX*/) {}
    // Binds the controls; TRUE lets the platform set the focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // The dialog's one dispatch switch. Returns 1 when the message was handled,
    // with the handler's result in *plResult; 0 leaves it to the platform's
    // default dialog handling. Overrides pass what they do not handle to the
    // base, which handles WM_INITDIALOG and the IDOK and IDCANCEL commands.
    virtual int OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* plResult);

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    void RunModalLoop();
    BOOL RouteMessage(MSG* pMsg);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    volatile int m_bEnded = 0;
    INT_PTR m_nModalResult = -1;
};
