// The whole wavoss-split process against cp (and shntool split, where it is
// installed) on the same file: generates a 44.1 kHz stereo 16-bit WAV (1 GiB
// of data by default), reads it once so every command starts from a warm
// cache, then times each command in turn (each round starting with the next
// one) for several rounds, two ways:
//   warm     the command alone: its output may still sit in the page cache
//   on disk  the command and then syncfs of the output's file system (sync
//            for that file system alone), inside the timing: the data has
//            reached the disk
// (the output is removed and synced between runs, outside the timing). Prints
// each round, the medians with their spread (lowest to highest) and the
// ratios to cp, of wall time and of processor time.
//
//   cli_bench [bytes of sample data (1 GiB)] [work folder (.)] [rounds (5)] [wavoss-split...]
#ifdef _WIN32
#include <cstdio>

int main()
{
    puts("cli_bench runs on Linux only");
    return 0;
}
#else
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "BenchProcess.h"

namespace
{
bool OnPath(const char* pcProgram)
{
    std::string command = std::string("command -v ") + pcProgram + " >/dev/null 2>&1";
    return system(command.c_str()) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    unsigned long long qwData = argc > 1 ? strtoull(argv[1], nullptr, 10) : (1ull << 30);
    qwData &= ~3ull; // whole frames
    std::string work = argc > 2 ? argv[2] : ".";
    int nRounds = argc > 3 ? atoi(argv[3]) : 5;
    // Several builds of wavoss-split may be given: each is timed beside cp.
    std::vector<std::string> programs;
    for (int i = 4; i < argc; i++)
        programs.push_back(argv[i]);
    if (programs.empty())
        programs.push_back(DefaultProgram());
    if (qwData == 0 || qwData > 0xFFFFFFFFull - 36 || nRounds < 1)
    {
        fprintf(stderr, "usage: cli_bench [bytes] [work folder] [rounds] [wavoss-split...]\n");
        return 2;
    }
    std::string src = work + "/cli_bench_src.wav";
    std::string copy = work + "/cli_bench_copy.wav";
    std::string out = work + "/cli_bench_out";
    std::string logs = work + "/cli_bench_logs";
    if (!WriteNoiseCdWave(src, qwData))
    {
        fprintf(stderr, "cannot write %s\n", src.c_str());
        return 1;
    }
    sync();
    ReadWhole(src);

    // The commands, each with what it writes; cp first: the others are
    // measured against it.
    struct Command
    {
        std::string name;
        std::vector<std::string> args;
        std::string outPath;
        std::vector<double> wall[2], cpu[2]; // [0] warm, [1] on disk
    };
    std::vector<Command> commands;
    commands.push_back(Command{"cp", {"cp", src, copy}, copy, {}, {}});
    for (const std::string& program : programs)
        commands.push_back(Command{programs.size() > 1 ? program : "wavoss-split",
                                   {program, "-q", "-o", out, "--log-dir", logs, src},
                                   out,
                                   {},
                                   {}});
    if (OnPath("shntool"))
        commands.push_back(
            Command{"shntool split",
                    {"shntool", "split", "-q", "-O", "always", "-l", "3:00", "-d", out, src},
                    out,
                    {},
                    {}});
    else
        printf("shntool is not installed: shntool split is left out\n");
    const char* const kModes[2] = {"warm", "on disk"};

    for (int i = 0; i < nRounds; i++)
        for (int nMode = 0; nMode < 2; nMode++)
        {
            printf("round %d, %-7s:", i + 1, kModes[nMode]);
            fflush(stdout); // before the children inherit the buffer
            // Each round starts with another command: none always follows
            // the same one.
            for (size_t j = 0; j < commands.size(); j++)
            {
                Command& command = commands[(i + j) % commands.size()];
                if (command.outPath == out)
                    mkdir(out.c_str(), 0755); // shntool writes into an existing folder
                if (!TimeRound(command.name, command.args, command.outPath, nMode == 1,
                               &command.wall[nMode], &command.cpu[nMode]))
                {
                    RemoveAll(src);
                    return 1;
                }
            }
            printf("\n");
        }
    RemoveAll(logs);
    RemoveAll(src);

    printf("%.0f MiB, %d rounds; medians (lowest - highest) of wall time, then processor time\n",
           (double)qwData / (1 << 20), nRounds);
    for (int nMode = 0; nMode < 2; nMode++)
        for (const Command& command : commands)
        {
            Spread wall = SpreadOf(command.wall[nMode]);
            Spread cpu = SpreadOf(command.cpu[nMode]);
            printf("%-7s %-13s %.3f s (%.3f - %.3f), cpu %.3f s (%.3f - %.3f)\n", kModes[nMode],
                   command.name.c_str(), wall.dMedian, wall.dLow, wall.dHigh, cpu.dMedian, cpu.dLow,
                   cpu.dHigh);
        }
    // The targets: warm within 1.25 x cp; on disk within 1.10 x cp and ahead
    // of shntool split.
    const double kTarget[2] = {1.25, 1.10};
    for (int nMode = 0; nMode < 2; nMode++)
    {
        double dCp = SpreadOf(commands[0].wall[nMode]).dMedian;
        for (size_t i = 1; i < commands.size(); i++)
        {
            printf("%-7s %s / cp: %.2f", kModes[nMode], commands[i].name.c_str(),
                   SpreadOf(commands[i].wall[nMode]).dMedian / dCp);
            if (i <= programs.size())
                printf(" (target <= %.2f)", kTarget[nMode]);
            printf("\n");
        }
    }
    return 0;
}
#endif
