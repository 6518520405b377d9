// The duplicate-name search over the path list, and the joined path text of
// the report.
#include "sources/PathList.h"

#include "framework/AfxMessageBox.h"
#include "sources/MirroredFolder.h"
#include "support/MyWString.h"
#include "support/WideChar.h"

#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace
{
typedef std::basic_string<WCHAR> WideText;

// What names a record's pieces below the output folder: its mirrored
// sub-folder (separators as "\\"), a separator, and the file title, which is
// the name without an extension of at most 4 characters, or the whole name
// when that cannot be cut. Files in different mirrored sub-folders never
// write the same pieces, whatever their names.
void MakeTitle(const CMyPathRecord& record, CMyWString& strWork, WideText& title)
{
    title.clear();
    CString strSubFolder;
    if (GetMirroredFolder(record, &strSubFolder))
    {
        strWork.SetData(strSubFolder, 0);
        title.assign(strWork.GetString(), strWork.GetLength());
        for (WCHAR& wc : title)
            wc = wc == '/' ? '\\' : wc;
    }
    title += '\\';
    strWork.SetData(record.FileName, 0);
    if (!strWork.ToFileTitle(1, 4))
        strWork.SetData(record.FileName, 0);
    title.append(strWork.GetString(), strWork.GetLength());
}

// Each unit folded the way CMyWString::Compare folds when it ignores case, so
// titles it calls equal share a key.
WideText MakeTitleKey(const WideText& title)
{
    WideText key(title);
    for (WCHAR& wc : key)
        wc = WideToLower(wc);
    return key;
}
} // namespace

// Every record is compared with every other by its mirrored sub-folder and
// title, ignoring case, as one pair loop would do; these keys are computed
// once and grouped by a folded form, so only keys that can be equal are
// compared. The result is that of the pair loop: each group of equal keys
// once, led by its first member and followed by the others in list order,
// the groups in the order of their leaders.
DWORD CMyPathList::FindDuplicateNames(CMyPathList* pDuplicates) const
{
    if (pDuplicates == nullptr)
        return 0;
    DWORD dwCount = GetCount();
    if (dwCount < 2)
    {
        pDuplicates->ClearUsed();
        return 0;
    }
    pDuplicates->ClearAll();
    if (pDuplicates->GetCapacity() < dwCount)
        pDuplicates->m_arrRecords.Reallocate(dwCount, 1);

    std::vector<WideText> titles(dwCount);
    CMyWString strWork;
    for (DWORD i = 0; i < dwCount; i++)
        MakeTitle(m_arrRecords[i], strWork, titles[i]);

    // Each bucket holds the leaders of the groups whose titles share a key;
    // group[i] is the leader of record i's group.
    std::unordered_map<WideText, std::vector<DWORD>> buckets;
    buckets.reserve(dwCount);
    std::vector<DWORD> group(dwCount);
    std::vector<DWORD> members(dwCount, 0);
    for (DWORD i = 0; i < dwCount; i++)
    {
        std::vector<DWORD>& leaders = buckets[MakeTitleKey(titles[i])];
        group[i] = i;
        for (DWORD dwLeader : leaders)
        {
            strWork.SetData(titles[dwLeader].c_str(), (DWORD)titles[dwLeader].size());
            if (strWork.Compare(titles[i].c_str(), 1) == 0)
            {
                group[i] = dwLeader;
                break;
            }
        }
        if (group[i] == i)
            leaders.push_back(i);
        members[group[i]]++;
    }

    // Members of each group in list order, behind their leader.
    std::vector<std::vector<DWORD>> followers;
    std::vector<DWORD> slot(dwCount, MY_NOT_FOUND);
    for (DWORD i = 0; i < dwCount; i++)
    {
        DWORD dwLeader = group[i];
        if (members[dwLeader] < 2 || dwLeader == i)
            continue;
        if (slot[dwLeader] == MY_NOT_FOUND)
        {
            slot[dwLeader] = (DWORD)followers.size();
            followers.emplace_back();
        }
        followers[slot[dwLeader]].push_back(i);
    }
    DWORD dwFound = 0;
    for (DWORD i = 0; i < dwCount; i++)
    {
        if (slot[i] == MY_NOT_FOUND)
            continue;
        pDuplicates->AppendRecord(m_arrRecords[i]);
        dwFound++;
        for (DWORD j : followers[slot[i]])
        {
            pDuplicates->AppendRecord(m_arrRecords[j]); // counted even when it fails
            dwFound++;
        }
    }
    return dwFound;
}

DWORD CMyPathList::JoinFilePaths(CString* pstrText) const
{
    if (pstrText == nullptr)
        return 0;
    pstrText->Empty();
    DWORD dwCount = GetCount();
    if (dwCount == 0)
        return 0;
    ULONGLONG ullSize = 0;
    for (DWORD i = 0; i < dwCount; i++)
        ullSize += (ULONGLONG)m_arrRecords[i].FilePath.GetLength() + 1;
    if (ullSize >= 0x7FFFFFFFull)
    {
        AfxMessageBox("ファイルパスリストが大きくなりすぎます。", MB_OK);
        return 0;
    }
    char* pcBuff = pstrText->GetBuffer((int)ullSize);
    int iPos = 0;
    for (DWORD i = 0; i < dwCount; i++)
    {
        const CString& strPath = m_arrRecords[i].FilePath;
        memcpy(pcBuff + iPos, strPath.GetString(), (size_t)strPath.GetLength());
        iPos += strPath.GetLength();
        pcBuff[iPos++] = '\n';
    }
    pstrText->ReleaseBuffer(iPos);
    return dwCount;
}
