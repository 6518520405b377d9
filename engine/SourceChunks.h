// What planning reads from a source beyond its header: the chunks that hold
// its markers and its recording time, and the frames of the pause search.
#pragma once

#include "engine/LockedFile.h"
#include "engine/SplitPlan.h"
#include "engine/WaveHeader.h"

#include <string>
#include <vector>

struct CMySourceChunks
{
    std::string strCue;  // the first "cue " body
    std::string strAdtl; // the sub-chunks of every LIST/adtl, after the type
    std::string strBext; // the first "bext" body
    // Trace entries for what could not be read.
    std::vector<CString> Notes;
};

// Walks the chunks of the open source before its data and after it (from the
// data start plus the data size the header gives). Reads through the file's
// transfer buffer and leaves its position anywhere: seek to the data before
// copying. A chunk that runs past the end of the file gives what is there.
// 0 when a read failed (the notes say where); the chunks read so far stay.
int ReadSourceChunks(CMyLockedFile* pFile, const CMyWaveHeader& header, CMySourceChunks* pOut);

// The pause search's reader over an open source: frames from the data start.
class CMyFileFrameReader : public CMyFrameReader
{
public:
    CMyFileFrameReader(CMyLockedFile* pFile, const CMyWaveHeader& header)
        : m_pFile(pFile), m_qwDataStart(header.DataStart), m_wBlockSize(header.Param.BlockSize)
    {
    }

    const BYTE* ReadFrames(ULONGLONG qwFirst, DWORD dwFrames, DWORD* pdwGot) override;

private:
    CMyLockedFile* m_pFile;
    ULONGLONG m_qwDataStart;
    WORD m_wBlockSize;
    std::string m_strFrames;
};
