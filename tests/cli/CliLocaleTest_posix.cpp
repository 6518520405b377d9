// The command line run in the user's locale: what it says on the terminal, the
// files it did not split, and what it says where it used to stay quiet.
#include "CliTestSupport.h"
#include "cli/FullPath.h"

#include <sys/wait.h>

namespace
{
ProgramResult RunIn(const char* pcLocale, const std::vector<std::string>& args)
{
    CString strDir = MakeTestDir("runlocale");
    std::string strOut = std::string(strDir) + "/stdout";
    std::string strErr = std::string(strDir) + "/stderr";
    pid_t pid = StartSplitProgram(args, strOut, strErr,
                                  [pcLocale]()
                                  {
                                      unsetenv("LC_MESSAGES");
                                      unsetenv("LANG");
                                      setenv("LC_ALL", pcLocale, 1);
                                  });
    ProgramResult result;
    int nStatus = 0;
    if (pid > 0 && waitpid(pid, &nStatus, 0) == pid && WIFEXITED(nStatus))
        result.nExitCode = WEXITSTATUS(nStatus);
    ReadBytes(strOut.c_str(), result.strOut);
    ReadBytes(strErr.c_str(), result.strErr);
    return result;
}

bool IsAscii(const std::string& text)
{
    for (char c : text)
        if ((unsigned char)c >= 0x80)
            return false;
    return true;
}

std::string Shown(const CString& strPath)
{
    return std::string(MakeShownPath(strPath));
}
} // namespace

TEST(CliLocale, EverythingOnTheTerminalIsInTheUsersLanguage)
{
    Tree tree = MakeTree("locale");
    CString strGood = JoinPath(tree.strRoot, "good.wav");
    CString strText = JoinPath(tree.strRoot, "text.wav");
    ASSERT_TRUE(WriteBytes(strGood, MakeWave(16000)));
    ASSERT_TRUE(WriteBytes(strText, std::string(100, 't')));
    struct Case
    {
        const char* pcLocale;
        std::string strNotSplit;
        const char* pcSummary;
        const char* pcTryHelp;
    };
    const Case cases[] = {
        {"C", "wavoss-split: not split: " + Shown(strText) + " (not a valid WAVE header)\n",
         "files: 2, split: 1\n", "Try 'wavoss-split --help'\n"},
        {"en_US.UTF-8",
         "wavoss-split: not split: " + Shown(strText) + " (not a valid WAVE header)\n",
         "files: 2, split: 1\n", "Try 'wavoss-split --help'\n"},
        {"ja_JP.UTF-8",
         "wavoss-split: 分割しませんでした: " + Shown(strText) + " (無効なWAVEヘッダです。)\n",
         "2 個中 1 個のファイルを分割処理しました。\n",
         "詳しくは 'wavoss-split --help' を実行してください。\n"},
    };
    for (const Case& c : cases)
    {
        ProgramResult r = RunIn(c.pcLocale, {"-q", "-l", "1", "-o", U(tree.strOut), "--log-dir",
                                             U(tree.strLogs), U(strGood), U(strText)});
        EXPECT_EQ(1, r.nExitCode) << c.pcLocale;
        // The file not split first, then the summary.
        size_t iNotSplit = r.strErr.find(ExpectedOutput(c.strNotSplit));
        size_t iSummary = r.strErr.find(ExpectedOutput(c.pcSummary));
        EXPECT_NE(std::string::npos, iNotSplit) << c.pcLocale << "\n" << r.strErr;
        EXPECT_NE(std::string::npos, iSummary) << c.pcLocale << "\n" << r.strErr;
        EXPECT_LT(iNotSplit, iSummary) << r.strErr;
        EXPECT_EQ(std::string::npos, r.strErr.find("()")) << r.strErr;
        if (std::string(c.pcLocale) != "ja_JP.UTF-8")
        {
            EXPECT_TRUE(IsAscii(r.strErr)) << r.strErr;
        }

        ProgramResult usage = RunIn(c.pcLocale, {"-l", "1", U(strGood)});
        EXPECT_EQ(2, usage.nExitCode) << c.pcLocale;
        EXPECT_NE(std::string::npos, usage.strErr.find("\n" + ExpectedOutput(c.pcTryHelp)))
            << usage.strErr;
    }
    // The trace keeps its own words, whatever the terminal's language.
    std::string trace;
    ASSERT_TRUE(ReadBytes(JoinPath(tree.strLogs, "TraceFile.txt"), trace));
    EXPECT_TRUE(Contains(trace, "※　無効なWAVEヘッダです。")) << trace;
}

// Each file that was not split is named with its reason at the end of the
// run, one line each.
TEST(CliLocale, EachFileNotSplitIsNamedWithItsReason)
{
    Tree tree = MakeTree("notsplit");
    CString strGood = JoinPath(tree.strRoot, "good.wav");
    CString strText = JoinPath(tree.strRoot, "text.wav");
    CString strEmpty = JoinPath(tree.strRoot, "empty.wav");
    ASSERT_TRUE(WriteBytes(strGood, MakeWave(8000)));
    ASSERT_TRUE(WriteBytes(strText, "RIFF"));
    ASSERT_TRUE(WriteBytes(strEmpty, MakeWave(0)));
    ProgramResult r = RunIn("C", {"-q", "-l", "1", "-o", U(tree.strOut), "--log-dir",
                                  U(tree.strLogs), U(strGood), U(strText), U(strEmpty)});
    EXPECT_EQ(1, r.nExitCode);
    const size_t iSummary = r.strErr.find("files: 3, split: 1\n");
    EXPECT_NE(std::string::npos, iSummary) << r.strErr;
    for (const CString& strBad : {strText, strEmpty})
    {
        size_t iLine = r.strErr.find("wavoss-split: not split: " + Shown(strBad) +
                                     " (not a valid WAVE header)\n");
        EXPECT_LT(iLine, iSummary) << r.strErr;
    }
    EXPECT_EQ(std::string::npos, r.strErr.find(Shown(strGood))) << r.strErr;
}

// -m on a file without markers says that one piece holds it whole.
TEST(CliLocale, MarkersOnAFileWithoutMarkersIsSaid)
{
    Tree tree = MakeTree("nomarkers");
    CString strWave = JoinPath(tree.strRoot, "plain.wav");
    ASSERT_TRUE(WriteBytes(strWave, MakeWave(8000)));
    ProgramResult r =
        RunIn("C", {"-q", "-m", "-o", U(tree.strOut), "--log-dir", U(tree.strLogs), U(strWave)});
    EXPECT_EQ(0, r.nExitCode) << r.strErr;
    EXPECT_NE(std::string::npos,
              r.strErr.find("wavoss-split: no marker to cut at, one piece holds the whole file "
                            "(-m): " +
                            Shown(strWave) + "\n"))
        << r.strErr;
}

// -n before pieces of another plan says how to replace them.
TEST(CliLocale, NoClobberSaysHowToReplaceUnlikePieces)
{
    Tree tree = MakeTree("unlike");
    CString strWave = JoinPath(tree.strRoot, "take.wav");
    ASSERT_TRUE(WriteBytes(strWave, MakeWave(40000)));
    std::vector<std::string> args = {"-q",      "-o", U(tree.strOut), "--log-dir", U(tree.strLogs),
                                     U(strWave)};
    args.insert(args.begin(), {"-l", "1"});
    ASSERT_EQ(0, RunIn("C", args).nExitCode);
    args[1] = "2";
    args.insert(args.begin(), "-n");
    ProgramResult r = RunIn("C", args);
    EXPECT_EQ(1, r.nExitCode) << r.strErr;
    EXPECT_NE(std::string::npos, r.strErr.find("run without -n to replace them")) << r.strErr;
}
