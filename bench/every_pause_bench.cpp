// Cutting at every pause against reading the file and against the plain
// split: generates a 44.1 kHz stereo 16-bit recording (1 GiB of sample data
// by default) of tracks of 2 to 5 minutes between gaps of 2.5 to 4 s of hiss,
// reads it once so every run starts from a warm cache, then times
//   cat SRC > /dev/null
//   wavoss-split --dry-run -P -o OUT SRC              (target: <= 1.5 x cat)
//   wavoss-split --dry-run -o OUT SRC                 (reads no sample: the rest)
//   wavoss-split -q -P -o OUT --log-dir LOGS SRC
//   wavoss-split -q -o OUT --log-dir LOGS SRC         (-P: <= 1.2 x this)
// for several rounds, each starting with another one. Prints each round, the
// medians with their spread (lowest to highest) and the ratios.
//
//   every_pause_bench [bytes (1 GiB)] [work folder (.)] [rounds (5)] [wavoss-split]
#ifdef _WIN32
#include <cstdio>

int main()
{
    puts("every_pause_bench runs on Linux only");
    return 0;
}
#else
#include "BenchProcess.h"

#include <cmath>
#include <cstring>

namespace
{
const unsigned kRate = 44100;

class Random
{
public:
    double Next() // [0, 1)
    {
        m_ul = m_ul * 1103515245u + 12345u;
        return (double)((m_ul >> 8) & 0xFFFF) / 65536.0;
    }

private:
    unsigned long m_ul = 12345;
};

// Twenty minutes of the recording: tracks of decaying chords, each followed
// by a gap of hiss at about -55 dBFS. The file repeats it.
std::vector<short> MakeSide()
{
    const unsigned nFrames = 1200 * kRate;
    std::vector<short> side(2 * (size_t)nFrames);
    Random random;
    unsigned nTrackEnd = 0, nGapEnd = 0, nNote = 0;
    double dFreq = 220, dPhase = 0;
    for (unsigned i = 0; i < nFrames; ++i)
    {
        if (i >= nGapEnd)
        {
            nTrackEnd = i + (unsigned)((120 + 180 * random.Next()) * kRate);
            nGapEnd = nTrackEnd + (unsigned)((2.5 + 1.5 * random.Next()) * kRate);
        }
        double v = 0.0018 * (random.Next() - 0.5) * 3.46; // the hiss
        if (i < nTrackEnd)
        {
            if (i >= nNote + kRate / 2 && random.Next() < 0.0002)
            {
                nNote = i;
                dFreq = 110 * pow(2.0, (int)(24 * random.Next()) / 12.0);
            }
            double t = (double)(i - nNote) / kRate;
            v += 0.3 * exp(-t / 0.8) * (sin(dPhase) + 0.5 * sin(1.5 * dPhase));
        }
        dPhase += 2 * M_PI * dFreq / kRate;
        short s = (short)std::lround(std::max(-1.0, std::min(1.0, v)) * 32767);
        side[2 * (size_t)i] = s;
        side[2 * (size_t)i + 1] = s;
    }
    return side;
}

bool WriteSource(const std::string& path, unsigned long long qwData)
{
    FILE* pFile = CreateCdWave(path, qwData);
    if (pFile == nullptr)
        return false;
    bool bOk = true;
    std::vector<short> side = MakeSide();
    const unsigned long long qwSide = side.size() * sizeof(short);
    for (unsigned long long qwDone = 0; bOk && qwDone < qwData;)
    {
        size_t n = (size_t)std::min(qwSide, qwData - qwDone);
        bOk = fwrite(side.data(), 1, n, pFile) == n;
        qwDone += n;
    }
    return fclose(pFile) == 0 && bOk;
}

} // namespace

int main(int argc, char** argv)
{
    unsigned long long qwData = argc > 1 ? strtoull(argv[1], nullptr, 10) : (1ull << 30);
    qwData &= ~3ull; // whole frames
    std::string work = argc > 2 ? argv[2] : ".";
    int nRounds = argc > 3 ? atoi(argv[3]) : 5;
    std::string program = argc > 4 ? argv[4] : DefaultProgram();
    if (qwData == 0 || qwData > 0xFFFFFFFFull - 36 || nRounds < 1)
    {
        fprintf(stderr, "usage: every_pause_bench [bytes] [work folder] [rounds] [wavoss-split]\n");
        return 2;
    }
    std::string src = work + "/every_pause_bench_src.wav";
    std::string out = work + "/every_pause_bench_out";
    std::string logs = work + "/every_pause_bench_logs";
    if (!WriteSource(src, qwData))
    {
        fprintf(stderr, "cannot write %s\n", src.c_str());
        return 1;
    }
    sync();
    ReadWhole(src);

    std::vector<BenchCommand> commands = {
        {"cat", {"cat", src}, {}, {}},
        {"dry -P", {program, "--dry-run", "-P", "-o", out, src}, {}, {}},
        {"dry", {program, "--dry-run", "-o", out, src}, {}, {}},
        {"split -P", {program, "-q", "-P", "-o", out, "--log-dir", logs, src}, {}, {}},
        {"split", {program, "-q", "-o", out, "--log-dir", logs, src}, {}, {}},
    };
    if (!RunRounds(commands, nRounds, out))
    {
        RemoveAll(src);
        return 1;
    }
    // How many pieces the pauses made, from the dry run's lines.
    std::string dry = "'" + program + "' --dry-run -P -o '" + out + "' '" + src + "' 2>/dev/null";
    int nPieces = 0;
    if (FILE* pPipe = popen(dry.c_str(), "r"))
    {
        char acLine[4096];
        while (fgets(acLine, sizeof(acLine), pPipe) != nullptr)
            ++nPieces;
        pclose(pPipe);
    }
    RemoveAll(logs);
    RemoveAll(src);

    printf("%.0f MiB, %d pieces at pauses, %d rounds, warm cache; medians (lowest - highest)\n",
           (double)qwData / (1 << 20), nPieces, nRounds);
    for (const BenchCommand& command : commands)
    {
        Spread wall = SpreadOf(command.wall);
        Spread cpu = SpreadOf(command.cpu);
        printf("%-9s %.3f s (%.3f - %.3f), cpu %.3f s (%.3f - %.3f)\n", command.name.c_str(),
               wall.dMedian, wall.dLow, wall.dHigh, cpu.dMedian, cpu.dLow, cpu.dHigh);
    }
    auto median = [&](int i) { return SpreadOf(commands[i].wall).dMedian; };
    printf("dry run -P / cat: %.2f (target <= 1.5)\n", median(1) / median(0));
    printf("dry run -P beyond the dry run / cat: %.2f\n", (median(1) - median(2)) / median(0));
    printf("split -P / split: %.2f (target <= 1.2)\n", median(3) / median(4));
    return 0;
}
#endif
