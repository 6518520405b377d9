// Cutting one source WAV file into the pieces of its plan, each a complete
// WAV file: by default the canonical 44-byte header and "<base path>_001.wav".
// Whether and into what a file is cut is the policy's (SplitPolicy); this is
// the copy that carries its verdict out.
#pragma once

#include "engine/PlanSink.h"
#include "engine/RunState.h"
#include "engine/SplitPolicy.h"

#include <vector>

class CMyByteBuff;
class CMyCarriedMarkers;
class CMyOutputHeaders;
class CMyWaveFile;
class CMyWaveHeader;
struct CMyMarker;
struct CMyPieceShape;

// One read and one write per block; the source's transfer buffer has this size.
const DWORD kSplitBlockSize = 0x800000;
// Less free space than this in the output folder stops a split before a piece.
const ULONGLONG kMinFreeBytes = 0x800000;

// Runs on the run's worker thread. Tests g_bAbort before every piece and every
// block; adds every block to the run's bytes-done counter and posts progress
// through the host after it; sets the run's stop-batch flag when the output
// disk is full before a full piece.
class CMySplitter
{
public:
    CMySplitter(CMyRunState* pState, CMyRunHost* pHost) : m_pState(pState), m_pHost(pHost) {}
    CMySplitter(const CMySplitter&) = delete;
    CMySplitter& operator=(const CMySplitter&) = delete;

    // The run's policy, which has decided its files so far; owned by the
    // caller. Without one the splitter keeps its own, which knows no
    // collected files and no -n.
    void SetPolicy(CMySplitPolicy* pPolicy) { m_pPolicy = pPolicy; }
    // Has the policy decide the file (the state's request, with this fixed
    // length), then writes what it decided; the pieces on disk, the last
    // maybe cut short by an abort (0: none). In a dry run the pieces
    // planned, nothing written.
    DWORD SplitFile(const CString& strBasePath, const CString& strSrcPath, DWORD dwSectionLength);
    // 1 when the last SplitFile left every piece of its plan whole on disk:
    // only then does the file count as split.
    int WasWhole() const { return m_bWhole; }
    int CopyPiece(CMyWaveFile* pPiece, CMyWaveFile* pSrc, ULONGLONG qwCount, ULONGLONG* pqwCopied);

private:
    enum PieceResult
    {
        kPieceNotOpened, // nothing written
        kPieceWritten,   // complete
        kPieceCutShort,  // cut short by an abort, its header true
        kPieceFailed,    // cut short by a failed read or write, its header true
        kPieceRemoved    // could not be made true or closed: deleted
    };

    int HasRoomFor(const CString& strFolder, const CString& strPiecePath);
    PieceResult WritePiece(CMyWaveFile* pPiece, CMyWaveFile* pSrc, const CString& strPiecePath,
                           const CMyWaveHeader& header, ULONGLONG qwDataSize,
                           ULONGLONG qwFramesBefore, DWORD dwPiece,
                           const std::vector<CMyMarker>& markers, CMyByteBuff* pHeadBuff);
    PieceResult FinishPiece(CMyWaveFile* pPiece, const CString& strPiecePath,
                            const CMyWaveHeader& header, ULONGLONG qwDataSize,
                            ULONGLONG qwFramesBefore, DWORD dwPiece,
                            const std::vector<CMyMarker>& markers, const CMyPieceShape& shape,
                            int bCopied, ULONGLONG qwCopied, CMyByteBuff* pHeadBuff);
    // Split by channel: writes the files of the piece whose first entry is
    // dwFirst from one read of its frames, but for those -n keeps; a result
    // for each file (kPieceWritten for those kept).
    void WriteChannelPieces(CMyWaveFile* pSrc, const CMyOutputHeaders& headers, const CMyPlan& plan,
                            const CString& strFolderSep, DWORD dwFirst,
                            const std::vector<char>& kept, const CMyCarriedMarkers& carried,
                            std::vector<PieceResult>* pResults);

    CMyRunState* m_pState;
    CMyRunHost* m_pHost;
    CMySplitPolicy m_ownPolicy;
    CMySplitPolicy* m_pPolicy = &m_ownPolicy;
    int m_bWhole = 0;
    // The file's pieces share whole blocks with it where the system can.
    int m_bShareBlocks = 0;
    // Split by channel: each channel file's de-interleaved block.
    std::vector<std::vector<BYTE>> m_channelBuffs;
};

// Opens the piece's file for writing, emptied; 0 (traced) when it cannot.
int OpenPieceForWrite(CMyWaveFile* pPiece, const CString& strPiecePath);
// Bytes available to the caller on the volume that holds the folder; 0 for an
// empty path or when the platform cannot say (which it traces).
ULONGLONG GetDiskFreeBytes(const char* pcFolder);
