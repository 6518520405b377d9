// Cutting one source WAV file into the pieces of its plan, each a complete
// WAV file: by default the canonical 44-byte header and "<base path>_001.wav".
#pragma once

#include "engine/RunState.h"

#include <string>
#include <unordered_set>
#include <vector>

class CMyByteBuff;
class CMyCollectedFiles;
class CMyWaveFile;
class CMyWaveHeader;
struct CMyMarker;
struct CMyPlan;
struct CMyPlanRequest;

// Who hears of each file's plan: the dry run's lines, a plan file. Called on
// the run's worker thread.
class CMyPlanSink
{
public:
    virtual ~CMyPlanSink() = default;
    // The plan of a file about to be split (in a dry run, instead of
    // splitting it): each piece's path is strFolder (which ends with its
    // separator) and its name.
    virtual void TakePlan(const CString& strSrcPath, const CString& strFolder,
                          const CMyPlan& plan) = 0;
    // Dry run: a file that would not be split, and the trace entry that
    // says why (Shift-JIS; empty when the trace would say nothing).
    virtual void TakeRefusal(const CString& strSrcPath, const CString& strReason) = 0;
};

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

    // The files of the batch, which no piece may overwrite (the source itself
    // is always looked at); owned by the caller, null for none.
    void SetCollectedFiles(const CMyCollectedFiles* pCollected) { m_pCollected = pCollected; }
    // Plans the file (the state's request, with this fixed length), then
    // writes the plan; the pieces written, the last maybe cut short by an
    // abort (0: none). In a dry run the pieces planned, nothing written.
    DWORD SplitFile(const CString& strBasePath, const CString& strSrcPath, DWORD dwSectionLength);
    // 1 when the last SplitFile wrote every piece of its plan whole: only
    // then does the file count as split.
    int WasWhole() const { return m_bWhole; }
    int CopyPiece(CMyWaveFile* pPiece, CMyWaveFile* pSrc, ULONGLONG qwCount, ULONGLONG* pqwCopied);

private:
    enum PieceResult
    {
        kPieceNotOpened, // nothing written
        kPieceWritten,   // complete
        kPieceCutShort,  // cut short by an abort, its header true
        kPieceFailed     // cut short by a failed read or write
    };

    DWORD Refuse(const CString& strSrcPath, const char* pcFormat, ...);
    int TakeNames(const CString& strSrcPath, const CString& strFolder, const CMyPlan& plan);
    int HasRoomFor(const CString& strFolder, const CString& strPiecePath);
    PieceResult WritePiece(CMyWaveFile* pPiece, CMyWaveFile* pSrc, const CString& strPiecePath,
                           const CMyWaveHeader& header, ULONGLONG qwDataSize,
                           ULONGLONG qwFramesBefore, DWORD dwPiece,
                           const std::vector<CMyMarker>& markers, CMyByteBuff* pHeadBuff);

    CMyRunState* m_pState;
    CMyRunHost* m_pHost;
    const CMyCollectedFiles* m_pCollected = nullptr;
    int m_bWhole = 0;
    // A name template other than today's may give pieces of two files one
    // name: the piece paths of the run so far, upper-cased.
    std::unordered_set<std::string> m_takenPaths;
};

// A piece a split would write: its path and its whole size, header included.
struct CMyPlannedPiece
{
    CString strPath;
    ULONGLONG qwFileSize = 0;
};

// The pieces a split of the source (its request, null for the default; with
// this fixed length) would write under the base path's folder, found without
// writing anything or a word to the trace; 0 (and no pieces) when the split
// would refuse the source before its first piece.
int PlanSplit(const CString& strBasePath, const CString& strSrcPath, DWORD dwSectionLength,
              const CMyPlanRequest* pRequest, std::vector<CMyPlannedPiece>* pPieces);

// Bytes available to the caller on the volume that holds the folder; 0 for an
// empty path or when the platform cannot say (which it traces).
ULONGLONG GetDiskFreeBytes(const char* pcFolder);
