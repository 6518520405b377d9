// A real source planned: markers and labels from its chunks, and nothing read
// beyond the header when no new choice needs it.
#include "engine/SourcePlan.h"
#include "engine/WaveFile.h"

#include "PlanSupport.h"
#include "TestSupport.h"
#include "WaveBuilder.h"

#include <gtest/gtest.h>

#include <string>

// Mono 16-bit at 8000 Hz, 2.5 s; markers at 1 s ("A") and 2 s ("B"); a
// chunk after them runs past the end of the file.
TEST(SourcePlan, MarkersAndLabelsComeFromTheSource)
{
    WaveFormat fmt = MakePcmFormat(1, 16, 8000);
    std::string strCue = LE32(2) + LE32(1) + LE32(0) + "data" + LE32(0) + LE32(0) + LE32(8000) +
                         LE32(2) + LE32(0) + "data" + LE32(0) + LE32(0) + LE32(16000);
    std::string strAdtl = "adtl" + MakeChunk("labl", LE32(1) + "A" + std::string(1, '\0')) +
                          MakeChunk("labl", LE32(2) + "B" + std::string(1, '\0'));
    WaveOptions opt;
    opt.chunksAfterData = {MakeChunk("cue ", strCue), MakeChunk("LIST", strAdtl),
                           "JUNK" + LE32(1000)};
    CString strPath = JoinPath(MakeTestDir("plan"), "talk.wav");
    ASSERT_TRUE(WriteBytes(strPath, BuildWave(fmt, MakeSamples(fmt, 20000), opt)));
    CMyWaveFile file;
    ASSERT_TRUE(file.SetFilePath(strPath) && file.RefreshFileSize() != ~0ull &&
                file.GetTransferBuff().Reallocate(0x10000, 1));
    file.SetTransferLimit(0x10000);
    ASSERT_TRUE(file.OpenForRead() && file.ReadHeader());

    CMyPlanRequest request;
    request.Rule.dwSectionLength = 1500;
    CMySourcePlan result;
    ASSERT_EQ(PlanSourceFile(&file, "out/", "talk", request, &result), 1);
    EXPECT_EQ(PieceNameList(result.Plan), "talk_001.wav talk_002.wav ");
    EXPECT_TRUE(result.Plan.Notes.empty()); // the chunks were not read
    EXPECT_TRUE(result.Markers.empty());

    request.Rule.bMarkers = 1;
    CString strBad;
    ASSERT_EQ(ParseNameTemplate("{title}_{label}", &request.NameTemplate, &strBad), 1);
    ASSERT_EQ(PlanSourceFile(&file, "out/", "talk", request, &result), 1);
    EXPECT_EQ(PieceNameList(result.Plan), "talk_001.wav talk_A.wav talk_B.wav ");
    ASSERT_EQ(result.Plan.Pieces.size(), 3u);
    EXPECT_EQ(result.Plan.Pieces[0].qwFrames, 8000u);
    EXPECT_STREQ(result.Plan.Pieces[0].strLabel, "A");
    EXPECT_EQ(result.Plan.Pieces[2].qwFrames, 4000u);
    ASSERT_EQ(result.Plan.Notes.size(), 2u);
    EXPECT_EQ(
        std::string(result.Plan.Notes[0]).find("※　チャンクがファイルの終わりを越えています。"),
        0u);
    EXPECT_STREQ(result.Plan.Notes[1],
                 "ラベルのない分割ファイルには、{label}の代わりに番号を使います。\n");
}

// A header that claims four times the samples the file holds: the pieces
// hold what is there, and the plan says so with both sizes.
TEST(SourcePlan, DataSizeBeyondTheFileIsNamed)
{
    WaveFormat fmt = MakePcmFormat(1, 16, 8000);
    WaveOptions opt;
    opt.bOverrideDataSize = true;
    opt.dwDataSize = 32000;
    CString strPath = JoinPath(MakeTestDir("plan"), "short.wav");
    ASSERT_TRUE(WriteBytes(strPath, BuildWave(fmt, MakeSamples(fmt, 4000), opt)));
    CMyWaveFile file;
    ASSERT_TRUE(file.SetFilePath(strPath) && file.RefreshFileSize() != ~0ull &&
                file.GetTransferBuff().Reallocate(0x10000, 1));
    file.SetTransferLimit(0x10000);
    ASSERT_TRUE(file.OpenForRead() && file.ReadHeader(0));

    CMyPlanRequest request;
    request.Rule.dwSectionLength = 1000;
    request.Rule.bMarkers = 1;
    CMySourcePlan result;
    ASSERT_EQ(PlanSourceFile(&file, "out/", "short", request, &result), 1);
    ASSERT_EQ(result.Plan.Pieces.size(), 1u);
    EXPECT_EQ(result.Plan.Pieces[0].qwFrames, 4000u);
    EXPECT_EQ(result.Plan.qwClaimedDataBytes, 32000u);
    EXPECT_EQ(result.Plan.qwPresentDataBytes, 8000u);
    ASSERT_EQ(result.Plan.Notes.size(), 2u); // the markers' note follows
    EXPECT_STREQ(result.Plan.Notes[0],
                 "※　ヘッダのデータサイズがファイルにあるデータより大きいため、"
                 "ファイルにある分だけを分割します。PlanSourceFile()\n"
                 "\tDataSize[32000], DataInFile[8000]\n");
}
