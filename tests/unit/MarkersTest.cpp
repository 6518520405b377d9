// Markers: read from the source's cue and adtl chunks (lying ones too), and
// written into the pieces that hold them.
#include "engine/Markers.h"
#include "engine/SourceChunks.h"
#include "engine/WaveFile.h"

#include "TestSupport.h"
#include "WaveBuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::string CuePoint(uint32_t dwId, uint32_t dwPosition, uint32_t dwOffset)
{
    return LE32(dwId) + LE32(dwPosition) + "data" + LE32(0) + LE32(0) + LE32(dwOffset);
}

std::string Labl(const char* pcId, uint32_t dwId, const std::string& strText)
{
    return MakeChunk(pcId, LE32(dwId) + strText + std::string(1, '\0'));
}

std::string Ltxt(uint32_t dwId, uint32_t dwLength)
{
    return MakeChunk("ltxt", LE32(dwId) + LE32(dwLength) + "rgn " + std::string(8, '\0'));
}

// Three points, and a count that claims five. One lies past the data, one
// gives its place only in dwPosition; labels in UTF-8 and Shift-JIS.
const std::string kCue = LE32(5) + CuePoint(1, 0, 500) + CuePoint(2, 300, 0) + CuePoint(3, 0, 9999);
const std::string kUtf8Label = "\xE5\xBA\x8F\xE7\xAB\xA0"; // the same two characters in UTF-8
const std::string kAdtl =
    Labl("labl", 1, kUtf8Label) + Labl("note", 1, "n") + Labl("labl", 2, "本編") + Ltxt(2, 900);
} // namespace

TEST(Markers, ReadsWhatTheChunksHoldAndNamesTheRest)
{
    std::vector<CMyMarker> markers;
    std::vector<CString> notes;
    ReadMarkers(kCue, kAdtl, 1000, &markers, &notes);
    ASSERT_EQ(markers.size(), 2u);
    EXPECT_EQ(markers[0].dwId, 2u);
    EXPECT_EQ(markers[0].qwFrame, 300u);
    EXPECT_EQ(markers[0].qwLength, 700u); // the region cut at the end of the data
    EXPECT_STREQ(markers[0].strLabel, "本編");
    EXPECT_EQ(markers[1].qwFrame, 500u);
    EXPECT_STREQ(markers[1].strLabel, "序章");
    EXPECT_EQ(markers[1].Entries.size(), 2u);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_STREQ(notes[0],
                 "※　cueチャンクの大きさを越えるキューポイントを読めません。ReadMarkers()\n"
                 "\tCuePoints[5], Readable[3]\n");
    EXPECT_STREQ(notes[1], "※　データの外を指すマーカーを使いません。ReadMarkers()\n"
                           "\tDataFrames[1000]\n\tCueId[3], Position[9999]\n");
    // Text that is not UTF-8 stays as it is.
    EXPECT_STREQ(DecodeMarkerText("\x96\x7B\x95\xD2", 4), "本編");
}

// A piece holds the points inside it and the regions over it, clipped.
TEST(Markers, PieceChunksCountFromThePieceStart)
{
    std::vector<CMyMarker> markers;
    std::vector<CString> notes;
    ReadMarkers(kCue, kAdtl, 1000, &markers, &notes);
    std::string expected =
        MakeChunk("cue ", LE32(2) + CuePoint(2, 0, 0) + CuePoint(1, 100, 100)) +
        MakeChunk("LIST", "adtl" + Labl("labl", 2, "本編") + Ltxt(2, 300) +
                              Labl("labl", 1, kUtf8Label) + Labl("note", 1, "n"));
    EXPECT_EQ(BuildPieceMarkerChunks(markers, 400, 300), expected);
    EXPECT_EQ(BuildPieceMarkerChunks(markers, 0, 300), ""); // before every point
    EXPECT_EQ(BuildPieceMarkerChunks(markers, 700, 300).substr(0, 12),
              "cue " + LE32(28) + LE32(1)); // the region alone
}

// The chunks come from before the data and after it (past a pad byte).
TEST(Markers, SourceChunksAreFoundAroundTheData)
{
    WaveFormat fmt = MakePcmFormat(1, 8, 8000);
    WaveOptions opt;
    opt.chunksBeforeData = {MakeChunk("bext", MakeBextBody(12345))};
    opt.chunksAfterData = {MakeChunk("LIST", "INFO" + MakeChunk("INAM", "x")),
                           MakeChunk("cue ", kCue), MakeChunk("LIST", "adtl" + kAdtl),
                           MakeChunk("LIST", "adtl" + Labl("labl", 7, "z"))};
    CString strPath = JoinPath(MakeTestDir("chunks"), "source.wav");
    ASSERT_TRUE(WriteBytes(strPath, BuildWave(fmt, MakeSamples(fmt, 1001), opt) + "CUT"));
    CMyWaveFile file;
    ASSERT_TRUE(file.SetFilePath(strPath) && file.RefreshFileSize() != ~0ull &&
                file.GetTransferBuff().Reallocate(0x1000, 1));
    file.SetTransferLimit(16); // many reads for one chunk
    ASSERT_TRUE(file.OpenForRead() && file.ReadHeader());
    CMySourceChunks chunks;
    EXPECT_EQ(ReadSourceChunks(&file, file.GetHeader(), &chunks), 1);
    EXPECT_EQ(chunks.strBext, MakeBextBody(12345));
    EXPECT_EQ(chunks.strCue, kCue);
    EXPECT_EQ(chunks.strAdtl, kAdtl + Labl("labl", 7, "z"));
    EXPECT_TRUE(chunks.Notes.empty());
    // Frames for the pause search come from the data start.
    CMyFileFrameReader reader(&file, file.GetHeader());
    DWORD dwGot = 0;
    const BYTE* pb = reader.ReadFrames(999, 2, &dwGot);
    ASSERT_NE(pb, nullptr);
    EXPECT_EQ(std::string((const char*)pb, dwGot), MakeSampleBytes(2, 999));
}

// An odd bext that lost its pad byte, then an extensible "fmt " (its size 40
// is a printable '(', so an id seems to start a byte later too): the markers
// behind it are read where the header walk reads the chunks.
TEST(Markers, SourceChunksLieWhereTheHeaderWalkFindsThem)
{
    WaveFormat fmt = MakeExtensibleFormat(2, 24, 24, 48000, 1);
    const std::string bext = MakeBextBody(7) + "x";
    WaveOptions opt;
    opt.chunksBeforeFmt = {"bext" + LE32((uint32_t)bext.size()) + bext};
    opt.chunksBeforeData = {MakeChunk("cue ", kCue), MakeChunk("LIST", "adtl" + kAdtl)};
    CString strPath = JoinPath(MakeTestDir("chunks"), "nopad.wav");
    ASSERT_TRUE(WriteBytes(strPath, BuildWave(fmt, MakeSamples(fmt, 10), opt)));
    CMyWaveFile file;
    ASSERT_TRUE(file.SetFilePath(strPath) && file.RefreshFileSize() != ~0ull &&
                file.GetTransferBuff().Reallocate(0x1000, 1));
    file.SetTransferLimit(0x1000);
    ASSERT_TRUE(file.OpenForRead() && file.ReadHeader(0));
    CMySourceChunks chunks;
    EXPECT_EQ(ReadSourceChunks(&file, file.GetHeader(), &chunks), 1);
    EXPECT_EQ(chunks.strBext, bext);
    EXPECT_EQ(chunks.strCue, kCue);
    EXPECT_EQ(chunks.strAdtl, kAdtl);
}
