// Pieces must never land on a collected file: "a.wav" and "a_001.wav" side by
// side with the output mirrored onto their own folder, an output folder that
// is a link to a source folder, or a piece name that is another link to a
// source would lose that source, and split it again later. Files are told
// apart by what they are (volume and file index), not by how their paths are
// spelt: letter case counts where the file system says it does.
#pragma once

#include "framework/CString.h"
#include "platform/Platform.h"

#include <map>

class CMyPathList;
struct CMyPlan;

// A file's identity: the serial number of its volume and its index there.
struct CMyFileIdentity
{
    DWORD dwVolume = 0;
    ULONGLONG qwIndex = 0;

    bool operator<(const CMyFileIdentity& other) const
    {
        return dwVolume != other.dwVolume ? dwVolume < other.dwVolume : qwIndex < other.qwIndex;
    }
    bool operator==(const CMyFileIdentity& other) const
    {
        return dwVolume == other.dwVolume && qwIndex == other.qwIndex;
    }
};

// The identity of the file the path names, links followed; 0 when it cannot
// be opened (as a missing file cannot).
int GetFileIdentity(const char* pcPath, CMyFileIdentity* pId);

// The collected files as they were when the batch started.
class CMyCollectedFiles
{
public:
    // Takes every record's identity; a file that cannot be opened is left out
    // (its own split fails).
    void TakeIdentities(const CMyPathList& list);
    // Looks at the plan's pieces (strFolder, which ends with its separator,
    // and each piece's name) that exist already: 1 with *pstrClash the path
    // of the first that is a collected file or the source itself; 0 when
    // none is. Only pieces that exist are opened.
    int FindClash(const CString& strFolder, const CMyPlan& plan, const CString& strSrcPath,
                  CString* pstrClash) const;

private:
    std::map<CMyFileIdentity, CString> m_paths; // identity -> the record's FilePath
};
