// Cutting one source WAV file into the pieces of its plan.
#include "engine/SplitFile.h"

#include "engine/ChannelFiles.h"
#include "engine/Markers.h"
#include "engine/PieceHeader.h"
#include "engine/PieceShape.h"
#include "engine/PlanText.h"
#include "engine/WaveFile.h"
#include "framework/AfxMessageBox.h"
#include "platform/TextFile.h"
#include "support/Trace.h"

#include <string>

namespace
{
const ULONGLONG kAllOnes64 = ~0ull; // Tell(): the system cannot say
// The most one call shares: on XFS 128 shares of 8 MiB took 0.13 s for 1 GiB.
const DWORD kShareSpan = 0x40000000;

void TraceCopyFailure(const char* pcWhat, const CMyWaveFile* pPiece, ULONGLONG qwCopied,
                      DWORD dwError)
{
    WriteTraceFormat("※　%sCopyPiece()\n\tPiecePath[%s], Copied[%I64u]\n:", pcWhat,
                     (const char*)pPiece->GetFilePath(), qwCopied);
    WriteTraceSystemError(dwError);
}

// Two file positions at the same offset within a block: whole blocks of the
// one can be shared with the other.
int IsCongruent(ULONGLONG qwFrom, ULONGLONG qwTo)
{
    return qwFrom != kAllOnes64 && qwTo != kAllOnes64 &&
           qwFrom % kShareBlockSize == qwTo % kShareBlockSize;
}

// A message box says what the trace says, in the logs' form: where the logs
// are for Linux users, with '/' between folders (the program joins names
// with '\').
CString MakeBoxText(const CString& strText)
{
    std::string strSJis;
    if (!LogTextToSJis(MakeLogText(strText, (size_t)strText.GetLength()), &strSJis))
        return strText;
    return CString(strSJis.c_str());
}
} // namespace

DWORD CMySplitter::SplitFile(const CString& strBasePath, const CString& strSrcPath,
                             DWORD dwSectionLength)
{
    m_bWhole = 0;
    const int bDryRun = m_pState->m_bDryRun;
    CMyPlanSink* pSink = m_pState->m_pPlanSink;
    CMySplitDecision decision;
    SplitVerdict verdict = m_pPolicy->Decide(strBasePath, strSrcPath, m_pState->m_pPlanRequest,
                                             dwSectionLength, bDryRun, pSink, &decision);
    if (verdict == kVerdictRefused || verdict == kVerdictLeftAlone)
        return 0;
    const CMyPlan& plan = decision.SourcePlan.Plan;
    const CString& strFolderSep = decision.strFolderSep;
    const DWORD dwPieces = (DWORD)plan.Pieces.size();
    if (bDryRun)
    {
        if (pSink != nullptr && dwPieces == 0)
            pSink->TakeRefusal(strSrcPath, CString());
        else if (pSink != nullptr)
        {
            pSink->TakePlan(strSrcPath, strFolderSep, plan);
            for (DWORD i = 0; i < dwPieces; ++i)
                pSink->TakePiece(strFolderSep, plan, i, kStatusPlanned);
        }
        m_bWhole = 1;
        return dwPieces;
    }
    CMyWaveFile& src = decision.Src;
    const CMyWaveHeader& header = src.GetHeader();
    if (!src.Seek(header.DataStart))
    {
        src.Close();
        WriteTraceText("※　ソースファイルの読込位置をデータ先頭に合わせられませんでした。\n", 0);
        return 0;
    }
    if (pSink != nullptr && dwPieces != 0)
        pSink->TakePlan(strSrcPath, strFolderSep, plan);

    m_bShareBlocks = decision.SourcePlan.bAlignBlocks;
    // Pieces carry the markers inside them when asked to.
    CMyCarriedMarkers carried(decision.SourcePlan, decision.Request.bCarryMarkers);
    const std::vector<char>& kept = decision.Kept;

    // Split by channel, the files of a piece are written together.
    const CMyOutputHeaders headers(header, plan);
    const DWORD dwGroup = plan.GetFilesPerPiece();
    CMyWaveFile piece;
    CMyByteBuff headBuff;
    std::vector<PieceResult> results;
    DWORD dwWritten = 0; // pieces on disk, the last maybe cut short by an abort
    DWORD dwWhole = 0;   // of those, the pieces whole
    int bFault = 0;      // a failure, traced where it was met, ended the split
    int bSeek = 0;       // a kept piece was passed over: the source must follow
    DWORD i = 0;
    // The pieces follow each other in the data: the source is read straight
    // through, but for the pieces -n keeps and the audio trimmed.
    for (; i < dwPieces && !g_bAbort.load(std::memory_order_relaxed); i += dwGroup)
    {
        const CMyPlanPiece& planned = plan.Pieces[i];
        const ULONGLONG qwBytes = plan.GetPieceBytes(i);
        DWORD dwKeptHere = 0;
        for (DWORD k = 0; k < dwGroup && !kept.empty(); ++k)
            dwKeptHere += kept[i + k] != 0;
        if (dwKeptHere == dwGroup)
        {
            dwWritten += dwGroup;
            dwWhole += dwGroup;
            bSeek = 1;
            m_pState->m_ullDoneBytes.fetch_add(planned.qwFrames * plan.wBlockSize +
                                                   planned.dwTailBytes,
                                               std::memory_order_relaxed);
            for (DWORD k = 0; k < dwGroup && pSink != nullptr; ++k)
                pSink->TakePiece(strFolderSep, plan, i + k, kStatusWritten);
            continue;
        }
        // Trimmed pause audio lies between pieces: the source skips it, and
        // the progress counts it as done.
        const ULONGLONG qwAfterLast =
            i > 0 ? plan.Pieces[i - 1].qwStart + plan.Pieces[i - 1].qwFrames : 0;
        if (planned.qwStart != qwAfterLast)
        {
            bSeek = 1;
            m_pState->m_ullDoneBytes.fetch_add((planned.qwStart - qwAfterLast) * plan.wBlockSize,
                                               std::memory_order_relaxed);
        }
        if (bSeek && !src.Seek(header.DataStart + planned.qwStart * header.Param.BlockSize))
        {
            WriteTraceText("※　ソースファイルの読込位置をデータ先頭に合わせられませんでした。\n",
                           0);
            bFault = 1;
            break;
        }
        bSeek = 0;
        CString strPiecePath = strFolderSep + planned.strName;
        if (planned.bRest)
            WriteTraceFormat("RestDataSize: %I64u Byte\n",
                             planned.qwFrames * plan.wBlockSize + planned.dwTailBytes);
        if (!HasRoomFor(decision.strFolder, strPiecePath))
        {
            // Before the shorter last piece a full disk stops this file only;
            // the batch goes on.
            if (!planned.bRest)
                m_pState->m_bStopBatch.store(1, std::memory_order_relaxed);
            bFault = 1;
            break;
        }
        if (dwGroup == 1)
        {
            WriteTraceText(FormatCutTrace(strPiecePath, planned, plan.dwSamplingRate), 0);
            results.assign(1, WritePiece(&piece, &src, strPiecePath, header, qwBytes,
                                         planned.qwStart, i + 1, carried.Of(planned), &headBuff));
        }
        else
            WriteChannelPieces(&src, headers, plan, strFolderSep, i, kept, carried, &results);
        int bAllWritten = 1;
        for (DWORD k = 0; k < dwGroup; ++k)
        {
            const PieceResult result = results[k];
            dwWritten += result == kPieceWritten || result == kPieceCutShort;
            dwWhole += result == kPieceWritten;
            bFault = bFault || result == kPieceFailed || result == kPieceNotOpened ||
                     result == kPieceRemoved;
            bAllWritten = bAllWritten && result == kPieceWritten;
            if (pSink != nullptr)
                pSink->TakePiece(strFolderSep, plan, i + k,
                                 result == kPieceWritten ? kStatusWritten
                                 : result == kPieceCutShort || result == kPieceFailed
                                     ? kStatusCutShort
                                     : kStatusNotWritten);
        }
        if (!bAllWritten)
        {
            i += dwGroup;
            break;
        }
    }
    // The pieces not reached are given up; those -n keeps are whole all the same.
    for (; i < dwPieces; ++i)
    {
        const int bKept = !kept.empty() && kept[i];
        dwWritten += bKept;
        dwWhole += bKept;
        if (pSink != nullptr)
            pSink->TakePiece(strFolderSep, plan, i, bKept ? kStatusWritten : kStatusNotWritten);
    }
    src.Close();
    m_bWhole = dwWhole == dwPieces;
    // Audio trimmed after the last piece is done with too.
    const ULONGLONG qwEnd =
        dwPieces != 0 ? plan.Pieces.back().qwStart + plan.Pieces.back().qwFrames : 0;
    for (const CMyPlanPiece& dropped : plan.Dropped)
        if (m_bWhole && dropped.qwStart >= qwEnd)
            m_pState->m_ullDoneBytes.fetch_add(dropped.qwFrames * plan.wBlockSize,
                                               std::memory_order_relaxed);
    if (!m_bWhole && !bFault)
        WriteTraceFormat("※　中止されたため分割を途中で終えました。SplitFile()\n\t"
                         "WholePieces[%u], PlannedPieces[%I64u]\n",
                         dwWhole, (ULONGLONG)dwPieces);
    return dwWritten;
}

int CMySplitter::HasRoomFor(const CString& strFolder, const CString& strPiecePath)
{
    if (GetDiskFreeBytes(strFolder) >= kMinFreeBytes)
        return 1;
    CString strText;
    strText.Format("※　出力フォルダの空き容量が足りません。\n[ %s ]", (const char*)strPiecePath);
    WriteTraceText(strText, 1);
    AfxMessageBox(MakeBoxText(strText), MB_OK);
    return 0;
}

// Writes one piece: header, then qwDataSize bytes from the source. Whatever
// stops it early, the piece ends up holding exactly the header and the whole
// frames copied, and its header says so; an older, longer file of the same name
// leaves nothing behind. Its form (RF64 or not) is fixed by the planned size,
// so the header rewritten after a short copy has the same length.
CMySplitter::PieceResult CMySplitter::WritePiece(CMyWaveFile* pPiece, CMyWaveFile* pSrc,
                                                 const CString& strPiecePath,
                                                 const CMyWaveHeader& header, ULONGLONG qwDataSize,
                                                 ULONGLONG qwFramesBefore, DWORD dwPiece,
                                                 const std::vector<CMyMarker>& markers,
                                                 CMyByteBuff* pHeadBuff)
{
    if (!OpenPieceForWrite(pPiece, strPiecePath))
        return kPieceNotOpened;
    ULONGLONG qwCopied = 0;
    int bCopied = 0;
    const CMyPieceShape shape =
        ShapePiece(header, qwDataSize, qwFramesBefore, markers, m_bShareBlocks);
    if (BuildPieceHeaderWith(header, qwDataSize, qwFramesBefore, dwPiece, shape.bRf64,
                             shape.strMarkers, pHeadBuff, shape.dwJunk) != shape.dwHeadLength ||
        !pPiece->Write(pHeadBuff->GetBuff(), shape.dwHeadLength))
        TraceCopyFailure("分割ファイルへの書込に失敗しました。", pPiece, 0, GetLastError());
    else
        bCopied = CopyPiece(pPiece, pSrc, qwDataSize, &qwCopied);

    return FinishPiece(pPiece, strPiecePath, header, qwDataSize, qwFramesBefore, dwPiece, markers,
                       shape, bCopied, qwCopied, pHeadBuff);
}

// Ends a piece whose header is written and qwCopied bytes of its samples
// (bCopied 0: the copy failed): a piece cut short keeps its whole frames and
// a true header; one that cannot be made true is deleted.
CMySplitter::PieceResult CMySplitter::FinishPiece(CMyWaveFile* pPiece, const CString& strPiecePath,
                                                  const CMyWaveHeader& header, ULONGLONG qwDataSize,
                                                  ULONGLONG qwFramesBefore, DWORD dwPiece,
                                                  const std::vector<CMyMarker>& markers,
                                                  const CMyPieceShape& shape, int bCopied,
                                                  ULONGLONG qwCopied, CMyByteBuff* pHeadBuff)
{
    const WORD wBlock = header.Param.BlockSize;
    const std::string& strMarkers = shape.strMarkers;
    const int bRf64 = shape.bRf64;
    const DWORD dwHeadLength = shape.dwHeadLength;
    int bShort = !bCopied || qwCopied < qwDataSize;
    int bTrue = 1;
    // A piece cut short keeps whole frames only: a block ends where 8 MiB or
    // a failed write ends, which need not be a frame's end (24-bit stereo).
    if (bShort)
    {
        qwCopied -= qwCopied % wBlock;
        bTrue = pPiece->Seek(dwHeadLength + qwCopied);
    }
    bTrue = pPiece->Truncate() && bTrue;
    if (bShort)
    {
        std::string strShort =
            strMarkers.empty() ? std::string()
                               : BuildShortPieceMarkerChunks(markers, qwFramesBefore,
                                                             qwCopied / wBlock, strMarkers.size());
        bTrue = bTrue &&
                BuildPieceHeaderWith(header, qwCopied, qwFramesBefore, dwPiece, bRf64, strShort,
                                     pHeadBuff, shape.dwJunk) == dwHeadLength &&
                pPiece->WriteAt(0, pHeadBuff->GetBuff(), dwHeadLength);
    }
    if (!pPiece->Close())
    {
        // Written data may be lost on the way (a network share reports it
        // here): the piece cannot be taken as whole.
        DWORD dwError = GetLastError();
        WriteTraceFormat("※　分割ファイルを閉じられません。SplitFile()\n\tPiecePath[%s]\n:",
                         (const char*)strPiecePath);
        WriteTraceSystemError(dwError);
        bTrue = 0;
    }
    if (!bTrue)
    {
        // A device that takes no more writes leaves a header that promises
        // data the file lacks: such a piece must not stay behind.
        if (DeleteFileA(strPiecePath))
            WriteTraceFormat("※　分割ファイルを正しく閉じられないため削除しました。SplitFile()\n\t"
                             "PiecePath[%s]\n",
                             (const char*)strPiecePath);
        else
        {
            DWORD dwError = GetLastError();
            WriteTraceFormat("※　分割ファイルを正しく閉じられず、削除もできません。SplitFile()\n\t"
                             "PiecePath[%s]\n:",
                             (const char*)strPiecePath);
            WriteTraceSystemError(dwError);
            return kPieceFailed;
        }
        return kPieceRemoved;
    }
    if (!bCopied)
        return kPieceFailed;
    return qwCopied < qwDataSize ? kPieceCutShort : kPieceWritten;
}

int OpenPieceForWrite(CMyWaveFile* pPiece, const CString& strPiecePath)
{
    if (pPiece->IsOpen())
        return 0;
    if (pPiece->SetFilePath(strPiecePath) && pPiece->OpenForWrite())
        return 1;
    DWORD dwError = GetLastError();
    WriteTraceFormat("※　分割ファイルを開けません。SplitFile()\n\tPiecePath[%s]\n:",
                     (const char*)strPiecePath);
    WriteTraceSystemError(dwError);
    return 0;
}

int CMySplitter::CopyPiece(CMyWaveFile* pPiece, CMyWaveFile* pSrc, ULONGLONG qwCount,
                           ULONGLONG* pqwCopied)
{
    *pqwCopied = 0;
    ULONGLONG qwLeft = qwCount;
    // Once the system's copy fails, the rest of the piece is read and written,
    // so that a real fault is met, and named, by the ordinary calls.
    int bSystemCopy = 1;
    // A piece whose audio keeps the source's offset within a block (its JUNK
    // chunk) shares the whole blocks and copies the partial ones at either
    // end. Where sharing fails, the rest of the piece is copied: the file
    // system cannot, and a real fault is met by the copy.
    ULONGLONG qwSrcPos = m_bShareBlocks ? pSrc->Tell() : 0;
    int bShare = m_bShareBlocks && IsCongruent(qwSrcPos, pPiece->Tell());
    while (qwLeft > 0 && !g_bAbort.load(std::memory_order_relaxed))
    {
        DWORD dwGot = 0;
        SetLastError(ERROR_SUCCESS);
        DWORD dwWant = qwLeft < kSplitBlockSize ? (DWORD)qwLeft : kSplitBlockSize;
        int bShared = 0;
        if (bShare)
        {
            DWORD dwToBlock =
                (DWORD)((kShareBlockSize - qwSrcPos % kShareBlockSize) % kShareBlockSize);
            if (dwToBlock != 0 && dwToBlock < dwWant)
                dwWant = dwToBlock;
            else if (dwToBlock == 0 && dwWant >= kShareBlockSize)
            {
                // Each share costs the file system a call of its own, but
                // hardly depends on the length: a piece's blocks go at once.
                dwWant = qwLeft < kShareSpan ? (DWORD)qwLeft : kShareSpan;
                dwWant -= dwWant % kShareBlockSize;
                bShared = pPiece->ShareFrom(pSrc, dwWant);
                bShare = bShared;
                dwGot = bShared ? dwWant : 0;
            }
        }
        if (!bShared && (!bSystemCopy || !pPiece->CopyFrom(pSrc, dwWant, &dwGot)))
        {
            bSystemCopy = 0;
            // The failed copy's error is not the read's: a source that ended
            // early must be traced as its end, not as an unsupported copy.
            SetLastError(ERROR_SUCCESS);
            // The block stays in the source's buffer: the piece writes it from there.
            const BYTE* pbBlock = pSrc->Read(dwWant, &dwGot);
            if (pbBlock == nullptr || dwGot == 0)
            {
                DWORD dwError = GetLastError();
                // A read that finds no more data fails without an error code: the
                // source became shorter while it was being cut.
                TraceCopyFailure("ソースファイルの読込に失敗しました。", pPiece, *pqwCopied,
                                 dwError != ERROR_SUCCESS ? dwError : (DWORD)ERROR_HANDLE_EOF);
                return 0;
            }
            if (!pPiece->Write(pbBlock, dwGot))
            {
                TraceCopyFailure("分割ファイルへの書込に失敗しました。", pPiece, *pqwCopied,
                                 GetLastError());
                return 0;
            }
        }
        *pqwCopied += dwGot;
        qwLeft -= dwGot;
        qwSrcPos += dwGot;
        m_pState->m_ullDoneBytes.fetch_add(dwGot, std::memory_order_relaxed);
        m_pHost->PostRunProgress();
    }
    return 1;
}

ULONGLONG GetDiskFreeBytes(const char* pcFolder)
{
    if (pcFolder == nullptr || pcFolder[0] == '\0')
        return 0;
    // A share root ("\\server\share") and a drive ("C:") are only understood
    // as folders with a final separator.
    CString strFolder(pcFolder);
    char cLast = strFolder[strFolder.GetLength() - 1];
    if (cLast != '\\' && cLast != '/')
        strFolder += "\\";
    ULARGE_INTEGER uliFree;
    uliFree.QuadPart = 0;
    if (!WvGetDiskFreeSpaceEx(strFolder, &uliFree))
    {
        DWORD dwError = GetLastError();
        WriteTraceFormat("※　空き容量を取得できません。GetDiskFreeBytes()\n\tFolder[%s]\n:",
                         pcFolder);
        WriteTraceSystemError(dwError);
        return 0;
    }
    return uliFree.QuadPart;
}
