// The whole wavoss-split process against cp on the same file: generates a
// 44.1 kHz stereo 16-bit WAV (1 GiB of data by default), reads it once so
// both start from a warm cache, then times each command in turn for several
// rounds (the output synced and removed between runs, outside the timing) and
// prints the medians and their ratio, of wall time and of processor time.
//
//   cli_bench [bytes of sample data (1 GiB)] [work folder (.)] [rounds (5)] [wavoss-split]
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
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{
void PutLE32(unsigned char* pb, unsigned long dw)
{
    for (int i = 0; i < 4; ++i)
        pb[i] = (unsigned char)(dw >> (8 * i));
}

bool WriteSource(const std::string& path, unsigned long long qwData)
{
    FILE* pFile = fopen(path.c_str(), "wb");
    if (pFile == nullptr)
        return false;
    unsigned char abHeader[44] = {'R', 'I', 'F',  'F',  0,   0,   0,    0,    'W', 'A', 'V',
                                  'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,   1,   0,
                                  2,   0,   0x44, 0xAC, 0,   0,   0x10, 0xB1, 2,   0,   4,
                                  0,   16,  0,    'd',  'a', 't', 'a',  0,    0,   0,   0};
    PutLE32(abHeader + 4, (unsigned long)(qwData + 36));
    PutLE32(abHeader + 40, (unsigned long)qwData);
    bool bOk = fwrite(abHeader, 1, sizeof(abHeader), pFile) == sizeof(abHeader);
    std::vector<unsigned char> block(8u << 20);
    unsigned long ulSeed = 12345;
    for (unsigned long long qwDone = 0; bOk && qwDone < qwData;)
    {
        size_t n = (size_t)std::min<unsigned long long>(block.size(), qwData - qwDone);
        for (size_t i = 0; i < n; i++)
        {
            ulSeed = ulSeed * 1103515245u + 12345u;
            block[i] = (unsigned char)(ulSeed >> 16);
        }
        bOk = fwrite(block.data(), 1, n, pFile) == n;
        qwDone += n;
    }
    return fclose(pFile) == 0 && bOk;
}

void ReadWhole(const std::string& path)
{
    FILE* pFile = fopen(path.c_str(), "rb");
    if (pFile == nullptr)
        return;
    std::vector<char> block(8u << 20);
    while (fread(block.data(), 1, block.size(), pFile) > 0)
    {
    }
    fclose(pFile);
}

struct Timing
{
    double dWall; // seconds, -1 when the command failed
    double dCpu;  // user + system seconds of the process
};

// The command's times (its messages dropped).
Timing TimeCommand(const std::vector<std::string>& args)
{
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0)
    {
        if (freopen("/dev/null", "w", stderr) == nullptr)
            _exit(126);
        std::vector<char*> argv;
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int nStatus = 0;
    struct rusage usage = {};
    if (pid < 0 || wait4(pid, &nStatus, 0, &usage) != pid || !WIFEXITED(nStatus) ||
        WEXITSTATUS(nStatus) != 0)
        return Timing{-1, -1};
    double dWall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double dCpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                  (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return Timing{dWall, dCpu};
}

void RemoveAll(const std::string& path)
{
    std::string command = "rm -rf '" + path + "'";
    if (system(command.c_str()) != 0)
        fprintf(stderr, "cannot remove %s\n", path.c_str());
    sync();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string DefaultProgram()
{
    char acSelf[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", acSelf, sizeof(acSelf) - 1);
    std::string self(acSelf, n > 0 ? (size_t)n : 0);
    size_t iSep = self.rfind('/');
    return (iSep == std::string::npos ? std::string(".") : self.substr(0, iSep)) +
           "/../cli/wavoss-split";
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
        fprintf(stderr, "usage: cli_bench [bytes] [work folder] [rounds] [wavoss-split]\n");
        return 2;
    }
    std::string src = work + "/cli_bench_src.wav";
    std::string copy = work + "/cli_bench_copy.wav";
    std::string out = work + "/cli_bench_out";
    std::string logs = work + "/cli_bench_logs";
    if (!WriteSource(src, qwData))
    {
        fprintf(stderr, "cannot write %s\n", src.c_str());
        return 1;
    }
    sync();
    ReadWhole(src);

    std::vector<double> copyWall, splitWall, copyCpu, splitCpu;
    for (int i = 0; i < nRounds; i++)
    {
        Timing copyTime = TimeCommand({"cp", src, copy});
        RemoveAll(copy);
        Timing splitTime = TimeCommand({program, "-q", "-o", out, "--log-dir", logs, src});
        RemoveAll(out);
        if (copyTime.dWall < 0 || splitTime.dWall < 0)
        {
            fprintf(stderr, "round %d failed (cp %.3f s, split %.3f s)\n", i + 1, copyTime.dWall,
                    splitTime.dWall);
            RemoveAll(src);
            return 1;
        }
        printf("round %d: cp %.3f s (cpu %.3f), wavoss-split %.3f s (cpu %.3f)\n", i + 1,
               copyTime.dWall, copyTime.dCpu, splitTime.dWall, splitTime.dCpu);
        copyWall.push_back(copyTime.dWall);
        splitWall.push_back(splitTime.dWall);
        copyCpu.push_back(copyTime.dCpu);
        splitCpu.push_back(splitTime.dCpu);
    }
    RemoveAll(logs);
    RemoveAll(src);
    printf("%.0f MiB, %d rounds, medians: cp %.3f s, wavoss-split %.3f s\n",
           (double)qwData / (1 << 20), nRounds, Median(copyWall), Median(splitWall));
    printf("ratio wavoss-split / cp: %.2f (target <= 1.25)\n",
           Median(splitWall) / Median(copyWall));
    // Processor time is less at the mercy of other processes than wall time.
    printf("processor time ratio: %.2f (cp %.3f s, wavoss-split %.3f s)\n",
           Median(splitCpu) / Median(copyCpu), Median(copyCpu), Median(splitCpu));
    return 0;
}
#endif
