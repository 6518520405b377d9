// wavoss-split cutting where the user says: a cue sheet, a label list, an
// edited plan and times typed, on real files; plans written in each form and
// read back; lists that cannot be read refused before anything is written.
#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
struct Expect
{
    const char* pcName;
    uint32_t dwFirst, dwFrames; // of the source's samples
};

// Each piece holds exactly its frames of the source, after a canonical header.
void CheckPieces(const CString& strOut, const std::string& samples,
                 const std::vector<Expect>& pieces)
{
    for (const Expect& e : pieces)
    {
        std::string piece;
        ASSERT_TRUE(ReadBytes(JoinPath(strOut, e.pcName), piece)) << e.pcName;
        ASSERT_EQ(piece.size(), 44u + e.dwFrames * 2) << e.pcName;
        EXPECT_TRUE(piece.substr(44) == samples.substr(e.dwFirst * 2, e.dwFrames * 2)) << e.pcName;
    }
}

// The start_frame column of a plan's rows.
std::string StartFrames(const CString& strPlan)
{
    std::string csv, frames;
    EXPECT_TRUE(ReadBytes(strPlan, csv));
    std::vector<std::string> rows = Lines(csv);
    for (size_t i = 1; i < rows.size(); ++i)
    {
        size_t iField = 0;
        for (int k = 0; k < 5; ++k)
            iField = rows[i].find(',', iField) + 1;
        frames += rows[i].substr(iField, rows[i].find(',', iField) - iField) + " ";
    }
    return frames;
}
} // namespace

// 8000 Hz: a cue frame is 106.67 frames; the times below fall on whole ones.
// a.wav (5 s) starts with a hidden track and has pregaps; b.wav is named by
// the sheet's second FILE, where the pregap of track 3 ended a.wav; c.wav is
// named by none, and stays whole with a trace line.
TEST(CliCuts, CueSheetCutsEachFileItNames)
{
    Tree tree = MakeTree("cue");
    const std::string a = MakeSamples(kFormat, 40000), b = MakeSamples(kFormat, 24000);
    ASSERT_TRUE(WriteBytes(JoinPath(tree.strRoot, "a.wav"), BuildWave(kFormat, a)));
    ASSERT_TRUE(WriteBytes(JoinPath(tree.strRoot, "b.wav"), BuildWave(kFormat, b)));
    ASSERT_TRUE(WriteBytes(JoinPath(tree.strRoot, "c.wav"), MakeWave(1000)));
    const CString strCue = JoinPath(tree.strRoot, "disc.cue");
    ASSERT_TRUE(WriteBytes(strCue, "REM GENRE Test\r\nPERFORMER \"Band\"\r\nTITLE \"Disc\"\r\n"
                                   "FILE \"A.WAV\" WAVE\r\n  TRACK 01 AUDIO\r\n"
                                   "    TITLE \"Intro\"\r\n    INDEX 01 00:01:00\r\n"
                                   "  TRACK 02 AUDIO\r\n    TITLE \"Two/Parts\"\r\n"
                                   "    PERFORMER \"Guest\"\r\n    INDEX 00 00:02:00\r\n"
                                   "    INDEX 01 00:02:30\r\n  TRACK 03 AUDIO\r\n"
                                   "    TITLE \"Three\"\r\n    INDEX 00 00:04:00\r\n"
                                   "FILE \"b.wav\" WAVE\r\n    INDEX 01 00:00:00\r\n"
                                   "  TRACK 04 AUDIO\r\n    TITLE \"Four\"\r\n"
                                   "    INDEX 01 00:01:45\r\n"));
    ProgramResult r = RunSplitProgram(
        {"-q", "--cuts", U(strCue), "--name", "{title}_{label}_{performer}", "-o", U(tree.strOut),
         "--log-dir", U(tree.strLogs), U(JoinPath(tree.strRoot, "a.wav")),
         U(JoinPath(tree.strRoot, "b.wav")), U(JoinPath(tree.strRoot, "c.wav"))});
    ASSERT_EQ(0, r.nExitCode) << r.strErr;
    CheckPieces(tree.strOut, a,
                {{"a_00_Band.wav", 0, 8000},
                 {"a_Intro_Band.wav", 8000, 11200},
                 {"a_Two_Parts_Guest.wav", 19200, 20800}});
    CheckPieces(tree.strOut, b,
                {{"b_Three_Band.wav", 0, 12800}, {"b_Four_Band.wav", 12800, 11200}});
    EXPECT_TRUE(PathExists(JoinPath(tree.strOut, "c_001_.wav")));
    EXPECT_FALSE(PathExists(JoinPath(tree.strOut, "a_Three_Band.wav")));
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgOneCopyCuts))) << r.strErr;
    std::string trace;
    ASSERT_TRUE(ReadBytes(JoinPath(tree.strLogs, "TraceFile.txt"), trace));
    EXPECT_NE(std::string::npos, trace.find(TraceText("区切りリストにこのファイルの区切りがない")));
}

// A label list (points, a region, an editor's spectral line) with times
// typed, and -l cutting each part between them; the pieces after a cut take
// its label, the others their number.
TEST(CliCuts, LabelListAndTimesCutTheParts)
{
    Tree tree = MakeTree("labels");
    const std::string a = MakeSamples(kFormat, 40000);
    const CString strWave = JoinPath(tree.strRoot, "a.wav");
    ASSERT_TRUE(WriteBytes(strWave, BuildWave(kFormat, a)));
    const CString strList = JoinPath(tree.strRoot, "labels.txt");
    ASSERT_TRUE(WriteBytes(strList, "0.5\t0.5\tone\n1.25\t2.0\tregion\n\\\t100.0\t200.0\n"));
    ProgramResult r =
        RunSplitProgram({"-qc", U(strList), "--at=4.5", "-l", "2", "--name", "{title}_{n}_{label}",
                         "-o", U(tree.strOut), "--log-dir", U(tree.strLogs), U(strWave)});
    ASSERT_EQ(0, r.nExitCode) << r.strErr;
    CheckPieces(tree.strOut, a,
                {{"a_001_001.wav", 0, 4000},
                 {"a_002_one.wav", 4000, 6000},
                 {"a_003_region.wav", 10000, 6000},
                 {"a_004_004.wav", 16000, 16000},
                 {"a_005_005.wav", 32000, 4000},
                 {"a_006_006.wav", 36000, 4000}});
    EXPECT_FALSE(PathExists(JoinPath(tree.strOut, "a_007_007.wav")));
}

// The round trip: a plan written in each form, read back with --cuts, gives
// the same cuts (the lengths fall on a cue sheet's 75ths of a second). An
// edited plan's names are the pieces' names.
TEST(CliCuts, PlansReadBackAsTheirCuts)
{
    Tree tree = MakeTree("roundtrip");
    const std::string a = MakeSamples(kFormat, 40000);
    const CString strWave = JoinPath(tree.strRoot, "a.wav");
    ASSERT_TRUE(WriteBytes(strWave, BuildWave(kFormat, a)));
    const CString strFirst = JoinPath(tree.strRoot, "first.csv");
    ProgramResult r = RunSplitProgram(
        {"--dry-run", "-l", "1.2", "--plan", U(strFirst), "-o", U(tree.strOut), U(strWave)});
    ASSERT_EQ(0, r.nExitCode) << r.strErr;
    const std::string strFrames = StartFrames(strFirst);
    ASSERT_EQ("0 9600 19200 28800 38400 ", strFrames);
    for (const char* pcForm : {"csv", "cue", "txt"})
    {
        SCOPED_TRACE(pcForm);
        const CString strPlan = JoinPath(tree.strRoot, (std::string("p.") + pcForm).c_str());
        const CString strBack = JoinPath(tree.strRoot, (std::string("back-") + pcForm).c_str());
        r = RunSplitProgram(
            {"--dry-run", "-l", "1.2", "--plan", U(strPlan), "-o", U(tree.strOut), U(strWave)});
        ASSERT_EQ(0, r.nExitCode) << r.strErr;
        r = RunSplitProgram({"--dry-run", "--cuts", U(strPlan), "--plan", U(strBack) + ".csv", "-o",
                             U(tree.strOut), U(strWave)});
        ASSERT_EQ(0, r.nExitCode) << r.strErr;
        EXPECT_EQ(strFrames, StartFrames(strBack + ".csv"));
    }
    // An edited plan: a piece renamed, a cut moved, a row removed.
    std::string csv;
    ASSERT_TRUE(ReadBytes(JoinPath(tree.strRoot, "p.csv"), csv));
    csv.replace(csv.find("a_002.wav"), 9, "chorus.wav");
    csv.replace(csv.find(",19200,"), 7, ",20000,");
    std::vector<std::string> rows = Lines(csv);
    csv.clear();
    for (const std::string& row : rows)
        if (row.find("a_004.wav") == std::string::npos)
            csv += row + "\n";
    const CString strEdited = JoinPath(tree.strRoot, "edited.csv");
    ASSERT_TRUE(WriteBytes(strEdited, csv));
    r = RunSplitProgram({"-q", "--cuts", U(strEdited), "-o", U(tree.strOut), "--log-dir",
                         U(tree.strLogs), U(strWave)});
    ASSERT_EQ(0, r.nExitCode) << r.strErr;
    CheckPieces(tree.strOut, a,
                {{"a_001.wav", 0, 9600},
                 {"chorus.wav", 9600, 10400},
                 {"a_003.wav", 20000, 18400},
                 {"a_005.wav", 38400, 1600}});
}

// --cuts-beside: each source's own list (the same title, any case); a source
// without one stays whole. A list that cannot be read is a usage error that
// names it and its line, before any folder or trace is made.
TEST(CliCuts, ListsBesideEachSourceAndListsRefused)
{
    Tree tree = MakeTree("beside");
    const std::string a = MakeSamples(kFormat, 16000);
    const CString strA = JoinPath(tree.strRoot, "a.wav");
    const CString strB = JoinPath(tree.strRoot, "b.wav");
    ASSERT_TRUE(WriteBytes(strA, BuildWave(kFormat, a)));
    ASSERT_TRUE(WriteBytes(strB, MakeWave(8000)));
    ASSERT_TRUE(WriteBytes(JoinPath(tree.strRoot, "A.TXT"), "1\t1\tsecond\r\n"));
    ProgramResult r =
        RunSplitProgram({"-q", "--cuts-beside", "--name", "{title}_{label}", "-o", U(tree.strOut),
                         "--log-dir", U(tree.strLogs), U(strA), U(strB)});
    ASSERT_EQ(0, r.nExitCode) << r.strErr;
    CheckPieces(tree.strOut, a, {{"a_001.wav", 0, 8000}, {"a_second.wav", 8000, 8000}});
    EXPECT_TRUE(PathExists(JoinPath(tree.strOut, "b_001.wav")));

    const CString strBad = JoinPath(tree.strRoot, "bad.cue");
    ASSERT_TRUE(
        WriteBytes(strBad, "FILE \"a.wav\" WAVE\r\nTRACK 01 AUDIO\r\nINDEX 01 1:60:00\r\n"));
    const CString strEmpty = JoinPath(tree.strRoot, "empty.txt");
    ASSERT_TRUE(WriteBytes(strEmpty, "\r\n"));
    const CString strMissing = JoinPath(tree.strRoot, "missing.cue");
    const CString strNew = JoinPath(tree.strRoot, "new");
    const struct
    {
        std::vector<std::string> args;
        std::string strSaid;
        CString strPath;
    } cases[] = {
        {{"--cuts", U(strBad)}, Said(kMsgCutsLine, 3u), strBad},
        {{"--cuts", U(strEmpty)}, Said(kMsgCutsEmpty), strEmpty},
        {{"--cuts", U(strMissing)}, "cut list", strMissing},
        {{"--at", "1,2:70"}, Said(kMsgBadAt, "1,2:70"), ""},
        {{"--cuts-beside"}, Said(kMsgCutsLine, 3u), strBad},
    };
    ASSERT_TRUE(WriteBytes(JoinPath(tree.strRoot, "bad.wav"), MakeWave(100)));
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.strSaid);
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-o", U(strNew), "--log-dir", U(strNew) + "-logs",
                                 U(JoinPath(tree.strRoot, "bad.wav"))});
        r = RunSplitProgram(args);
        EXPECT_EQ(2, r.nExitCode) << r.strErr;
        EXPECT_TRUE(Contains(r.strErr, c.strSaid)) << r.strErr;
        EXPECT_TRUE(Contains(r.strErr, std::string(c.strPath))) << r.strErr;
        EXPECT_FALSE(PathExists(strNew));
    }
}
