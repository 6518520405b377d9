// Files and folders dropped on the main window, read as the picker's
// confirmed selections would be: the dropped entries of one folder are one
// pick, that folder being the picked base folder.
#pragma once

#include "framework/CString.h"
#include "platform/Platform.h"
#include "ui/LeftOutNames.h"

#include <shellapi.h>

#include <vector>

struct CMyDroppedPick
{
    CString strFolderText; // as the picker shows it (C:\ keeps its backslash)
    CString strFolder;     // without a trailing backslash (C:\ gives C:)
    std::vector<WIN32_FIND_DATAA> entries;
};

class CMyDroppedPicks
{
public:
    // Reads the drop's paths in their order; consecutive paths in one folder
    // make one pick. Paths that name nothing (or a drive itself) are passed
    // over, and paths the code page cannot hold are left out (GetLeftOut).
    // 1 when at least one entry was taken. Leaves the drop to the caller.
    int ReadDrop(HDROP hDrop);

    DWORD GetCount() const { return (DWORD)m_picks.size(); }
    const CMyDroppedPick& GetAt(DWORD dwPick) const { return m_picks[dwPick]; }
    const CMyLeftOutNames& GetLeftOut() const { return m_leftOut; }

private:
    std::vector<CMyDroppedPick> m_picks;
    CMyLeftOutNames m_leftOut;
};
