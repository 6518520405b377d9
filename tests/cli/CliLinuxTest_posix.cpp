// wavoss-split on Linux trees: links, names of any kind, signals and the
// folder for the logs.
#include "CliTestSupport.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
std::string ReadAll(const std::string& path)
{
    std::string data;
    ReadBytes(path.c_str(), data);
    return data;
}

// The child's exit status once it has ended; -1 (the child killed) when it
// has not within nSeconds.
int WaitBounded(pid_t pid, int nSeconds)
{
    int nStatus = 0;
    for (int i = 0; i < nSeconds * 20; i++)
    {
        if (waitpid(pid, &nStatus, WNOHANG) == pid)
            return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
        usleep(50000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &nStatus, 0);
    return -1;
}

// The system's name (UTF-8 or any bytes) as the program holds it.
CString ToSJis(const std::string& strName)
{
    std::string sjis;
    EXPECT_EQ(1, SystemTextToSJis(strName.data(), strName.size(), &sjis)) << strName;
    return CString(sjis.c_str());
}

// Writes the file under its name's bytes exactly, making its folders.
bool WriteRaw(const std::string& path, const std::string& data)
{
    for (size_t i = path.find('/', 1); i != std::string::npos; i = path.find('/', i + 1))
        mkdir(path.substr(0, i).c_str(), 0755);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    bool bOk = write(fd, data.data(), data.size()) == (ssize_t)data.size();
    return close(fd) == 0 && bOk;
}
} // namespace

// A FIFO named like a WAV file, in a walked folder or given as a PATH, is no
// source: it is named and left out, and nothing waits for a writer.
TEST(CliLinux, FifosAreNamedAndLeftOutWithoutWaiting)
{
    Tree tree = MakeTree("fifo");
    CString strSrc = Dir(tree.strRoot, "src");
    ASSERT_TRUE(WriteBytes(JoinPath(strSrc, "a.wav"), MakeWave(8000)));
    std::string fifoInside = std::string(strSrc) + "/x.wav";
    std::string fifoGiven = std::string(tree.strRoot) + "/y.wav";
    ASSERT_EQ(0, mkfifo(fifoInside.c_str(), 0644));
    ASSERT_EQ(0, mkfifo(fifoGiven.c_str(), 0644));
    std::string outPath = std::string(tree.strRoot) + "/stdout";
    std::string errPath = std::string(tree.strRoot) + "/stderr";
    pid_t pid = StartSplitProgram(
        {"-q", "-l", "1", "-o", U(tree.strOut), "--log-dir", U(tree.strLogs), U(strSrc), fifoGiven},
        outPath, errPath);
    ASSERT_GT(pid, 0);
    EXPECT_EQ(1, WaitBounded(pid, 60)) << "the run hung on a FIFO, or did not fail";
    std::string err = ReadAll(errPath);
    EXPECT_NE(std::string::npos,
              err.find("not a regular file (a FIFO, socket or device), skipped: " + fifoGiven))
        << err;
    EXPECT_NE(std::string::npos,
              err.find("not a regular file (a FIFO, socket or device), left out: " + fifoInside))
        << err;
    EXPECT_TRUE(Contains(err, Said(kMsgSummary, 1, 1))) << err;
    EXPECT_TRUE(PathExists(JoinPath(JoinPath(tree.strOut, "src"), "a_001.wav")));
}

// A link planted where a piece goes, to a file of the user's or to nowhere
// yet: the piece is not written through it, its file is not split, the trace
// says why, and nothing appears outside the output folder.
TEST(CliLinux, PiecesAreNeverWrittenThroughALink)
{
    Tree tree = MakeTree("plantedlink");
    CString strWave = JoinPath(tree.strRoot, "take.wav");
    ASSERT_TRUE(WriteBytes(strWave, MakeWave(8000 * 2)));
    const std::string notes = U(tree.strRoot) + "/notes.txt";
    ASSERT_TRUE(WriteRaw(notes, "my notes"));
    const std::string kTargets[] = {notes, U(tree.strRoot) + "/elsewhere.txt"};
    int nRun = 0;
    for (const std::string& target : kTargets)
    {
        SCOPED_TRACE(target);
        for (const char* pcPiece : {"take_001.wav", "take_002.wav"})
        {
            std::string out = U(tree.strRoot) + "/o" + std::to_string(++nRun);
            ASSERT_EQ(0, mkdir(out.c_str(), 0755));
            ASSERT_EQ(0, symlink(target.c_str(), (out + "/" + pcPiece).c_str()));
            ProgramResult r = RunSplitProgram(
                {"-q", "-l", "1", "-o", out, "--log-dir", U(tree.strLogs), U(strWave)});
            EXPECT_EQ(1, r.nExitCode) << r.strErr;
            EXPECT_TRUE(Contains(r.strErr, Said(kMsgSummary, 1, 0))) << r.strErr;
            std::string trace = ReadAll(U(tree.strLogs) + "/TraceFile.txt");
            EXPECT_NE(std::string::npos,
                      trace.find(std::string("PiecePath[") + out + "/" + pcPiece + "]\n:"))
                << trace;
            EXPECT_NE(std::string::npos, trace.find(SJisToUtf8("シンボリック リンク"))) << trace;
            EXPECT_EQ(target == notes ? "my notes" : "", ReadAll(target));
            EXPECT_EQ(target == notes, access(target.c_str(), F_OK) == 0);
            struct stat st;
            ASSERT_EQ(0, lstat((out + "/" + pcPiece).c_str(), &st));
            EXPECT_TRUE(S_ISLNK(st.st_mode));
            unlink((out + "/" + pcPiece).c_str());
        }
    }
}

TEST(CliLinux, LinkBackUpTheTreeIsWalkedOnce)
{
    Tree tree = MakeTree("loop");
    CString strTop = Dir(tree.strRoot, "top");
    CString strSub = Dir(strTop, "sub");
    ASSERT_TRUE(WriteBytes(JoinPath(strTop, "a.wav"), MakeWave(8000)));
    ASSERT_TRUE(WriteBytes(JoinPath(strSub, "b.wav"), MakeWave(8000)));
    ASSERT_EQ(0, symlink("..", JoinPath(strSub, "loop")));
    ProgramResult r = RunSplitProgram(
        {"-q", "-l", "1", "-o", U(tree.strOut), "--log-dir", U(tree.strLogs), U(strTop)});
    EXPECT_EQ(0, r.nExitCode) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgSummary, 2, 2))) << r.strErr;
    EXPECT_TRUE(PathExists(JoinPath(JoinPath(JoinPath(tree.strOut, "top"), "sub"), "b_001.wav")));
}

TEST(CliLinux, AnyNameIsSplitAsItselfAndLoggedAsItIs)
{
    Tree tree = MakeTree("names");
    std::string src = U(tree.strRoot) + "/src";
    // Name, frames; each source different, so that no piece can pass for another.
    const std::pair<const char*, uint32_t> kSources[] = {
        {u8"café.wav", 12000},
        {u8"cafè.wav", 8100}, // differs from the one above only by such a character
        {u8"Ñandú/录音.wav", 8200},
        {u8"녹음 \U0001F3B5/x\\y.wav", 8300},
        {u8"녹음 \U0001F3B5/a*b?.wav", 8400},
        {u8"녹음 \U0001F3B5/axby.wav", 8500}, // what the wildcards would find
        {u8"녹음 \U0001F3B5/q\"<a>|b:c.wav", 8800},
        {u8"ソ表é.wav", 8600},
        {"caf\xE9.wav", 8700},             // Latin-1, not UTF-8
        {u8"dup/录音\U0001F3B5.WAV", 100}, // the same pieces as the next one,
        {u8"dup/录音\U0001F3B5.wav", 100}, // listed after it (W before w)
    };
    for (const auto& source : kSources)
        ASSERT_TRUE(WriteRaw(src + "/" + source.first, MakeWave(source.second))) << source.first;
    std::string plan = U(tree.strLogs) + "/plan.csv";
    ProgramResult r = RunSplitProgram(
        {"-q", "-l", "1", "-o", U(tree.strOut), "--log-dir", U(tree.strLogs), "--plan", plan, src});
    EXPECT_EQ(1, r.nExitCode) << r.strErr; // for the two colliding names
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgDuplicates, 2))) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgSummary, 9, 9))) << r.strErr;
    std::string out = U(tree.strOut) + "/src/";
    const std::string planText = ReadAll(plan);
    for (size_t i = 0; i < 9; i++)
    {
        std::string name = kSources[i].first;
        int nPieces = kSources[i].second > 8000 ? 2 : 1;
        std::string base = out + name.substr(0, name.size() - 4);
        EXPECT_EQ(MakeSamples(kFormat, kSources[i].second), JoinPieces(ToSJis(base), nPieces))
            << name;
        // The plan file names the pieces as they are on disk too.
        if (name.find('"') == std::string::npos)
        {
            EXPECT_NE(std::string::npos, planText.find("\n" + base + "_001.wav,")) << name;
        }
    }
    const char* const pcReport = u8"=====  重複したファイルのリスト  =====\n";
    std::string report = pcReport;
    report += src + "/" + kSources[9].first + "\n" + src + "/" + kSources[10].first + "\n\n";
    EXPECT_EQ(report, ReadAll(U(tree.strLogs) + "/ConflictFile.txt"));
    EXPECT_NE(std::string::npos, r.strErr.find(src + "/" + kSources[10].first + "\n")) << r.strErr;
    // The trace names the sources as they are on disk, one line each.
    std::string trace = ReadAll(U(tree.strLogs) + "/TraceFile.txt");
    for (size_t i = 0; i < 9; i++)
        EXPECT_NE(std::string::npos, trace.find(src + "/" + kSources[i].first + "\n"))
            << kSources[i].first;
    EXPECT_EQ(std::string::npos, trace.find('\r'));
}

TEST(CliLinux, NamesBeyondTheMappableCharactersAreNamedAndFailTheRun)
{
    Tree tree = MakeTree("fill");
    std::string src = U(tree.strRoot) + "/src";
    // 32 names of 60 Hangul syllables each, none used twice: 1,920 characters
    // that Shift-JIS lacks, 1,880 places. The last name met does not fit and
    // leaves its 20 to a name of 10 in the sub-folder walked after them.
    char32_t cNext = 0xAC00;
    auto NewName = [&cNext](int nChars)
    {
        std::string name;
        for (int i = 0; i < nChars; i++, cNext++)
            name += {(char)(0xE0 | (cNext >> 12)), (char)(0x80 | ((cNext >> 6) & 0x3F)),
                     (char)(0x80 | (cNext & 0x3F))};
        return name + ".wav";
    };
    std::vector<std::string> names;
    for (int nFile = 0; nFile < 32; nFile++)
    {
        names.push_back(NewName(60));
        ASSERT_TRUE(WriteRaw(src + "/" + names.back(), MakeWave(100)));
    }
    std::string later = "later/" + NewName(10);
    ASSERT_TRUE(WriteRaw(src + "/" + later, MakeWave(100)));
    ProgramResult r =
        RunSplitProgram({"-q", "-l", "1", "-o", U(tree.strOut), "--log-dir", U(tree.strLogs), src});
    EXPECT_EQ(1, r.nExitCode) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgSummary, 32, 32))) << r.strErr;
    int nNamed = 0;
    for (const std::string& name : names)
    {
        bool bNamed = r.strErr.find("left out: " + src + "/" + name + "\n") != std::string::npos;
        struct stat st;
        std::string piece = U(tree.strOut) + "/src/" + name.substr(0, name.size() - 4) + "_001.wav";
        EXPECT_NE(bNamed, stat(piece.c_str(), &st) == 0) << name;
        nNamed += bNamed;
    }
    EXPECT_EQ(1, nNamed) << r.strErr;
    EXPECT_EQ(std::string::npos, r.strErr.find(later)) << r.strErr;
    // This process could not list such a tree whole either: cleared by hand.
    names.push_back(later);
    for (const std::string& name : names)
    {
        unlink((src + "/" + name).c_str());
        unlink((U(tree.strOut) + "/src/" + name.substr(0, name.size() - 4) + "_001.wav").c_str());
    }
}

// However many signals come (one Ctrl-C often arrives twice), the block
// ends, the piece's header is made true and the run says what it cut short.
TEST(CliLinux, SignalsFinishTheBlockAndSayWhatWasCutShort)
{
    Tree tree = MakeTree("sigterm");
    // 48 kHz stereo 32-bit: 384000 bytes a second; 4 pieces of 40 s (15 MB).
    const WaveFormat fmt = MakePcmFormat(2, 32, 48000);
    CString strWave = JoinPath(tree.strRoot, "long.wav");
    ASSERT_TRUE(WriteBytes(strWave, BuildWave(fmt, MakeSamples(fmt, 48000 * 160))));
    std::string errPath = std::string(tree.strRoot) + "/stderr";
    struct Case
    {
        const char* pcName;
        std::vector<int> signals; // sent together, while the program is held
        int nFirstExit, nOtherExit;
    } cases[] = {
        {"SIGTERM", {SIGTERM}, 143, 143},
        {"SIGHUP", {SIGHUP}, 129, 129}, // the terminal closed
        // Both arrive while the first is being honoured.
        {"SIGINT and SIGTERM", {SIGINT, SIGTERM}, 130, 143},
    };
    int nCase = 0;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pcName);
        int nStatus = 0;
        int nPieces = 4;
        std::string out;
        // A busy machine may let the whole file through before the test
        // looks: a few tries.
        for (int nTry = 1; nTry <= 3 && nPieces == 4; nTry++)
        {
            out = std::string(tree.strRoot) + "/out" + std::to_string(++nCase);
            pid_t pid = StartSplitProgram({"-q", "-l", "40", "-o", out, "--log-dir",
                                           U(tree.strLogs), "--plan", out + ".csv", U(strWave)},
                                          "/dev/null", errPath);
            ASSERT_GT(pid, 0);
            // Held as soon as the first piece is there, so the signals land
            // inside it.
            struct stat st;
            for (int i = 0; i < 200000 && stat((out + "/long_001.wav").c_str(), &st) != 0; i++)
                usleep(50);
            kill(pid, SIGSTOP);
            for (int nSignal : c.signals)
                kill(pid, nSignal);
            kill(pid, SIGCONT);
            ASSERT_EQ(pid, waitpid(pid, &nStatus, 0));
            nPieces = 0;
            while (nPieces < 4 &&
                   stat((out + "/long_00" + std::to_string(nPieces + 1) + ".wav").c_str(), &st) ==
                       0)
                nPieces++;
        }
        ASSERT_TRUE(WIFEXITED(nStatus));
        int nExit = WEXITSTATUS(nStatus);
        EXPECT_TRUE(nExit == c.nFirstExit || nExit == c.nOtherExit) << nExit;
        std::string err = ReadAll(errPath);
        EXPECT_TRUE(Contains(err, "interrupted: 0 of 1 files were split to the end")) << err;
        EXPECT_TRUE(Contains(err, "cut short")) << err;
        EXPECT_NE(std::string::npos, err.find(U(strWave))) << err;
        // Every piece written says in its header how much data it holds.
        EXPECT_GE(nPieces, 1);
        EXPECT_LT(nPieces, 4) << "the signal came too late to cut anything short";
        for (int n = 1; n <= nPieces; n++)
        {
            std::string piece = ReadAll(out + "/long_00" + std::to_string(n) + ".wav");
            ASSERT_GE(piece.size(), 44u);
            EXPECT_EQ(piece.size() - 44, GetLE32(piece, 40)) << n;
            EXPECT_EQ(piece.size() - 8, GetLE32(piece, 4)) << n;
        }
        // The plan file says which pieces were written whole.
        std::string plan = ReadAll(out + ".csv");
        for (int n = 1; n <= 4; n++)
        {
            // An abort may come between two pieces: the piece's size tells.
            const char* pcStatus = "not written";
            if (n <= nPieces)
                pcStatus = ReadAll(out + "/long_00" + std::to_string(n) + ".wav").size() ==
                                   44u + 384000u * 40
                               ? "written"
                               : "cut short";
            std::string row = "/long_00" + std::to_string(n) + ".wav,";
            size_t iRow = plan.find(row);
            ASSERT_NE(std::string::npos, iRow) << plan;
            std::string line = plan.substr(iRow, plan.find('\n', iRow) - iRow);
            EXPECT_EQ(std::string(",") + pcStatus + "\r", line.substr(line.rfind(','))) << line;
        }
    }
}

// A file size limit (ulimit -f) fails the write instead of killing the run:
// the piece keeps a true header, the trace gives the system's reason (not a
// full disk), and the file is not split.
TEST(CliLinux, FileSizeLimitFailsTheWrite)
{
    Tree tree = MakeTree("fsize");
    CString strWave = JoinPath(tree.strRoot, "a.wav");
    ASSERT_TRUE(WriteBytes(strWave, MakeWave(8000 * 60))); // two pieces of 480,000 bytes
    std::string out = std::string(tree.strRoot) + "/out";
    std::string errPath = std::string(tree.strRoot) + "/stderr";
    const rlim_t kLimit = 102400;
    const std::string plan = std::string(tree.strRoot) + "/plan.csv";
    pid_t pid = StartSplitProgram(
        {"-q", "-l", "30", "-o", out, "--log-dir", U(tree.strLogs), "--plan", plan, U(strWave)},
        "/dev/null", errPath,
        [kLimit]
        {
            struct rlimit limit = {kLimit, kLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    ASSERT_GT(pid, 0);
    EXPECT_EQ(1, WaitBounded(pid, 60)) << ReadAll(errPath);
    std::string piece = ReadAll(out + "/a_001.wav");
    ASSERT_GE(piece.size(), 44u);
    EXPECT_LE(piece.size(), (size_t)kLimit);
    EXPECT_EQ(piece.size() - 44, GetLE32(piece, 40));
    EXPECT_EQ(piece.size() - 8, GetLE32(piece, 4));
    std::string trace = ReadAll(std::string(tree.strLogs) + "/TraceFile.txt");
    auto has = [&](const std::string& strSJis)
    { return trace.find(strSJis) != std::string::npos || Contains(trace, strSJis); };
    EXPECT_TRUE(has("ファイル サイズが制限値を超えているため、保存できません。")) << trace;
    EXPECT_FALSE(has("ディスクに十分な空き領域がありません")) << trace;
    EXPECT_TRUE(has("×　失敗")) << trace;
    // The plan file says what became of each piece.
    const std::string rows = ReadAll(plan);
    EXPECT_NE(std::string::npos, rows.find("/a_001.wav,00:00:00.000,00:00:30.000,length,")) << rows;
    EXPECT_NE(std::string::npos, rows.find("/a.wav,0,240000,cut short\r\n")) << rows;
    EXPECT_NE(std::string::npos, rows.find("/a.wav,240000,240000,not written\r\n")) << rows;
}

// A help text that cannot be written is a failure, not a success.
TEST(CliLinux, HelpThatCannotBeWrittenFails)
{
    std::string errPath = std::string(MakeTestDir("full")) + "/stderr";
    for (const char* pcOption : {"--help", "--version"})
    {
        pid_t pid = StartSplitProgram({pcOption}, "/dev/full", errPath);
        ASSERT_GT(pid, 0);
        EXPECT_EQ(1, WaitBounded(pid, 60)) << pcOption;
        EXPECT_NE(std::string::npos, ReadAll(errPath).find("cannot write to standard output"))
            << pcOption;
    }
}

TEST(CliLinux, LogsGoToTheStateFolderByDefault)
{
    Tree tree = MakeTree("state");
    CString strWave = JoinPath(tree.strRoot, "a.wav");
    ASSERT_TRUE(WriteBytes(strWave, MakeWave(8000)));
    std::string state = std::string(tree.strRoot) + "/state";
    const char* pcOld = getenv("XDG_STATE_HOME");
    std::string old = pcOld != nullptr ? pcOld : "";
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    ProgramResult r = RunSplitProgram({"-q", "-o", U(tree.strOut), U(strWave)});
    if (pcOld != nullptr)
        setenv("XDG_STATE_HOME", old.c_str(), 1);
    else
        unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(0, r.nExitCode) << r.strErr;
    EXPECT_NE(std::string::npos, ReadAll(state + "/wavoss/TraceFile.txt").find("SectorSize"));
    // The trace lists every path processed: for the user's eyes only.
    for (const std::string& folder : {state, state + "/wavoss"})
    {
        struct stat st;
        ASSERT_EQ(0, stat(folder.c_str(), &st)) << folder;
        EXPECT_EQ(0700u, st.st_mode & 0777u) << folder;
    }
}

// Labels keep the characters Shift-JIS lacks in the pieces' names on disk,
// through the mapping of file names, and those a Windows name refuses; only
// '/' becomes '_'. A template's own text follows the same rule.
TEST(CliLinux, LabelsKeepTheirCharactersInPieceNames)
{
    Tree tree = MakeTree("labels");
    WaveOptions marked;
    marked.chunksAfterData = MarkerChunks(
        {{1, 3000, u8"café"}, {2, 6000, u8"中文简体"}, {3, 9000, u8"é?/\\:\U0001F3B5"}});
    CString strWave = JoinPath(tree.strRoot, "w.wav");
    ASSERT_TRUE(WriteBytes(strWave, BuildWave(kFormat, MakeSamples(kFormat, 12000), marked)));
    const std::string plan = U(tree.strRoot) + "/plan.csv";
    ProgramResult r = RunSplitProgram({"-q", "-m", "--name", "{label}", "-o", U(tree.strOut),
                                       "--log-dir", U(tree.strLogs), "--plan", plan, U(strWave)});
    EXPECT_EQ(0, r.nExitCode) << r.strErr;
    for (const char* pcName : {"001.wav", u8"café.wav", u8"中文简体.wav", u8"é?_\\:\U0001F3B5.wav"})
    {
        struct stat st;
        EXPECT_EQ(0, stat((U(tree.strOut) + "/" + pcName).c_str(), &st)) << pcName;
    }
    // The plan file gives the reasons with the labels as they are.
    const std::string reason = u8R"("marker ""中文简体""")";
    EXPECT_NE(std::string::npos, ReadAll(plan).find(reason)) << ReadAll(plan);

    CString strOut = Dir(tree.strRoot, "named");
    r = RunSplitProgram({"-q", "-N", "2", "--name", u8"{title}:é\\{n}.wav", "-o", U(strOut),
                         "--log-dir", U(tree.strLogs), U(strWave)});
    EXPECT_EQ(0, r.nExitCode) << r.strErr;
    for (const char* pcName : {u8"w:é\\001.wav", u8"w:é\\002.wav"})
    {
        struct stat st;
        EXPECT_EQ(0, stat((U(strOut) + "/" + pcName).c_str(), &st)) << pcName;
    }
}

// A trace on a full disk: the run says so with the system's words, does not
// send the user to it for the reasons, and fails.
TEST(CliLinux, TraceThatCannotBeWrittenFailsTheRun)
{
    Tree tree = MakeTree("tracefull");
    const std::string trace = U(tree.strLogs) + "/TraceFile.txt";
    ASSERT_EQ(0, symlink("/dev/full", trace.c_str()));
    CString strGood = JoinPath(tree.strRoot, "a.wav");
    CString strBad = JoinPath(tree.strRoot, "b.wav");
    ASSERT_TRUE(WriteBytes(strGood, MakeWave(12000)));
    ASSERT_TRUE(WriteBytes(strBad, "not a wave"));
    const std::string said = "cannot write " + trace + " (";
    for (const CString& strWave : {strGood, strBad})
    {
        ProgramResult r = RunSplitProgram(
            {"-q", "-l", "1", "-o", U(tree.strOut), "--log-dir", U(tree.strLogs), U(strWave)});
        EXPECT_EQ(1, r.nExitCode) << r.strErr;
        EXPECT_NE(std::string::npos, r.strErr.find(said)) << r.strErr;
        EXPECT_EQ(std::string::npos, r.strErr.find("why are in")) << r.strErr;
    }
    EXPECT_TRUE(PathExists(JoinPath(tree.strOut, "a_002.wav")));
}
