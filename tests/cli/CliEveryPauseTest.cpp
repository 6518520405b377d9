// wavoss-split -P on a real file: a cut in the middle of every pause, the
// pieces joined are the source, --trim's dropped audio listed in the plan,
// and a level found from a noisy recording.
#include "CliTestSupport.h"
#include "cli/FullPath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace
{
// 8000 Hz mono 16-bit, 14.9 s: quiet 0-1.2 s, tones with gaps of 1.6 s at
// 3.2, 0.6 s at 7.8 (too short) and 2 s at 10.4, quiet from 13.4 s; white
// noise of dNoise (RMS, full scale 1.0) over all of it.
std::string MakeTracks(double dNoise)
{
    const double adTones[][2] = {{1.2, 3.2}, {4.8, 7.8}, {8.4, 10.4}, {12.4, 13.4}};
    std::string samples;
    uint32_t dwSeed = 7;
    for (uint32_t i = 0; i < 119200; ++i)
    {
        const double t = i / 8000.0;
        double v = 0;
        for (const auto& tone : adTones)
            if (t >= tone[0] && t < tone[1])
                v = 0.3 * std::sin(2 * 3.14159265 * 440 * t);
        dwSeed = dwSeed * 1103515245u + 12345u;
        v += dNoise * 3.46 * ((double)((dwSeed >> 8) & 0xFFFF) / 65536.0 - 0.5);
        int n = (int)std::lround(v * 32767);
        samples += (char)(n & 0xFF);
        samples += (char)((n >> 8) & 0xFF);
    }
    return samples;
}

std::string NoCr(std::string str)
{
    str.erase(std::remove(str.begin(), str.end(), '\r'), str.end());
    return str;
}
} // namespace

TEST(CliEveryPause, EveryPauseCutsAndTrimListsWhatItDrops)
{
    Tree tree = MakeTree("every");
    const std::string samples = MakeTracks(0.0);
    CString strWave = JoinPath(tree.strRoot, "w.wav");
    ASSERT_TRUE(WriteBytes(strWave, BuildWave(kFormat, samples)));
    const std::string strSrc = MakeShownPath(strWave).GetString();
    auto out = [&](const char* pcName)
    { return std::string(MakeShownPath(JoinPath(tree.strOut, pcName))); };

    // Pauses of 1 s at least; the ones at the start and the end cut nothing.
    ProgramResult r =
        RunSplitProgram({"--dry-run", "-P", "--pause-min", "1", "-o", U(tree.strOut), U(strWave)});
    ASSERT_EQ(0, r.nExitCode) << r.strErr;
    EXPECT_EQ(ExpectedOutput(out("w_001.wav") + "\t00:00:00.000\t00:00:04.000\tpause\n" +
                             out("w_002.wav") + "\t00:00:04.000\t00:00:07.400\tpause\n" +
                             out("w_003.wav") + "\t00:00:11.400\t00:00:03.500\tend\n"),
              NoCr(r.strOut));

    // Each end in a pause keeps 0.1 s of it; what is left out is its own line.
    r = RunSplitProgram(
        {"--dry-run", "-P", "--pause-min", "1", "--trim", "-o", U(tree.strOut), U(strWave)});
    ASSERT_EQ(0, r.nExitCode) << r.strErr;
    EXPECT_EQ(ExpectedOutput(strSrc + "\t00:00:00.000\t00:00:01.100\ttrimmed\n" + out("w_001.wav") +
                             "\t00:00:01.100\t00:00:02.200\tpause\n" + strSrc +
                             "\t00:00:03.300\t00:00:01.400\ttrimmed\n" + out("w_002.wav") +
                             "\t00:00:04.700\t00:00:05.800\tpause\n" + strSrc +
                             "\t00:00:10.500\t00:00:01.800\ttrimmed\n" + out("w_003.wav") +
                             "\t00:00:12.300\t00:00:01.200\tend\n" + strSrc +
                             "\t00:00:13.500\t00:00:01.400\ttrimmed\n"),
              NoCr(r.strOut));

    // Split: without --trim the pieces joined are the source; with it each
    // piece is the source's frames it was planned with.
    r = RunSplitProgram({"-q", "-P", "--pause-min", "1", "-o", U(tree.strOut), "--log-dir",
                         U(tree.strLogs), U(strWave)});
    ASSERT_EQ(0, r.nExitCode) << r.strErr;
    EXPECT_TRUE(JoinPieces(JoinPath(tree.strOut, "w"), 3) == samples);
    CString strPlan = JoinPath(tree.strRoot, "plan.csv");
    r = RunSplitProgram({"-q", "-P", "--pause-min", "1", "--trim", "--plan", U(strPlan), "-o",
                         U(tree.strOut), "--log-dir", U(tree.strLogs), U(strWave)});
    ASSERT_EQ(0, r.nExitCode) << r.strErr;
    const uint32_t adwKept[][2] = {{8800, 26400}, {37600, 84000}, {98400, 108000}};
    std::string kept;
    for (const auto& k : adwKept)
        kept += samples.substr(k[0] * 2, (k[1] - k[0]) * 2);
    EXPECT_TRUE(JoinPieces(JoinPath(tree.strOut, "w"), 3) == kept);
    std::string csv;
    ASSERT_TRUE(ReadBytes(strPlan, csv));
    EXPECT_TRUE(Contains(csv, "00:00:03.300,00:00:01.400,trimmed," + U(strWave) +
                                  ",26400,11200,dropped\r\n"))
        << csv;
    EXPECT_TRUE(Contains(csv, "w_002.wav,00:00:04.700,00:00:05.800,pause," + U(strWave) +
                                  ",37600,46400,written\r\n"))
        << csv;
}

// Noise at -30 dBFS: -40 finds no pause, the level found from the file does,
// and the trace says which it found.
TEST(CliEveryPause, AutoLevelFindsThePausesUnderNoise)
{
    Tree tree = MakeTree("everyauto");
    CString strWave = JoinPath(tree.strRoot, "n.wav");
    ASSERT_TRUE(WriteBytes(strWave, BuildWave(kFormat, MakeTracks(0.0316))));
    ProgramResult r =
        RunSplitProgram({"--dry-run", "-P", "--pause-min", "1", "-o", U(tree.strOut), U(strWave)});
    ASSERT_EQ(0, r.nExitCode) << r.strErr;
    EXPECT_EQ(1u, (size_t)std::count(r.strOut.begin(), r.strOut.end(), '\n')) << r.strOut;
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgOneCopyNoPause))) << r.strErr;
    r = RunSplitProgram({"-q", "-P", "--pause-min", "1", "--pause-level", "auto", "-o",
                         U(tree.strOut), "--log-dir", U(tree.strLogs), U(strWave)});
    ASSERT_EQ(0, r.nExitCode) << r.strErr;
    EXPECT_TRUE(PathExists(JoinPath(tree.strOut, "n_003.wav")));
    EXPECT_FALSE(PathExists(JoinPath(tree.strOut, "n_004.wav")));
    std::string trace;
    ASSERT_TRUE(ReadBytes(JoinPath(tree.strLogs, "TraceFile.txt"), trace));
#ifdef _WIN32
    const std::string strFound = "無音の音量を録音から -2";
#else
    const std::string strFound = SJisToUtf8("無音の音量を録音から -2");
#endif
    EXPECT_NE(std::string::npos, trace.find(strFound)) << trace;
}

TEST(CliEveryPause, OptionsThatNeedEveryPauseAreUsageErrors)
{
    Tree tree = MakeTree("everyusage");
    CString strWave = JoinPath(tree.strRoot, "u.wav");
    ASSERT_TRUE(WriteBytes(strWave, MakeWave(100)));
    const struct
    {
        std::vector<std::string> args;
        const char* pcSaid;
    } cases[] = {
        {{"-P", "-N", "2"}, "-P (every pause) and -N (equal parts) cannot be combined"},
        {{"--trim"}, "--min-piece and --trim need -P"},
        {{"-l", "10", "--min-piece", "5"}, "--min-piece and --trim need -P"},
        {{"-P", "--min-piece", "x"}, "invalid --min-piece 'x'"},
    };
    for (const auto& c : cases)
    {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-o", U(tree.strOut), "--log-dir", U(tree.strLogs), U(strWave)});
        ProgramResult r = RunSplitProgram(args);
        EXPECT_EQ(2, r.nExitCode) << c.pcSaid;
        EXPECT_TRUE(Contains(r.strErr, c.pcSaid)) << r.strErr;
    }
    EXPECT_FALSE(PathExists(tree.strOut));
}
