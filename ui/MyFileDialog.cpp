// The picker's frame: opening, the drive selector, moving between folders,
// Select all, and the selection collected on confirmation.
#include "ui/MyFileDialog.h"

#include "framework/AfxMessageBox.h"
#include "resources/resource.h"
#include "support/FileSystem.h"
#include "support/MyWString.h"
#include "support/Trace.h"

#include <direct.h>

namespace
{
CString ProgramFolder()
{
    CString strFolder;
    GetProgramFolder(&strFolder);
    return strFolder;
}

const char kFontFace[] = "ＭＳ Ｐゴシック";
const WCHAR kNamesNotShown[] =
    L"※　%u 個のファイル・フォルダは名前にシフトJISで表せない文字があるため表示しません。";

int IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char UpperLetter(char c)
{
    return (c >= 'a' && c <= 'z') ? (char)(c - 32) : c;
}
} // namespace

CMyFileDialog::CMyFileDialog(CWnd* pParentWnd) : CDialog(IDD_FILE_DIALOG, pParentWnd)
{
    m_nDriveNumber = _getdrive();
}

// Only a forced end (WM_QUIT) can close the dialog during a sort: the sort
// thread, whose messages then go nowhere, must be done before its entries go.
CMyFileDialog::~CMyFileDialog()
{
    while (m_bSorting.load(std::memory_order_acquire) != 0)
        Sleep(10);
}

int CMyFileDialog::SetInitialFolder(const char* pcPath)
{
    static CString s_strProgramFolder;
    if (s_strProgramFolder.IsEmpty())
        s_strProgramFolder = ProgramFolder();
    if (pcPath == nullptr || pcPath[0] == '\0')
    {
        m_strInitialFolder = s_strProgramFolder;
        return 0;
    }
    size_t nLength = strlen(pcPath);
    if (nLength <= 3 && nLength >= 2 && pcPath[1] == ':' && IsAsciiLetter(pcPath[0]))
    {
        int bTaken = 0;
        if (nLength == 2)
        {
            CString strRoot;
            strRoot.Format("%s\\", pcPath);
            bTaken = IsExistFile(strRoot, 1, 0);
        }
        else
            bTaken = pcPath[2] == '\\';
        m_strInitialFolder = bTaken ? CString(pcPath) : s_strProgramFolder;
        return bTaken;
    }
    if (IsExistFile(pcPath, 1, 0))
    {
        m_strInitialFolder = pcPath;
        return 1;
    }
    m_strInitialFolder = s_strProgramFolder;
    return 0;
}

INT_PTR CMyFileDialog::DoModal()
{
    return CDialog::DoModal() == IDOK ? IDOK : IDCANCEL;
}

int CMyFileDialog::GetCurrentFolder(CString& strFolder) const
{
    if (m_strCurrentFolder.IsEmpty())
    {
        strFolder.Empty();
        return 0;
    }
    // Tested as wide text: a two-byte character may end in the byte of "\".
    CMyWString wstrFolder(m_strCurrentFolder);
    if (wstrFolder.IsError())
        return 0;
    DWORD dwLength = wstrFolder.GetLength();
    if (dwLength > 0 && wstrFolder.GetString()[dwLength - 1] == '\\')
        dwLength--;
    strFolder = wstrFolder.GetSectorData(0, dwLength);
    return 1;
}

void CMyFileDialog::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_FILE_LIST, m_listFiles);
    DDX_Control(pDX, IDC_DRIVE_LIST, m_listDrives);
}

BOOL CMyFileDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_entries.Clear();
    char acDirectory[2500] = {};
    DWORD dwLength = GetCurrentDirectoryA(sizeof(acDirectory), acDirectory);
    m_strProgramFolder = ProgramFolder();
    if (dwLength == 0 || dwLength >= sizeof(acDirectory))
        m_strStartingDirectory = m_strProgramFolder;
    else
        m_strStartingDirectory = acDirectory;
    if (m_strInitialFolder.IsEmpty() || !SetCurrentDirectoryA(m_strInitialFolder))
        m_strInitialFolder = m_strProgramFolder;
    m_strCurrentFolder = m_strInitialFolder;
    ShowCurrentFolder();

    m_nColumnCount = 0;
    InsertColumns();
    RefreshFileList();
    SetUpDriveSelector();

    m_bImageListMade = 1;
    m_nSelectedCount = 0;
    m_entries.ResetDirections();
    SetWindowText("ファイル・フォルダの入力");
    return TRUE;
}

void CMyFileDialog::ShowCurrentFolder()
{
    ::SetDlgItemTextA(m_hWnd, IDC_CURRENT_FOLDER, m_strCurrentFolder);
}

// The drive selector is one item high: its scroll bar runs through the
// drives and a click takes the drive shown.
void CMyFileDialog::SetUpDriveSelector()
{
    m_brushBlack.CreateSolidBrush(m_crBack);
    RECT rcWindow = {};
    ::GetWindowRect(m_listDrives.m_hWnd, &rcWindow);
    int nHeight = rcWindow.bottom - rcWindow.top;
    int nWidth = rcWindow.right - rcWindow.left;
    m_fontDrive.CreateFont((int)(nHeight * 0.7), nWidth / 10, kFontFace);
    m_listDrives.SendMessage(WM_SETFONT, (WPARAM)(HFONT)m_fontDrive, FALSE);
    RECT rcClient = {};
    m_listDrives.GetClientRect(&rcClient);
    m_listDrives.SetItemHeight(0, (UINT)(rcClient.bottom - rcClient.top));

    char acRoots[2000] = {};
    DWORD dwLength = GetLogicalDriveStringsA(sizeof(acRoots), acRoots);
    if (dwLength >= sizeof(acRoots))
        dwLength = 0;
    m_strDriveRoots.RemoveAll();
    m_nDriveCount = 0;
    for (const char* pcRoot = acRoots; dwLength != 0 && *pcRoot != '\0';
         pcRoot += strlen(pcRoot) + 1)
    {
        m_strDriveRoots.Add(pcRoot);
        m_nDriveCount++;
    }

    m_listDrives.ResetContent();
    for (int i = 0; i < m_nDriveCount; i++)
    {
        const CString& strRoot = m_strDriveRoots[i];
        if (strRoot.GetLength() < 2)
            continue;
        char acText[3] = {strRoot[0], strRoot[1], '\0'};
        int nItem = m_listDrives.AddString(acText);
        if (nItem >= 0)
            m_listDrives.SetItemData(nItem, (DWORD_PTR)(UpperLetter(acText[0]) - 64));
    }
    if (m_listDrives.GetCount() > 1)
        m_listDrives.SetCurSel(0);
    SelectDriveOfCurrentFolder();
}

void CMyFileDialog::SelectDriveOfCurrentFolder()
{
    if (m_strCurrentFolder.GetLength() < 2)
        return;
    char acText[3] = {UpperLetter(m_strCurrentFolder[0]), m_strCurrentFolder[1], '\0'};
    int nItem = m_listDrives.FindString(-1, acText);
    if (nItem >= 0)
        m_listDrives.SetCurSel(nItem);
}

void CMyFileDialog::OnDriveChange()
{
    // A sort is reordering the entries: the selector goes back to the drive shown.
    if (m_bSorting.load(std::memory_order_relaxed))
    {
        SelectDriveOfCurrentFolder();
        return;
    }
    int nItem = m_listDrives.GetCurSel();
    if (nItem < 0)
        return;
    m_nDriveNumber = (int)m_listDrives.GetItemData(nItem);
    m_strCurrentFolder.Format("%c:\\", m_nDriveNumber + 64);
    int bEntered = SetCurrentDirectoryA(m_strCurrentFolder) != 0;
    ::EnableWindow(GetDlgItem(IDC_UP), bEntered);
    ::EnableWindow(GetDlgItem(IDC_SELECT_ALL), bEntered);
    if (bEntered)
    {
        ShowCurrentFolder();
        RefreshFileList();
        return;
    }
    m_listFiles.DeleteAllItems();
    m_entries.Clear();
}

// A folder that cannot be entered leaves the picker where it was.
int CMyFileDialog::EnterFolder(const CString& strFolder)
{
    if (!SetCurrentDirectoryA(strFolder))
    {
        MessageBeep(MB_ICONWARNING);
        SetCurrentDirectoryA(m_strCurrentFolder);
        return 0;
    }
    m_strCurrentFolder = strFolder;
    ShowCurrentFolder();
    RefreshFileList();
    return 1;
}

void CMyFileDialog::GoUpOneFolder()
{
    if (m_bSorting.load(std::memory_order_relaxed))
        return;
    CMyWString wstrFolder(m_strCurrentFolder);
    DWORD dwAt = wstrFolder.ReverseFindA(0, "\\", 0);
    if (dwAt == MYWSTR_NOT_FOUND || wstrFolder.IsError())
        return;
    if (dwAt < 3)
    {
        if (dwAt == 2)
            EnterFolder(wstrFolder.GetSectorData(0, 3));
        return;
    }
    EnterFolder(wstrFolder.GetSectorData(0, dwAt));
}

int CMyFileDialog::IsDriveRoot() const
{
    int nLength = m_strCurrentFolder.GetLength();
    if (nLength > 3)
        return 0;
    if (nLength == 3 && IsAsciiLetter(m_strCurrentFolder[0]) && m_strCurrentFolder[1] == ':' &&
        m_strCurrentFolder[2] == '\\')
        return 1;
    CString strMessage;
    strMessage.Format("カレントディレクトリデータが異常[%s]", (const char*)m_strCurrentFolder);
    AfxMessageBox(strMessage, MB_OK);
    return 0;
}

void CMyFileDialog::OnDoubleClick(LRESULT* plResult)
{
    *plResult = 0;
    if (m_bSorting.load(std::memory_order_relaxed))
        return;
    POINT pt = {};
    GetCursorPos(&pt);
    ScreenToClient(m_listFiles.m_hWnd, &pt);
    int nRow = m_listFiles.HitTest(pt);
    if (nRow < 0 || nRow >= m_entries.GetCount())
        return;
    const WIN32_FIND_DATAA& entry = m_entries.GetAt(nRow);
    if (!CMyPickerEntries::IsFolder(entry))
        return;
    CString strFolder;
    if (IsDriveRoot())
        strFolder.Format("%s%s", (const char*)m_strCurrentFolder, entry.cFileName);
    else
        strFolder.Format("%s\\%s", (const char*)m_strCurrentFolder, entry.cFileName);
    EnterFolder(strFolder);
}

void CMyFileDialog::OnSelectAll()
{
    int nRows = m_listFiles.GetItemCount();
    for (int i = 0; i < nRows; i++)
        m_listFiles.SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
    ::SetFocus(m_listFiles.m_hWnd);
}

// Keeps only the selected rows' entries, in row order; 0 (nothing changed)
// when no row is selected.
int CMyFileDialog::CollectSelection()
{
    int nRows = m_listFiles.GetItemCount();
    if (nRows <= 0 || nRows > 1000000)
        return 0;
    CArray<BYTE> selected;
    selected.SetSize(nRows);
    int nSelected = 0;
    for (int i = 0; i < nRows; i++)
    {
        selected[i] = (m_listFiles.GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED) != 0;
        nSelected += selected[i];
    }
    if (nSelected == 0)
        return 0;
    m_nSelectedCount = m_entries.KeepSelected(selected);
    return m_nSelectedCount;
}

// Neither closing way may end the dialog while a sort thread still writes to
// it and to the entries the add-files job is about to read.
void CMyFileDialog::OnOK()
{
    if (m_bSorting.load(std::memory_order_relaxed))
        return;
    if (CollectSelection() == 0)
    {
        AfxMessageBox("何も選択されていません", MB_OK);
        return;
    }
    CDialog::OnOK();
}

void CMyFileDialog::OnCancel()
{
    if (m_bSorting.load(std::memory_order_relaxed))
        return;
    CDialog::OnCancel();
}

BOOL CMyFileDialog::PreTranslateMessage(MSG* pMsg)
{
    // A press on the drive selector takes the drive at once.
    if (pMsg->message == WM_LBUTTONDOWN && pMsg->hwnd == m_listDrives.m_hWnd)
        ::PostMessageA(m_listDrives.m_hWnd, WM_LBUTTONUP, 0, 0);
    return CDialog::PreTranslateMessage(pMsg);
}

HBRUSH CMyFileDialog::OnCtlColor(HDC hDC, HWND hWnd, UINT nCtlColor)
{
    if (hWnd != m_listDrives.m_hWnd ||
        (nCtlColor != CTLCOLOR_MSGBOX && nCtlColor != CTLCOLOR_EDIT &&
         nCtlColor != CTLCOLOR_LISTBOX))
        return nullptr;
    SetTextColor(hDC, m_crText);
    SetBkMode(hDC, TRANSPARENT);
    SetBkColor(hDC, m_crBack);
    return m_brushBlack;
}

int CMyFileDialog::OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* plResult)
{
    switch (uMsg)
    {
    case WM_DESTROY:
        // The list would destroy an image list it was given; ours is owned here.
        m_listFiles.SetImageList(nullptr, LVSIL_SMALL);
        _chdir(m_strStartingDirectory);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_UP && HIWORD(wParam) == BN_CLICKED)
            GoUpOneFolder();
        else if (LOWORD(wParam) == IDC_SELECT_ALL && HIWORD(wParam) == BN_CLICKED)
            OnSelectAll();
        else if (LOWORD(wParam) == IDC_DRIVE_LIST && HIWORD(wParam) == LBN_SELCHANGE)
            OnDriveChange();
        else
            break;
        return 1;
    case WM_NOTIFY:
    {
        const NMHDR* pHeader = (const NMHDR*)lParam;
        if (pHeader->idFrom != IDC_FILE_LIST)
            return 0;
        if (pHeader->code == NM_DBLCLK)
            OnDoubleClick(plResult);
        else if (pHeader->code == LVN_COLUMNCLICK)
            OnColumnClick((const NMLISTVIEW*)pHeader, plResult);
        else
            return 0;
        return 1;
    }
    case WM_TIMER:
        OnTimer((UINT_PTR)wParam);
        return 0;
    case WM_SHOW_LEFT_OUT:
        m_leftOutNames.Show(m_hWnd, kNamesNotShown);
        m_leftOutNames.Clear();
        return 1;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    {
        UINT nKind = uMsg == WM_CTLCOLORLISTBOX ? CTLCOLOR_LISTBOX
                     : uMsg == WM_CTLCOLOREDIT  ? CTLCOLOR_EDIT
                                                : CTLCOLOR_MSGBOX;
        HBRUSH hBrush = OnCtlColor((HDC)wParam, (HWND)lParam, nKind);
        if (hBrush == nullptr)
            return 0;
        *plResult = (LRESULT)hBrush;
        return 1;
    }
    default:
        break;
    }
    return CDialog::OnMessage(uMsg, wParam, lParam, plResult);
}
