// wavoss-split run as a program on generated trees: pieces, mirrored folders,
// messages, the report and exit codes.
#include "CliTestSupport.h"
#include "cli/FullPath.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(CliRun, SplitsFilesAndMirrorsFolders)
{
    Tree tree = MakeTree("split");
    CString strAlbum = Dir(Dir(tree.strRoot, "src"), "曲集");
    CString strDisc = Dir(strAlbum, "disc1");
    ASSERT_TRUE(WriteBytes(JoinPath(strDisc, "a.wav"), MakeWave(28000))); // 3.5 s
    ASSERT_TRUE(WriteBytes(JoinPath(strAlbum, "b.WAV"), MakeWave(8000))); // 1 s
    ASSERT_TRUE(WriteBytes(JoinPath(strAlbum, "notes.txt"), "not audio"));
    CString strSingle = JoinPath(Dir(tree.strRoot, "single"), "x.wav");
    ASSERT_TRUE(WriteBytes(strSingle, MakeWave(12000))); // 1.5 s

    ProgramResult r = RunSplitProgram({"-l", "0:0:1", "-o", U(tree.strOut), "--log-dir",
                                       U(tree.strLogs), "-q", U(strAlbum), U(strSingle)});
    EXPECT_EQ(0, r.nExitCode) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgSummary, 3, 3))) << r.strErr;
    CString strOutAlbum = JoinPath(tree.strOut, "曲集");
    EXPECT_EQ(MakeSamples(kFormat, 28000),
              JoinPieces(JoinPath(JoinPath(strOutAlbum, "disc1"), "a"), 4));
    EXPECT_EQ(MakeSamples(kFormat, 8000), JoinPieces(JoinPath(strOutAlbum, "b"), 1));
    EXPECT_EQ(MakeSamples(kFormat, 12000), JoinPieces(JoinPath(tree.strOut, "x"), 2));
    std::string trace;
    EXPECT_TRUE(ReadBytes(JoinPath(tree.strLogs, "TraceFile.txt"), trace));
    EXPECT_NE(std::string::npos, trace.find("SectorSize = 1000 [ms]\n"));
    EXPECT_FALSE(PathExists(JoinPath(tree.strLogs, "ConflictFile.txt")));
}

// Files whose pieces would land on the same paths (two PATHs give
// <output>/take_NNN.wav) are reported and not split; a folder's sub-folders,
// mirrored, never collide (A/song.wav and B/SONG.wav are both split).
TEST(CliRun, CollidingNamesAreReportedAndNotSplit)
{
    Tree tree = MakeTree("collide");
    CString strSrc = Dir(tree.strRoot, "src");
    ASSERT_TRUE(WriteBytes(JoinPath(Dir(strSrc, "A"), "song.wav"), MakeWave(8000)));
    ASSERT_TRUE(WriteBytes(JoinPath(Dir(strSrc, "B"), "SONG.wav"), MakeWave(8000)));
    CString strOne = JoinPath(Dir(tree.strRoot, "one"), "take.wav");
    CString strTwo = JoinPath(Dir(tree.strRoot, "two"), "TAKE.wav");
    ASSERT_TRUE(WriteBytes(strOne, MakeWave(8000)));
    ASSERT_TRUE(WriteBytes(strTwo, MakeWave(8000)));
    ProgramResult r = RunSplitProgram({"-l", "1", "-o", U(tree.strOut), "--log-dir",
                                       U(tree.strLogs), U(strSrc), U(strOne), U(strTwo)});
    EXPECT_EQ(1, r.nExitCode) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgDuplicates, 2))) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, "ConflictFile.txt")) << r.strErr;
    EXPECT_TRUE(
        Contains(r.strErr, "the name collides, not split: " + std::string(MakeShownPath(strTwo))))
        << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgSummary, 2, 2))) << r.strErr;
    std::string report;
    ASSERT_TRUE(ReadBytes(JoinPath(tree.strLogs, "ConflictFile.txt"), report));
    std::string expect = "=====  重複したファイルのリスト  =====\r\n";
    expect += std::string(JoinPath(tree.strRoot, "one")) + "\\take.wav\r\n";
    expect += std::string(JoinPath(tree.strRoot, "two")) + "\\TAKE.wav\r\n\r\n";
#ifndef _WIN32
    // For Linux users: UTF-8, '/' between folders, LF line ends.
    expect = SJisToUtf8(expect);
    std::replace(expect.begin(), expect.end(), '\\', '/');
    expect.erase(std::remove(expect.begin(), expect.end(), '\r'), expect.end());
#endif
    EXPECT_EQ(expect, report);
    CString strOutSrc = JoinPath(tree.strOut, "src");
    EXPECT_TRUE(PathExists(JoinPath(JoinPath(strOutSrc, "A"), "song_001.wav")));
    EXPECT_TRUE(PathExists(JoinPath(JoinPath(strOutSrc, "B"), "SONG_001.wav")));
    EXPECT_FALSE(PathExists(JoinPath(tree.strOut, "take_001.wav")));
    EXPECT_FALSE(PathExists(JoinPath(tree.strOut, "TAKE_001.wav")));
}

TEST(CliRun, BadPathsAreReportedAndTheRestIsSplit)
{
    Tree tree = MakeTree("badpaths");
    CString strGood = JoinPath(tree.strRoot, "good.wav");
    ASSERT_TRUE(WriteBytes(strGood, MakeWave(4000)));
    CString strText = JoinPath(tree.strRoot, "readme.txt");
    ASSERT_TRUE(WriteBytes(strText, "text"));
    ProgramResult r = RunSplitProgram({"-o", U(tree.strOut), "--log-dir", U(tree.strLogs),
                                       U(JoinPath(tree.strRoot, "missing.wav")), U(strText),
                                       U(strGood), "caf\xC3\xA9.wav"});
    EXPECT_EQ(1, r.nExitCode);
    EXPECT_TRUE(Contains(r.strErr, "no such file or folder")) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, "missing.wav")) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, "not a .wav file")) << r.strErr;
#ifdef _WIN32
    EXPECT_TRUE(Contains(r.strErr, "Shift-JIS cannot hold")) << r.strErr;
#else
    // Any name is taken on Linux: this one is simply missing.
    EXPECT_NE(std::string::npos, r.strErr.find("/caf\xC3\xA9.wav\n")) << r.strErr;
    EXPECT_FALSE(Contains(r.strErr, "cannot hold")) << r.strErr;
#endif
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgSummary, 1, 1))) << r.strErr;
    EXPECT_TRUE(PathExists(JoinPath(tree.strOut, "good_001.wav")));
}

TEST(CliRun, FileThatIsNotPcmCountsAsNotSplit)
{
    Tree tree = MakeTree("notpcm");
    CString strBad = JoinPath(tree.strRoot, "broken.wav");
    ASSERT_TRUE(WriteBytes(strBad, std::string(100, 'x')));
    ProgramResult r =
        RunSplitProgram({"-q", "-o", U(tree.strOut), "--log-dir", U(tree.strLogs), U(strBad)});
    EXPECT_EQ(1, r.nExitCode);
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgSummary, 1, 0))) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, "TraceFile.txt")) << r.strErr;
}

TEST(CliRun, NothingCollectedShowsTheDialogsMessage)
{
    Tree tree = MakeTree("nothing");
    CString strEmpty = Dir(tree.strRoot, "empty");
    ProgramResult r =
        RunSplitProgram({"-o", U(tree.strOut), "--log-dir", U(tree.strLogs), U(strEmpty)});
    EXPECT_EQ(1, r.nExitCode);
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgNoSources))) << r.strErr;
}

TEST(CliRun, OutputFolderGivenAsAPathIsNamedAsSuch)
{
    Tree tree = MakeTree("selfpath");
    CString strRec = Dir(tree.strRoot, "rec");
    ASSERT_TRUE(WriteBytes(JoinPath(strRec, "a.wav"), MakeWave(8000)));
    ProgramResult r =
        RunSplitProgram({"-q", "-o", U(strRec), "--log-dir", U(tree.strLogs), U(strRec)});
    EXPECT_EQ(1, r.nExitCode);
    EXPECT_TRUE(Contains(r.strErr, "the PATH is the output folder itself (-o), skipped: " +
                                       std::string(MakeShownPath(strRec))))
        << r.strErr;
    EXPECT_FALSE(Contains(r.strErr, "分割元ファイルがセットされていません")) << r.strErr;
    EXPECT_FALSE(PathExists(JoinPath(strRec, "a_001.wav")));
}

TEST(CliRun, RelativePathsAreTakenFromTheCurrentFolder)
{
    Tree tree = MakeTree("relative");
    CString strSub = Dir(Dir(tree.strRoot, "in"), "sub");
    ASSERT_TRUE(WriteBytes(JoinPath(strSub, "r.wav"), MakeWave(4000)));
    ProgramResult r = RunSplitProgram(
        {"-o", "./out/../out2", "--log-dir", "logs", "-q", "in" TEST_SEP "."}, U(tree.strRoot));
    EXPECT_EQ(0, r.nExitCode) << r.strErr;
    EXPECT_TRUE(PathExists(
        JoinPath(JoinPath(JoinPath(JoinPath(tree.strRoot, "out2"), "in"), "sub"), "r_001.wav")));
}

struct UsageCase
{
    std::vector<std::string> args;
    int nExit;
    std::string strSaid;
    bool bTryHelp; // the reason, then one line that points to --help
};

TEST(CliRun, UsageErrorsExitWithTwo)
{
    Tree tree = MakeTree("usage");
    CString strWave = JoinPath(tree.strRoot, "u.wav");
    ASSERT_TRUE(WriteBytes(strWave, MakeWave(100)));
    std::string strLogs = U(tree.strLogs);
    const UsageCase cases[] = {
        {{}, 2, "no output folder", true},
        {{"-o", U(tree.strOut)}, 2, "no WAV file or folder", true},
        {{"--bogus", U(strWave)}, 2, "unknown option '--bogus'", true},
        {{"-o"}, 2, "needs a value", true},
        {{"-l", "0:0:0", "-o", U(tree.strOut), "--log-dir", strLogs, U(strWave)},
         2,
         Said(kMsgBadLength),
         false},
        {{"-l", "1:x", "-o", U(tree.strOut), "--log-dir", strLogs, U(strWave)},
         2,
         Said(kMsgBadLength),
         false},
        {{"-l", "20", "-p", "5", "-o", U(tree.strOut), U(strWave)}, 2, "-p5", true},
        {{"-l", "20", "--pause", "5", "-o", U(tree.strOut), U(strWave)}, 2, "--pause=5", true},
        {{"--help"}, 0, "", false},
        {{"--version"}, 0, "", false},
    };
    for (const UsageCase& c : cases)
    {
        ProgramResult r = RunSplitProgram(c.args);
        EXPECT_EQ(c.nExit, r.nExitCode) << c.strSaid;
        EXPECT_TRUE(Contains(r.strErr, c.strSaid)) << r.strErr;
        if (c.bTryHelp)
        {
            EXPECT_TRUE(Contains(r.strErr, Said(kMsgTryHelp))) << r.strErr;
            EXPECT_FALSE(Contains(r.strErr, "usage: wavoss-split")) << r.strErr;
        }
    }
    EXPECT_FALSE(PathExists(tree.strOut));
    ProgramResult help = RunSplitProgram({"--help"});
    EXPECT_NE(std::string::npos, help.strOut.find("usage: wavoss-split"));
    ProgramResult version = RunSplitProgram({"--version"});
    EXPECT_EQ(0u, version.strOut.find("wavoss-split "));
}

TEST(CliRun, OutputFolderThatCannotBeCreatedIsReported)
{
    Tree tree = MakeTree("blocked");
    CString strWave = JoinPath(tree.strRoot, "w.wav");
    ASSERT_TRUE(WriteBytes(strWave, MakeWave(100)));
    CString strFile = JoinPath(tree.strRoot, "afile");
    ASSERT_TRUE(WriteBytes(strFile, "x"));
    ProgramResult r = RunSplitProgram(
        {"-o", U(JoinPath(strFile, "sub")), "--log-dir", U(tree.strLogs), U(strWave)});
    EXPECT_EQ(1, r.nExitCode);
    EXPECT_TRUE(Contains(r.strErr, "cannot create the output folder (")) << r.strErr;
    EXPECT_FALSE(Contains(r.strErr, "(error ")) << "the system's words, not a number";
#ifndef _WIN32
    // The system's own words in the user's locale (C here), not a table's.
    EXPECT_TRUE(Contains(r.strErr, "(Not a directory)")) << r.strErr;
#endif
    r = RunSplitProgram({"-o", U(strFile), "--log-dir", U(tree.strLogs), U(strWave)});
    EXPECT_EQ(1, r.nExitCode);
    EXPECT_TRUE(Contains(r.strErr, "output folder is a file")) << r.strErr;
    std::string data;
    EXPECT_TRUE(ReadBytes(strFile, data));
    EXPECT_EQ("x", data);
}

TEST(CliRun, PiecesNeverLandOnACollectedSource)
{
    Tree tree = MakeTree("clash");
    CString strSrc = Dir(tree.strRoot, "src");
    ASSERT_TRUE(WriteBytes(JoinPath(strSrc, "a.wav"), MakeWave(16000)));
    std::string original = MakeWave(4000);
    ASSERT_TRUE(WriteBytes(JoinPath(strSrc, "a_002.wav"), original));
    // The output folder is the parent of the source folder: src is mirrored
    // into itself, where a_002.wav already is.
    ProgramResult r = RunSplitProgram(
        {"-l", "1", "-o", U(tree.strRoot), "--log-dir", U(tree.strLogs), U(strSrc)});
    EXPECT_EQ(1, r.nExitCode);
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgSummary, 2, 1))) << r.strErr;
    std::string data;
    ASSERT_TRUE(ReadBytes(JoinPath(strSrc, "a_002.wav"), data));
    EXPECT_EQ(original, data);
    EXPECT_FALSE(PathExists(JoinPath(strSrc, "a_001.wav")));
    EXPECT_TRUE(PathExists(JoinPath(strSrc, "a_002_001.wav")));
}

TEST(CliRun, OneFileReachedBySeveralArgumentsIsCollectedOnce)
{
    Tree tree = MakeTree("twice");
    CString strDir = Dir(tree.strRoot, "dir");
    CString strSub = Dir(strDir, "sub");
    ASSERT_TRUE(WriteBytes(JoinPath(strDir, "a.wav"), MakeWave(8000)));
    ASSERT_TRUE(WriteBytes(JoinPath(strSub, "b.wav"), MakeWave(8000)));
    ProgramResult r =
        RunSplitProgram({"-q", "-l", "1", "-o", U(tree.strOut), "--log-dir", U(tree.strLogs),
                         U(strDir), U(JoinPath(strDir, "a.wav")), U(strSub)});
    EXPECT_EQ(0, r.nExitCode) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgSummary, 2, 2))) << r.strErr;
    CString strOutDir = JoinPath(tree.strOut, "dir");
    EXPECT_TRUE(PathExists(JoinPath(strOutDir, "a_001.wav")));
    EXPECT_TRUE(PathExists(JoinPath(JoinPath(strOutDir, "sub"), "b_001.wav")));
}

TEST(CliRun, OutputFolderInsideAnInputIsNeverCollected)
{
    Tree tree = MakeTree("inside");
    CString strMusic = Dir(tree.strRoot, "music");
    ASSERT_TRUE(WriteBytes(JoinPath(strMusic, "a.wav"), MakeWave(8000)));
    CString strOut = JoinPath(strMusic, "out");
    std::vector<std::string> args = {
        "-q", "-l", "1", "-o", U(strOut), "--log-dir", U(tree.strLogs), U(strMusic)};
    for (int nRun = 1; nRun <= 2; nRun++)
    {
        ProgramResult r = RunSplitProgram(args);
        EXPECT_EQ(0, r.nExitCode) << "run " << nRun << ": " << r.strErr;
        EXPECT_TRUE(Contains(r.strErr, Said(kMsgSummary, 1, 1))) << r.strErr;
    }
    EXPECT_TRUE(PathExists(JoinPath(JoinPath(strOut, "music"), "a_001.wav")));
    EXPECT_FALSE(PathExists(JoinPath(JoinPath(strOut, "music"), "out")));
}

TEST(CliRun, NothingIsCreatedBeforeTheArgumentsAreChecked)
{
    Tree tree = MakeTree("early");
    CString strLogs = JoinPath(tree.strRoot, "newlogs");
    ProgramResult r = RunSplitProgram(
        {"-o", U(tree.strOut), "--log-dir", U(strLogs), U(JoinPath(tree.strRoot, "nosuch.wav"))});
    EXPECT_EQ(1, r.nExitCode);
    EXPECT_TRUE(Contains(r.strErr, "no such file or folder")) << r.strErr;
    EXPECT_FALSE(PathExists(tree.strOut));
    EXPECT_FALSE(PathExists(strLogs));
}

// -n: a file whose pieces all exist whole was split before; one cut short
// (some pieces whole, the last one on disk shorter, the rest missing) is
// finished, its whole pieces kept; one whose pieces are unlike its plan is
// neither split nor overwritten, and counts as not split.
TEST(CliRun, NoClobberFinishesWhatWasCutShort)
{
    Tree tree = MakeTree("noclobber");
    CString strWave = JoinPath(tree.strRoot, "a.wav");
    ASSERT_TRUE(WriteBytes(strWave, MakeWave(8000 * 3))); // three pieces of 1 s
    std::vector<std::string> args = {
        "-qn", "-l", "1", "-o", U(tree.strOut), "--log-dir", U(tree.strLogs), U(strWave)};
    ProgramResult r = RunSplitProgram(args);
    ASSERT_EQ(0, r.nExitCode) << r.strErr;
    r = RunSplitProgram(args);
    EXPECT_EQ(0, r.nExitCode) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, "its pieces exist already, not split again")) << r.strErr;

    // As an interrupted run leaves them: piece 2 cut short, no piece 3.
    // Piece 1 gets a mark in its data, which a piece kept keeps.
    CString strFirst = JoinPath(tree.strOut, "a_001.wav");
    CString strSecond = JoinPath(tree.strOut, "a_002.wav");
    CString strThird = JoinPath(tree.strOut, "a_003.wav");
    std::string first, piece;
    ASSERT_TRUE(ReadBytes(strFirst, first));
    first[100] = (char)(first[100] ^ 0x55);
    ASSERT_TRUE(WriteBytes(strFirst, first));
    ASSERT_TRUE(ReadBytes(strSecond, piece));
    std::string shortPiece = piece.substr(0, 44 + 1000);
    PutLE32(shortPiece, 4, 36 + 1000);
    PutLE32(shortPiece, 40, 1000);
    ASSERT_TRUE(WriteBytes(strSecond, shortPiece));
    ASSERT_EQ(TRUE, DeleteFileA(strThird));
    r = RunSplitProgram(args);
    EXPECT_EQ(0, r.nExitCode) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, "1 of its 3 pieces exist already whole and are kept; the rest "
                                   "are written (-n)"))
        << r.strErr;
    std::string expected = MakeWave(8000 * 3).substr(44);
    expected[100 - 44] = first[100];
    EXPECT_TRUE(JoinPieces(JoinPath(tree.strOut, "a"), 3) == expected);

    // A piece longer than planned belongs to another plan.
    ASSERT_TRUE(ReadBytes(strSecond, piece));
    ASSERT_TRUE(WriteBytes(strSecond, piece + "more"));
    r = RunSplitProgram(args);
    EXPECT_EQ(1, r.nExitCode) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, "2 of its 3 pieces exist already as planned; not split, not "
                                   "overwritten (-n; run without -n to replace them)"))
        << r.strErr;
    std::string after;
    ASSERT_TRUE(ReadBytes(strSecond, after));
    EXPECT_EQ(piece + "more", after);
    // Without -n the pieces are written again, as the window does.
    args.erase(args.begin());
    EXPECT_EQ(0, RunSplitProgram(args).nExitCode);
    EXPECT_TRUE(JoinPieces(JoinPath(tree.strOut, "a"), 3) == MakeWave(8000 * 3).substr(44));
}

// A piece another process is writing is not written at the same time: this
// test holds a_001.wav open for writing as a second run would, and the run
// it starts can neither open it nor count its file as split.
TEST(CliRun, PieceHeldByAnotherWriterIsLeftToIt)
{
    Tree tree = MakeTree("held");
    CString strWave = JoinPath(tree.strRoot, "a.wav");
    ASSERT_TRUE(WriteBytes(strWave, MakeWave(16000)));
    CString strOut = Dir(tree.strRoot, "out");
    CString strPiece = JoinPath(strOut, "a_001.wav");
    ASSERT_TRUE(WriteBytes(strPiece, "being written"));
    HANDLE hHeld = CreateFileA(strPiece, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
    ProgramResult r = RunSplitProgram(
        {"-q", "-l", "1", "-o", U(strOut), "--log-dir", U(tree.strLogs), U(strWave)});
    CloseHandle(hHeld);
    EXPECT_EQ(1, r.nExitCode) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgSummary, 1, 0))) << r.strErr;
    std::string data;
    ASSERT_TRUE(ReadBytes(strPiece, data));
    EXPECT_EQ("being written", data);
    std::string trace;
    ASSERT_TRUE(ReadBytes(JoinPath(tree.strLogs, "TraceFile.txt"), trace));
    std::string cannotOpen = "※　分割ファイルを開けません。SplitFile()";
    EXPECT_TRUE(trace.find(cannotOpen) != std::string::npos || Contains(trace, cannotOpen))
        << trace;
}

// A recording cut short (its header claims 32000 bytes, 8000 are there) is
// split as far as it goes, and both the trace and standard error say so.
TEST(CliRun, DataSizeBeyondTheFileIsSaid)
{
    Tree tree = MakeTree("cutshort");
    WaveOptions opt;
    opt.bOverrideDataSize = true;
    opt.dwDataSize = 32000;
    CString strWave = JoinPath(tree.strRoot, "a.wav");
    ASSERT_TRUE(WriteBytes(strWave, BuildWave(kFormat, MakeSamples(kFormat, 4000), opt)));
    ProgramResult r = RunSplitProgram(
        {"-q", "-l", "1", "-o", U(tree.strOut), "--log-dir", U(tree.strLogs), U(strWave)});
    EXPECT_EQ(0, r.nExitCode) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, "wavoss-split: its header claims 32000 bytes of audio, the "
                                   "file holds 8000; only those are split: "))
        << r.strErr;
    EXPECT_EQ(MakeSamples(kFormat, 4000), JoinPieces(JoinPath(tree.strOut, "a"), 1));
    std::string trace;
    ASSERT_TRUE(ReadBytes(JoinPath(tree.strLogs, "TraceFile.txt"), trace));
    std::string note = "ファイルにある分だけを分割します。PlanSourceFile()\n"
                       "\tDataSize[32000], DataInFile[8000]\n";
    EXPECT_TRUE(trace.find(note) != std::string::npos || Contains(trace, note)) << trace;
}
