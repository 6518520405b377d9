#include "ui/DroppedPicks.h"

#include "support/FileSystem.h"
#include "support/PathText.h"

int CMyDroppedPicks::ReadDrop(HDROP hDrop)
{
    m_picks.clear();
    UINT nPaths = DragQueryFileA(hDrop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < nPaths; i++)
    {
        char acPath[2000] = {};
        if (DragQueryFileA(hDrop, i, acPath, sizeof(acPath)) == 0)
            continue;
        WIN32_FIND_DATAA data;
        CString strFolder = GetFolderFromPath(acPath);
        if (GetFileNameFromPath(acPath).IsEmpty() || strFolder.IsEmpty() ||
            !GetFindData(&data, acPath))
            continue;
        if (m_picks.empty() || m_picks.back().strFolder.CompareNoCase(strFolder) != 0)
        {
            CMyDroppedPick pick;
            pick.strFolder = strFolder;
            int bDrive = strFolder.GetLength() == 2 && strFolder[1] == ':';
            pick.strFolderText = bDrive ? strFolder + "\\" : strFolder;
            m_picks.push_back(pick);
        }
        m_picks.back().entries.push_back(data);
    }
    return m_picks.empty() ? 0 : 1;
}
