// Add: the picker, the add-files job on its worker thread, the header that
// counts the files found, and what the job asks of the dialog.
#include "ui/MyMainDialog.h"

#include "engine/JobFlags.h"
#include "framework/FormatText.h"
#include "platform/ExactNames.h"
#include "support/MyWString.h"

#include <new>
#include <utility>

namespace
{
const WCHAR kNamesNotAdded[] =
    L"※　%u 個のファイル・フォルダは名前にシフトJISで表せない文字があるため追加しませんでした。";

struct UnholdableVisit
{
    CMyFilteredPathList* pList;
    CMyLeftOutNames* pNames;
    const char* pcFolder;
};

// Folders (everything below them is left out too) and the files the filter
// would have collected.
void NoteEntry(const WIN32_FIND_DATAW& entry, void* pContext)
{
    UnholdableVisit* pVisit = (UnholdableVisit*)pContext;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        !pVisit->pList->MatchName(CMyWString(entry.cFileName)))
        return;
    pVisit->pNames->Add(pVisit->pcFolder, entry.cFileName);
}

void OpenWithShell(const char* pcPath)
{
    ShellExecuteA(nullptr, "open", pcPath, nullptr, nullptr, SW_SHOWNORMAL);
}
} // namespace

void (*CMyDialogAddHost::s_pfnOpenReport)(const char* pcPath) = OpenWithShell;
CWinThread* (*CMyMainDialog::s_pfnBeginThread)(AFX_THREADPROC, LPVOID, int, UINT, DWORD,
                                               LPSECURITY_ATTRIBUTES) = AfxBeginThread;

void CMyMainDialog::OnAdd()
{
    CSingleLock lock(&m_lock);
    if (g_bIdle.load() == 0)
        return;
    EnableJobButtons(0);
    SetAddFilter();

    m_pPicker.reset(new (std::nothrow) CMyFileDialog(this));
    if (!m_pPicker)
    {
        EnableJobButtons(1);
        return;
    }
    m_pPicker->SetInitialFolder(m_strLastPickerFolder);
    if (m_pPicker->DoModal() != IDOK)
    {
        m_pPicker.reset();
        EnableJobButtons(1);
        return;
    }
    StartAddJob();
}

// Every Add collects WAV files by their extension.
void CMyMainDialog::SetAddFilter()
{
    m_strExtension = "wav";
    m_bUseNamePattern = 0;
    m_pathList.SetPatternOn(m_bUseNamePattern);
    m_bFilterByExtension = 1;
    m_pathList.SetExtension(m_strExtension);
    m_pathList.SetExtensionOn(1);
}

// The confirmed selection goes to the add-files job on its worker thread.
void CMyMainDialog::StartAddJob()
{
    m_leftOutNames.Clear();
    if (m_pDropped)
        m_leftOutNames = m_pDropped->GetLeftOut();
    g_bIdle.store(0);
    // Column clicks are refused from here, not only once the thread runs: the
    // job may already be appending when this thread next reads its queue.
    g_bAdding.store(1);
    m_addJob.m_bUseNamePattern = m_bUseNamePattern;
    m_addJob.m_bFilterByExtension = m_bFilterByExtension;
    m_pAddThread =
        s_pfnBeginThread(AddThreadProc, &m_addJob, THREAD_PRIORITY_NORMAL, 0, 0, nullptr);
    if (m_pAddThread == nullptr)
    {
        // The job that would have deleted the selection never runs.
        m_pPicker.reset();
        m_pDropped.reset();
        g_bAdding.store(0);
        g_bIdle.store(1);
        EnableJobButtons(1);
        return;
    }
    m_nTimerID = 0;
    for (UINT_PTR i = 0; i < 1000 && m_nTimerID == 0; i++)
        m_nTimerID = SetTimer(1000 + i, 100);
}

// A drop while a job runs or the picker is open is ignored, as a second
// click on Add would be.
void CMyMainDialog::OnDropSources(HDROP hDrop)
{
    CSingleLock lock(&m_lock);
    std::unique_ptr<CMyDroppedPicks> pDropped;
    if (g_bIdle.load() != 0 && !m_pPicker && !m_pDropped && !g_bClosing.load())
    {
        pDropped.reset(new (std::nothrow) CMyDroppedPicks);
        if (pDropped && !pDropped->ReadDrop(hDrop))
        {
            // Nothing to add, but the user is told what was left out.
            DragFinish(hDrop);
            pDropped->GetLeftOut().Show(m_hWnd, kNamesNotAdded);
            return;
        }
    }
    DragFinish(hDrop);
    if (!pDropped)
        return;
    EnableJobButtons(0);
    SetAddFilter();
    m_pDropped = std::move(pDropped);
    StartAddJob();
}

// While files are collected the first column's header counts them.
void CMyMainDialog::OnTimer(UINT_PTR nIDEvent)
{
    if (m_nTimerID == 0 || nIDEvent != m_nTimerID)
        return;
    if (g_bAdding.load() == 0)
    {
        KillTimer(m_nTimerID);
        m_nTimerID = 0;
        return;
    }
    char acText[260] = {};
    FormatText(acText, sizeof(acText), "ファイル名 (%u)", m_pathList.GetCount());
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = acText;
    m_listSource.SetColumn(0, &column);
}

DWORD CMyDialogAddHost::GetPickCount()
{
    const CMyDroppedPicks* pDropped = m_pDialog->m_pDropped.get();
    return pDropped != nullptr ? pDropped->GetCount() : 1;
}

CString CMyDialogAddHost::GetPickerFolderText(DWORD dwPick)
{
    if (const CMyDroppedPicks* pDropped = m_pDialog->m_pDropped.get())
        return pDropped->GetAt(dwPick).strFolderText;
    const CMyFileDialog* pPicker = m_pDialog->m_pPicker.get();
    return pPicker != nullptr ? pPicker->GetCurrentFolderText() : CString();
}

CString CMyDialogAddHost::GetCurrentFolder(DWORD dwPick)
{
    if (const CMyDroppedPicks* pDropped = m_pDialog->m_pDropped.get())
        return pDropped->GetAt(dwPick).strFolder;
    CString strFolder;
    const CMyFileDialog* pPicker = m_pDialog->m_pPicker.get();
    if (pPicker != nullptr)
        pPicker->GetCurrentFolder(strFolder);
    return strFolder;
}

DWORD CMyDialogAddHost::GetSelectedCount(DWORD dwPick)
{
    if (const CMyDroppedPicks* pDropped = m_pDialog->m_pDropped.get())
        return (DWORD)pDropped->GetAt(dwPick).entries.size();
    const CMyFileDialog* pPicker = m_pDialog->m_pPicker.get();
    return pPicker != nullptr ? (DWORD)pPicker->GetEntryCount() : 0;
}

const WIN32_FIND_DATAA& CMyDialogAddHost::GetSelectedEntry(DWORD dwPick, DWORD dwIndex)
{
    if (const CMyDroppedPicks* pDropped = m_pDialog->m_pDropped.get())
        return pDropped->GetAt(dwPick).entries[dwIndex];
    return m_pDialog->m_pPicker->GetEntry((int)dwIndex);
}

void CMyDialogAddHost::SetLastPickerFolder(const CString& strFolder)
{
    m_pDialog->m_strLastPickerFolder = strFolder;
}

// Shown from the job's thread, as the duplicate count is.
void CMyDialogAddHost::ReportLeftOutNames()
{
    m_pDialog->m_leftOutNames.Show(nullptr, kNamesNotAdded);
}

// The walk lists names through the exact search, which passes over those the
// code page cannot hold; a wide listing of the same folder names them.
int CMyMainDialog::NoteUnholdableEntries(const char* pcFolder, void* pContext)
{
    CMyMainDialog* pDialog = (CMyMainDialog*)pContext;
    UnholdableVisit visit = {&pDialog->m_pathList, &pDialog->m_leftOutNames, pcFolder};
    VisitUnholdableEntries(NoteEntry, &visit);
    return 1;
}

// The rows are rewritten on the user-interface thread, which serves this
// while the job waits.
void CMyDialogAddHost::RebuildList()
{
    ::SendMessageA(m_pDialog->m_hWnd, WM_REBUILD_LIST, 0, 0);
}

void CMyDialogAddHost::ShowTotalSize(ULONGLONG ullTotal)
{
    m_pDialog->ShowTotalSize(ullTotal);
}

void CMyDialogAddHost::OpenReport(const char* pcPath)
{
    s_pfnOpenReport(pcPath);
}

void CMyDialogAddHost::DestroyPicker()
{
    m_pDialog->m_pPicker.reset();
    m_pDialog->m_pDropped.reset();
}

void CMyDialogAddHost::PostJobFinished()
{
    m_pDialog->PostJobFinished();
}
