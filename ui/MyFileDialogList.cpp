// The picker's file list: its columns, the rows written from the entries,
// and the column sorts that run on their own thread.
#include "ui/MyFileDialog.h"

#include "framework/WinThread.h"
#include "platform/ExactNames.h"
#include "resources/resource.h"
#include "support/Trace.h"

namespace
{
const int kSortButtons[] = {IDOK, IDCANCEL, IDC_UP, IDC_SELECT_ALL};

CString FormatLocalTime(const FILETIME& ftTime)
{
    FILETIME ftLocal;
    SYSTEMTIME st;
    CString strText;
    if (FileTimeToLocalFileTime(&ftTime, &ftLocal) && FileTimeToSystemTime(&ftLocal, &st))
        strText.Format("%04u/%02u/%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour,
                       st.wMinute, st.wSecond);
    return strText;
}

void TraceRowFailure(int nSubItem, int iIndex, int bRewrite)
{
    CString strTrace;
    if (bRewrite)
        strTrace.Format("※　iSubItem=%dで失敗  ReWriteListItem()\n", nSubItem);
    else
        strTrace.Format("※　iSubItem=%dで失敗 Index[%d] AddItemToList()\n", nSubItem, iIndex);
    WriteTraceString(strTrace);
}
} // namespace

void CMyFileDialog::InsertColumns()
{
    static const struct
    {
        const char* pcText;
        int nFormat;
        int nWidth;
    } kColumns[] = {{"ファイル名", LVCFMT_LEFT, 200},
                    {"ファイルサイズ", LVCFMT_RIGHT, 100},
                    {"更新日付", LVCFMT_LEFT, 300}};

    m_listFiles.SetExtendedStyle(m_listFiles.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    for (int i = 0; i < 3; i++)
    {
        m_listFiles.InsertColumn(i, kColumns[i].pcText, kColumns[i].nFormat, kColumns[i].nWidth);
        m_nColumnCount++;
    }
    RECT rcList = {};
    ::GetWindowRect(m_listFiles.m_hWnd, &rcList);
    int nListWidth = (rcList.right - rcList.left) % 65536;
    if (nListWidth <= 0)
        nListWidth = 350;
    m_listFiles.SetColumnWidth(0, 180);
    m_listFiles.SetColumnWidth(1, 100);
    m_listFiles.SetColumnWidth(2, nListWidth - 300);

    if (!m_bImageListMade)
    {
        HINSTANCE hInstance = GetModuleHandleA(nullptr);
        m_imageList.Create(16, 16, ILC_COLOR4, 2, 1);
        for (int nIcon : {IDI_FILE, IDI_FOLDER})
        {
            HICON hIcon =
                (HICON)LoadImageA(hInstance, MAKEINTRESOURCEA(nIcon), IMAGE_ICON, 16, 16, 0);
            m_imageList.Add(hIcon);
            if (hIcon != nullptr)
                DestroyIcon(hIcon);
        }
    }
    m_listFiles.SetBkColor(0);
    m_listFiles.SetTextBkColor(0);
    m_listFiles.SetTextColor(0x00FFFFFF);
    m_listFiles.SetImageList(m_imageList, LVSIL_SMALL);
}

// The folder is listed wide: an "A" listing gives "?" (or a look-alike) for a
// character the code page lacks, and such a name, once picked, would be
// looked up as a wildcard and reach another file. Names the code page cannot
// hold are not shown; the box that says which comes once the list is drawn.
int CMyFileDialog::RefreshFileList()
{
    SetCurrentDirectoryA(m_strCurrentFolder);
    m_entries.Clear();
    m_leftOutNames.Clear();
    // Listed by full path, so that the listing never depends on which
    // directory happens to be current.
    CString strPattern;
    int nLength = m_strCurrentFolder.GetLength();
    int bEndsWithSeparator =
        nLength == 3 && m_strCurrentFolder[1] == ':' && m_strCurrentFolder[2] == '\\';
    strPattern.Format(bEndsWithSeparator ? "%s*.*" : "%s\\*.*", (const char*)m_strCurrentFolder);
    std::wstring strWidePattern = WidenAnsi(strPattern);
    WIN32_FIND_DATAW found;
    HANDLE hFind = FindFirstFileW(strWidePattern.c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE)
    {
        m_listFiles.DeleteAllItems();
        return 1;
    }
    LockWindowUpdate(m_listFiles.m_hWnd);
    WIN32_FIND_DATAA data;
    do
    {
        if (FindDataToAnsi(found, &data))
            m_entries.Append(data);
        else
            m_leftOutNames.Add(nullptr, found.cFileName);
    } while (FindNextFileW(hFind, &found));
    FindClose(hFind);
    m_entries.SortDefault();
    WriteAllRows();
    LockWindowUpdate(nullptr);

    RECT rcFirst = {};
    if (m_entries.GetCount() > 0 && m_listFiles.GetItemRect(0, &rcFirst, LVIR_BOUNDS))
        m_listFiles.Scroll(rcFirst.left,
                           -m_listFiles.GetTopIndex() * (rcFirst.bottom - rcFirst.top));
    // What changed while the drawing was frozen is not always repainted by itself.
    m_listFiles.InvalidateRect(nullptr, TRUE);
    if (m_leftOutNames.GetCount() != 0)
        ::PostMessageA(m_hWnd, WM_SHOW_LEFT_OUT, 0, 0);
    return 1;
}

// Rows are rewritten in place and only the surplus deleted, so a refresh does
// not clear and refill the whole list.
void CMyFileDialog::WriteAllRows()
{
    int nRows = m_listFiles.GetItemCount();
    int nEntries = m_entries.GetCount();
    CRedrawFreeze freeze(m_listFiles);
    if (nEntries > nRows)
        m_listFiles.SetItemCount(nEntries);
    for (int i = 0; i < nEntries; i++)
    {
        if (i < nRows)
            ReWriteListItem(i, &m_entries.GetAt(i));
        else
            AddItemToList(i, &m_entries.GetAt(i));
    }
    for (int i = m_listFiles.GetItemCount() - 1; i >= nEntries; i--)
        m_listFiles.DeleteItem(i);
}

void CMyFileDialog::FillRow(LVITEMA& item, int iIndex, const WIN32_FIND_DATAA& entry, char* pcName)
{
    lstrcpynA(pcName, entry.cFileName, MAX_PATH);
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
    item.iItem = iIndex;
    item.iSubItem = 0;
    item.pszText = pcName;
    item.iImage = CMyPickerEntries::IsFolder(entry) ? 1 : 0;
    item.state = 0;
    item.stateMask = LVIS_SELECTED;
}

void CMyFileDialog::AddItemToList(int iIndex, const WIN32_FIND_DATAA* pEntry)
{
    char acName[MAX_PATH] = {};
    LVITEMA item = {};
    FillRow(item, iIndex, *pEntry, acName);
    ULONGLONG ullSize = ((ULONGLONG)pEntry->nFileSizeHigh << 32) | pEntry->nFileSizeLow;
    if (m_listFiles.InsertItem(&item) < 0)
        TraceRowFailure(0, iIndex, 0);
    if (!m_listFiles.SetItemText(iIndex, 1, CMyPickerEntries::FormatSize(ullSize)))
        TraceRowFailure(1, iIndex, 0);
    if (!m_listFiles.SetItemText(iIndex, 2, FormatLocalTime(pEntry->ftLastWriteTime)))
        TraceRowFailure(2, iIndex, 0);
}

void CMyFileDialog::ReWriteListItem(int iIndex, const WIN32_FIND_DATAA* pEntry)
{
    if (iIndex < 0 || pEntry == nullptr)
    {
        CString strTrace;
        strTrace.Format("※　無効な引数　ReWriteListItem(iIndex=%d, LPWIN32_FIND_DATA %08X)\n",
                        iIndex, (unsigned)(uintptr_t)pEntry);
        WriteTraceString(strTrace);
        return;
    }
    char acName[MAX_PATH] = {};
    LVITEMA item = {};
    FillRow(item, iIndex, *pEntry, acName);
    ULONGLONG ullSize = ((ULONGLONG)pEntry->nFileSizeHigh << 32) | pEntry->nFileSizeLow;
    if (!m_listFiles.SetItem(&item))
        TraceRowFailure(0, iIndex, 1);
    if (!m_listFiles.SetItemText(iIndex, 1, CMyPickerEntries::FormatSize(ullSize)))
        TraceRowFailure(1, iIndex, 1);
    if (!m_listFiles.SetItemText(iIndex, 2, FormatLocalTime(pEntry->ftLastWriteTime)))
        TraceRowFailure(2, iIndex, 1);
}

void CMyFileDialog::EnableSortButtons(int bEnable)
{
    for (int nID : kSortButtons)
        ::EnableWindow(GetDlgItem(nID), bEnable);
}

void CMyFileDialog::OnColumnClick(const NMLISTVIEW* pNotify, LRESULT* plResult)
{
    // One sort at a time: a second would reorder the same entries at once.
    if (pNotify->iSubItem < 0 || m_bSorting.load(std::memory_order_relaxed))
        return;
    m_nSortColumn = pNotify->iSubItem;
    m_bSorting.store(1, std::memory_order_relaxed);
    if (AfxBeginThread(SortThreadProc, this) == nullptr)
    {
        m_bSorting.store(0, std::memory_order_relaxed);
        return;
    }
    for (UINT_PTR nID = 1; nID <= 999; nID++)
    {
        if (SetTimer(nID, 100) != 0)
        {
            EnableSortButtons(0);
            *plResult = 0;
            return;
        }
    }
}

// The buttons stay disabled for the whole sort: the flag is tested each tick.
void CMyFileDialog::OnTimer(UINT_PTR nIDEvent)
{
    if (m_bSorting.load(std::memory_order_acquire) != 0)
        return;
    KillTimer(nIDEvent);
    EnableSortButtons(1);
}

UINT CMyFileDialog::SortThreadProc(LPVOID pParam)
{
    CMyFileDialog* pDialog = (CMyFileDialog*)pParam;
    if (pDialog == nullptr)
        return (UINT)-1;
    pDialog->m_entries.SortByColumn(pDialog->m_nSortColumn);
    pDialog->WriteAllRows();
    pDialog->m_bSorting.store(0, std::memory_order_release);
    return 0;
}
