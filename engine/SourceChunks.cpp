// What planning reads from a source beyond its header.
#include "engine/SourceChunks.h"

#include <cstring>

namespace
{
// A marker or bext chunk beyond this is taken for garbage.
const DWORD kMaxChunkBody = 0x1000000;
// A walk through more chunks than this is taken for garbage too.
const DWORD kMaxChunks = 100000;

DWORD GetLE32(const char* pc)
{
    const BYTE* pb = (const BYTE*)pc;
    return (DWORD)pb[0] | ((DWORD)pb[1] << 8) | ((DWORD)pb[2] << 16) | ((DWORD)pb[3] << 24);
}

bool IsChunkId(const char* pc)
{
    for (int i = 0; i < 4; ++i)
        if ((BYTE)pc[i] < 0x20 || (BYTE)pc[i] > 0x7E)
            return false;
    return true;
}

// dwCount bytes at qwPosition, in as many reads as the transfer limit needs;
// 0 when they are not all there.
int ReadFileBytes(CMyLockedFile* pFile, ULONGLONG qwPosition, DWORD dwCount, std::string* pstrOut)
{
    pstrOut->clear();
    while (pstrOut->size() < dwCount)
    {
        // Read limits itself by the recorded position, which it does not move.
        if (!pFile->Seek(qwPosition + pstrOut->size()))
            return 0;
        DWORD dwGot = 0;
        const BYTE* pb = pFile->Read(dwCount - (DWORD)pstrOut->size(), &dwGot);
        if (pb == nullptr || dwGot == 0)
            return 0;
        pstrOut->append((const char*)pb, dwGot);
    }
    return 1;
}

// Where the next chunk starts after a body of qwSize bytes ending at qwPos:
// past the pad byte of an odd size, unless the writer forgot it (then a
// chunk id starts at once and none a byte later).
ULONGLONG SkipPad(CMyLockedFile* pFile, ULONGLONG qwPos, ULONGLONG qwSize, ULONGLONG qwEnd)
{
    if ((qwSize & 1) == 0)
        return qwPos;
    std::string strNext;
    int bNoPad = qwPos + 5 <= qwEnd && ReadFileBytes(pFile, qwPos, 5, &strNext) &&
                 IsChunkId(strNext.data()) && !IsChunkId(strNext.data() + 1);
    return bNoPad ? qwPos : qwPos + 1;
}

class CMyChunkWalk
{
public:
    CMyChunkWalk(CMyLockedFile* pFile, CMySourceChunks* pOut) : m_pFile(pFile), m_pOut(pOut) {}

    // Chunks from qwPos to qwEnd; 0 after a failed read. With bNoteOverrun a
    // chunk that runs past qwEnd (the end of the file) is named.
    int Walk(ULONGLONG qwPos, ULONGLONG qwEnd, int bNoteOverrun);

private:
    int Take(const char* pcId, ULONGLONG qwBody, DWORD dwSize);
    int Fail(ULONGLONG qwPosition);

    CMyLockedFile* m_pFile;
    CMySourceChunks* m_pOut;
    DWORD m_dwChunks = 0;
};

int CMyChunkWalk::Fail(ULONGLONG qwPosition)
{
    CString strNote;
    strNote.Format("※　チャンクを読めません。ReadSourceChunks()\n\tPosition[%I64u]\n", qwPosition);
    m_pOut->Notes.push_back(strNote);
    return 0;
}

int CMyChunkWalk::Walk(ULONGLONG qwPos, ULONGLONG qwEnd, int bNoteOverrun)
{
    std::string strHead;
    while (qwPos + 8 <= qwEnd && m_dwChunks++ < kMaxChunks)
    {
        if (!ReadFileBytes(m_pFile, qwPos, 8, &strHead))
            return Fail(qwPos);
        // Zeros or text after the last chunk end the walk: no chunk follows.
        if (!IsChunkId(strHead.data()) || memcmp(strHead.data(), "data", 4) == 0)
            return 1;
        const DWORD dwSize = GetLE32(strHead.data() + 4);
        const ULONGLONG qwBody = qwPos + 8;
        DWORD dwHave = qwEnd - qwBody < dwSize ? (DWORD)(qwEnd - qwBody) : dwSize;
        if (!Take(strHead.data(), qwBody, dwHave))
            return 0;
        if (dwHave < dwSize)
        {
            if (!bNoteOverrun)
                return 1;
            CString strNote;
            strNote.Format("※　チャンクがファイルの終わりを越えています。ReadSourceChunks()\n"
                           "\tChunk[%.4s], Size[%u], Position[%I64u]\n",
                           strHead.data(), dwSize, qwPos);
            m_pOut->Notes.push_back(strNote);
            return 1;
        }
        qwPos = SkipPad(m_pFile, qwBody + dwSize, dwSize, qwEnd);
    }
    return 1;
}

// Keeps the bodies planning needs: the first cue and bext, every adtl list.
int CMyChunkWalk::Take(const char* pcId, ULONGLONG qwBody, DWORD dwSize)
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
    if (!ReadFileBytes(m_pFile, qwBody, dwSize, &strBody))
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
    CMyChunkWalk walk(pFile, pOut);
    // Before the data: from the first chunk after "WAVE" up to the data tag.
    if (header.DataStart >= 8 && !walk.Walk(12, header.DataStart - 8, 0))
        return 0;
    // After it, where the header says the data ends (and its pad byte).
    ULONGLONG qwAfter = header.DataStart + header.DataSize;
    if (qwAfter < header.DataStart || qwAfter >= qwFileSize)
        return 1;
    return walk.Walk(SkipPad(pFile, qwAfter, header.DataSize, qwFileSize), qwFileSize, 1);
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
    if (!ReadFileBytes(m_pFile, qwPosition, dwBytes, &m_strFrames))
        return nullptr;
    *pdwGot = dwFrames;
    return (const BYTE*)m_strFrames.data();
}
