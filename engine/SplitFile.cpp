// Cutting one source WAV file into the pieces of its plan.
#include "engine/SplitFile.h"

#include "engine/Markers.h"
#include "engine/PieceClash.h"
#include "engine/PieceHeader.h"
#include "engine/PlanText.h"
#include "engine/SourcePlan.h"
#include "engine/WaveFile.h"
#include "framework/AfxMessageBox.h"
#include "framework/FormatText.h"
#include "support/MyWString.h"
#include "support/Trace.h"

#include <cstdarg>

namespace
{
const ULONGLONG kNotFound = 0xFFFFFFFFFFFFFFFFull;

// The output folder: the base path before its last separator, which must
// leave at least two characters in front of it; the folder with that
// separator, to which the pieces' names are joined; the title after it.
int SplitBasePath(const CString& strBasePath, CString* pstrFolder, CString* pstrFolderSep,
                  CString* pstrTitle)
{
    CMyWString strBase(strBasePath);
    DWORD dwSep = strBase.ReverseFindOneOf(0xFFFFFFFF, WSTR("\\/"));
    if (dwSep == 0xFFFFFFFF || dwSep <= 1)
        return 0;
    *pstrFolder = strBase.GetSectorData(0, dwSep);
    // The same separator in the narrow text: the folder and the title keep
    // their bytes, so that the pieces' paths are the base path's own.
    int iSep = FindLastCharSJis(strBasePath, '\\');
    int iSlash = FindLastCharSJis(strBasePath, '/');
    iSep = iSlash > iSep ? iSlash : iSep;
    *pstrFolderSep = strBasePath.Left(iSep + 1);
    *pstrTitle = strBasePath.Mid(iSep + 1);
    return 1;
}

// "{title}_{n}" (or no template): names that two files with different
// titles never share.
int IsTodaysNames(const CMyNameTemplate& nameTemplate)
{
    const std::vector<CMyNamePart>& parts = nameTemplate.Parts;
    return parts.empty() ||
           (parts.size() == 3 && parts[0].Field == kFieldTitle && parts[1].Field == kFieldText &&
            parts[1].strText == "_" && parts[2].Field == kFieldNumber);
}

// Prepares the source for block reads; the source is only opened for reading.
int OpenSource(CMyWaveFile* pSrc, const CString& strSrcPath)
{
    if (!pSrc->SetFilePath(strSrcPath) || pSrc->RefreshFileSize() == kNotFound)
        return 0;
    if (!pSrc->GetTransferBuff().Reallocate(kSplitBlockSize, 1))
        return 0;
    pSrc->SetTransferLimit(kSplitBlockSize);
    return pSrc->OpenForRead();
}

// The run's request with this fixed length.
CMyPlanRequest MakeRequest(const CMyPlanRequest* pRequest, DWORD dwSectionLength)
{
    CMyPlanRequest request;
    if (pRequest != nullptr)
        request = *pRequest;
    request.Rule.dwSectionLength = dwSectionLength;
    return request;
}

// The markers each piece carries inside it, when the request asks for them.
class CMyCarriedMarkers
{
public:
    CMyCarriedMarkers(const CMySourcePlan& sourcePlan, int bCarry)
        : m_markers(sourcePlan.Markers), m_bCarry(bCarry && !sourcePlan.Markers.empty())
    {
        for (size_t i = 0; m_bCarry && i < m_markers.size(); ++i)
            if (m_markers[i].qwLength > 0)
                m_regions.push_back(i);
    }
    std::vector<CMyMarker> Of(const CMyPlanPiece& planned) const
    {
        if (!m_bCarry)
            return std::vector<CMyMarker>();
        return PickPieceMarkers(m_markers, m_regions, planned.qwStart,
                                planned.qwStart + planned.qwFrames);
    }

private:
    const std::vector<CMyMarker>& m_markers;
    int m_bCarry;
    std::vector<size_t> m_regions;
};

// A piece's marker chunks, its form and the length of its header: as it is
// written, and as a plan measures it.
struct CMyPieceShape
{
    std::string strMarkers;
    int bRf64 = 0;
    DWORD dwHeadLength = 0;
};

CMyPieceShape ShapePiece(const CMyWaveHeader& header, ULONGLONG qwDataSize,
                         ULONGLONG qwFramesBefore, const std::vector<CMyMarker>& markers)
{
    CMyPieceShape shape;
    if (!markers.empty())
        shape.strMarkers =
            BuildPieceMarkerChunks(markers, qwFramesBefore, qwDataSize / header.Param.BlockSize);
    shape.bRf64 = IsRf64Piece(header, qwDataSize + shape.strMarkers.size(), qwFramesBefore);
    shape.dwHeadLength =
        CalcPieceHeaderLength(header, shape.bRf64, qwFramesBefore) + (DWORD)shape.strMarkers.size();
    return shape;
}

void TraceCopyFailure(const char* pcWhat, const CMyWaveFile* pPiece, ULONGLONG qwCopied,
                      DWORD dwError)
{
    WriteTraceFormat("※　%sCopyPiece()\n\tPiecePath[%s], Copied[%I64u]\n:", pcWhat,
                     (const char*)pPiece->GetFilePath(), qwCopied);
    WriteTraceSystemError(dwError);
}
} // namespace

DWORD CMySplitter::Refuse(const CString& strSrcPath, const char* pcFormat, ...)
{
    // The trace's own limit, so that its entries stay as they were.
    char acText[1024];
    va_list args;
    va_start(args, pcFormat);
    FormatTextV(acText, sizeof(acText), pcFormat, args);
    va_end(args);
    if (!m_pState->m_bDryRun)
        WriteTraceText(acText, 0);
    else if (m_pState->m_pPlanSink != nullptr)
        m_pState->m_pPlanSink->TakeRefusal(strSrcPath, acText);
    return 0;
}

DWORD CMySplitter::SplitFile(const CString& strBasePath, const CString& strSrcPath,
                             DWORD dwSectionLength)
{
    m_bWhole = 0;
    const int bDryRun = m_pState->m_bDryRun;
    CString strFolder, strFolderSep, strTitle;
    if (!SplitBasePath(strBasePath, &strFolder, &strFolderSep, &strTitle))
        return Refuse(strSrcPath, "※　出力基本パスが無効です。[ %s ]\n", (const char*)strBasePath);
    CMyWaveFile src;
    if (!OpenSource(&src, strSrcPath))
        return Refuse(strSrcPath, "※　入力ファイルのオープンに失敗。\n");
    if (!src.ReadHeader())
        return Refuse(strSrcPath, "※　無効なWAVEヘッダです。\n");
    CMyWaveHeader header = src.GetHeader();

    ULONGLONG qwFileSize = src.RefreshFileSize();
    if (qwFileSize == kNotFound || qwFileSize <= header.DataStart)
        return Refuse(strSrcPath, "※　ファイルサイズがデータ先頭アドレスより小さいです。\n");
    if (header.DataSize == 0)
    {
        // Bytes may follow, but the header says none of them is audio.
        return Refuse(strSrcPath,
                      "※　%sのデータサイズが0のため分割しません。SplitFile()\n\t"
                      "DataStart[%I64u], FileSize[%I64u]\n",
                      header.bRf64 ? "ds64チャンク" : "dataチャンク", header.DataStart, qwFileSize);
    }

    const CMyPlanRequest request = MakeRequest(m_pState->m_pPlanRequest, dwSectionLength);
    CMySourcePlan sourcePlan;
    int bPlanned = PlanSourceFile(&src, strFolderSep, strTitle, request, &sourcePlan);
    const CMyPlan& plan = sourcePlan.Plan;
    // The notes end with the reason when the file cannot be planned.
    if (!bDryRun)
        for (const CString& strNote : plan.Notes)
            WriteTraceText(strNote, 0);
    else if (!bPlanned)
        Refuse(strSrcPath, "%s", plan.Notes.empty() ? "" : (const char*)plan.Notes.back());
    if (!bPlanned)
        return 0;
    // Nothing is written when one of the pieces would overwrite a collected
    // file or the source.
    CMyCollectedFiles noneCollected;
    CString strClash;
    if ((m_pCollected != nullptr ? m_pCollected : &noneCollected)
            ->FindClash(strFolderSep, plan, strSrcPath, &strClash))
        return Refuse(strSrcPath,
                      "※　ピースが収集済みのファイルを上書きするため分割しません。"
                      "CMyBatchRun::RunBatch()\n\tFilePath[%s]\n",
                      (const char*)strClash);
    // Today's names of two files never meet, unless cut to the system's limit.
    if ((!IsTodaysNames(request.NameTemplate) || plan.dwShortNames != 0) &&
        !TakeNames(strSrcPath, strFolderSep, plan))
        return 0;
    if (bDryRun)
    {
        if (m_pState->m_pPlanSink != nullptr)
        {
            if (plan.Pieces.empty())
                m_pState->m_pPlanSink->TakeRefusal(strSrcPath, CString());
            else
                m_pState->m_pPlanSink->TakePlan(strSrcPath, strFolderSep, plan);
        }
        m_bWhole = 1;
        return (DWORD)plan.Pieces.size();
    }
    if (!src.Seek(header.DataStart))
    {
        src.Close();
        WriteTraceText("※　ソースファイルの読込位置をデータ先頭に合わせられませんでした。\n", 0);
        return 0;
    }
    if (m_pState->m_pPlanSink != nullptr && !plan.Pieces.empty())
        m_pState->m_pPlanSink->TakePlan(strSrcPath, strFolderSep, plan);

    // Pieces carry the markers inside them when asked to.
    CMyCarriedMarkers carried(sourcePlan, request.bCarryMarkers);

    CMyWaveFile piece;
    CMyByteBuff headBuff;
    DWORD dwWritten = 0; // pieces on disk, the last maybe cut short by an abort
    DWORD dwWhole = 0;   // of those, the pieces written whole
    int bFault = 0;      // a failure, traced where it was met, ended the split
    const DWORD dwPieces = (DWORD)plan.Pieces.size();
    // The pieces follow each other in the data: the source is read straight through.
    for (DWORD i = 0; i < dwPieces && !g_bAbort.load(std::memory_order_relaxed); ++i)
    {
        const CMyPlanPiece& planned = plan.Pieces[i];
        const ULONGLONG qwBytes = plan.GetPieceBytes(i);
        CString strPiecePath = strFolderSep + planned.strName;
        if (planned.bRest)
            WriteTraceFormat("RestDataSize: %I64u Byte\n", qwBytes);
        if (!HasRoomFor(strFolder, strPiecePath))
        {
            // Before the shorter last piece a full disk stops this file only;
            // the batch goes on.
            if (!planned.bRest)
                m_pState->m_bStopBatch.store(1, std::memory_order_relaxed);
            bFault = 1;
            break;
        }
        WriteTraceText(FormatCutTrace(strPiecePath, planned, plan.dwSamplingRate), 0);
        PieceResult result = WritePiece(&piece, &src, strPiecePath, header, qwBytes,
                                        planned.qwStart, i + 1, carried.Of(planned), &headBuff);
        dwWritten += result == kPieceWritten || result == kPieceCutShort;
        dwWhole += result == kPieceWritten;
        bFault = result == kPieceFailed || result == kPieceNotOpened;
        if (result != kPieceWritten)
            break;
    }
    src.Close();
    m_bWhole = dwWhole == dwPieces;
    if (!m_bWhole && !bFault)
        WriteTraceFormat("※　中止されたため分割を途中で終えました。SplitFile()\n\t"
                         "WholePieces[%u], PlannedPieces[%I64u]\n",
                         dwWhole, (ULONGLONG)dwPieces);
    return dwWritten;
}

// A plan whose piece paths an earlier file of the run has taken is not
// written (letter case aside, as Windows names go); otherwise its paths are
// taken.
int CMySplitter::TakeNames(const CString& strSrcPath, const CString& strFolder, const CMyPlan& plan)
{
    std::vector<std::string> keys;
    keys.reserve(plan.Pieces.size());
    for (const CMyPlanPiece& piece : plan.Pieces)
    {
        CString strKey = strFolder + piece.strName;
        strKey.MakeUpper();
        keys.push_back(strKey.GetString());
        if (m_takenPaths.count(keys.back()) != 0)
        {
            Refuse(strSrcPath,
                   "※　ピースが先に分割したファイルのピースと同じ名前になるため分割しません。"
                   "SplitFile()\n\tPiecePath[%s]\n",
                   (const char*)(strFolder + piece.strName));
            return 0;
        }
    }
    for (std::string& key : keys)
        m_takenPaths.insert(std::move(key));
    return 1;
}

int CMySplitter::HasRoomFor(const CString& strFolder, const CString& strPiecePath)
{
    if (GetDiskFreeBytes(strFolder) >= kMinFreeBytes)
        return 1;
    CString strText;
    strText.Format("※　出力フォルダの空き容量が足りません。\n[ %s ]", (const char*)strPiecePath);
    WriteTraceText(strText, 1);
    AfxMessageBox(strText, MB_OK);
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
    if (pPiece->IsOpen())
        return kPieceNotOpened;
    if (!pPiece->SetFilePath(strPiecePath) || !pPiece->OpenForWrite())
    {
        DWORD dwError = GetLastError();
        WriteTraceFormat("※　分割ファイルを開けません。SplitFile()\n\tPiecePath[%s]\n:",
                         (const char*)strPiecePath);
        WriteTraceSystemError(dwError);
        return kPieceNotOpened;
    }
    ULONGLONG qwCopied = 0;
    int bCopied = 0;
    const WORD wBlock = header.Param.BlockSize;
    const CMyPieceShape shape = ShapePiece(header, qwDataSize, qwFramesBefore, markers);
    const std::string& strMarkers = shape.strMarkers;
    const int bRf64 = shape.bRf64;
    const DWORD dwHeadLength = shape.dwHeadLength;
    if (BuildPieceHeaderWith(header, qwDataSize, qwFramesBefore, dwPiece, bRf64, strMarkers,
                             pHeadBuff) != dwHeadLength ||
        !pPiece->Write(pHeadBuff->GetBuff(), dwHeadLength))
        TraceCopyFailure("分割ファイルへの書込に失敗しました。", pPiece, 0, GetLastError());
    else
        bCopied = CopyPiece(pPiece, pSrc, qwDataSize, &qwCopied);

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
                                     pHeadBuff) == dwHeadLength &&
                pPiece->WriteAt(0, pHeadBuff->GetBuff(), dwHeadLength);
    }
    pPiece->Close();
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
        }
        return kPieceFailed;
    }
    if (!bCopied)
        return kPieceFailed;
    return qwCopied < qwDataSize ? kPieceCutShort : kPieceWritten;
}

int CMySplitter::CopyPiece(CMyWaveFile* pPiece, CMyWaveFile* pSrc, ULONGLONG qwCount,
                           ULONGLONG* pqwCopied)
{
    *pqwCopied = 0;
    ULONGLONG qwLeft = qwCount;
    // Once the system's copy fails, the rest of the piece is read and written,
    // so that a real fault is met, and named, by the ordinary calls.
    int bSystemCopy = 1;
    while (qwLeft > 0 && !g_bAbort.load(std::memory_order_relaxed))
    {
        DWORD dwGot = 0;
        SetLastError(ERROR_SUCCESS);
        DWORD dwWant = qwLeft < kSplitBlockSize ? (DWORD)qwLeft : kSplitBlockSize;
        if (!bSystemCopy || !pPiece->CopyFrom(pSrc, dwWant, &dwGot))
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
        m_pState->m_ullDoneBytes.fetch_add(dwGot, std::memory_order_relaxed);
        m_pHost->PostRunProgress();
    }
    return 1;
}

int PlanSplit(const CString& strBasePath, const CString& strSrcPath, DWORD dwSectionLength,
              const CMyPlanRequest* pRequest, std::vector<CMyPlannedPiece>* pPieces)
{
    pPieces->clear();
    CString strFolder, strFolderSep, strTitle;
    if (!SplitBasePath(strBasePath, &strFolder, &strFolderSep, &strTitle))
        return 0;
    // The header and the chunks are all that is read: a small buffer does.
    const DWORD kLookSize = 0x10000;
    CMyWaveFile src;
    if (!src.SetFilePath(strSrcPath) || src.RefreshFileSize() == kNotFound ||
        !src.GetTransferBuff().Reallocate(kLookSize, 0))
        return 0;
    src.SetTransferLimit(kLookSize);
    if (!src.OpenForRead() || !src.ReadHeader(0))
        return 0;
    const CMyWaveHeader& header = src.GetHeader();
    ULONGLONG qwFileSize = src.RefreshFileSize();
    if (qwFileSize == kNotFound || qwFileSize <= header.DataStart)
        return 0;
    CMySourcePlan sourcePlan;
    if (!PlanSourceFile(&src, strFolderSep, strTitle, MakeRequest(pRequest, dwSectionLength),
                        &sourcePlan))
        return 0;
    const CMyPlan& plan = sourcePlan.Plan;
    CMyCarriedMarkers carried(sourcePlan, pRequest != nullptr && pRequest->bCarryMarkers);
    for (size_t i = 0; i < plan.Pieces.size(); ++i)
    {
        const CMyPlanPiece& planned = plan.Pieces[i];
        CMyPlannedPiece piece;
        piece.strPath = strFolderSep + planned.strName;
        const ULONGLONG qwBytes = plan.GetPieceBytes(i);
        piece.qwFileSize =
            ShapePiece(header, qwBytes, planned.qwStart, carried.Of(planned)).dwHeadLength +
            qwBytes;
        pPieces->push_back(piece);
    }
    return !pPieces->empty();
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
