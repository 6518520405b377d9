// The split by channel against the plain split of the same file: generates
// a recorder's 48 kHz 8-channel 24-bit WAV (EXTENSIBLE, 1 GiB of sample data
// by default), reads it once so every run starts from a warm cache, then
// times
//   wavoss-split -q -l 5:00 -o OUT --log-dir LOGS SRC
// and the same with --channels each (each round starting with the other
// one) for several rounds, warm (the pieces may stay in the page cache) and
// on disk (the command and a syncfs of the output's file system). Prints
// each round, the medians with their spread (lowest to highest) of wall and
// processor time, and the ratios of the medians (the target: at most 1.5).
//
//   channels_bench [bytes (1 GiB)] [work folder (.)] [rounds (5)] [wavoss-split]
#ifdef _WIN32
#include <cstdio>

int main()
{
    puts("channels_bench runs on Linux only");
    return 0;
}
#else
#include "BenchProcess.h"

namespace
{
const unsigned kChannels = 8;
const unsigned kBlock = kChannels * 3;
const unsigned kRate = 48000;

void PutLE(std::string* pstr, unsigned long long qw, int nBytes)
{
    for (int i = 0; i < nBytes; ++i)
        pstr->push_back((char)(qw >> (8 * i)));
}

bool WriteSource(const std::string& path, unsigned long long qwData)
{
    std::string fmt;
    PutLE(&fmt, 0xFFFE, 2);
    PutLE(&fmt, kChannels, 2);
    PutLE(&fmt, kRate, 4);
    PutLE(&fmt, kRate * kBlock, 4);
    PutLE(&fmt, kBlock, 2);
    PutLE(&fmt, 24, 2);
    PutLE(&fmt, 22, 2);
    PutLE(&fmt, 24, 2);
    PutLE(&fmt, 0x63F, 4); // 7.1
    fmt.append("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 16);
    std::string head = "RIFF";
    PutLE(&head, 4 + 8 + fmt.size() + 8 + qwData, 4);
    head += "WAVEfmt ";
    PutLE(&head, fmt.size(), 4);
    head += fmt + "data";
    PutLE(&head, qwData, 4);
    FILE* pFile = fopen(path.c_str(), "wb");
    if (pFile == nullptr)
        return false;
    bool bOk = fwrite(head.data(), 1, head.size(), pFile) == head.size();
    // Samples that differ from their neighbours, so that a shifted copy
    // would show; the block is a whole number of frames.
    std::vector<unsigned char> block((size_t)kBlock * 87381);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = (unsigned char)(i * 7 + i / 251);
    for (unsigned long long qwDone = 0; bOk && qwDone < qwData;)
    {
        size_t n = (size_t)std::min<unsigned long long>(block.size(), qwData - qwDone);
        bOk = fwrite(block.data(), 1, n, pFile) == n;
        qwDone += n;
    }
    return fclose(pFile) == 0 && bOk;
}
} // namespace

int main(int argc, char** argv)
{
    unsigned long long qwData = argc > 1 ? strtoull(argv[1], nullptr, 10) : (1ull << 30);
    qwData -= qwData % kBlock; // whole frames
    std::string work = argc > 2 ? argv[2] : ".";
    int nRounds = argc > 3 ? atoi(argv[3]) : 5;
    std::string program = argc > 4 ? argv[4] : DefaultProgram();
    if (qwData == 0 || qwData > 0xFFFFFFFFull - 68 || nRounds < 1)
    {
        fprintf(stderr, "usage: channels_bench [bytes] [work folder] [rounds] [wavoss-split]\n");
        return 2;
    }
    std::string src = work + "/channels_bench_src.wav";
    std::string out = work + "/channels_bench_out";
    std::string logs = work + "/channels_bench_logs";
    if (!WriteSource(src, qwData))
    {
        fprintf(stderr, "cannot write %s\n", src.c_str());
        return 1;
    }
    sync();
    ReadWhole(src);

    struct Command
    {
        std::string name;
        std::vector<std::string> args;
        std::vector<double> wall[2], cpu[2]; // warm, on disk
    };
    std::vector<std::string> args = {program, "-q",        "-l", "5:00", "-o",
                                     out,     "--log-dir", logs, src};
    Command commands[2] = {{"plain", args, {}, {}}, {"each", args, {}, {}}};
    commands[1].args.insert(commands[1].args.begin() + 4, {"--channels", "each"});
    for (const Command& command : commands)
    {
        printf("%-5s:", command.name.c_str());
        for (const std::string& arg : command.args)
            printf(" %s", arg.c_str());
        printf("\n");
    }
    // Warm (the pieces may stay in the page cache), then on disk (the command
    // and a syncfs of the output's file system).
    for (int bToDisk = 0; bToDisk < 2; bToDisk++)
        for (int i = 0; i < nRounds; i++)
        {
            printf("%s round %d:", bToDisk ? "disk" : "warm", i + 1);
            fflush(stdout); // before the children inherit the buffer
            for (int j = 0; j < 2; j++)
            {
                Command& command = commands[(i + j) % 2];
                if (!TimeRound(command.name, command.args, out, bToDisk != 0,
                               &command.wall[bToDisk], &command.cpu[bToDisk]))
                {
                    RemoveAll(src);
                    return 1;
                }
            }
            printf("\n");
        }
    RemoveAll(logs);
    RemoveAll(src);

    printf("%.0f MiB of 8-channel 24-bit 48 kHz, 5-minute pieces, %d rounds; "
           "medians (lowest - highest)\n",
           (double)qwData / (1 << 20), nRounds);
    for (int bToDisk = 0; bToDisk < 2; bToDisk++)
    {
        for (const Command& command : commands)
        {
            Spread wall = SpreadOf(command.wall[bToDisk]);
            Spread cpu = SpreadOf(command.cpu[bToDisk]);
            printf("%s %-5s %.3f s (%.3f - %.3f), cpu %.3f s (%.3f - %.3f)\n",
                   bToDisk ? "disk" : "warm", command.name.c_str(), wall.dMedian, wall.dLow,
                   wall.dHigh, cpu.dMedian, cpu.dLow, cpu.dHigh);
        }
        printf("%s: --channels each / plain: %.2f (target <= 1.5)\n", bToDisk ? "disk" : "warm",
               SpreadOf(commands[1].wall[bToDisk]).dMedian /
                   SpreadOf(commands[0].wall[bToDisk]).dMedian);
    }
    return 0;
}
#endif
