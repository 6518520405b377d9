// The picker's table of one folder's entries: whole find records, folders in
// the first places, and the orders the picker's columns sort them in.
#pragma once

#include "framework/CArray.h"
#include "framework/CString.h"
#include "platform/Platform.h"

class CMyPickerEntries
{
public:
    CMyPickerEntries();

    static int IsFolder(const WIN32_FIND_DATAA& entry)
    {
        return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    // "." and ".." (and any name of dots only) are never stored.
    static int IsDotsName(const char* pcName);
    // The size in decimal with a comma between groups of three digits.
    static CString FormatSize(ULONGLONG ullSize);
    // Unsigned comparisons of the size and the last-write time: -1, 0 or 1;
    // 0 (traced) for a null record.
    static int Compare64BitData(const WIN32_FIND_DATAA* pData1, const WIN32_FIND_DATAA* pData2);
    static int CompareFileTimeStruct(const FILETIME* pTime1, const FILETIME* pTime2);

    void Clear();
    // Stores the record unless its name is dots only; 1 when stored.
    int Append(const WIN32_FIND_DATAA& entry);
    int GetCount() const { return m_nEntryCount; }
    int GetFolderCount() const { return m_nFolderCount; }
    const WIN32_FIND_DATAA& GetAt(int nIndex) const { return m_entries[nIndex]; }

    // Folders to the front, then folders and files each by name, ascending.
    void SortDefault();
    void MoveFoldersToFront();
    // A column click: 0 name, 1 size, 2 date; each column alternates between
    // ascending (first) and descending. Other columns do nothing.
    void SortByColumn(int nColumn);
    void SortFileBySizeLoToHi(int iTopID, int iEndID);
    void SortFileBySizeHiToLo(int iTopID, int iEndID);
    // Keeps the entries whose flags are nonzero, in order; gives their count.
    int KeepSelected(const CArray<BYTE>& selected);
    // All three columns back to "ascending next".
    void ResetDirections() { m_bNameAscending = m_bSizeAscending = m_bDateAscending = 1; }

private:
    enum Key
    {
        KEY_NAME,
        KEY_SIZE,
        KEY_TIME
    };
    // Selection sort of [nFirst, nLast]: among equal keys the first met wins.
    void SelectionSort(int nFirst, int nLast, Key key, int bAscending);
    void SortBothRanges(Key key, int bAscending);
    // Files [iTopID, iEndID] by size; an invalid range is traced under pcName.
    void SortFilesBySize(int iTopID, int iEndID, int bAscending, const char* pcName);
    void Swap(int i, int j);

    CArray<WIN32_FIND_DATAA> m_entries;
    int m_nEntryCount = 0;
    int m_nFolderCount = 0;
    int m_bNameAscending = 1;
    int m_bSizeAscending = 1;
    int m_bDateAscending = 1;
};
