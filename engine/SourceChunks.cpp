// What planning reads from a source beyond its header.
#include "engine/SourceChunks.h"

#include "engine/RiffChunks.h"

#include <cstring>

namespace
{
// A marker or bext chunk beyond this is taken for garbage.
const DWORD kMaxChunkBody = 0x1000000;
// A walk through more chunks than this is taken for garbage too.
const DWORD kMaxChunks = 100000;

class CMySourceWalk
{
public:
    CMySourceWalk(CMyLockedFile* pFile, CMySourceChunks* pOut) : m_Bytes(pFile), m_pOut(pOut) {}

    // Chunks from qwPos to qwEnd; 0 after a failed read. With bNoteOverrun a
    // chunk that runs past qwEnd (the end of the file) is named.
    int Walk(ULONGLONG qwPos, ULONGLONG qwEnd, int bNoteOverrun);
    CMyRiffBytes* GetBytes() { return &m_Bytes; }

private:
    int Take(const char* pcId, ULONGLONG qwBody, DWORD dwSize);
    int Fail(ULONGLONG qwPosition);

    CMyFileRiffBytes m_Bytes;
    CMySourceChunks* m_pOut;
    DWORD m_dwChunks = 0;
};

int CMySourceWalk::Fail(ULONGLONG qwPosition)
{
    CString strNote;
    strNote.Format("※　チャンクを読めません。ReadSourceChunks()\n\tPosition[%I64u]\n", qwPosition);
    m_pOut->Notes.push_back(strNote);
    return 0;
}

int CMySourceWalk::Walk(ULONGLONG qwPos, ULONGLONG qwEnd, int bNoteOverrun)
{
    CMyChunkWalk walk(&m_Bytes, qwPos);
    CMyChunk chunk;
    while (walk.GetPos() + 8 <= qwEnd && m_dwChunks++ < kMaxChunks)
    {
        if (!walk.Read(&chunk))
            return Fail(walk.GetPos());
        // Zeros or text after the last chunk end the walk: no chunk follows.
        if (!IsChunkId(chunk.acId) || memcmp(chunk.acId, "data", 4) == 0)
            return 1;
        const DWORD dwSize = chunk.dwSize;
        const ULONGLONG qwBody = chunk.qwPos + 8;
        DWORD dwHave = qwEnd - qwBody < dwSize ? (DWORD)(qwEnd - qwBody) : dwSize;
        if (!Take(chunk.acId, qwBody, dwHave))
            return 0;
        if (dwHave < dwSize)
        {
            if (!bNoteOverrun)
                return 1;
            CString strNote;
            strNote.Format("※　チャンクがファイルの終わりを越えています。ReadSourceChunks()\n"
                           "\tChunk[%.4s], Size[%u], Position[%I64u]\n",
                           chunk.acId, dwSize, chunk.qwPos);
            m_pOut->Notes.push_back(strNote);
            return 1;
        }
        walk.Skip(chunk);
    }
    return 1;
}

// Keeps the bodies planning needs: the first cue and bext, every adtl list.
int CMySourceWalk::Take(const char* pcId, ULONGLONG qwBody, DWORD dwSize)
{
    std::string* pstrBody = nullptr;
    if (memcmp(pcId, "cue ", 4) == 0 && m_pOut->strCue.empty())
        pstrBody = &m_pOut->strCue;
    else if (memcmp(pcId, "bext", 4) == 0 && m_pOut->strBext.empty())
        pstrBody = &m_pOut->strBext;
    else if (memcmp(pcId, "LIST", 4) != 0 || dwSize < 4)
        return 1;
    if (dwSize > kMaxChunkBody)
    {
        CString strNote;
        strNote.Format("※　大きすぎるチャンクを読みません。ReadSourceChunks()\n"
                       "\tChunk[%.4s], Size[%u], Position[%I64u]\n",
                       pcId, dwSize, qwBody - 8);
        m_pOut->Notes.push_back(strNote);
        return 1;
    }
    std::string strBody;
    if (!m_Bytes.ReadAt(qwBody, dwSize, &strBody))
        return Fail(qwBody - 8);
    if (pstrBody != nullptr)
        *pstrBody = strBody;
    else if (strBody.compare(0, 4, "adtl") == 0)
        m_pOut->strAdtl.append(strBody, 4, std::string::npos);
    return 1;
}
} // namespace

int ReadSourceChunks(CMyLockedFile* pFile, const CMyWaveHeader& header, CMySourceChunks* pOut)
{
    const ULONGLONG qwFileSize = pFile->GetFileSize();
    CMySourceWalk walk(pFile, pOut);
    // Before the data: from the first chunk after "WAVE" up to the data tag.
    if (header.DataStart >= 8 && !walk.Walk(12, header.DataStart - 8, 0))
        return 0;
    // After it, where the header says the data ends (and its pad byte).
    ULONGLONG qwAfter = header.DataStart + header.DataSize;
    if (qwAfter < header.DataStart || qwAfter >= qwFileSize)
        return 1;
    return walk.Walk(SkipChunkPad(walk.GetBytes(), qwAfter, header.DataSize), qwFileSize, 1);
}

const BYTE* CMyFileFrameReader::ReadFrames(ULONGLONG qwFirst, DWORD dwFrames, DWORD* pdwGot)
{
    *pdwGot = 0;
    if (m_wBlockSize == 0 || dwFrames > 0xFFFFFFFFu / m_wBlockSize)
        return nullptr;
    const ULONGLONG qwPosition = m_qwDataStart + qwFirst * m_wBlockSize;
    const DWORD dwBytes = dwFrames * m_wBlockSize;
    // Mostly one read brings them all: its buffer is handed on as it is.
    DWORD dwRead = 0;
    const BYTE* pb = m_pFile->Seek(qwPosition) ? m_pFile->Read(dwBytes, &dwRead) : nullptr;
    if (pb != nullptr && dwRead == dwBytes)
    {
        *pdwGot = dwFrames;
        return pb;
    }
    CMyFileRiffBytes bytes(m_pFile);
    if (!bytes.ReadAt(qwPosition, dwBytes, &m_strFrames))
        return nullptr;
    *pdwGot = dwFrames;
    return (const BYTE*)m_strFrames.data();
}
