// wavoss-split's ways of planning run on real files: the bytes of the pieces,
// cuts moved into the pauses of speech-like audio, and a dry run that writes
// nothing.
#include "CliTestSupport.h"
#include "cli/FullPath.h"
#include "cli/Options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{
// The whole file of a piece written to strOut.
std::string PieceBytes(const CString& strOut, const char* pcName)
{
    std::string data;
    EXPECT_TRUE(ReadBytes(JoinPath(strOut, pcName), data)) << pcName;
    return data;
}

// The frame of "hh:mm:ss.mmm" at 16 kHz.
uint32_t FrameOf(const std::string& strTime)
{
    int h = 0, m = 0, s = 0, ms = 0;
    EXPECT_EQ(4, sscanf(strTime.c_str(), "%d:%d:%d.%d", &h, &m, &s, &ms)) << strTime;
    return (uint32_t)((((h * 60 + m) * 60 + s) * 1000 + ms) * 16);
}
} // namespace

// 8000 Hz mono 16-bit, 10000 frames, markers at 3000 ("a") and 7000 ("b").
TEST(CliPlan, EachWayOfPlanningWritesItsPieces)
{
    Tree tree = MakeTree("ways");
    const std::string samples = MakeSamples(kFormat, 10000);
    WaveOptions marked;
    marked.chunksAfterData = MarkerChunks({{1, 3000, "a"}, {2, 7000, "b"}});
    CString strWave = JoinPath(tree.strRoot, "w.wav");
    ASSERT_TRUE(WriteBytes(strWave, BuildWave(kFormat, samples, marked)));
    auto slice = [&](uint32_t dwFirst, uint32_t dwFrames, const std::vector<Mark>& marks = {})
    {
        WaveOptions opt;
        if (!marks.empty())
            opt.chunksBeforeData = MarkerChunks(marks);
        return BuildWave(kFormat, samples.substr(dwFirst * 2, dwFrames * 2), opt);
    };
    struct Case
    {
        std::vector<std::string> args;
        std::vector<std::pair<const char*, std::string>> pieces;
    } cases[] = {
        // Equal parts: frames k*F/N up to (k+1)*F/N.
        {{"-N", "3"},
         {{"w_001.wav", slice(0, 3333)},
          {"w_002.wav", slice(3333, 3333)},
          {"w_003.wav", slice(6666, 3334)}}},
        // Files of at most 8044 bytes: 4000 frames after the 44-byte header.
        {{"-S", "8044"},
         {{"w_001.wav", slice(0, 4000)},
          {"w_002.wav", slice(4000, 4000)},
          {"w_003.wav", slice(8000, 2000)}}},
        // Markers alone: each part whole, carrying its own marker.
        {{"-m", "--name", "{title}-{label}"},
         {{"w-001.wav", slice(0, 3000)},
          {"w-a.wav", slice(3000, 4000, {{1, 0, "a"}})},
          {"w-b.wav", slice(7000, 3000, {{2, 0, "b"}})}}},
        // Markers first, then the length within each part.
        {{"-m", "-l", "0.25"},
         {{"w_001.wav", slice(0, 2000)},
          {"w_002.wav", slice(2000, 1000)},
          {"w_003.wav", slice(3000, 2000, {{1, 0, "a"}})},
          {"w_004.wav", slice(5000, 2000)},
          {"w_005.wav", slice(7000, 2000, {{2, 0, "b"}})},
          {"w_006.wav", slice(9000, 1000)}}},
    };
    int nCase = 0;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        CString strOut = Dir(tree.strRoot, ("out" + std::to_string(++nCase)).c_str());
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-q", "-o", U(strOut), "--log-dir", U(tree.strLogs), U(strWave)});
        ProgramResult r = RunSplitProgram(args);
        EXPECT_EQ(0, r.nExitCode) << r.strErr;
        for (const auto& piece : c.pieces)
            EXPECT_TRUE(PieceBytes(strOut, piece.first) == piece.second) << piece.first;
        CString strNext;
        strNext.Format("w_%03u.wav", (unsigned)c.pieces.size() + 1);
        EXPECT_FALSE(PathExists(JoinPath(strOut, strNext)));
    }
}

// Speech-like audio at 16 kHz: syllables of harmonic tones with short gaps
// (shorter than a pause, fades included), over room noise far below -40 dB,
// and phrase pauses where the cuts belong.
TEST(CliPlan, PauseMovesCutsIntoTheSilencesOfSpeech)
{
    const WaveFormat fmt = MakePcmFormat(1, 16, 16000);
    const double dRate = fmt.dwSamplingRate;
    struct Span
    {
        double dFrom, dTo;
        double dLevel; // amplitude of full scale; 0: room noise only
    };
    // The pauses of 8.2-8.8 s and 16.0-16.4 s lie in the windows before the
    // cuts at 10 s and 18.5 s; the one at 3 s lies in none; the -30 dB hum
    // before the cut at 26.2 s is not quiet enough to be a pause.
    const std::vector<Span> quiet = {
        {3.0, 3.5, 0}, {8.2, 8.8, 0}, {16.0, 16.4, 0}, {24.0, 24.6, 0.03}};
    const uint32_t dwFrames = 30 * fmt.dwSamplingRate;
    std::string samples(dwFrames * 2, '\0');
    uint32_t dwSeed = 12345;
    auto random = [&dwSeed]()
    {
        dwSeed = dwSeed * 1103515245u + 12345u;
        return (double)((dwSeed >> 8) & 0xFFFF) / 65536.0;
    };
    double dSyllable = 0, dSyllableEnd = 0, dF0 = 150, dAmp = 0;
    for (uint32_t i = 0; i < dwFrames; ++i)
    {
        double t = i / dRate;
        if (t >= dSyllableEnd)
        {
            // A syllable of 120 to 250 ms after a gap of 30 to 90 ms.
            dSyllable = t + 0.03 + 0.06 * random();
            dSyllableEnd = dSyllable + 0.12 + 0.13 * random();
            dF0 = 110 + 90 * random();
            dAmp = 0.2 + 0.4 * random();
        }
        double v = 0;
        // Inside a syllable: three harmonics under a raised-cosine envelope.
        if (t >= dSyllable)
        {
            double dEnv = std::sin(3.14159265 * (t - dSyllable) / (dSyllableEnd - dSyllable));
            for (int h = 1; h <= 3; ++h)
                v += dAmp * dEnv * dEnv / h * std::sin(2 * 3.14159265 * dF0 * h * t);
        }
        for (const Span& s : quiet)
            if (t >= s.dFrom && t < s.dTo)
                v = s.dLevel * std::sin(2 * 3.14159265 * 100 * t);
        v += 0.001 * (random() - 0.5);
        int nSample = (int)std::lround(v * 32767);
        samples[2 * i] = (char)(nSample & 0xFF);
        samples[2 * i + 1] = (char)((nSample >> 8) & 0xFF);
    }
    Tree tree = MakeTree("pause");
    CString strWave = JoinPath(tree.strRoot, "talk.wav");
    ASSERT_TRUE(WriteBytes(strWave, BuildWave(fmt, samples)));
    CString strPlan = JoinPath(tree.strRoot, "plan.csv");
    ProgramResult r = RunSplitProgram({"-q", "-l", "0:10", "--pause=3", "--plan", U(strPlan), "-o",
                                       U(tree.strOut), "--log-dir", U(tree.strLogs), U(strWave)});
    ASSERT_EQ(0, r.nExitCode) << r.strErr;

    std::string csv;
    ASSERT_TRUE(ReadBytes(strPlan, csv));
    std::vector<std::string> rows = Lines(csv);
    ASSERT_EQ(5u, rows.size()) << csv;
    EXPECT_EQ("path,start,length,reason,source,start_frame,frames,status\r", rows[0]);
    // Where each piece starts, the reason its cut is there, and the pause it
    // should be in (the middle, 30 ms either way for the syllables' fades).
    struct Expect
    {
        const char* pcReason;
        double dCut;
    } expects[] = {{"pause", 8.5}, {"pause", 16.2}, {"no pause", 26.2}, {"end", 30.0}};
    uint32_t dwStart = 0;
    for (int i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(rows[i + 1]);
        std::vector<std::string> fields;
        std::string row = rows[i + 1].substr(0, rows[i + 1].size() - 1);
        for (size_t k = 0, kEnd;; k = kEnd + 1)
        {
            kEnd = row.find(',', k);
            fields.push_back(row.substr(k, kEnd - k));
            if (kEnd == std::string::npos)
                break;
        }
        ASSERT_EQ(8u, fields.size());
        EXPECT_EQ("written", fields[7]);
        EXPECT_EQ(std::string(MakeShownPath(strWave)), fields[4]);
        EXPECT_EQ(std::to_string(dwStart), fields[5]);
        EXPECT_EQ(FrameOf(fields[1]), dwStart / 16 * 16);
        EXPECT_EQ(0u, fields[3].find(expects[i].pcReason));
        uint32_t dwCut = dwStart + FrameOf(fields[2]);
        EXPECT_NEAR(dwCut / dRate, expects[i].dCut, 0.03);
        // The piece holds exactly those frames of the source.
        CString strName;
        strName.Format("talk_%03d.wav", i + 1);
        std::string piece = PieceBytes(tree.strOut, strName);
        // The length field shows whole milliseconds: the piece's own size
        // tells where the next one starts.
        ASSERT_GE(piece.size(), 44u);
        uint32_t dwPieceFrames = (uint32_t)(piece.size() - 44) / 2;
        EXPECT_LT(dwPieceFrames - FrameOf(fields[2]), 16u);
        EXPECT_TRUE(piece.substr(44) == samples.substr(dwStart * 2, dwPieceFrames * 2));
        dwStart += dwPieceFrames;
    }
    EXPECT_EQ(dwFrames, dwStart);
    std::string trace;
    ASSERT_TRUE(ReadBytes(JoinPath(tree.strLogs, "TraceFile.txt"), trace));
    EXPECT_NE(std::string::npos, trace.find(TraceText("を無音の中ほどへ -1.")));
    EXPECT_NE(std::string::npos, trace.find(TraceText("の前に無音がありません。")));
}

TEST(CliPlan, DryRunPrintsThePlanAndWritesNothing)
{
    Tree tree = MakeTree("dry");
    CString strSrc = Dir(tree.strRoot, "src");
    ASSERT_TRUE(WriteBytes(JoinPath(strSrc, "a.wav"), MakeWave(20000)));
    CString strOne = JoinPath(Dir(tree.strRoot, "one"), "b.wav");
    CString strTwo = JoinPath(Dir(tree.strRoot, "two"), "B.wav");
    ASSERT_TRUE(WriteBytes(strOne, MakeWave(100)));
    ASSERT_TRUE(WriteBytes(strTwo, MakeWave(100)));
    CString strLogs = JoinPath(tree.strRoot, "newlogs");
    ProgramResult r = RunSplitProgram({"--dry-run", "-N", "2", "-o", U(tree.strOut), "--log-dir",
                                       U(strLogs), U(strSrc), U(strOne), U(strTwo)});
    // The two b.wav collide, as in a real run, which would end with 1; no
    // report of them is written.
    EXPECT_EQ(1, r.nExitCode) << r.strErr;
    CString strOutSrc = JoinPath(tree.strOut, "src");
    std::string strExpect = std::string(MakeShownPath(JoinPath(strOutSrc, "a_001.wav"))) +
                            "\t00:00:00.000\t00:00:01.250\tlength\n" +
                            std::string(MakeShownPath(JoinPath(strOutSrc, "a_002.wav"))) +
                            "\t00:00:01.250\t00:00:01.250\tend\n";
    std::string strOut = r.strOut;
    strOut.erase(std::remove(strOut.begin(), strOut.end(), '\r'), strOut.end());
    EXPECT_EQ(ExpectedOutput(strExpect), strOut);
    EXPECT_TRUE(Contains(r.strErr, "dry run: 1 of 1 files would be split")) << r.strErr;
    EXPECT_FALSE(PathExists(tree.strOut));
    EXPECT_FALSE(PathExists(strLogs));

    // "--plan -": the plan's rows on standard output, in place of the lines.
    r = RunSplitProgram({"--dry-run", "-N", "2", "--plan", "-", "-o", U(tree.strOut), U(strSrc)});
    EXPECT_EQ(0, r.nExitCode) << r.strErr;
    std::vector<std::string> rows = Lines(r.strOut);
    ASSERT_EQ(3u, rows.size()) << r.strOut;
    EXPECT_EQ("path,start,length,reason,source,start_frame,frames,status\r", rows[0]);
    EXPECT_TRUE(Contains(rows[2], "a_002.wav,00:00:01.250,00:00:01.250,end,")) << rows[2];
    EXPECT_TRUE(Contains(rows[2], "a.wav,10000,10000,planned")) << rows[2];

    // A file a real run would refuse is named, and the status follows.
    ASSERT_TRUE(WriteBytes(JoinPath(tree.strRoot, "c.wav"), MakeWave(1)));
    r = RunSplitProgram({"--dry-run", "-N", "2", "-o", U(tree.strOut), "--log-dir", U(strLogs),
                         U(JoinPath(tree.strRoot, "c.wav"))});
    EXPECT_EQ(1, r.nExitCode);
    EXPECT_TRUE(Contains(r.strErr, "would not be split: ")) << r.strErr;
    EXPECT_EQ("", r.strOut);
    EXPECT_FALSE(PathExists(tree.strOut));
    EXPECT_FALSE(PathExists(strLogs));
}

TEST(CliPlan, PlanningOptionsThatCannotWorkAreUsageErrors)
{
    Tree tree = MakeTree("planusage");
    CString strWave = JoinPath(tree.strRoot, "u.wav");
    ASSERT_TRUE(WriteBytes(strWave, MakeWave(100)));
    const struct
    {
        std::vector<std::string> args;
        const char* pcSaid;
    } cases[] = {
        {{"-N", "2", "-l", "1"}, "-N (equal parts) and -l"},
        {{"-N", "2", "-S", "1M"}, "-N (equal parts) and -S"},
        {{"-N", "0"}, "invalid part count '0'"},
        {{"--parts=-3"}, "invalid part count '-3'"},
        {{"-S", "M"}, "invalid size 'M'"},
        {{"-S", "44"}, "cannot hold one frame"},
        {{"--name", "{title}_{take}"}, "unknown field '{take}'"},
        {{"--name", ""}, "an empty one names no piece"},
        {{"-p"}, "--pause moves the cuts of -l or -S"},
        {{"-N", "2", "--pause=2"}, "--pause moves the cuts of -l or -S"},
        {{"-l", "1", "--pause=x"}, "invalid --pause 'x'"},
        // A search window shorter than the pause looked for can never move a cut.
        {{"-l", "10", "-p0.2"}, "--pause '0.2' searches less than --pause-min '0.3'"},
        {{"-S", "1M", "--pause=1", "--pause-min=0:02"},
         "--pause '1' searches less than --pause-min '0:02'"},
    };
    for (const auto& c : cases)
    {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-o", U(tree.strOut), "--log-dir", U(tree.strLogs), U(strWave)});
        ProgramResult r = RunSplitProgram(args);
        EXPECT_EQ(2, r.nExitCode) << c.pcSaid;
        EXPECT_TRUE(Contains(r.strErr, c.pcSaid)) << r.strErr;
        // The reason and the pointer to --help, not the whole usage.
        EXPECT_EQ(2u, Lines(r.strErr).size()) << r.strErr;
        EXPECT_TRUE(Contains(r.strErr, Said(kMsgTryHelp))) << r.strErr;
    }
    EXPECT_FALSE(PathExists(tree.strOut));
}

// --plan written over only a plan: a recording named by mistake (the plan's
// own name forgotten) or any other file stays as it was, and nothing is made.
TEST(CliPlan, PlanFileNeverReplacesWhatIsNotAPlan)
{
    Tree tree = MakeTree("planover");
    CString strWave = JoinPath(tree.strRoot, "b.wav");
    ASSERT_TRUE(WriteBytes(strWave, MakeWave(100)));
    CString strPlan = JoinPath(tree.strRoot, "a.wav");
    const struct
    {
        std::string start;
        int nExit;
        const char* pcSaid;
    } cases[] = {
        {MakeWave(10), 2, "--plan names a WAV file, which is not overwritten"},
        {"RF64" + MakeWave(10).substr(4), 2, "--plan names a WAV file"},
        {"BW64" + MakeWave(10).substr(4), 2, "--plan names a WAV file"},
        {"take 1,good\n", 2, "--plan names a file that is not a plan"},
        {"path,start,length,reasons\r\n", 2, "not a plan"},
        // A cue sheet or a label list of the user's own, not written by --plan.
        {"FILE \"b.wav\" WAVE\r\n", 2, "not a plan"},
        {"0.0\t1.5\tverse\n", 2, "not a plan"},
        {"", 0, ""},
        // A plan of a version with a column more is a plan too.
        {"path,start,length,reason,status\r\n", 0, ""},
        {"REM COMMENT \"wavoss-split plan\"\r\nFILE \"b.wav\" WAVE\r\n", 0, ""},
        {"0.000000\t1.500000\tb_001\r\n", 0, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.start.substr(0, 8));
        ASSERT_TRUE(WriteBytes(strPlan, c.start));
        ProgramResult r = RunSplitProgram({"-q", "-o", U(tree.strOut), "--plan", U(strPlan),
                                           "--log-dir", U(tree.strLogs), U(strWave)});
        EXPECT_EQ(c.nExit, r.nExitCode) << r.strErr;
        EXPECT_TRUE(Contains(r.strErr, c.pcSaid)) << r.strErr;
        std::string after;
        ASSERT_TRUE(ReadBytes(strPlan, after));
        if (c.nExit != 0)
        {
            EXPECT_TRUE(after == c.start);
            EXPECT_FALSE(PathExists(tree.strOut));
            EXPECT_FALSE(PathExists(JoinPath(tree.strLogs, "TraceFile.txt")));
        }
        else
            EXPECT_EQ(0u, after.find("path,start,length,reason")) << after;
    }
    // The plan a run wrote is replaced by the next run's.
    ProgramResult r = RunSplitProgram({"-q", "-o", U(tree.strOut), "--plan", U(strPlan),
                                       "--log-dir", U(tree.strLogs), U(strWave)});
    EXPECT_EQ(0, r.nExitCode) << r.strErr;
}

// A template without {title} may give two files the same piece names: the
// later file is not split, and the earlier one's pieces stay.
TEST(CliPlan, PiecesOfOneFileAreNeverOverwrittenByAnother)
{
    Tree tree = MakeTree("shared");
    CString strSrc = Dir(tree.strRoot, "src");
    ASSERT_TRUE(WriteBytes(JoinPath(strSrc, "a.wav"), MakeWave(12000)));
    ASSERT_TRUE(WriteBytes(JoinPath(strSrc, "b.wav"), BuildWave(kFormat, std::string(8000, 'b'))));
    ProgramResult r = RunSplitProgram({"-q", "-l", "1", "--name", "{start}", "-o", U(tree.strOut),
                                       "--log-dir", U(tree.strLogs), U(strSrc)});
    EXPECT_EQ(1, r.nExitCode) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgSummary, 2, 1))) << r.strErr;
    CString strOut = JoinPath(tree.strOut, "src");
    EXPECT_TRUE(PieceBytes(strOut, "00-00-00.wav") == MakeWave(8000));
    EXPECT_EQ(PieceBytes(strOut, "00-00-01.wav").size(), 44u + 8000);
    std::string trace;
    ASSERT_TRUE(ReadBytes(JoinPath(tree.strLogs, "TraceFile.txt"), trace));
    EXPECT_NE(std::string::npos,
              trace.find(TraceText(
                  "※　ピースが先に分割したファイルのピースと同じ名前になるため分割しません。")));
}

// -n reaches the run's verdict: b.wav's pieces would take a.wav's names, so
// the pieces a second run finds are a.wav's, not b.wav's.
TEST(CliPlan, NoClobberKnowsWhosePiecesItFinds)
{
    Tree tree = MakeTree("sharedagain");
    CString strSrc = Dir(tree.strRoot, "src");
    ASSERT_TRUE(WriteBytes(JoinPath(strSrc, "a.wav"), MakeWave(16000)));
    ASSERT_TRUE(WriteBytes(JoinPath(strSrc, "b.wav"), BuildWave(kFormat, std::string(32000, 'b'))));
    auto done = [&](const char* pcName)
    {
        return "its pieces exist already, not split again (-n): " +
               std::string(MakeShownPath(JoinPath(strSrc, pcName)));
    };
    std::vector<std::string> args = {"-q", "-l",           "1",         "--name",        "{start}",
                                     "-o", U(tree.strOut), "--log-dir", U(tree.strLogs), U(strSrc)};
    ProgramResult r = RunSplitProgram(args);
    EXPECT_EQ(1, r.nExitCode) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgSummary, 2, 1))) << r.strErr;
    args.insert(args.begin(), "-n");
    r = RunSplitProgram(args);
    EXPECT_EQ(1, r.nExitCode) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, done("a.wav"))) << r.strErr;
    EXPECT_FALSE(Contains(r.strErr, done("b.wav"))) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgSummary, 1, 0))) << r.strErr;
    CString strOut = JoinPath(tree.strOut, "src");
    EXPECT_TRUE(PieceBytes(strOut, "00-00-00.wav") == MakeWave(8000));
}

// A label longer than a name may be: the dry run plans the names the run
// writes, each cut before ".wav" (before "_2" for the second) to fill the
// system's limit, and the trace says so once.
TEST(CliPlan, NamesTooLongForTheSystemAreCutAlikeInDryRunAndRun)
{
    Tree tree = MakeTree("longname");
    const std::string label(300, 'x');
    WaveOptions marked;
    marked.chunksAfterData = MarkerChunks({{1, 3000, label.c_str()}, {2, 7000, label.c_str()}});
    CString strWave = JoinPath(tree.strRoot, "w.wav");
    ASSERT_TRUE(WriteBytes(strWave, BuildWave(kFormat, MakeSamples(kFormat, 10000), marked)));
    const std::vector<std::string> args = {
        "-m", "--name", "{label}", "-o", U(tree.strOut), "--log-dir", U(tree.strLogs), U(strWave)};
    std::vector<std::string> dryArgs = args;
    dryArgs.insert(dryArgs.begin(), "--dry-run");
    ProgramResult dry = RunSplitProgram(dryArgs);
    EXPECT_EQ(0, dry.nExitCode) << dry.strErr;
    std::vector<std::string> runArgs = args;
    runArgs.insert(runArgs.begin(), "-q");
    ProgramResult run = RunSplitProgram(runArgs);
    EXPECT_EQ(0, run.nExitCode) << run.strErr;

    std::vector<std::string> names;
    for (const std::string& line : Lines(dry.strOut))
    {
        std::string path = line.substr(0, line.find('\t'));
        names.push_back(path.substr(path.find_last_of("\\/") + 1));
        EXPECT_TRUE(PathExists(JoinPath(tree.strOut, names.back().c_str()))) << names.back();
    }
    ASSERT_EQ(3u, names.size()) << dry.strOut;
    EXPECT_EQ("001.wav", names[0]);
    // Both at the limit: the second gives up two x for its "_2".
    size_t nStem = names[1].size() - 4;
    EXPECT_LT(nStem, label.size());
    EXPECT_EQ(std::string(nStem, 'x') + ".wav", names[1]);
    EXPECT_EQ(std::string(nStem - 2, 'x') + "_2.wav", names[2]);
    std::string trace;
    ASSERT_TRUE(ReadBytes(JoinPath(tree.strLogs, "TraceFile.txt"), trace));
    const std::string note = TraceText("名前が長すぎる分割ファイルは、.wavの前を短くします。");
    size_t iNote = trace.find(note);
    EXPECT_NE(std::string::npos, iNote) << trace;
    EXPECT_EQ(std::string::npos, trace.find(note, iNote + 1)) << trace;
}
