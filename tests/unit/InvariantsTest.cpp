// The checks that follow every fault-injection run must themselves catch what
// they are there for: a lying piece, a touched source, a stray file, wrong
// data, a gap in the numbers, a hung run.
#include "Invariants.h"

#include "TestSupport.h"
#include "WaveBuilder.h"
#include "engine/JobFlags.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <thread>

namespace
{
const WaveFormat kPieceFmt = MakePcmFormat(2, 16, 8000);

// A piece as the split writes it: canonical header and the source's bytes.
std::string Piece(const std::string& data)
{
    return BuildWave(kPieceFmt, data);
}

std::map<std::string, std::string> PiecesOf(const CString& strDir)
{
    return ExpectTruePieces(strDir);
}
} // namespace

TEST(Invariants, TruePiecesPassAndEveryKindOfLieIsCaught)
{
    std::string data = MakeSampleBytes(400);
    struct Case
    {
        const char* pcWhat;
        const char* pcName;
        std::string bytes;
    };
    std::string riffLie = Piece(data);
    PutLE32(riffLie, 4, (uint32_t)riffLie.size()); // off by 8
    std::string dataLie = Piece(data);
    PutLE32(dataLie, 40, 1000); // claims more than is there
    std::string cut = Piece(data).substr(0, 100);
    std::string badFormat = Piece(data);
    PutLE16(badFormat, 32, 3); // block size that fits no format
    const Case kLies[] = {
        {"RIFF size", "a_001.wav", riffLie},           {"data size", "a_001.wav", dataLie},
        {"cut after writing", "a_001.wav", cut},       {"no header", "a_001.wav", "RIFF"},
        {"format fields", "a_001.wav", badFormat},     {"not a piece name", "a.wav", Piece(data)},
        {"not a piece name", "a_01.wav", Piece(data)},
    };
    CString strGood = MakeTestDir("good");
    ASSERT_TRUE(WriteBytes(JoinPath(strGood, "a_001.wav"), Piece(data)));
    ASSERT_TRUE(WriteBytes(JoinPath(strGood, "a_1000.wav"), Piece(std::string())));
    std::map<std::string, std::string> good = PiecesOf(strGood);
    ASSERT_EQ(good.size(), 2u);
    EXPECT_EQ(good["a_001.wav"], data);
    for (const Case& c : kLies)
    {
        SCOPED_TRACE(c.pcWhat);
        CString strDir = MakeTestDir("lie");
        ASSERT_TRUE(WriteBytes(JoinPath(strDir, c.pcName), c.bytes));
        EXPECT_NONFATAL_FAILURE(PiecesOf(strDir), c.pcName);
    }
}

TEST(Invariants, PiecesMustFollowTheSourceWithoutGaps)
{
    std::string source = MakeSampleBytes(1000);
    std::map<std::string, std::string> pieces = {
        {"s/a_001.wav", source.substr(0, 400)},
        {"s/a_002.wav", source.substr(400, 400)},
        {"s/a_003.wav", source.substr(800)},
    };
    EXPECT_EQ(ExpectPiecesFollowSource(pieces, "s/a", source, 400), 3u);

    auto shifted = pieces;
    shifted["s/a_002.wav"] = source.substr(401, 400);
    EXPECT_NONFATAL_FAILURE(ExpectPiecesFollowSource(shifted, "s/a", source, 400),
                            "does not hold the source's bytes");
    auto gap = pieces;
    gap.erase("s/a_002.wav");
    EXPECT_NONFATAL_FAILURE(ExpectPiecesFollowSource(gap, "s/a", source, 400), "out of sequence");
    auto shortFirst = pieces;
    shortFirst.erase("s/a_003.wav");
    shortFirst["s/a_001.wav"] = source.substr(0, 100);
    EXPECT_NONFATAL_FAILURE(ExpectPiecesFollowSource(shortFirst, "s/a", source, 400),
                            "follows a short piece");
    auto tooLong = pieces;
    tooLong["s/a_003.wav"] = source.substr(800) + "xx";
    EXPECT_NONFATAL_FAILURE(ExpectPiecesFollowSource(tooLong, "s/a", source, 400),
                            "more than the source has");
}

TEST(Invariants, AnyChangeUnderASourceFolderIsCaught)
{
    CString strDir = MakeTestDir("tree");
    CString strSub = JoinPath(strDir, "sub");
    ASSERT_TRUE(CreateDirectoryA(strSub, nullptr));
    ASSERT_TRUE(WriteBytes(JoinPath(strSub, "x.wav"), "abcdef"));
    TreeSnapshot before = SnapshotTree(strDir);
    ASSERT_EQ(before.files.size(), 1u);
    ExpectTreeUnchanged(before, strDir);

    ASSERT_TRUE(WriteBytes(JoinPath(strSub, "x.wav"), "abcdeX"));
    EXPECT_NONFATAL_FAILURE(ExpectTreeUnchanged(before, strDir), "file changed: sub/x.wav");
    ASSERT_TRUE(WriteBytes(JoinPath(strSub, "x.wav"), "abcdef"));
    ASSERT_TRUE(WriteBytes(JoinPath(strDir, "x_001.wav"), "stray"));
    EXPECT_NONFATAL_FAILURE(ExpectTreeUnchanged(before, strDir), "file appeared: x_001.wav");
    ASSERT_TRUE(DeleteFileA(JoinPath(strDir, "x_001.wav")));
    ASSERT_TRUE(DeleteFileA(JoinPath(strSub, "x.wav")));
    EXPECT_NONFATAL_FAILURE(ExpectTreeUnchanged(before, strDir), "file vanished: sub/x.wav");
}

TEST(Invariants, AHungRunIsReportedAndFreedByTheAbortFlag)
{
    g_bAbort.store(0);
    EXPECT_NONFATAL_FAILURE(RunBounded(
                                []
                                {
                                    while (g_bAbort.load() == 0)
                                        std::this_thread::sleep_for(std::chrono::milliseconds(5));
                                },
                                1),
                            "did not end within 1 s");
    EXPECT_EQ(g_bAbort.exchange(0), 1);
    int nRuns = 0;
    RunBounded([&nRuns] { ++nRuns; }, 5);
    EXPECT_EQ(nRuns, 1);
}
