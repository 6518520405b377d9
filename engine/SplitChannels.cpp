// Split by channel: the files of one piece, written from one read of its
// frames.
#include "engine/ChannelFiles.h"
#include "engine/PieceHeader.h"
#include "engine/PieceShape.h"
#include "engine/PlanText.h"
#include "engine/SplitFile.h"
#include "engine/WaveFile.h"
#include "support/Trace.h"

#include <cstring>
#include <memory>

namespace
{
// Frames de-interleaved for every file before the next: their source
// bytes stay in the processor's cache.
const DWORD kTileFrames = 2048;

// One channel file of the piece being written.
struct ChannelFile
{
    CMyWaveFile File;
    CString strPath;
    const CMyWaveHeader* pHeader = nullptr;
    const CMyPlanOutput* pOutput = nullptr;
    std::vector<CMyMarker> Markers;
    CMyPieceShape Shape;
    ULONGLONG qwBytes = 0;  // planned
    ULONGLONG qwCopied = 0; // written after the header
    int bOpen = 0;
    BYTE* pbBuff = nullptr; // the splitter's buffer for this file
};

// The group's samples of dwFrames frames, one after the other; N bytes a
// sample, a size the compiler knows.
template <size_t N>
void GatherSamples(const BYTE* pbIn, DWORD dwInBlock, DWORD dwFrames,
                   const std::vector<WORD>& channels, BYTE* pbOut)
{
    const size_t nChannels = channels.size();
    for (size_t p = 0; p < nChannels; ++p)
    {
        const BYTE* pbFrom = pbIn + (size_t)channels[p] * N;
        BYTE* pbTo = pbOut + p * N;
        const size_t nOutBlock = nChannels * N;
        for (DWORD f = 0; f < dwFrames; ++f)
            memcpy(pbTo + (size_t)f * nOutBlock, pbFrom + (size_t)f * dwInBlock, N);
    }
}

void Gather(const BYTE* pbIn, DWORD dwInBlock, DWORD dwFrames, WORD wBytes,
            const std::vector<WORD>& channels, BYTE* pbOut)
{
    switch (wBytes)
    {
    case 1:
        return GatherSamples<1>(pbIn, dwInBlock, dwFrames, channels, pbOut);
    case 2:
        return GatherSamples<2>(pbIn, dwInBlock, dwFrames, channels, pbOut);
    case 3:
        return GatherSamples<3>(pbIn, dwInBlock, dwFrames, channels, pbOut);
    case 4:
        return GatherSamples<4>(pbIn, dwInBlock, dwFrames, channels, pbOut);
    case 8:
        return GatherSamples<8>(pbIn, dwInBlock, dwFrames, channels, pbOut);
    }
    for (DWORD f = 0; f < dwFrames; ++f)
        for (size_t p = 0; p < channels.size(); ++p)
            memcpy(pbOut + ((size_t)f * channels.size() + p) * wBytes,
                   pbIn + (size_t)f * dwInBlock + (size_t)channels[p] * wBytes, wBytes);
}

void TraceChannelFailure(const char* pcWhat, const CString& strPath, ULONGLONG qwCopied,
                         DWORD dwError)
{
    WriteTraceFormat("※　%sWriteChannelPieces()\n\tPiecePath[%s], Copied[%I64u]\n:", pcWhat,
                     (const char*)strPath, qwCopied);
    WriteTraceSystemError(dwError);
}
} // namespace

// Every file is opened and given its header before the first frame is
// read; a failure to open, a failed read or write ends every file of the
// piece where it stands, each with a true header.
void CMySplitter::WriteChannelPieces(CMyWaveFile* pSrc, const CMyOutputHeaders& headers,
                                     const CMyPlan& plan, const CString& strFolderSep,
                                     DWORD dwFirst, const std::vector<char>& kept,
                                     const CMyCarriedMarkers& carried,
                                     std::vector<PieceResult>* pResults)
{
    const DWORD dwGroup = plan.GetFilesPerPiece();
    pResults->assign(dwGroup, kPieceWritten);
    const CMyPlanPiece& first = plan.Pieces[dwFirst];
    const DWORD dwInBlock = plan.wBlockSize;
    const WORD wBytes = (WORD)(dwInBlock / pSrc->GetHeader().Param.Channels);
    // Whole frames a read, as many as the source's transfer takes.
    const DWORD dwLimit =
        pSrc->GetTransferLimit() < kSplitBlockSize ? pSrc->GetTransferLimit() : kSplitBlockSize;
    const DWORD dwBlockFrames = dwLimit >= dwInBlock ? dwLimit / dwInBlock : 1;
    CMyByteBuff headBuff;
    int bFailed = 0;
    std::vector<std::unique_ptr<ChannelFile>> files(dwGroup);
    if (m_channelBuffs.size() < dwGroup)
        m_channelBuffs.resize(dwGroup);
    for (DWORD k = 0; k < dwGroup; ++k)
    {
        const CMyPlanPiece& planned = plan.Pieces[dwFirst + k];
        if ((!kept.empty() && kept[dwFirst + k]) || bFailed)
        {
            (*pResults)[k] = bFailed ? kPieceNotOpened : kPieceWritten;
            continue;
        }
        files[k].reset(new ChannelFile);
        ChannelFile& file = *files[k];
        file.strPath = strFolderSep + planned.strName;
        file.pHeader = &headers.Of(planned);
        file.pOutput = &plan.Outputs[planned.wOutput];
        file.Markers = carried.Of(planned);
        file.qwBytes = plan.GetPieceBytes(dwFirst + k);
        file.Shape = ShapePiece(*file.pHeader, file.qwBytes, planned.qwStart, file.Markers, 0);
        WriteTraceText(FormatCutTrace(file.strPath, planned, plan.dwSamplingRate), 0);
        if (!OpenPieceForWrite(&file.File, file.strPath))
        {
            (*pResults)[k] = kPieceNotOpened;
            bFailed = 1;
            continue;
        }
        file.bOpen = 1;
        if (BuildPieceHeaderWith(*file.pHeader, file.qwBytes, planned.qwStart, dwFirst + k + 1,
                                 file.Shape.bRf64, file.Shape.strMarkers,
                                 &headBuff) != file.Shape.dwHeadLength ||
            !file.File.Write(headBuff.GetBuff(), file.Shape.dwHeadLength))
        {
            TraceChannelFailure("分割ファイルへの書込に失敗しました。", file.strPath, 0,
                                GetLastError());
            bFailed = 1;
            continue;
        }
        // Kept from piece to piece: a new buffer a piece costs its pages' faults.
        std::vector<BYTE>& buff = m_channelBuffs[k];
        if (buff.size() < (size_t)dwBlockFrames * file.pOutput->wBlockSize)
            buff.resize((size_t)dwBlockFrames * file.pOutput->wBlockSize);
        file.pbBuff = buff.data();
    }

    ULONGLONG qwLeft = first.qwFrames;
    while (qwLeft > 0 && !bFailed && !g_bAbort.load(std::memory_order_relaxed))
    {
        const DWORD dwFrames = qwLeft < dwBlockFrames ? (DWORD)qwLeft : dwBlockFrames;
        DWORD dwGot = 0;
        SetLastError(ERROR_SUCCESS);
        const BYTE* pbBlock = pSrc->Read(dwFrames * dwInBlock, &dwGot);
        const DWORD dwGotFrames = pbBlock != nullptr ? dwGot / dwInBlock : 0;
        if (dwGotFrames < dwFrames)
        {
            // A read that finds no more data fails without an error code: the
            // source became shorter while it was being cut.
            DWORD dwError = GetLastError();
            TraceChannelFailure("ソースファイルの読込に失敗しました。", pSrc->GetFilePath(),
                                (first.qwFrames - qwLeft) * dwInBlock,
                                dwError != ERROR_SUCCESS ? dwError : (DWORD)ERROR_HANDLE_EOF);
            bFailed = 1;
        }
        // A tile of frames at a time for every file, so that the block is
        // read from the processor's cache rather than once a file.
        for (DWORD dwTile = 0; dwTile < dwGotFrames; dwTile += kTileFrames)
        {
            const DWORD dwTileFrames =
                dwGotFrames - dwTile < kTileFrames ? dwGotFrames - dwTile : kTileFrames;
            for (std::unique_ptr<ChannelFile>& pFile : files)
                if (pFile && pFile->bOpen)
                    Gather(pbBlock + (size_t)dwTile * dwInBlock, dwInBlock, dwTileFrames, wBytes,
                           pFile->pOutput->Channels,
                           pFile->pbBuff + (size_t)dwTile * pFile->pOutput->wBlockSize);
        }
        for (std::unique_ptr<ChannelFile>& pFile : files)
        {
            if (!pFile || !pFile->bOpen || dwGotFrames == 0)
                continue;
            const DWORD dwOut = dwGotFrames * pFile->pOutput->wBlockSize;
            if (!pFile->File.Write(pFile->pbBuff, dwOut))
            {
                TraceChannelFailure("分割ファイルへの書込に失敗しました。", pFile->strPath,
                                    pFile->qwCopied, GetLastError());
                bFailed = 1;
                continue;
            }
            pFile->qwCopied += dwOut;
        }
        qwLeft -= dwGotFrames;
        m_pState->m_ullDoneBytes.fetch_add((ULONGLONG)dwGotFrames * dwInBlock,
                                           std::memory_order_relaxed);
        m_pHost->PostRunProgress();
    }

    for (DWORD k = 0; k < dwGroup; ++k)
    {
        if (!files[k] || !files[k]->bOpen)
            continue;
        ChannelFile& file = *files[k];
        const CMyPlanPiece& planned = plan.Pieces[dwFirst + k];
        (*pResults)[k] = FinishPiece(&file.File, file.strPath, *file.pHeader, file.qwBytes,
                                     planned.qwStart, dwFirst + k + 1, file.Markers, file.Shape,
                                     !bFailed, file.qwCopied, &headBuff);
    }
}
