// Pieces that carry their markers: a piece cut short keeps only the markers of
// the frames it holds, and its header stays as long as planned.
#include "SplitFixture.h"

#include "engine/SourcePlan.h"
#include "platform/PlatformHooks.h"

namespace
{
BOOL NoSystemCopy(HANDLE, HANDLE, DWORD, LPDWORD pDone)
{
    *pDone = 0;
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

// The write of a whole block fails: the disk took none of it.
BOOL BlockFails(HANDLE h, LPCVOID p, DWORD n, LPDWORD pDone)
{
    if (n != kCopyBlock)
        return GetDefaultPlatformHooks().pfnWriteFile(h, p, n, pDone);
    *pDone = 0;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}
} // namespace

// A piece starts at its marker; cut short before its first frame, it keeps
// none, and a JUNK chunk takes the planned markers' place.
TEST_F(SplitTest, PieceCutShortCarriesOnlyTheMarkersOfItsFrames)
{
    // One marker, "one", at frame 100.
    std::string point = LE32(1) + LE32(100) + "data" + LE32(0) + LE32(0) + LE32(100);
    WaveOptions opt;
    opt.chunksAfterData = {
        MakeChunk("cue ", LE32(1) + point),
        MakeChunk("LIST", "adtl" + MakeChunk("labl", LE32(1) + "one" + std::string(1, '\0')))};
    CString strSrc = WriteSource(BuildWave(kBigFmt, MakeSamples(kBigFmt, kBigPieceSize), opt));
    CMyPlanRequest request;
    request.Rule.bMarkers = 1;
    request.bCarryMarkers = 1;
    m_state.m_pPlanRequest = &request;
    GetPlatformHooks().pfnCopyFileRange = NoSystemCopy;
    GetPlatformHooks().pfnWriteFile = BlockFails;

    // Frames [0, 100), then [100, 8400000) whose first block fails.
    EXPECT_EQ(Split(strSrc, kBigSectionMs), 1u);
    EXPECT_EQ(PieceData(1, kBigFmt).size(), 100u);
    std::string piece;
    ASSERT_TRUE(ReadBytes(PiecePath(2), piece));
    // The planned cue (36 bytes) and adtl list (28) give way to 64 of JUNK.
    std::string expected = "RIFF" + LE32(4 + 24 + 64 + 8) + "WAVE" + MakeFmtChunk(kBigFmt) +
                           "JUNK" + LE32(56) + std::string(56, '\0') + "data" + LE32(0);
    EXPECT_TRUE(SameBytes(piece, expected));
}
