// The picker's entries and their orders. The sorts are selection sorts that
// swap each record once into place, so a large folder costs comparisons but
// few copies of the 320-byte records.
#include "sources/PickerEntries.h"

#include "support/Trace.h"

#include <cstdint>
#include <cstring>

namespace
{
const int kInitialEntries = 2000;
const int kEntriesGrowth = 5000;

ULONGLONG SizeOf(const WIN32_FIND_DATAA& entry)
{
    return ((ULONGLONG)entry.nFileSizeHigh << 32) | entry.nFileSizeLow;
}

unsigned AddressText(const void* p)
{
    return (unsigned)(uintptr_t)p;
}
} // namespace

CMyPickerEntries::CMyPickerEntries()
{
    m_entries.SetSize(kInitialEntries);
}

int CMyPickerEntries::IsDotsName(const char* pcName)
{
    if (pcName[0] == '\0')
        return 0;
    for (const char* p = pcName; *p != '\0'; p++)
        if (*p != '.')
            return 0;
    return 1;
}

CString CMyPickerEntries::FormatSize(ULONGLONG ullSize)
{
    char acDigits[32] = {};
    snprintf(acDigits, sizeof(acDigits), "%llu", (unsigned long long)ullSize);
    int nDigits = (int)strlen(acDigits);
    CString strText;
    for (int i = 0; i < nDigits; i++)
    {
        if (i > 0 && (nDigits - i) % 3 == 0)
            strText += ",";
        strText.Append(acDigits + i, 1);
    }
    return strText;
}

int CMyPickerEntries::Compare64BitData(const WIN32_FIND_DATAA* pData1,
                                       const WIN32_FIND_DATAA* pData2)
{
    if (pData1 == nullptr || pData2 == nullptr)
    {
        CString strTrace;
        strTrace.Format("※　引数アドレスが無効 CMyFileDialog::Compare64BitData\n\t\tpData1[%08X] "
                        "pData2[%08X]\n",
                        AddressText(pData1), AddressText(pData2));
        WriteTraceString(strTrace);
        return 0;
    }
    ULONGLONG ull1 = SizeOf(*pData1);
    ULONGLONG ull2 = SizeOf(*pData2);
    return ull1 < ull2 ? -1 : (ull1 > ull2 ? 1 : 0);
}

int CMyPickerEntries::CompareFileTimeStruct(const FILETIME* pTime1, const FILETIME* pTime2)
{
    if (pTime1 == nullptr || pTime2 == nullptr)
    {
        CString strTrace;
        strTrace.Format(
            "※　引数アドレスが無効 CMyFileDialog::CompareFileTimeStruct\n\t\tpTime1[%08X] "
            "pTime2[%08X]\n",
            AddressText(pTime1), AddressText(pTime2));
        WriteTraceString(strTrace);
        return 0;
    }
    if (pTime1->dwHighDateTime != pTime2->dwHighDateTime)
        return pTime1->dwHighDateTime < pTime2->dwHighDateTime ? -1 : 1;
    if (pTime1->dwLowDateTime != pTime2->dwLowDateTime)
        return pTime1->dwLowDateTime < pTime2->dwLowDateTime ? -1 : 1;
    return 0;
}

void CMyPickerEntries::Clear()
{
    m_nEntryCount = 0;
    m_nFolderCount = 0;
}

int CMyPickerEntries::Append(const WIN32_FIND_DATAA& entry)
{
    if (IsDotsName(entry.cFileName))
        return 0;
    if (m_nEntryCount >= m_entries.GetSize())
        m_entries.SetSize(m_nEntryCount + kEntriesGrowth);
    m_entries[m_nEntryCount++] = entry;
    if (IsFolder(entry))
        m_nFolderCount++;
    return 1;
}

void CMyPickerEntries::Swap(int i, int j)
{
    WIN32_FIND_DATAA temp = m_entries[i];
    m_entries[i] = m_entries[j];
    m_entries[j] = temp;
}

// Folders keep their relative order; a file swapped away lands where the
// folder was.
void CMyPickerEntries::MoveFoldersToFront()
{
    int n = m_nEntryCount;
    int nRemaining = m_nFolderCount;
    for (int i = 0; i < n - 1 && nRemaining >= 1; i++)
    {
        while (i < n - 1 && IsFolder(m_entries[i]))
            i++;
        if (IsFolder(m_entries[i]))
            continue;
        for (int j = i + 1; j < n; j++)
        {
            if (IsFolder(m_entries[j]))
            {
                Swap(i, j);
                nRemaining--;
                break;
            }
        }
    }
}

void CMyPickerEntries::SelectionSort(int nFirst, int nLast, Key key, int bAscending)
{
    for (int p = nFirst; p < nLast; p++)
    {
        int nBest = p;
        for (int q = p + 1; q <= nLast; q++)
        {
            const WIN32_FIND_DATAA& candidate = m_entries[q];
            const WIN32_FIND_DATAA& best = m_entries[nBest];
            int nOrder = 0;
            if (key == KEY_NAME)
                nOrder = _stricmp(candidate.cFileName, best.cFileName);
            else if (key == KEY_SIZE)
                nOrder = Compare64BitData(&candidate, &best);
            else
                nOrder = CompareFileTimeStruct(&candidate.ftLastWriteTime, &best.ftLastWriteTime);
            if (bAscending ? nOrder < 0 : nOrder > 0)
                nBest = q;
        }
        if (nBest != p)
            Swap(p, nBest);
    }
}

void CMyPickerEntries::SortBothRanges(Key key, int bAscending)
{
    SelectionSort(0, m_nFolderCount - 1, key, bAscending);
    SelectionSort(m_nFolderCount, m_nEntryCount - 1, key, bAscending);
}

void CMyPickerEntries::SortDefault()
{
    MoveFoldersToFront();
    SortBothRanges(KEY_NAME, 1);
}

void CMyPickerEntries::SortFileBySizeLoToHi(int iTopID, int iEndID)
{
    SortFilesBySize(iTopID, iEndID, 1, "SortFileBySizeLoToHi");
}

void CMyPickerEntries::SortFileBySizeHiToLo(int iTopID, int iEndID)
{
    SortFilesBySize(iTopID, iEndID, 0, "SortFileBySizeHiToLo");
}

void CMyPickerEntries::SortFilesBySize(int iTopID, int iEndID, int bAscending, const char* pcName)
{
    if (iTopID < 0 || iEndID <= iTopID || iEndID >= m_nEntryCount)
    {
        CString strTrace;
        strTrace.Format(
            "※　引数が無効です CMyFileDialog::%s\n\t\tiTopID[%d] iEndID[%d] iItemNum[%d]\n", pcName,
            iTopID, iEndID, m_nEntryCount);
        WriteTraceString(strTrace);
        return;
    }
    SelectionSort(iTopID, iEndID, KEY_SIZE, bAscending);
}

void CMyPickerEntries::SortByColumn(int nColumn)
{
    if (nColumn < 0 || nColumn > 2)
        return;
    MoveFoldersToFront();
    if (nColumn == 0)
    {
        SortBothRanges(KEY_NAME, m_bNameAscending);
        m_bNameAscending = !m_bNameAscending;
    }
    else if (nColumn == 1)
    {
        if (m_bSizeAscending)
            SortFileBySizeLoToHi(m_nFolderCount, m_nEntryCount - 1);
        else
            SortFileBySizeHiToLo(m_nFolderCount, m_nEntryCount - 1);
        m_bSizeAscending = !m_bSizeAscending;
    }
    else
    {
        SortBothRanges(KEY_TIME, m_bDateAscending);
        m_bDateAscending = !m_bDateAscending;
    }
}

int CMyPickerEntries::KeepSelected(const CArray<BYTE>& selected)
{
    int nKept = 0;
    int nFolders = 0;
    for (int i = 0; i < m_nEntryCount && i < selected.GetSize(); i++)
    {
        if (!selected[i])
            continue;
        if (nKept != i)
            m_entries[nKept] = m_entries[i];
        nFolders += IsFolder(m_entries[nKept]);
        nKept++;
    }
    m_nEntryCount = nKept;
    m_nFolderCount = nFolders;
    return nKept;
}
