// wavoss-split --share-blocks against cp --reflink=always and the plain split
// on file systems that share blocks: makes an XFS (reflink) and a btrfs file
// system on loop devices (as root; skipped with a message otherwise), writes a
// 44.1 kHz stereo 16-bit recording (1 GiB of data by default) into each, and
// times 3-minute pieces with --share-blocks, the plain split and a copy that
// shares blocks, each until syncfs of the file system is done, with the space
// each used (statvfs before and after). Then the same on the work folder's
// own file system (this machine's disk) against a plain cp. Prints each round,
// the medians with their spread (lowest to highest), the ratios to cp and the
// new space as a share of the recording.
//
//   share_bench [bytes of sample data (1 GiB)] [work folder (/tmp)] [rounds (5)] [wavoss-split]
#ifdef _WIN32
#include <cstdio>

int main()
{
    puts("share_bench runs on Linux only");
    return 0;
}
#else
#include "BenchProcess.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

namespace
{
bool Run(const std::string& command)
{
    return system(command.c_str()) == 0;
}

// Bytes in use on the file system that holds the path, after a sync of it.
double UsedBytes(const std::string& path)
{
    SyncFileSystem(path);
    struct statvfs st = {};
    if (statvfs(path.c_str(), &st) != 0)
        return 0;
    return (double)(st.f_blocks - st.f_bfree) * st.f_frsize;
}

struct Command
{
    std::string name;
    std::vector<std::string> args;
    std::string outPath;
    std::vector<double> wall, cpu, space;
};

// Rounds of the commands on one file system, each round starting with the
// next command; the first command is the one the others are measured
// against. 0 when a command failed.
bool Measure(const std::string& title, const std::string& folder, unsigned long long qwData,
             int nRounds, std::vector<Command>* pCommands)
{
    std::vector<Command>& commands = *pCommands;
    printf("\n%s (%s):\n", title.c_str(), folder.c_str());
    for (int i = 0; i < nRounds; i++)
    {
        printf("round %d:", i + 1);
        fflush(stdout); // before the children inherit the buffer
        for (size_t j = 0; j < commands.size(); j++)
        {
            Command& command = commands[(i + j) % commands.size()];
            double dBefore = UsedBytes(folder);
            Timing time = TimeCommand(command.args, command.outPath, true);
            double dSpace = UsedBytes(folder) - dBefore;
            RemoveAll(command.outPath);
            if (time.dWall < 0)
            {
                printf("\n%s failed\n", command.name.c_str());
                return false;
            }
            printf(" %s %.3f s", command.name.c_str(), time.dWall);
            fflush(stdout);
            command.wall.push_back(time.dWall);
            command.cpu.push_back(time.dCpu);
            command.space.push_back(dSpace);
        }
        printf("\n");
    }
    printf("medians (lowest - highest) of wall time to disk, processor time, new space\n");
    for (const Command& command : commands)
    {
        Spread wall = SpreadOf(command.wall);
        Spread cpu = SpreadOf(command.cpu);
        Spread space = SpreadOf(command.space);
        printf("  %-22s %.3f s (%.3f - %.3f), cpu %.3f s, space %.1f MiB (%.2f %% of the "
               "recording)\n",
               command.name.c_str(), wall.dMedian, wall.dLow, wall.dHigh, cpu.dMedian,
               space.dMedian / (1 << 20), 100.0 * space.dMedian / (double)qwData);
    }
    double dFirst = SpreadOf(commands[0].wall).dMedian;
    for (size_t i = 1; i < commands.size(); i++)
        printf("  %s / %s: %.2f\n", commands[i].name.c_str(), commands[0].name.c_str(),
               SpreadOf(commands[i].wall).dMedian / dFirst);
    return true;
}

// The commands on one folder: the copy (cpArgs before its two paths), then
// the split with --share-blocks and without.
std::vector<Command> MakeCommands(const std::string& folder, const std::string& program,
                                  const std::vector<std::string>& cpArgs, const std::string& cpName)
{
    std::string src = folder + "/share_bench_src.wav";
    std::string copy = folder + "/share_bench_copy.wav";
    std::string out = folder + "/share_bench_out";
    std::string logs = folder + "/share_bench_logs";
    std::vector<std::string> cp = cpArgs;
    cp.push_back(src);
    cp.push_back(copy);
    std::vector<Command> commands;
    commands.push_back(Command{cpName, cp, copy, {}, {}, {}});
    commands.push_back(
        Command{"wavoss-split --share-blocks",
                {program, "-q", "--share-blocks", "-l", "3:00", "-o", out, "--log-dir", logs, src},
                out,
                {},
                {},
                {}});
    commands.push_back(Command{"wavoss-split",
                               {program, "-q", "-l", "3:00", "-o", out, "--log-dir", logs, src},
                               out,
                               {},
                               {},
                               {}});
    return commands;
}

// Writes the recording into the folder and measures there.
bool MeasureIn(const std::string& title, const std::string& folder, const std::string& program,
               unsigned long long qwData, int nRounds, const std::vector<std::string>& cpArgs,
               const std::string& cpName)
{
    std::string src = folder + "/share_bench_src.wav";
    if (!WriteNoiseCdWave(src, qwData))
    {
        fprintf(stderr, "cannot write %s\n", src.c_str());
        return false;
    }
    sync();
    ReadWhole(src);
    std::vector<Command> commands = MakeCommands(folder, program, cpArgs, cpName);
    bool bOk = Measure(title, folder, qwData, nRounds, &commands);
    RemoveAll(folder + "/share_bench_logs");
    RemoveAll(src);
    return bOk;
}

// A file system made on a loop device under the work folder, mounted for the
// measurement and taken away after it; false with a message when it cannot be.
bool MeasureOnLoop(const std::string& fs, const std::string& mkfs, const std::string& work,
                   const std::string& program, unsigned long long qwData, int nRounds)
{
    std::string image = work + "/share_bench_" + fs + ".img";
    std::string mount = work + "/share_bench_" + fs;
    // The recording, a plain split of it and a copy, with room to spare.
    char acSize[32];
    snprintf(acSize, sizeof(acSize), "%lluM", (3 * qwData >> 20) + 512);
    mkdir(mount.c_str(), 0755);
    if (!Run("truncate -s " + std::string(acSize) + " '" + image + "' && " + mkfs + " '" + image +
             "' >/dev/null 2>&1 && mount -o loop '" + image + "' '" + mount + "'"))
    {
        printf("\n%s: cannot make and mount a loop file system here (%s): skipped\n", fs.c_str(),
               mkfs.c_str());
        RemoveAll(image);
        rmdir(mount.c_str());
        return false;
    }
    bool bOk = MeasureIn(fs + " on a loop device", mount, program, qwData, nRounds,
                         {"cp", "--reflink=always"}, "cp --reflink=always");
    Run("umount '" + mount + "'");
    rmdir(mount.c_str());
    RemoveAll(image);
    return bOk;
}

bool OnPath(const char* pcProgram)
{
    return Run(std::string("command -v ") + pcProgram + " >/dev/null 2>&1");
}
} // namespace

int main(int argc, char** argv)
{
    unsigned long long qwData = argc > 1 ? strtoull(argv[1], nullptr, 10) : (1ull << 30);
    qwData &= ~3ull; // whole frames
    std::string work = argc > 2 ? argv[2] : "/tmp";
    int nRounds = argc > 3 ? atoi(argv[3]) : 5;
    std::string program = argc > 4 ? argv[4] : DefaultProgram();
    if (qwData == 0 || qwData > 0xFFFFFFFFull - 36 || nRounds < 1)
    {
        fprintf(stderr, "usage: share_bench [bytes] [work folder] [rounds] [wavoss-split]\n");
        return 2;
    }
    printf("%.0f MiB into 3-minute pieces, %d rounds\n", (double)qwData / (1 << 20), nRounds);
    if (geteuid() != 0)
        printf("not root: the XFS and btrfs loop mounts are skipped\n");
    else if (access("/dev/loop-control", F_OK) != 0)
        printf("no loop devices: the XFS and btrfs loop mounts are skipped\n");
    else
    {
        const struct
        {
            const char* pcFs;
            const char* pcTool;
            const char* pcMkfs;
        } kLoops[] = {{"xfs", "mkfs.xfs", "mkfs.xfs -q -f -m reflink=1"},
                      {"btrfs", "mkfs.btrfs", "mkfs.btrfs -q -f"}};
        for (const auto& loop : kLoops)
            if (!OnPath(loop.pcTool))
                printf("\n%s is missing: %s skipped\n", loop.pcTool, loop.pcFs);
            else
                MeasureOnLoop(loop.pcFs, loop.pcMkfs, work, program, qwData, nRounds);
    }
    // Where nothing is shared the pieces are copied, whole pages by the
    // kernel: against cp, which copies the same way.
    if (!MeasureIn("the work folder's own file system", work, program, qwData, nRounds, {"cp"},
                   "cp"))
        return 1;
    printf("\ntargets: with --share-blocks at most 3 x cp --reflink=always and under 1 %% new "
           "space where blocks are shared; at most 1.05 x cp elsewhere\n");
    return 0;
}
#endif
