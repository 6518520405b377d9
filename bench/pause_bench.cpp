// The split with --pause against the same split without it: generates a
// 44.1 kHz stereo 16-bit recording (1 GiB of sample data by default), reads
// it once so every run starts from a warm cache, then times
//   wavoss-split -q -l 3:00 -o OUT --log-dir LOGS SRC
// and the same with -p (each round starting with the other one) for several
// rounds. Prints each round, the medians with their spread (lowest to
// highest) of wall and processor time, and the ratio of the medians (the
// target: at most 1.10).
//
// The recording is speech-like (syllables of harmonic tones in phrases of 1.5
// to 20 s, between pauses of 0.35 to 1.2 s over room noise), or with "tone" a
// steady tone without any pause: then every cut searches its whole window.
//
//   pause_bench [bytes (1 GiB)] [work folder (.)] [rounds (5)] [speech|tone] [wavoss-split]
#ifdef _WIN32
#include <cstdio>

int main()
{
    puts("pause_bench runs on Linux only");
    return 0;
}
#else
#include "BenchProcess.h"

#include <cmath>
#include <cstring>

namespace
{
const unsigned kRate = 44100;
const unsigned kTable = 4096;

class Random
{
public:
    double Next()
    {
        m_ul = m_ul * 1103515245u + 12345u;
        return (double)((m_ul >> 8) & 0xFFFF) / 65536.0;
    }

private:
    unsigned long m_ul = 12345;
};

// Ten minutes of the recording, as 16-bit stereo frames; the file repeats it
// (three-minute cuts fall at another place of it each time).
std::vector<short> MakeTrack(bool bSpeech)
{
    std::vector<double> sine(kTable);
    for (unsigned i = 0; i < kTable; ++i)
        sine[i] = std::sin(2 * M_PI * i / kTable);
    const unsigned nFrames = 600 * kRate;
    std::vector<short> track(2 * (size_t)nFrames);
    Random random;
    double dPhase = 0, dF0 = 150, dAmp = 0.4;
    unsigned nPhraseEnd = 0, nPauseEnd = 0, nSyllable = 0, nSyllableEnd = 0;
    for (unsigned i = 0; i < nFrames; ++i)
    {
        double v = 0;
        if (!bSpeech)
            v = 0.3 * sine[(size_t)(dPhase * kTable) % kTable];
        else if (i >= nPauseEnd)
        {
            if (i >= nPhraseEnd)
            {
                // A pause, then a phrase.
                nPauseEnd = i + (unsigned)((0.35 + 0.85 * random.Next()) * kRate);
                nPhraseEnd = nPauseEnd + (unsigned)((1.5 + 18.5 * random.Next()) * kRate);
            }
            else if (i >= nSyllableEnd)
            {
                // A syllable of 120 to 250 ms after a gap of 30 to 90 ms.
                nSyllable = i + (unsigned)((0.03 + 0.06 * random.Next()) * kRate);
                nSyllableEnd = nSyllable + (unsigned)((0.12 + 0.13 * random.Next()) * kRate);
                dF0 = 110 + 90 * random.Next();
                dAmp = 0.2 + 0.4 * random.Next();
            }
            if (i >= nSyllable && i < nSyllableEnd)
            {
                double dEnv =
                    sine[(size_t)(kTable / 2.0 * (i - nSyllable) / (nSyllableEnd - nSyllable))];
                for (int h = 1; h <= 3; ++h)
                    v += dAmp * dEnv * dEnv / h * sine[(size_t)(dPhase * h * kTable) % kTable];
            }
        }
        dPhase += dF0 / kRate;
        dPhase -= std::floor(dPhase);
        v += 0.002 * (random.Next() - 0.5);
        short s = (short)std::lround(std::max(-1.0, std::min(1.0, v)) * 32767);
        track[2 * (size_t)i] = track[2 * (size_t)i + 1] = s;
    }
    return track;
}

bool WriteSource(const std::string& path, unsigned long long qwData, bool bSpeech)
{
    FILE* pFile = CreateCdWave(path, qwData);
    if (pFile == nullptr)
        return false;
    bool bOk = true;
    std::vector<short> track = MakeTrack(bSpeech);
    const unsigned long long qwTrack = track.size() * sizeof(short);
    for (unsigned long long qwDone = 0; bOk && qwDone < qwData;)
    {
        size_t n = (size_t)std::min(qwTrack, qwData - qwDone);
        bOk = fwrite(track.data(), 1, n, pFile) == n;
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
    bool bSpeech = argc <= 4 || strcmp(argv[4], "tone") != 0;
    std::string program = argc > 5 ? argv[5] : DefaultProgram();
    if (qwData == 0 || qwData > 0xFFFFFFFFull - 36 || nRounds < 1)
    {
        fprintf(stderr, "usage: pause_bench [bytes] [work folder] [rounds] [speech|tone] "
                        "[wavoss-split]\n");
        return 2;
    }
    std::string src = work + "/pause_bench_src.wav";
    std::string out = work + "/pause_bench_out";
    std::string logs = work + "/pause_bench_logs";
    if (!WriteSource(src, qwData, bSpeech))
    {
        fprintf(stderr, "cannot write %s\n", src.c_str());
        return 1;
    }
    sync();
    ReadWhole(src);

    std::vector<std::string> args = {program, "-q",        "-l", "3:00", "-o",
                                     out,     "--log-dir", logs, src};
    std::vector<BenchCommand> commands = {{"without -p", args, {}, {}}, {"with -p", args, {}, {}}};
    commands[1].args.insert(commands[1].args.begin() + 4, "-p");
    if (!RunRounds(commands, nRounds, out))
    {
        RemoveAll(src);
        return 1;
    }
    // How many cuts the pauses moved, from the dry run's reasons.
    std::string dry =
        "'" + program + "' --dry-run -p -l 3:00 -o '" + out + "' '" + src + "' 2>/dev/null";
    int nMoved = 0, nStayed = 0;
    if (FILE* pPipe = popen(dry.c_str(), "r"))
    {
        char acLine[4096];
        while (fgets(acLine, sizeof(acLine), pPipe) != nullptr)
        {
            nMoved += strstr(acLine, "\tpause ") != nullptr;
            nStayed += strstr(acLine, "\tno pause") != nullptr;
        }
        pclose(pPipe);
    }
    RemoveAll(logs);
    RemoveAll(src);

    printf("%.0f MiB of %s, 3-minute pieces, %d rounds, warm cache; medians (lowest - highest)\n",
           (double)qwData / (1 << 20), bSpeech ? "speech" : "tone", nRounds);
    for (const BenchCommand& command : commands)
    {
        Spread wall = SpreadOf(command.wall);
        Spread cpu = SpreadOf(command.cpu);
        printf("%-10s %.3f s (%.3f - %.3f), cpu %.3f s (%.3f - %.3f)\n", command.name.c_str(),
               wall.dMedian, wall.dLow, wall.dHigh, cpu.dMedian, cpu.dLow, cpu.dHigh);
    }
    printf("cuts moved into a pause: %d, left where they were: %d\n", nMoved, nStayed);
    printf("with -p / without: %.2f (target <= 1.10)\n",
           SpreadOf(commands[1].wall).dMedian / SpreadOf(commands[0].wall).dMedian);
    return 0;
}
#endif
