// --share-blocks run as a program: the pieces' audio at the source's offset
// within a block behind a JUNK chunk, the same audio as without it, -S and -n
// with it, and a source whose audio no chunk can align. Where blocks cannot
// be shared (here) the pieces are copied.
#include "CliTestSupport.h"

#include <gtest/gtest.h>

namespace
{
// The chunk ids up to "data" and the audio behind it, as an independent
// reader takes them; empty audio when the header is not true to the file.
struct Piece
{
    std::string strIds;
    size_t nDataStart = 0;
    std::string strAudio;
};

Piece ReadPiece(const CString& strPath)
{
    Piece piece;
    std::string bytes;
    if (!ReadBytes(strPath, bytes) || bytes.size() < 12 || GetLE32(bytes, 4) != bytes.size() - 8)
        return piece;
    for (size_t i = 12; i + 8 <= bytes.size();)
    {
        uint32_t dwSize = GetLE32(bytes, i + 4);
        piece.strIds += bytes.substr(i, 4) + "/";
        if (bytes.compare(i, 4, "data") == 0)
        {
            if (i + 8 + dwSize == bytes.size())
            {
                piece.nDataStart = i + 8;
                piece.strAudio = bytes.substr(i + 8);
            }
            break;
        }
        i += 8 + dwSize + dwSize % 2;
    }
    return piece;
}

CString PiecePath(const CString& strOut, int n)
{
    CString strPath;
    strPath.Format("%s_%03d.wav", (const char*)JoinPath(strOut, "a"), n);
    return strPath;
}
} // namespace

TEST(CliShare, PiecesKeepTheSourcesOffsetWithinABlock)
{
    Tree tree = MakeTree("share");
    // A LIST chunk puts the audio 62 bytes in; three pieces of a second.
    WaveOptions opt;
    opt.chunksBeforeData = {MakeChunk("LIST", "INFO" + std::string(6, 'x'))};
    const std::string samples = MakeSamples(kFormat, 8000 * 3);
    CString strWave = JoinPath(tree.strRoot, "a.wav");
    ASSERT_TRUE(WriteBytes(strWave, BuildWave(kFormat, samples, opt)));
    std::vector<std::string> args = {"-q",      "--share-blocks", "-l",        "1",
                                     "-o",      U(tree.strOut),   "--log-dir", U(tree.strLogs),
                                     U(strWave)};
    ProgramResult r = RunSplitProgram(args);
    ASSERT_EQ(0, r.nExitCode) << r.strErr;
    std::string joined;
    for (int n = 1; n <= 3; n++)
    {
        Piece piece = ReadPiece(PiecePath(tree.strOut, n));
        EXPECT_EQ(piece.strIds, "fmt /JUNK/data/") << n;
        EXPECT_EQ(piece.nDataStart % 4096, (62 + (n - 1) * 16000) % 4096) << n;
        joined += piece.strAudio;
    }
    EXPECT_TRUE(joined == samples);
    EXPECT_FALSE(PathExists(PiecePath(tree.strOut, 4)));

    // -n knows the pieces for its own.
    args.insert(args.begin(), "-n");
    r = RunSplitProgram(args);
    EXPECT_EQ(0, r.nExitCode) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, "its pieces exist already, not split again")) << r.strErr;

    // A size limit holds the JUNK chunk too: no file passes it.
    CString strSized = Dir(tree.strRoot, "sized");
    r = RunSplitProgram({"-q", "--share-blocks", "-S", "10000", "-o", U(strSized), "--log-dir",
                         U(tree.strLogs), U(strWave)});
    ASSERT_EQ(0, r.nExitCode) << r.strErr;
    joined.clear();
    for (int n = 1; PathExists(PiecePath(strSized, n)); n++)
    {
        std::string bytes;
        ASSERT_TRUE(ReadBytes(PiecePath(strSized, n), bytes));
        EXPECT_LE(bytes.size(), 10000u) << n;
        joined += ReadPiece(PiecePath(strSized, n)).strAudio;
    }
    EXPECT_TRUE(joined == samples);
}

// A writer that forgot a pad byte leaves the audio at an odd offset: the
// pieces keep their usual header, and the run says why.
TEST(CliShare, AudioAtAnOddOffsetIsCopiedAndSaid)
{
    Tree tree = MakeTree("shareodd");
    WaveOptions opt;
    opt.chunksBeforeData = {MakeChunk("LIST", "INFOx")};
    const std::string samples = MakeSamples(kFormat, 8000 * 2);
    std::string wav = BuildWave(kFormat, samples, opt);
    wav.erase(36 + 8 + 5, 1); // the pad byte: the audio starts at 57
    PutLE32(wav, 4, (uint32_t)wav.size() - 8);
    CString strWave = JoinPath(tree.strRoot, "a.wav");
    ASSERT_TRUE(WriteBytes(strWave, wav));
    ProgramResult r = RunSplitProgram({"-q", "--share-blocks", "-l", "1", "-o", U(tree.strOut),
                                       "--log-dir", U(tree.strLogs), U(strWave)});
    ASSERT_EQ(0, r.nExitCode) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgUnaligned, 2, 2))) << r.strErr;
    EXPECT_TRUE(JoinPieces(JoinPath(tree.strOut, "a"), 2) == samples);
}
