// Pieces whose audio keeps its offset within a block in the source: the
// aligning JUNK chunk, the size limit that counts it, and the split that
// writes it.
#include "engine/PieceHeader.h"
#include "engine/PieceShape.h"
#include "engine/PlanCuts.h"

#include "SplitFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// The chunk is at least its 8-byte header and reaches the source's offset
// within the block; an odd offset cannot be reached by a chunk.
TEST(PieceHeader, AlignJunkReachesTheSourcesOffsetWithinABlock)
{
    struct Case
    {
        ULONGLONG qwHead;
        ULONGLONG qwSrcOffset;
        DWORD dwJunk;
    };
    const Case cases[] = {
        {44, 52, 8},                       // just room for the chunk's header
        {44, 54, 10},                      //
        {44, 44, 4096},                    // the same offset: a whole block further
        {44, 50, 4102},                    // less than 8 bytes before it: the next block
        {44, 4096, 4052},                  // to a block's start
        {80, (5ull << 30) + 4000, 3920},   // far into a large source
        {4180, 44 + 2 * 1234567ull, 3302}, // a long header (bext, iXML)
        {44, 45, 0},                       // odd: no chunk can start the audio there
        {44, 44 + 3 * 1234567ull, 0},      //
    };
    for (const Case& c : cases)
    {
        DWORD dwJunk = CalcAlignJunkLength(c.qwHead, c.qwSrcOffset);
        EXPECT_EQ(dwJunk, c.dwJunk) << c.qwHead << " " << c.qwSrcOffset;
        if (dwJunk != 0)
        {
            EXPECT_EQ((c.qwHead + dwJunk) % 4096, c.qwSrcOffset % 4096) << c.qwSrcOffset;
        }
    }
}

// The header a piece is written with puts its audio where its shape says:
// JUNK last before "data", the sizes counting it, in either form.
TEST(PieceHeader, AlignedPieceHasJunkLastBeforeData)
{
    CMyWaveHeader header; // stereo 16-bit, read by the first kilobyte
    header.DataStart = 1000;
    struct Case
    {
        ULONGLONG qwData;
        ULONGLONG qwFramesBefore;
        int bRf64;
    };
    const Case cases[] = {{1 << 20, 0, 0}, {1 << 20, 12345, 0}, {5ull << 30, 7, 1}};
    for (const Case& c : cases)
    {
        CMyPieceShape shape = ShapePiece(header, c.qwData, c.qwFramesBefore, {}, 1);
        EXPECT_EQ(shape.bRf64, c.bRf64);
        ASSERT_GE(shape.dwJunk, 8u);
        EXPECT_EQ(shape.dwHeadLength % 4096, (1000 + c.qwFramesBefore * 4) % 4096);
        CMyByteBuff out;
        ASSERT_EQ(BuildPieceHeaderWith(header, c.qwData, c.qwFramesBefore, 1, shape.bRf64,
                                       std::string(), &out, shape.dwJunk),
                  shape.dwHeadLength);
        std::string head((const char*)out.GetBuff(), out.GetLength());
        const size_t nJunk = shape.dwHeadLength - 8 - shape.dwJunk;
        EXPECT_EQ(head.substr(nJunk), "JUNK" + LE32(shape.dwJunk - 8) +
                                          std::string(shape.dwJunk - 8, '\0') + "data" +
                                          LE32(c.bRf64 ? 0xFFFFFFFFu : (uint32_t)c.qwData));
        if (c.bRf64)
            EXPECT_EQ(GetLE64(head, 20), shape.dwHeadLength - 8 + c.qwData); // ds64 RIFF size
        else
            EXPECT_EQ(GetLE32(head, 4), shape.dwHeadLength - 8 + c.qwData);
    }
    // Without the option the piece keeps its 44 bytes.
    CMyPieceShape plain = ShapePiece(header, 1 << 20, 0, {}, 0);
    EXPECT_EQ(plain.dwJunk, 0u);
    EXPECT_EQ(plain.dwHeadLength, 44u);
}

// A JUNK chunk that takes the file to 4 GiB makes it RF64.
TEST(PieceHeader, AlignJunkCountsTowardsTheFourGiBLine)
{
    CMyWaveHeader header;
    header.DataStart = 44; // the same offset: 4096 bytes of JUNK
    const ULONGLONG qwData = 0x100000000ull - 44 - 4096;
    EXPECT_EQ(ShapePiece(header, qwData - 4, 0, {}, 1).bRf64, 0);
    EXPECT_EQ(ShapePiece(header, qwData, 0, {}, 1).bRf64, 1);
    EXPECT_EQ(ShapePiece(header, qwData, 0, {}, 0).bRf64, 0);
}

// A size limit holds the header, its JUNK chunk and the frames.
TEST(PlanCuts, SizeLimitCountsTheAligningJunk)
{
    CMyPlanSource src;
    src.qwDataBytes = 100000;
    src.dwSamplingRate = 1000;
    src.wBlockSize = 4;
    src.wChannels = 2;
    src.dwHeadLength = 44;
    src.dwHeadLengthRf64 = 80;
    src.bAlignBlocks = 1;
    src.qwDataStart = 44;
    // From frame 0: 4096 bytes of JUNK; from frame 2 (offset 52): 8.
    EXPECT_EQ(CalcMaxSizeFrames(src, 44 + 4096 + 8, 0, 1000, 0), 2u);
    EXPECT_EQ(CalcMaxSizeFrames(src, 44 + 4096 + 7, 0, 1000, 0), 1u);
    EXPECT_EQ(CalcMaxSizeFrames(src, 44 + 8 + 8, 2, 1000, 0), 2u);
    src.bAlignBlocks = 0;
    EXPECT_EQ(CalcMaxSizeFrames(src, 44 + 8, 0, 1000, 0), 2u);
}
} // namespace

namespace
{
// A shared range: both file positions and its length.
struct SharedRange
{
    ULONGLONG qwFrom, qwTo;
    DWORD dwBytes;
};
std::vector<SharedRange> g_shared;
DWORD g_dwShareError = 0; // 0: the range is shared; else the failure

ULONGLONG PositionOf(HANDLE h)
{
    LARGE_INTEGER liZero, liAt;
    liZero.QuadPart = 0;
    liAt.QuadPart = -1;
    SetFilePointerEx(h, liZero, &liAt, FILE_CURRENT);
    return (ULONGLONG)liAt.QuadPart;
}

// Sharing as a file system that shares blocks does it, seen from the files:
// the same bytes, both positions advanced. Refuses what such a file system
// refuses: positions or a length that are not whole blocks.
BOOL RecordedShare(HANDLE hFrom, HANDLE hTo, DWORD nBytes)
{
    SharedRange range = {PositionOf(hFrom), PositionOf(hTo), nBytes};
    if (g_dwShareError != 0 || range.qwFrom % 4096 != 0 || range.qwTo % 4096 != 0 ||
        nBytes % 4096 != 0)
    {
        SetLastError(g_dwShareError != 0 ? g_dwShareError : (DWORD)ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    g_shared.push_back(range);
    std::string bytes(nBytes, '\0');
    DWORD dwRead = 0, dwWritten = 0;
    const PlatformHooks& real = GetDefaultPlatformHooks();
    return real.pfnReadFile(hFrom, &bytes[0], nBytes, &dwRead) && dwRead == nBytes &&
           real.pfnWriteFile(hTo, bytes.data(), nBytes, &dwWritten) && dwWritten == nBytes;
}

// A piece as an independent reader sees it: the chunks up to "data", whose
// body must run to the end of the file, as the RIFF size says.
struct PieceView
{
    size_t nDataStart = 0;
    std::string strData;
    std::string strIds; // the chunk ids in order
};

::testing::AssertionResult ViewPiece(const std::string& piece, PieceView* pView)
{
    if (piece.size() < 12 || piece.compare(0, 4, "RIFF") != 0 ||
        GetLE32(piece, 4) != piece.size() - 8)
        return ::testing::AssertionFailure() << "no RIFF header for " << piece.size() << " bytes";
    for (size_t i = 12; i + 8 <= piece.size();)
    {
        std::string strId = piece.substr(i, 4);
        DWORD dwSize = GetLE32(piece, i + 4);
        pView->strIds += strId + "/";
        if (strId == "data")
        {
            if (i + 8 + dwSize != piece.size())
                return ::testing::AssertionFailure() << "data size " << dwSize << " at " << i;
            pView->nDataStart = i + 8;
            pView->strData = piece.substr(i + 8);
            return ::testing::AssertionSuccess();
        }
        i += 8 + dwSize + dwSize % 2;
    }
    return ::testing::AssertionFailure() << "no data chunk: " << pView->strIds;
}

class ShareBlocksTest : public SplitTest
{
protected:
    void SetUp() override
    {
        SplitTest::SetUp();
        g_shared.clear();
        g_dwShareError = 0;
        GetPlatformHooks().pfnShareFileRange = RecordedShare;
        m_request.bShareBlocks = 1;
        m_state.m_pPlanRequest = &m_request;
        // A chunk before the data puts it 62 bytes in: no piece can start
        // its audio 44 bytes in and share a block.
        WaveOptions opt;
        opt.chunksBeforeData = {MakeChunk("LIST", "INFO" + std::string(6, 'x'))};
        m_wav = BuildWave(kBigFmt, MakeSamples(kBigFmt, 2 * kBigPieceSize + 5000), opt);
        m_strSrc = WriteSource(m_wav);
    }

    // Pieces 1..dwCount: their headers true, their audio the source's, the
    // audio at the source's offset within a block.
    void CheckPieces(DWORD dwCount, size_t nLastBytes)
    {
        size_t nAt = kDataStart;
        for (DWORD i = 1; i <= dwCount; ++i)
        {
            std::string piece;
            ASSERT_TRUE(ReadBytes(PiecePath(i), piece)) << i;
            PieceView view;
            ASSERT_TRUE(ViewPiece(piece, &view)) << i;
            EXPECT_EQ(view.strIds, "fmt /JUNK/data/") << i;
            EXPECT_EQ(view.nDataStart % 4096, nAt % 4096) << i;
            size_t nBytes = i < dwCount ? kBigPieceSize : nLastBytes;
            EXPECT_TRUE(SameBytes(view.strData, m_wav.substr(nAt, nBytes))) << i;
            nAt += nBytes;
        }
    }

    static const size_t kDataStart = 62;
    CMyPlanRequest m_request;
    std::string m_wav;
    CString m_strSrc;
};

// Whole blocks are shared at the same offsets, the partial ones at either end
// of each piece copied; where the file system cannot share, every byte is
// copied into the same pieces, and nothing is traced.
TEST_F(ShareBlocksTest, WholeBlocksAreSharedOrCopiedIntoTheSamePieces)
{
    ASSERT_EQ(Split(m_strSrc, kBigSectionMs), 3u);
    CheckPieces(3, 5000);
    std::string shared[3];
    for (DWORD i = 0; i < 3; ++i)
        ReadBytes(PiecePath(i + 1), shared[i]);
    // Piece k's audio sits at 62 + k * 8400000 in the source; the whole
    // blocks in it, and only they, were shared.
    ULONGLONG qwShared[3] = {0, 0, 0};
    for (const SharedRange& range : g_shared)
    {
        ULONGLONG qwPiece = (range.qwFrom - kDataStart) / kBigPieceSize;
        ASSERT_LT(qwPiece, 3u);
        qwShared[qwPiece] += range.dwBytes;
    }
    EXPECT_EQ(qwShared[0], (kDataStart + kBigPieceSize) / 4096 * 4096 - 4096);
    EXPECT_EQ(qwShared[1], (kDataStart + 2 * kBigPieceSize) / 4096 * 4096 -
                               (kDataStart + kBigPieceSize + 4095) / 4096 * 4096);
    EXPECT_EQ(qwShared[2], 0u); // 5000 bytes from 16800062 hold no whole block
    EXPECT_EQ(m_state.m_ullDoneBytes.load(), 2ull * kBigPieceSize + 5000);
    EXPECT_EQ(ReadTrace().find("※"), std::string::npos) << ReadTrace();

    for (DWORD dwError :
         {(DWORD)ERROR_NOT_SUPPORTED, (DWORD)ERROR_INVALID_PARAMETER, (DWORD)ERROR_DISK_FULL})
    {
        g_shared.clear();
        g_dwShareError = dwError;
        CMySplitter splitter(&m_state, &m_host);
        ASSERT_EQ(splitter.SplitFile(BasePath(), m_strSrc, kBigSectionMs), 3u);
        EXPECT_EQ(splitter.WasWhole(), 1);
        EXPECT_TRUE(g_shared.empty());
        for (DWORD i = 0; i < 3; ++i)
        {
            std::string copied;
            ReadBytes(PiecePath(i + 1), copied);
            EXPECT_TRUE(SameBytes(copied, shared[i])) << dwError << " " << i;
        }
        EXPECT_EQ(ReadTrace().find("※"), std::string::npos) << ReadTrace();
    }
}

// An abort between shared blocks leaves the piece shorter with a true
// header, its JUNK chunk and alignment kept; the file is not whole.
TEST_F(ShareBlocksTest, AbortLeavesTheSharedPieceShortAndTrue)
{
    // Piece 1: its partial block, one share of its whole blocks and the
    // partial block at its end; piece 2 starts with its partial block (post
    // 4) and is stopped after it.
    m_host.m_onProgress = [](int n)
    {
        if (n == 4)
            g_bAbort.store(1);
    };
    CMySplitter splitter(&m_state, &m_host);
    ASSERT_EQ(splitter.SplitFile(BasePath(), m_strSrc, kBigSectionMs), 2u);
    EXPECT_EQ(splitter.WasWhole(), 0);
    CheckPieces(2, 4096 - (kDataStart + kBigPieceSize) % 4096);
    EXPECT_FALSE(PathExists(PiecePath(3)));
}

// A full disk: the share fails, so does the copy that takes over; the piece
// keeps what was written, and its header says so.
TEST_F(ShareBlocksTest, FullDiskLeavesATruePiece)
{
    g_dwShareError = ERROR_DISK_FULL;
    GetPlatformHooks().pfnWriteFile = [](HANDLE h, LPCVOID p, DWORD n, LPDWORD pDone)
    {
        if (n <= 5000) // the header and the partial block before the first whole one
            return GetDefaultPlatformHooks().pfnWriteFile(h, p, n, pDone);
        *pDone = 0;
        SetLastError(ERROR_DISK_FULL);
        return (BOOL)FALSE;
    };
    CMySplitter splitter(&m_state, &m_host);
    EXPECT_EQ(splitter.SplitFile(BasePath(), m_strSrc, kBigSectionMs), 0u);
    EXPECT_EQ(splitter.WasWhole(), 0);
    CheckPieces(1, 4096 - kDataStart);
    EXPECT_FALSE(PathExists(PiecePath(2)));
    EXPECT_NE(ReadTrace().find("※　分割ファイルへの書込に失敗しました。CopyPiece()"),
              std::string::npos)
        << ReadTrace();
}
} // namespace

// The system either shares the blocks (the same bytes, both positions on)
// or refuses and changes nothing; never part of a range past the source's
// end. Which of the two depends on the file system the tests run on.
TEST(LockedFile, ShareFromSharesWholeOrLeavesBothFilesAsTheyWere)
{
    CString strDir = MakeTestDir("sharefrom");
    const std::string content = MakeSampleBytes(5 * 4096 + 100);
    CString strSrcPath = JoinPath(strDir, "src.bin");
    CString strPiecePath = JoinPath(strDir, "piece.bin");
    ASSERT_TRUE(WriteBytes(strSrcPath, content));
    for (DWORD dwWant : {2u * 4096, 5u * 4096})
    {
        CMyLockedFile src, piece;
        ASSERT_EQ(1, src.SetFilePath(strSrcPath));
        ASSERT_EQ(1, src.OpenForRead());
        ASSERT_EQ(1, src.Seek(4096));
        ASSERT_EQ(1, piece.SetFilePath(strPiecePath));
        ASSERT_EQ(1, piece.OpenForWrite());
        ASSERT_EQ(1, piece.Write(std::string(4096, 'h').data(), 4096));
        ASSERT_EQ(1, piece.Truncate());
        int bShared = piece.ShareFrom(&src, dwWant);
        DWORD dwDone = bShared ? dwWant : 0;
        EXPECT_EQ(src.Tell(), 4096u + dwDone) << dwWant;
        EXPECT_EQ(piece.Tell(), 4096u + dwDone) << dwWant;
        piece.Close();
        std::string bytes;
        ASSERT_TRUE(ReadBytes(strPiecePath, bytes));
        EXPECT_TRUE(SameBytes(bytes, std::string(4096, 'h') + content.substr(4096, dwDone)));
        if (dwWant > content.size() - 4096)
        {
            EXPECT_EQ(bShared, 0);
        }
    }
}
