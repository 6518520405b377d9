// The list of collected source files: records, look-up, removal, identifiers.
#include "sources/PathList.h"

#include "framework/FormatText.h"
#include "framework/MbcsBytes.h"
#include "support/Trace.h"

#include <algorithm>
#include <vector>

namespace
{
std::string MakeKey(const CString& strPath)
{
    return std::string(strPath.GetString(), (size_t)strPath.GetLength());
}
} // namespace

void CMyPathRecord::DumpToTrace() const
{
    char acBuff[2048];
    size_t nFull = FormatText(acBuff, sizeof(acBuff),
                              "FilePath：%s\nFoldPath：%s\nFileName：%s\nFileSize：%I64u\n"
                              "BaseFoldPath：%s\n：ID[%u]\n",
                              (const char*)FilePath, (const char*)FoldPath, (const char*)FileName,
                              FileSize, (const char*)BaseFoldPath, ID);
    if (nFull >= sizeof(acBuff))
    {
        // Cut on a character boundary and still end the entry with a line.
        int iEnd = 0;
        for (int i = 0; i <= (int)sizeof(acBuff) - 2; i = MbcsNextIndex(acBuff, i))
            iEnd = i;
        acBuff[iEnd] = '\n';
        acBuff[iEnd + 1] = '\0';
    }
    WriteTraceText(acBuff, 0);
}

// Exact byte equality: a locale-aware comparison may call two different names
// equal, and the second file would then be dropped without a word.
DWORD CMyPathList::FindPath(const char* pcPath) const
{
    if (pcPath == nullptr || pcPath[0] == '\0' || GetCount() == 0)
        return MY_NOT_FOUND;
    if (!m_bPathIndexValid)
        BuildPathIndex();
    PathIndex::const_iterator it = m_pathIndex.find(std::string(pcPath));
    return it != m_pathIndex.end() ? it->second : MY_NOT_FOUND;
}

DWORD CMyPathList::FindByID(DWORD dwID) const
{
    if (dwID == MY_NO_ID || GetCount() == 0)
        return MY_NOT_FOUND;
    if (!m_bIDIndexValid)
    {
        m_idIndex.clear();
        m_idIndex.reserve(GetCount());
        for (DWORD i = 0; i < GetCount(); i++)
        {
            if (m_arrRecords[i].ID != MY_NO_ID)
                m_idIndex.emplace(m_arrRecords[i].ID, i);
        }
        m_bIDIndexValid = 1;
    }
    IDIndex::const_iterator it = m_idIndex.find(dwID);
    return it != m_idIndex.end() ? it->second : MY_NOT_FOUND;
}

int CMyPathList::AppendRecord(const CMyPathRecord& record)
{
    if (!m_arrRecords.GrowForAppend())
        return 0;
    NextSlot() = record;
    CommitNextSlot();
    return 1;
}

void CMyPathList::CommitNextSlot()
{
    DWORD dwIndex = GetCount();
    m_arrRecords.SetCount(dwIndex + 1);
    NoteAppended(dwIndex);
}

int CMyPathList::RemoveAt(DWORD dwIndex)
{
    DWORD dwCount = GetCount();
    if (dwIndex >= dwCount)
        return 0;
    NoteRemoved(dwIndex);
    for (DWORD i = dwIndex + 1; i < dwCount; i++)
        m_arrRecords[i - 1] = m_arrRecords[i];
    m_arrRecords.SetCount(dwCount - 1);
    return 1;
}

int CMyPathList::PushFreeID(DWORD dwID)
{
    return m_arrFreeIDs.Append(dwID);
}

int CMyPathList::RemovePath(const char* pcPath)
{
    DWORD dwIndex = FindPath(pcPath);
    if (dwIndex == MY_NOT_FOUND)
        return 0;
    if (m_arrRecords[dwIndex].ID != MY_NO_ID)
        PushFreeID(m_arrRecords[dwIndex].ID); // a failed push loses the identifier only
    return RemoveAt(dwIndex);
}

// Gives what one RemovePath per record of the other list would give, in one
// pass: with every path listed once, each call removes a record of its own.
DWORD CMyPathList::RemovePaths(const CMyPathList& other)
{
    if (&other == this || GetCount() == 0)
        return RemoveEach(other);
    if (!m_bPathIndexValid)
        BuildPathIndex();
    if (m_bRepeatedPath)
        return RemoveEach(other);
    DWORD dwCount = GetCount();
    std::vector<char> removed(dwCount, 0);
    DWORD dwRemoved = 0;
    for (DWORD k = 0; k < other.GetCount(); k++)
    {
        DWORD dwIndex = FindPath(other.GetAt(k).FilePath);
        if (dwIndex == MY_NOT_FOUND || removed[dwIndex])
            continue;
        removed[dwIndex] = 1;
        dwRemoved++;
        if (m_arrRecords[dwIndex].ID != MY_NO_ID)
            PushFreeID(m_arrRecords[dwIndex].ID);
    }
    if (dwRemoved == 0)
        return 0;
    DWORD dwKept = 0;
    for (DWORD i = 0; i < dwCount; i++)
    {
        if (removed[i])
            continue;
        if (i != dwKept)
            m_arrRecords[dwKept] = m_arrRecords[i];
        dwKept++;
    }
    m_arrRecords.SetCount(dwKept);
    ForgetIndexes();
    return dwRemoved;
}

DWORD CMyPathList::RemoveEach(const CMyPathList& other)
{
    DWORD dwRemoved = 0;
    for (DWORD k = 0; k < other.GetCount(); k++)
    {
        CString strPath = other.GetAt(k).FilePath;
        dwRemoved += (DWORD)RemovePath(strPath);
    }
    return dwRemoved;
}

void CMyPathList::ClearAll()
{
    for (DWORD i = 0; i < m_arrRecords.GetCapacity(); i++)
        m_arrRecords[i] = CMyPathRecord();
    m_arrRecords.SetCount(0);
    m_arrFreeIDs.SetCount(0);
    ForgetIndexes();
}

void CMyPathList::ClearUsed()
{
    for (DWORD i = 0; i < GetCount(); i++)
        m_arrRecords[i] = CMyPathRecord();
    m_arrRecords.SetCount(0);
    m_arrFreeIDs.SetCount(0);
    ForgetIndexes();
}

void CMyPathList::ReleaseAll()
{
    m_arrRecords.Release();
    ForgetIndexes();
}

// Freed identifiers are reused last-in first-out; new ones continue above the
// largest identifier in use or waiting on the stack.
void CMyPathList::AssignIDs()
{
    DWORD dwMax = 0;
    for (DWORD i = 0; i < m_arrFreeIDs.GetCount(); i++)
    {
        if (m_arrFreeIDs[i] != MY_NO_ID && m_arrFreeIDs[i] > dwMax)
            dwMax = m_arrFreeIDs[i];
    }
    for (DWORD i = 0; i < GetCount(); i++)
    {
        if (m_arrRecords[i].ID != MY_NO_ID && m_arrRecords[i].ID > dwMax)
            dwMax = m_arrRecords[i].ID;
    }
    DWORD dwNext = dwMax + 1;
    m_bIDIndexValid = 0;
    for (DWORD i = 0; i < GetCount(); i++)
    {
        if (m_arrRecords[i].ID != MY_NO_ID)
            continue;
        DWORD dwFree = m_arrFreeIDs.GetCount();
        if (dwFree != 0)
        {
            m_arrRecords[i].ID = m_arrFreeIDs[dwFree - 1];
            m_arrFreeIDs.SetCount(dwFree - 1);
        }
        else if (dwNext == MY_NO_ID)
        {
            AssignLowestUnused(i);
            return;
        }
        else
            m_arrRecords[i].ID = dwNext++;
    }
}

// The numbers above the largest identifier are used up (the stack is empty by
// now): the records from dwFirst on take the lowest numbers nobody holds.
void CMyPathList::AssignLowestUnused(DWORD dwFirst)
{
    std::vector<DWORD> used;
    for (DWORD i = 0; i < GetCount(); i++)
    {
        if (m_arrRecords[i].ID != MY_NO_ID)
            used.push_back(m_arrRecords[i].ID);
    }
    std::sort(used.begin(), used.end());
    DWORD dwCandidate = 1;
    size_t k = 0;
    for (DWORD i = dwFirst; i < GetCount(); i++)
    {
        if (m_arrRecords[i].ID != MY_NO_ID)
            continue;
        while (k < used.size() && used[k] <= dwCandidate)
        {
            if (used[k] == dwCandidate)
                dwCandidate++;
            k++;
        }
        if (dwCandidate == MY_NO_ID)
            return;
        m_arrRecords[i].ID = dwCandidate++;
    }
}

ULONGLONG CMyPathList::GetTotalSize() const
{
    ULONGLONG qwTotal = 0;
    for (DWORD i = 0; i < GetCount(); i++)
        qwTotal += m_arrRecords[i].FileSize;
    return qwTotal;
}

int CMyPathList::ReserveRecords(DWORD dwCapacity)
{
    if (dwCapacity < GetCount())
        dwCapacity = GetCount();
    return m_arrRecords.Reallocate(dwCapacity, 1);
}

void CMyPathList::NoteAppended(DWORD dwIndex)
{
    m_bIDIndexValid = 0;
    if (!m_bPathIndexValid || m_arrRecords[dwIndex].FilePath.IsEmpty())
        return;
    if (!m_pathIndex.emplace(MakeKey(m_arrRecords[dwIndex].FilePath), dwIndex).second)
        m_bRepeatedPath = 1;
}

// Called before the records above dwIndex move down by one.
void CMyPathList::NoteRemoved(DWORD dwIndex)
{
    m_bIDIndexValid = 0;
    if (!m_bPathIndexValid)
        return;
    if (m_bRepeatedPath)
    {
        m_bPathIndexValid = 0;
        return;
    }
    if (!m_arrRecords[dwIndex].FilePath.IsEmpty())
        m_pathIndex.erase(MakeKey(m_arrRecords[dwIndex].FilePath));
    for (PathIndex::iterator it = m_pathIndex.begin(); it != m_pathIndex.end(); ++it)
    {
        if (it->second > dwIndex)
            it->second--;
    }
}

void CMyPathList::ForgetIndexes()
{
    m_pathIndex.clear();
    m_bRepeatedPath = 0;
    m_bPathIndexValid = GetCount() == 0;
    m_bIDIndexValid = 0;
}

void CMyPathList::BuildPathIndex() const
{
    m_pathIndex.clear();
    m_pathIndex.reserve(GetCount());
    m_bRepeatedPath = 0;
    for (DWORD i = 0; i < GetCount(); i++)
    {
        const CString& strPath = m_arrRecords[i].FilePath;
        if (!strPath.IsEmpty() && !m_pathIndex.emplace(MakeKey(strPath), i).second)
            m_bRepeatedPath = 1;
    }
    m_bPathIndexValid = 1;
}
