// Files and folders dropped on the main window, read as the picker's
// confirmed selections would be.
#include "ui/DroppedPicks.h"

#include "platform/ExactNames.h"
#include "support/FileSystem.h"
#include "support/PathText.h"

// The paths are read wide: DragQueryFileA gives "?" (or a look-alike) for a
// character the code page lacks, and the look-up would take "?" as a
// wildcard and find another file ("cafe.wav" for "café.wav").
int CMyDroppedPicks::ReadDrop(HDROP hDrop)
{
    m_picks.clear();
    m_leftOut.Clear();
    UINT nPaths = DragQueryFileW(hDrop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < nPaths; i++)
    {
        WCHAR awcPath[2000] = {};
        if (DragQueryFileW(hDrop, i, awcPath, 2000) == 0)
            continue;
        std::string strPath;
        if (!WideToAnsiExact(awcPath, &strPath))
        {
            m_leftOut.Add(nullptr, awcPath);
            continue;
        }
        const char* pcPath = strPath.c_str();
        WIN32_FIND_DATAA data;
        CString strFolder = GetFolderFromPath(pcPath);
        if (GetFileNameFromPath(pcPath).IsEmpty() || strFolder.IsEmpty() ||
            !GetFindData(&data, pcPath))
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
