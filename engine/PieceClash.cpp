// Pieces must never land on a collected file.
#include "engine/PieceClash.h"

#include "engine/SplitPlan.h"
#include "sources/PathList.h"

int GetFileIdentity(const char* pcPath, CMyFileIdentity* pId)
{
    // No access asked: only the attributes are read, whoever holds the file.
    HANDLE hFile = CreateFileA(pcPath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION info;
    int bOk = GetFileInformationByHandle(hFile, &info) ? 1 : 0;
    CloseHandle(hFile);
    if (bOk)
    {
        pId->dwVolume = info.dwVolumeSerialNumber;
        pId->qwIndex = ((ULONGLONG)info.nFileIndexHigh << 32) | info.nFileIndexLow;
    }
    return bOk;
}

void CMyCollectedFiles::TakeIdentities(const CMyPathList& list)
{
    m_paths.clear();
    for (DWORD i = 0; i < list.GetCount(); ++i)
    {
        CMyFileIdentity id;
        if (GetFileIdentity(list.GetAt(i).FilePath, &id))
            m_paths.emplace(id, list.GetAt(i).FilePath);
    }
}

int CMyCollectedFiles::FindClash(const CString& strFolder, const CMyPlan& plan,
                                 const CString& strSrcPath, CString* pstrClash) const
{
    int iSource = 0; // 1 with srcId known, -1 when the source cannot be opened
    CMyFileIdentity srcId;
    for (const CMyPlanPiece& piece : plan.Pieces)
    {
        CString strPiece = strFolder + piece.strName;
        CMyFileIdentity id;
        if (!GetFileIdentity(strPiece, &id))
            continue;
        auto it = m_paths.find(id);
        if (it != m_paths.end())
        {
            *pstrClash = it->second;
            return 1;
        }
        if (iSource == 0)
            iSource = GetFileIdentity(strSrcPath, &srcId) ? 1 : -1;
        if (iSource == 1 && id == srcId)
        {
            *pstrClash = strSrcPath;
            return 1;
        }
    }
    return 0;
}
