// The program's own file-and-folder picker: one folder at a time, a drive
// selector, Up, Select all, column sorts on a worker thread, and the
// selection handed to the add-files job on confirmation.
#pragma once

#include "framework/CString.h"
#include "framework/CStringArray.h"
#include "framework/win/CControls.h"
#include "framework/win/CDialog.h"
#include "framework/win/CGdiObjects.h"
#include "framework/win/CListCtrl.h"
#include "sources/PickerEntries.h"
#include "ui/LeftOutNames.h"

#include <atomic>

// Posted once a listing has left names out: the box then comes over the
// drawn list.
const UINT WM_SHOW_LEFT_OUT = WM_APP + 1;

class CMyFileDialog : public CDialog
{
public:
    explicit CMyFileDialog(CWnd* pParentWnd);
    ~CMyFileDialog() override;

    // 1 when the path was taken as the folder to open in, 0 when the program
    // folder was taken instead (null, empty or no such folder).
    int SetInitialFolder(const char* pcPath);
    // IDOK when the user confirmed a non-empty selection, else IDCANCEL.
    INT_PTR DoModal() override;
    // The current folder without a final backslash (C:\ gives C:); 0 when it
    // is empty (emptied) or cannot be converted (left alone).
    int GetCurrentFolder(CString& strFolder) const;
    // The current folder as shown (a drive root keeps its backslash).
    const CString& GetCurrentFolderText() const { return m_strCurrentFolder; }
    // After IDOK: the selected entries in row order.
    int GetEntryCount() const { return m_entries.GetCount(); }
    const WIN32_FIND_DATAA& GetEntry(int nIndex) const { return m_entries.GetAt(nIndex); }

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    int OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) override;

private:
    // The list (MyFileDialogList.cpp).
    void InsertColumns();
    // 0 when the folder cannot be made the current directory (the list is
    // then left as it was).
    int RefreshFileList();
    void WriteAllRows();
    void AddItemToList(int iIndex, const WIN32_FIND_DATAA* pEntry);
    void ReWriteListItem(int iIndex, const WIN32_FIND_DATAA* pEntry);
    void FillRow(LVITEMA& item, int iIndex, const WIN32_FIND_DATAA& entry, char* pcName);
    void OnColumnClick(const NMLISTVIEW* pNotify, LRESULT* plResult);
    void OnTimer(UINT_PTR nIDEvent);
    void EnableSortButtons(int bEnable);
    static UINT SortThreadProc(LPVOID pParam);

    // Moving between folders and confirming (MyFileDialog.cpp).
    void SetUpDriveSelector();
    void SelectDriveOfCurrentFolder();
    void OnDriveChange();
    void GoUpOneFolder();
    void OnDoubleClick(LRESULT* plResult);
    int EnterFolder(const CString& strFolder);
    void OnSelectAll();
    int CollectSelection();
    void ShowCurrentFolder();
    HBRUSH OnCtlColor(HDC hDC, HWND hWnd, UINT nCtlColor);
    int IsDriveRoot() const;

    std::atomic<int> m_bSorting{0};
    int m_nSortColumn = 0;
    int m_bImageListMade = 0;
    CStringArray m_strDriveRoots;
    CMyPickerEntries m_entries;
    // The current folder's names the code page cannot hold (not listed).
    CMyLeftOutNames m_leftOutNames;
    int m_nSelectedCount = 0;
    int m_nDriveCount = 0;
    int m_nDriveNumber = 0;
    CString m_strCurrentFolder;
    CString m_strStartingDirectory;
    CString m_strProgramFolder;
    int m_nColumnCount = 0;
    CString m_strInitialFolder;
    CImageList m_imageList;
    CListCtrl m_listFiles;
    CListBox m_listDrives;
    CFont m_fontDrive;
    CBrush m_brushBlack;
    COLORREF m_crText = 0x00FFFFFF;
    COLORREF m_crBack = 0x00000000;
};
