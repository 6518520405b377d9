// The main dialog's run controls: the output folder, Execute, Abort and the
// messages through which a running job reports back.
#include "ui/MyMainDialog.h"

#include "engine/SectionLength.h"
#include "framework/AfxMessageBox.h"
#include "platform/ExactNames.h"
#include "support/FileSystem.h"
#include "support/Trace.h"
#include "ui/FolderBrowser.h"
#include "ui/OutputFolder.h"

namespace
{
const WCHAR kFolderNotTaken[] =
    L"※　%u 個のフォルダは名前にシフトJISで表せない文字があるため出力フォルダにできません。";
} // namespace

DWORD CMyMainDialog::GetSectionLength()
{
    CString strText;
    m_editSectionLength.GetWindowText(strText);
    return ReadSectionLengthText(strText);
}

void CMyMainDialog::PostRunProgress()
{
    if (m_bProgressPosted.exchange(1) == 0 && !::PostMessageA(m_hWnd, WM_RUN_PROGRESS, 0, 0))
        m_bProgressPosted.store(0);
}

void CMyMainDialog::PostJobFinished()
{
    ::PostMessageA(m_hWnd, WM_JOB_FINISHED, (WPARAM)m_hWnd, 0);
}

void CMyMainDialog::OnOutputFolder()
{
    CString strInitial = m_strOutputFolder;
    if (strInitial.IsEmpty())
        strInitial = GetProgramFolderText();
    CString strResult;
    if (BrowseForFolder(m_hWnd, strInitial, &strResult) != 1)
        return;
    m_strOutputFolder = strResult;
    m_editOutputFolder.SetWindowText(m_strOutputFolder);
}

void CMyMainDialog::OnExecute()
{
    if (g_bIdle.load() == 0)
        return;
    m_runState.m_ullTotalBytes.store(0);
    m_runState.m_ullDoneBytes.store(0);
    m_progress.SetPos(0);
    if (m_pathList.GetCount() == 0)
    {
        AfxMessageBox("※　分割元ファイルがセットされていません。", MB_OK);
        return;
    }
    DWORD dwSectionLength = 0;
    if (!ReadPlanLength(1, &dwSectionLength))
        return;
    // The folder is tidied before anything uses it, and the box shows what
    // is used.
    CString strText;
    m_editOutputFolder.GetWindowText(strText);
    if (!MakeOutputFolder(strText, &m_strOutputFolder))
    {
        AfxMessageBox(m_strOutputFolder.IsEmpty() ? "出力フォルダがセットされていません"
                                                  : "出力フォルダが絶対パスでセットされていません",
                      MB_OK);
        return;
    }
    if (m_strOutputFolder != strText)
        m_editOutputFolder.SetWindowText(m_strOutputFolder);
    const CMyPlanRequest* pRequest = nullptr;
    if (!MakeRunRequest(&pRequest))
        return;
    EnableJobButtons(0);
    m_progress.SetPos(0);
    m_runState.m_pPathList = &m_pathList;
    m_runState.m_strOutputFolder = m_strOutputFolder;
    m_runState.m_dwSectionLength = dwSectionLength;
    m_runState.m_pPlanRequest = pRequest;
    m_runState.m_bStopBatch.store(0);
    g_bIdle.store(0);
    m_pRunThread =
        s_pfnBeginThread(RunThreadProc, &m_batchRun, THREAD_PRIORITY_NORMAL, 0, 0, nullptr);
    if (m_pRunThread == nullptr)
    {
        g_bIdle.store(1);
        EnableJobButtons(1);
        return;
    }
    m_taskbar.SetState(m_hWnd, CMyTaskbarProgress::kNormal);
    m_taskbar.SetPos(m_hWnd, 0);
}

void CMyMainDialog::OnAbort()
{
    if (g_bIdle.load() == 0)
    {
        g_bAbort.store(1);
        if (m_pRunThread != nullptr)
            m_taskbar.SetState(m_hWnd, CMyTaskbarProgress::kPaused);
    }
}

void CMyMainDialog::OnJobFinished()
{
    if (g_bClosing.load() != 0)
        return;
    m_progress.SetPos(1024);
    EnableJobButtons(1);
    g_bAbort.store(0);
    if (m_pRunThread != nullptr)
    {
        // A run stopped by a full disk stays marked until the next one.
        m_pRunThread = nullptr;
        m_taskbar.SetState(m_hWnd, m_runState.m_bStopBatch.load() ? CMyTaskbarProgress::kError
                                                                  : CMyTaskbarProgress::kNone);
    }
}

void CMyMainDialog::OnRunProgress()
{
    m_bProgressPosted.store(0);
    ULONGLONG ullTotal = m_runState.m_ullTotalBytes.load();
    ULONGLONG ullDone = m_runState.m_ullDoneBytes.load();
    int nPos = 0;
    if (ullTotal != 0)
        nPos = (int)((double)ullDone * 1024.0 / (double)ullTotal);
    m_progress.SendMessage(PBM_SETPOS, (WPARAM)nPos, 0);
    m_taskbar.SetPos(m_hWnd, nPos);
}

// A single folder dropped on the output-folder edit becomes the output folder.
// Its path is read wide: a name the code page cannot hold would come as "?",
// which the existence test takes as a wildcard.
void CMyMainDialog::OnDropFiles(HDROP hDrop)
{
    WCHAR awcPath[2000] = {};
    CMyLeftOutNames leftOut;
    if (g_bIdle.load() != 0 && DragQueryFileW(hDrop, 0xFFFFFFFF, nullptr, 0) == 1 &&
        DragQueryFileW(hDrop, 0, awcPath, 2000) != 0)
    {
        std::string strPath;
        if (!WideToAnsiExact(awcPath, &strPath))
            leftOut.Add(nullptr, awcPath);
        else if (IsExistFile(strPath.c_str(), 1, 0))
        {
            m_strOutputFolder = strPath.c_str();
            m_editOutputFolder.SetWindowText(m_strOutputFolder);
        }
    }
    DragFinish(hDrop);
    leftOut.Show(m_hWnd, kFolderNotTaken);
}
