// The main dialog's source list: rows written from the path list, the count
// header, the total size, Remove, Remove all and sorting by a column.
#include "ui/MyMainDialog.h"

#include "engine/JobFlags.h"
#include "framework/FormatText.h"
#include "resources/resource.h"
#include "support/FileSystem.h"
#include "support/MyWString.h"
#include "support/Trace.h"

#include <mbstring.h>

namespace
{
// The comparison's view of the dialog's path list, and each column's factor
// (+1 or -1). The first click on a column negates its factor before sorting,
// so it sorts in descending order; the directions last for the whole run.
const CMyPathList* g_pSortPathList = nullptr;
int g_anSortDirection[3] = {1, 1, 1};

void FormatGroupedNumber(char* pcBuff, DWORD dwBuffSize, ULONGLONG ullValue)
{
    FormatText(pcBuff, dwBuffSize, "%I64u", ullValue);
    InsertThousandsSeparators(pcBuff, dwBuffSize);
}
} // namespace

void CMyMainDialog::SetSortPathList()
{
    g_pSortPathList = &m_pathList;
}

int CMyMainDialog::InsertRecordRow(const CMyPathRecord& record)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_STATE | LVIF_PARAM;
    item.iItem = m_nListItemCount;
    item.pszText = (LPSTR)(const char*)record.FileName;
    item.state = 0;
    item.stateMask = LVIS_SELECTED;
    item.lParam = (LPARAM)record.ID;
    int nIndex = m_listSource.InsertItem(&item);
    if (nIndex == -1)
    {
        WriteTraceFormat("リストコントロールへの追加に失敗。CurItemNum[%u]\n",
                         (DWORD)m_nListItemCount);
        record.DumpToTrace();
        return 0;
    }
    char acSize[64] = {};
    FormatGroupedNumber(acSize, sizeof(acSize), record.FileSize);
    m_listSource.SetItemText(nIndex, 1, acSize);
    m_listSource.SetItemText(nIndex, 2, record.FoldPath);
    m_nListItemCount++;
    return 1;
}

int CMyMainDialog::RebuildList()
{
    int bAll = 1;
    {
        CRedrawFreeze freeze(m_listSource);
        m_listSource.DeleteAllItems();
        m_nListItemCount = 0;
        m_listSource.SetItemCount((int)m_pathList.GetCount());
        for (DWORD i = 0; i < m_pathList.GetCount(); i++)
        {
            if (!InsertRecordRow(m_pathList.GetAt(i)))
                bAll = 0;
        }
    }
    UpdateCountHeader();
    return bAll;
}

void CMyMainDialog::UpdateCountHeader()
{
    if (m_nColumnCount == 0)
        return;
    char acText[260] = {};
    FormatText(acText, sizeof(acText), "ファイル名 (%u)", (DWORD)m_nListItemCount);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = acText;
    m_listSource.SetColumn(0, &column);
}

void CMyMainDialog::ShowTotalSize(ULONGLONG ullTotal)
{
    char acTotal[64] = {};
    FormatGroupedNumber(acTotal, sizeof(acTotal), ullTotal);
    m_editTotalSize.SetWindowText(acTotal);
}

// Takes the selected rows and their records out of the list. Rows find their
// records by identifier (the row's item data), so an entry whose file has
// been deleted or renamed on disk since it was added can be removed too.
void CMyMainDialog::OnRemove()
{
    EnableJobButtons(0);
    g_bIdle.store(0);

    // Visiting from the last row keeps the order in which the identifiers go
    // back to the free stack: the lowest row's identifier is pushed last.
    CMyPathList removed;
    int bAnySelected = 0;
    for (int i = m_listSource.GetItemCount() - 1; i >= 0; i--)
    {
        if ((m_listSource.GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED) == 0)
            continue;
        DWORD dwIndex = m_pathList.FindByID((DWORD)m_listSource.GetItemData(i));
        if (dwIndex != MY_NOT_FOUND && removed.AppendRecord(m_pathList.GetAt(dwIndex)))
            bAnySelected = 1;
    }
    if (bAnySelected)
    {
        m_pathList.RemovePaths(removed);
        CRedrawFreeze freeze(m_listSource);
        // A row goes only when its record has gone.
        for (int i = m_listSource.GetItemCount() - 1; i >= 0; i--)
        {
            if ((m_listSource.GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED) != 0 &&
                m_pathList.FindByID((DWORD)m_listSource.GetItemData(i)) == MY_NOT_FOUND)
                m_listSource.DeleteItem(i);
        }
    }
    m_nListItemCount = m_listSource.GetItemCount();

    g_bIdle.store(1);
    if (g_bClosing.load())
        return;
    ShowTotalSize(m_pathList.GetTotalSize());
    UpdateCountHeader();
    EnableJobButtons(1);
    m_listSource.InvalidateRect(nullptr, TRUE);
}

void CMyMainDialog::OnRemoveAll()
{
    EnableJobButtons(0);
    g_bIdle.store(0);
    m_listSource.DeleteAllItems();
    // The free-ID stack is kept: the next add hands its identifiers out again.
    m_pathList.ReleaseAll();
    m_nListItemCount = 0;
    ShowTotalSize(0);
    UpdateCountHeader();
    g_bIdle.store(1);
    if (!g_bClosing.load())
        EnableJobButtons(1);
}

void CMyMainDialog::OnColumnClick(const NMLISTVIEW* pNotify, LRESULT* plResult)
{
    *plResult = 0;
    int nColumn = pNotify->iSubItem;
    // While the add-files job appends, the records may be moving: no sort then.
    if (nColumn < 0 || g_bAdding.load())
        return;
    if (nColumn < 3)
        g_anSortDirection[nColumn] = -g_anSortDirection[nColumn];
    EnableJobButtons(0);
    m_listSource.SortItems(CompareRows, (DWORD_PTR)nColumn);
    if (g_bIdle.load())
        EnableJobButtons(1);
}

int CALLBACK CMyMainDialog::CompareRows(LPARAM lData1, LPARAM lData2, LPARAM lColumn)
{
    if (g_pSortPathList == nullptr || lColumn < 0 || lColumn > 2)
        return 0;
    DWORD dwIndex1 = g_pSortPathList->FindByID((DWORD)lData1);
    DWORD dwIndex2 = g_pSortPathList->FindByID((DWORD)lData2);
    if (dwIndex1 == MY_NOT_FOUND || dwIndex2 == MY_NOT_FOUND || dwIndex1 == dwIndex2)
        return 0;
    const CMyPathRecord& record1 = g_pSortPathList->GetAt(dwIndex1);
    const CMyPathRecord& record2 = g_pSortPathList->GetAt(dwIndex2);
    int nResult;
    if (lColumn == 0)
    {
        CMyWString wstrName1(record1.FileName);
        nResult = wstrName1.Compare(record2.FileName, 1);
    }
    else if (lColumn == 1)
        nResult = record1.FileSize < record2.FileSize   ? -1
                  : record1.FileSize > record2.FileSize ? 1
                                                        : 0;
    else
        nResult = _mbscmp((const unsigned char*)(const char*)record1.FoldPath,
                          (const unsigned char*)(const char*)record2.FoldPath);
    return nResult * g_anSortDirection[lColumn];
}
