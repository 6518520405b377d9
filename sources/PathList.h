// The list of collected source files: records, look-up, removal, identifiers.
#pragma once

#include "framework/CString.h"
#include "platform/Platform.h"
#include "sources/MyArray.h"

#include <string>
#include <unordered_map>

// No identifier, and not found.
#define MY_NO_ID 0xFFFFFFFFu
#define MY_NOT_FOUND 0xFFFFFFFFu

class CMyFileInfo
{
public:
    virtual ~CMyFileInfo() = default;

    CString FileName; // name with extension, as the folder listing gives it
    CString FilePath; // FoldPath + "\" + FileName
    CString FoldPath; // the folder that holds the file, no trailing backslash
    ULONGLONG FileSize = 0;
};

class CMyPathRecord : public CMyFileInfo
{
public:
    // Appends the six fields to the trace file as one entry.
    void DumpToTrace() const;

    CString BaseFoldPath; // the folder the picker showed when the file was collected
    DWORD ID = MY_NO_ID;  // list-wide identifier, MY_NO_ID until AssignIDs
};

// Records stay in the order they were added. Look-ups by path and identifier
// go through hash indexes that give exactly what a linear search in list order
// would: the first matching record.
//
// Not thread-safe: one writer at a time, and nobody reads records while the
// add-files job appends. Only GetCount may be read from another thread then.
class CMyPathList
{
public:
    CMyPathList() = default;
    virtual ~CMyPathList() = default;
    CMyPathList(const CMyPathList&) = delete;
    CMyPathList& operator=(const CMyPathList&) = delete;

    DWORD GetCount() const { return m_arrRecords.GetCount(); }
    DWORD GetCapacity() const { return m_arrRecords.GetCapacity(); }
    const CMyPathRecord& GetAt(DWORD dwIndex) const { return m_arrRecords[dwIndex]; }
    DWORD GetFreeIDCount() const { return m_arrFreeIDs.GetCount(); }
    DWORD GetFreeIDAt(DWORD dwIndex) const { return m_arrFreeIDs[dwIndex]; }

    DWORD FindPath(const char* pcPath) const;
    DWORD FindRecord(const CMyPathRecord& record) const { return FindPath(record.FilePath); }
    DWORD FindByID(DWORD dwID) const;
    int AppendRecord(const CMyPathRecord& record);
    int RemoveAt(DWORD dwIndex);
    int PushFreeID(DWORD dwID);
    int RemovePath(const char* pcPath);
    DWORD RemovePaths(const CMyPathList& other);
    void ClearAll();
    void ClearUsed();
    void ReleaseAll();
    void AssignIDs();
    // The sum of all records' FileSize.
    ULONGLONG GetTotalSize() const;

    // Fills pDuplicates with every record whose pieces would get another's
    // paths (the same mirrored sub-folder and file title, ignoring case), group
    // by group; returns how many it put there.
    DWORD FindDuplicateNames(CMyPathList* pDuplicates) const;
    // Every FilePath followed by "\n"; the record count, or 0 with an empty text.
    DWORD JoinFilePaths(CString* pstrText) const;

protected:
    // Resizes the record storage keeping its content (never below the count).
    int ReserveRecords(DWORD dwCapacity);
    // Makes room for one more record by the step-of-1000 rule.
    int GrowForAppend() { return m_arrRecords.GrowForAppend(); }
    // The spare slot at count, to be filled and then committed.
    CMyPathRecord& NextSlot() { return m_arrRecords[m_arrRecords.GetCount()]; }
    void CommitNextSlot();

private:
    typedef std::unordered_map<std::string, DWORD> PathIndex;
    typedef std::unordered_map<DWORD, DWORD> IDIndex;

    void NoteAppended(DWORD dwIndex);
    void NoteRemoved(DWORD dwIndex);
    void ForgetIndexes();
    void BuildPathIndex() const;
    DWORD RemoveEach(const CMyPathList& other);
    void AssignLowestUnused(DWORD dwFirst);

    CMyArray<CMyPathRecord> m_arrRecords;
    CMyArray<DWORD> m_arrFreeIDs;

    // Path of a record -> index of the first record with that path.
    mutable PathIndex m_pathIndex;
    mutable int m_bPathIndexValid = 1;
    // Set when a path is listed twice; removal then rebuilds the index.
    mutable int m_bRepeatedPath = 0;
    // Identifier -> index of the first record with it; built when asked.
    mutable IDIndex m_idIndex;
    mutable int m_bIDIndexValid = 0;
};
