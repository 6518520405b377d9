// The user's cuts of one source.
#include "engine/SourceCuts.h"

#include "engine/PlanText.h"
#include "platform/PlatformHooks.h"
#include "support/SJisByteType.h"

#include <algorithm>

namespace
{
// Where the name starts after the last separator ('\\' or '/', never the
// second byte of a character).
int FindNameStart(const CString& strPath)
{
    const char* pc = strPath;
    int iName = 0;
    for (int i = 0; pc[i] != '\0'; i += GetSJisCharBytes(pc + i))
        if (pc[i] == '/' || pc[i] == '\\')
            iName = i + 1;
    return iName;
}

// The path with '/' for each separator: a plan shows them so on Linux.
CString WithSlashes(const CString& strPath)
{
    CString str(strPath);
    const char* pc = strPath;
    for (int i = 0; pc[i] != '\0'; i += GetSJisCharBytes(pc + i))
        if (pc[i] == '\\')
            str.SetAt(i, '/');
    return str;
}

void AddCuts(const CMyCutGroup& group, DWORD dwRate, std::vector<CMyFixedCut>* pCuts)
{
    for (const CMyListCut& listed : group.Cuts)
    {
        CMyFixedCut cut;
        cut.qwFrame = FramesOfCutTime(listed.Time, dwRate);
        cut.Cut = kCutList;
        cut.strLabel = listed.strLabel;
        cut.strPerformer = listed.strPerformer;
        pCuts->push_back(cut);
    }
}
} // namespace

const CMyCutGroup* FindCutGroup(const CMyCutList& list, const CString& strSrcPath)
{
    const CString strPath = WithSlashes(strSrcPath);
    const CString strName = strSrcPath.Mid(FindNameStart(strSrcPath));
    for (const CMyCutGroup& group : list.Groups)
        if (!group.strSource.IsEmpty() && WithSlashes(group.strSource) == strPath)
            return &group;
    for (const CMyCutGroup& group : list.Groups)
        if (!group.strSource.IsEmpty() &&
            group.strSource.Mid(FindNameStart(group.strSource)).CompareNoCase(strName) == 0)
            return &group;
    for (const CMyCutGroup& group : list.Groups)
        if (group.strSource.IsEmpty())
            return &group;
    return nullptr;
}

int MakeSourceCuts(const CMyRunCuts& runCuts, const CString& strSrcPath, DWORD dwSamplingRate,
                   ULONGLONG qwFrames, std::vector<CMyFixedCut>* pCuts,
                   std::vector<CString>* pNotes)
{
    pCuts->clear();
    int bGiven = 0, bFound = 0;
    const CMyCutList* pLists[] = {&runCuts.Listed, &runCuts.Typed, nullptr};
    if (runCuts.bBeside)
    {
        auto it = runCuts.Beside.find(strSrcPath.GetString());
        pLists[2] = it != runCuts.Beside.end() ? &it->second : nullptr;
        bGiven = 1;
    }
    for (const CMyCutList* pList : pLists)
    {
        if (pList == nullptr || pList->Groups.empty())
            continue;
        bGiven = 1;
        const CMyCutGroup* pGroup = FindCutGroup(*pList, strSrcPath);
        if (pGroup == nullptr)
            continue;
        bFound = 1;
        AddCuts(*pGroup, dwSamplingRate, pCuts);
    }
    if (!bFound)
    {
        if (bGiven)
            pNotes->push_back("区切りリストにこのファイルの区切りがないため、区切りリストでは"
                              "区切りません。\n");
        return 0;
    }
    std::stable_sort(pCuts->begin(), pCuts->end(),
                     [](const CMyFixedCut& a, const CMyFixedCut& b)
                     { return a.qwFrame < b.qwFrame; });
    // A cut at 0 with a label names the first piece; one without does nothing.
    DWORD dwIdle = 0;
    for (const CMyFixedCut& cut : *pCuts)
        if (cut.qwFrame == 0 && cut.strLabel.IsEmpty() && cut.strPerformer.IsEmpty())
            ++dwIdle;
    if (dwIdle != 0)
    {
        CString strNote;
        strNote.Format("データの先頭の区切りは使いません。\n\tCount[%u]\n", dwIdle);
        pNotes->push_back(strNote);
    }
    auto itEnd =
        std::find_if(pCuts->begin(), pCuts->end(),
                     [qwFrames](const CMyFixedCut& cut) { return cut.qwFrame >= qwFrames; });
    if (itEnd != pCuts->end())
    {
        CString strNote;
        strNote.Format("データの末尾か、それより後の区切りは使いません。\n"
                       "\tCount[%u], First[%s]\n",
                       (DWORD)(pCuts->end() - itEnd),
                       (const char*)FormatPlanTime(itEnd->qwFrame, dwSamplingRate));
        pNotes->push_back(strNote);
        pCuts->erase(itEnd, pCuts->end());
    }
    return 1;
}

CString FindCutsBeside(const CString& strSrcPath)
{
    const int iName = FindNameStart(strSrcPath);
    const CString strFolder = strSrcPath.Left(iName);
    CString strTitle = strSrcPath.Mid(iName);
    const int iDot = strTitle.ReverseFind('.');
    if (iDot > 0)
        strTitle = strTitle.Left(iDot);
    CString strFound;
    for (const char* pcExt : {".cue", ".txt"})
    {
        WIN32_FIND_DATAA entry;
        HANDLE hFind = WvFindFirstFile(strFolder + "*.*", &entry);
        if (hFind == INVALID_HANDLE_VALUE)
            return CString();
        do
        {
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                CString(entry.cFileName).CompareNoCase(strTitle + pcExt) == 0)
                strFound = strFolder + entry.cFileName;
        } while (strFound.IsEmpty() && WvFindNextFile(hFind, &entry));
        FindClose(hFind);
        if (!strFound.IsEmpty())
            return strFound;
    }
    return CString();
}
