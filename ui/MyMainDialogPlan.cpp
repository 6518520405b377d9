// The main dialog's way of cutting: the "分割方法" dialog, the line that names
// a choice other than the default, the plan the run and the preview use, and
// the preview of the selected files' pieces.
#include "ui/MyMainDialog.h"

#include "engine/SectionLength.h"
#include "framework/AfxMessageBox.h"
#include "resources/resource.h"
#include "support/Trace.h"
#include "ui/MyPlanDialog.h"
#include "ui/MyPreviewDialog.h"
#include "ui/OutputFolder.h"

#include <unordered_set>

namespace
{
// The rows of the summary line in dialog units: below the buttons, which end
// at 249, and the window's client area grown to hold it.
const int kSummaryClientHeight = 263;

// Any length will do for a rule that does not cut by it.
const DWORD kUnusedLength = 180000;
} // namespace

void CMyMainDialog::OnPlanMethod()
{
    if (g_bIdle.load() == 0)
        return;
    CString strLength;
    m_editSectionLength.GetWindowText(strLength);
    CString strChosen = strLength;
    CMyPlanDialog dlg(this, &m_planChoice, &strChosen);
    if (dlg.DoModal() != IDOK)
        return;
    if (strChosen != strLength)
        m_editSectionLength.SetWindowText(strChosen);
    UpdatePlanSummary();
}

// With the default choice the window stays as it always was; any other grows
// it by one line that says what was chosen.
void CMyMainDialog::UpdatePlanSummary()
{
    CString strLength;
    m_editSectionLength.GetWindowText(strLength);
    strLength.TrimLeft();
    strLength.TrimRight();
    const CString strText = DescribePlanChoice(m_planChoice, strLength);
    HWND hSummary = GetDlgItem(IDC_PLAN_SUMMARY);
    ::SetWindowTextA(hSummary, strText);
    const int bShow = !strText.IsEmpty();
    if (bShow == m_bSummaryShown)
        return;
    m_bSummaryShown = bShow;
    RECT rcWindow = {};
    ::GetWindowRect(m_hWnd, &rcWindow);
    int nHeight = m_nBaseHeight;
    if (bShow)
    {
        RECT rcClient = {};
        GetClientRect(&rcClient);
        RECT rcWanted = {0, 0, 0, kSummaryClientHeight};
        ::MapDialogRect(m_hWnd, &rcWanted);
        nHeight = rcWindow.bottom - rcWindow.top + rcWanted.bottom - rcClient.bottom;
    }
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, rcWindow.right - rcWindow.left, nHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(hSummary, bShow ? SW_SHOWNA : SW_HIDE);
}

int CMyMainDialog::ReadPlanLength(int bRun, DWORD* pdwSectionLength)
{
    CString strText;
    m_editSectionLength.GetWindowText(strText);
    if (!UsesSectionLength(m_planChoice))
    {
        *pdwSectionLength = ParseSectionLength(strText);
        if (*pdwSectionLength == 0)
            *pdwSectionLength = kUnusedLength;
        return 1;
    }
    *pdwSectionLength = bRun ? GetSectionLength() : ParseSectionLength(strText);
    if (*pdwSectionLength != 0)
        return 1;
    CString strRefusal = "※　無効な区間長です。";
    if (bRun)
        WriteTraceText(strRefusal, 1);
    AfxMessageBox(strRefusal, MB_OK);
    return 0;
}

int CMyMainDialog::MakeRunRequest(const CMyPlanRequest** ppRequest)
{
    *ppRequest = nullptr;
    if (IsDefaultPlanChoice(m_planChoice))
        return 1;
    // The dialog took only values that read, but a refusal is shown here too
    // rather than a run made on half a request.
    CString strError;
    PlanChoiceField field = kChoiceNone;
    if (!MakePlanChoiceRequest(m_planChoice, &m_planRequest, &strError, &field) ||
        !AddChoiceCutsBeside(m_pathList, &m_planRequest, &strError))
    {
        AfxMessageBox(strError, MB_OK);
        return 0;
    }
    *ppRequest = &m_planRequest;
    return 1;
}

void CMyMainDialog::OnPreview()
{
    if (g_bIdle.load() == 0)
        return;
    if (m_pathList.GetCount() == 0)
    {
        AfxMessageBox("※　分割元ファイルがセットされていません。", MB_OK);
        return;
    }
    DWORD dwSectionLength = 0;
    if (!ReadPlanLength(0, &dwSectionLength))
        return;
    const CMyPlanRequest* pRequest = nullptr;
    if (!MakeRunRequest(&pRequest))
        return;
    // Without an output folder the pieces are planned as if it were the
    // program's folder: the names shown are those under any folder.
    CString strText, strFolder;
    m_editOutputFolder.GetWindowText(strText);
    if (!MakeOutputFolder(strText, &strFolder))
        strFolder = GetProgramFolderText();

    // The selected rows, in the list's order as the run takes them; none: all.
    std::unordered_set<DWORD> selected;
    for (int i = 0; i < m_listSource.GetItemCount(); i++)
        if (m_listSource.GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED)
            selected.insert((DWORD)m_listSource.GetItemData(i));
    CMyPathList files;
    for (DWORD i = 0; i < m_pathList.GetCount(); i++)
        if (selected.empty() || selected.count(m_pathList.GetAt(i).ID) != 0)
            files.AppendRecord(m_pathList.GetAt(i));

    CMyPreviewDialog dlg(this, &files, strFolder, dwSectionLength, pRequest, m_planChoice.Kind);
    dlg.DoModal();
}
