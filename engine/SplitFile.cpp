// Cutting one source WAV file into numbered pieces.
#include "engine/SplitFile.h"

#include "engine/PieceClash.h"
#include "engine/PieceHeader.h"
#include "engine/SectionLength.h"
#include "engine/WaveFile.h"
#include "framework/AfxMessageBox.h"
#include "support/MyWString.h"
#include "support/Trace.h"

namespace
{
const ULONGLONG kNotFound = 0xFFFFFFFFFFFFFFFFull;

// The output folder: the base path before its last separator, which must
// leave at least two characters in front of it.
int GetOutputFolder(const CString& strBasePath, CString* pstrFolder)
{
    CMyWString strBase(strBasePath);
    DWORD dwSep = strBase.ReverseFindOneOf(0xFFFFFFFF, WSTR("\\/"));
    if (dwSep == 0xFFFFFFFF || dwSep <= 1)
        return 0;
    *pstrFolder = strBase.GetSectorData(0, dwSep);
    return 1;
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

void TraceCopyFailure(const char* pcWhat, const CMyWaveFile* pPiece, ULONGLONG qwCopied,
                      DWORD dwError)
{
    WriteTraceFormat("※　%sCopyPiece()\n\tPiecePath[%s], Copied[%I64u]\n:", pcWhat,
                     (const char*)pPiece->GetFilePath(), qwCopied);
    WriteTraceSystemError(dwError);
}
} // namespace

DWORD CMySplitter::SplitFile(const CString& strBasePath, const CString& strSrcPath,
                             DWORD dwSectionLength)
{
    m_bWhole = 0;
    CString strFolder;
    if (!GetOutputFolder(strBasePath, &strFolder))
    {
        WriteTraceFormat("※　出力基本パスが無効です。[ %s ]\n", (const char*)strBasePath);
        return 0;
    }
    CMyWaveFile src;
    if (!OpenSource(&src, strSrcPath))
    {
        WriteTraceText("※　入力ファイルのオープンに失敗。\n", 0);
        return 0;
    }
    if (!src.ReadHeader())
    {
        WriteTraceText("※　無効なWAVEヘッダです。\n", 0);
        return 0;
    }
    CMyWaveHeader header = src.GetHeader();

    ULONGLONG qwFileSize = src.RefreshFileSize();
    if (qwFileSize == kNotFound || qwFileSize <= header.DataStart)
    {
        WriteTraceText("※　ファイルサイズがデータ先頭アドレスより小さいです。\n", 0);
        return 0;
    }
    // A header may claim more data than the file holds: cut only what is there.
    ULONGLONG qwRemaining = header.DataSize;
    if (qwFileSize - header.DataStart < qwRemaining)
        qwRemaining = qwFileSize - header.DataStart;
    if (qwRemaining == 0)
    {
        // Bytes may follow, but the header says none of them is audio.
        WriteTraceFormat("※　%sのデータサイズが0のため分割しません。SplitFile()\n\t"
                         "DataStart[%I64u], FileSize[%I64u]\n",
                         header.bRf64 ? "ds64チャンク" : "dataチャンク", header.DataStart,
                         qwFileSize);
        return 0;
    }

    ULONGLONG qwPieceSize =
        CalcPieceSize(header.Param.SamplingRate, header.Param.BlockSize, dwSectionLength);
    if (qwPieceSize == 0)
    {
        // Pieces of no data would never use the data up.
        WriteTraceText("※　区間長が1サンプルより短いため分割できません。\n", 0);
        return 0;
    }
    // Nothing is written when one of the pieces would overwrite a collected
    // file or the source.
    ULONGLONG qwPieces = qwRemaining / qwPieceSize + (qwRemaining % qwPieceSize != 0 ? 1 : 0);
    CMyCollectedFiles noneCollected;
    CString strClash;
    if ((m_pCollected != nullptr ? m_pCollected : &noneCollected)
            ->FindClash(strBasePath, qwPieces, strSrcPath, &strClash))
    {
        WriteTraceFormat("※　ピースが収集済みのファイルを上書きするため分割しません。"
                         "CMyBatchRun::RunBatch()\n\tFilePath[%s]\n",
                         (const char*)strClash);
        return 0;
    }
    if (!src.Seek(header.DataStart))
    {
        src.Close();
        WriteTraceText("※　ソースファイルの読込位置をデータ先頭に合わせられませんでした。\n", 0);
        return 0;
    }

    CMyWaveFile piece;
    CMyByteBuff headBuff;
    DWORD dwWritten = 0; // pieces on disk, the last maybe cut short by an abort
    DWORD dwWhole = 0;   // of those, the pieces written whole
    int bFinished = 0;
    int bFault = 0; // a failure, traced where it was met, ended the split
    auto count = [&](PieceResult result)
    {
        dwWritten += result == kPieceWritten || result == kPieceCutShort;
        dwWhole += result == kPieceWritten;
        bFault = result == kPieceFailed || result == kPieceNotOpened;
        bFinished = result != kPieceWritten;
    };
    // A piece size above the data (even one beyond 32 bits) leaves everything
    // to the last piece.
    ULONGLONG qwFramesBefore = 0;
    while (!bFinished && qwPieceSize <= qwRemaining && !g_bAbort.load(std::memory_order_relaxed))
    {
        CString strPiecePath;
        strPiecePath.Format("%s_%03u.wav", (const char*)strBasePath, dwWritten + 1);
        if (!HasRoomFor(strFolder, strPiecePath))
        {
            m_pState->m_bStopBatch.store(1, std::memory_order_relaxed);
            bFinished = bFault = 1;
            break;
        }
        count(WritePiece(&piece, &src, strPiecePath, header, qwPieceSize, qwFramesBefore,
                         dwWritten + 1, &headBuff));
        qwRemaining -= qwPieceSize;
        qwFramesBefore += qwPieceSize / header.Param.BlockSize;
    }

    if (!bFinished && qwRemaining > 0 && !g_bAbort.load(std::memory_order_relaxed))
    {
        WriteTraceFormat("RestDataSize: %I64u Byte\n", qwRemaining);
        CString strPiecePath;
        strPiecePath.Format("%s_%03u.wav", (const char*)strBasePath, dwWritten + 1);
        // A full disk here stops this file only; the batch goes on.
        if (HasRoomFor(strFolder, strPiecePath))
            count(WritePiece(&piece, &src, strPiecePath, header, qwRemaining, qwFramesBefore,
                             dwWritten + 1, &headBuff));
        else
            bFault = 1;
    }
    src.Close();
    m_bWhole = dwWhole == qwPieces;
    if (!m_bWhole && !bFault)
        WriteTraceFormat("※　中止されたため分割を途中で終えました。SplitFile()\n\t"
                         "WholePieces[%u], PlannedPieces[%I64u]\n",
                         dwWhole, qwPieces);
    return dwWritten;
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
// stops it early, the piece ends up holding exactly the header and the bytes
// copied, and its header says so; an older, longer file of the same name
// leaves nothing behind. Its form (RF64 or not) is fixed by the planned size,
// so the header rewritten after a short copy has the same length.
CMySplitter::PieceResult CMySplitter::WritePiece(CMyWaveFile* pPiece, CMyWaveFile* pSrc,
                                                 const CString& strPiecePath,
                                                 const CMyWaveHeader& header, ULONGLONG qwDataSize,
                                                 ULONGLONG qwFramesBefore, DWORD dwPiece,
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
    const int bRf64 = IsRf64Piece(header, qwDataSize, qwFramesBefore);
    const DWORD dwHeadLength = CalcPieceHeaderLength(header, bRf64, qwFramesBefore);
    if (BuildPieceHeader(header, qwDataSize, qwFramesBefore, dwPiece, bRf64, pHeadBuff) !=
            dwHeadLength ||
        !pPiece->Write(pHeadBuff->GetBuff(), dwHeadLength))
        TraceCopyFailure("分割ファイルへの書込に失敗しました。", pPiece, 0, GetLastError());
    else
        bCopied = CopyPiece(pPiece, pSrc, qwDataSize, &qwCopied);

    int bShort = !bCopied || qwCopied < qwDataSize;
    int bTrue = 1;
    if (!bCopied)
        bTrue = pPiece->Seek(dwHeadLength + qwCopied);
    bTrue = pPiece->Truncate() && bTrue;
    if (bShort)
        bTrue = bTrue &&
                BuildPieceHeader(header, qwCopied, qwFramesBefore, dwPiece, bRf64, pHeadBuff) ==
                    dwHeadLength &&
                pPiece->WriteAt(0, pHeadBuff->GetBuff(), dwHeadLength);
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
              std::vector<CMyPlannedPiece>* pPieces)
{
    pPieces->clear();
    // The header is all that is read: a small buffer does.
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
    ULONGLONG qwRemaining = header.DataSize;
    if (qwFileSize - header.DataStart < qwRemaining)
        qwRemaining = qwFileSize - header.DataStart;
    ULONGLONG qwPieceSize =
        CalcPieceSize(header.Param.SamplingRate, header.Param.BlockSize, dwSectionLength);
    if (qwPieceSize == 0)
        return 0;
    ULONGLONG qwFramesBefore = 0;
    for (DWORD n = 1; qwRemaining > 0; ++n)
    {
        ULONGLONG qwData = qwPieceSize < qwRemaining ? qwPieceSize : qwRemaining;
        CMyPlannedPiece piece;
        piece.strPath.Format("%s_%03u.wav", (const char*)strBasePath, n);
        int bRf64 = IsRf64Piece(header, qwData, qwFramesBefore);
        piece.qwFileSize = CalcPieceHeaderLength(header, bRf64, qwFramesBefore) + qwData;
        pPieces->push_back(piece);
        qwRemaining -= qwData;
        qwFramesBefore += qwData / header.Param.BlockSize;
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
