// What the benchmarks that time whole processes share (Linux only): a warm
// read of a file, a command timed in a child process, the output removed,
// and the median with its spread of several rounds.
#pragma once

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

inline void ReadWhole(const std::string& path)
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

// Brings what was written to the file system that holds the path to the
// disk, as sync does for it: one flush for all the files a command wrote.
inline bool SyncFileSystem(const std::string& path)
{
    int fd = open(path.c_str(), O_RDONLY);
    bool bOk = fd >= 0 && syncfs(fd) == 0;
    if (fd >= 0)
        close(fd);
    return bOk;
}

// The command's times (its output dropped); with bToDisk the time runs on
// until what it wrote at outPath is on the disk.
inline Timing TimeCommand(const std::vector<std::string>& args, const std::string& outPath,
                          bool bToDisk)
{
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0)
    {
        if (freopen("/dev/null", "w", stdout) == nullptr ||
            freopen("/dev/null", "w", stderr) == nullptr)
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
    if (bToDisk && !SyncFileSystem(outPath))
        return Timing{-1, -1};
    double dWall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double dCpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                  (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return Timing{dWall, dCpu};
}

inline void RemoveAll(const std::string& path)
{
    std::string command = "rm -rf '" + path + "'";
    if (system(command.c_str()) != 0)
        fprintf(stderr, "cannot remove %s\n", path.c_str());
    sync();
}

// Times the command once, removes what it wrote and prints the figures;
// false when it failed.
inline bool TimeRound(const std::string& name, const std::vector<std::string>& args,
                      const std::string& outPath, bool bToDisk, std::vector<double>* pWall,
                      std::vector<double>* pCpu)
{
    Timing time = TimeCommand(args, outPath, bToDisk);
    RemoveAll(outPath);
    if (time.dWall < 0)
    {
        printf("\n%s failed\n", name.c_str());
        return false;
    }
    printf(" %s %.3f s (cpu %.3f)", name.c_str(), time.dWall, time.dCpu);
    fflush(stdout);
    pWall->push_back(time.dWall);
    pCpu->push_back(time.dCpu);
    return true;
}

// A new CD-quality WAV file (44.1 kHz, stereo, 16-bit) with its canonical
// header for qwData bytes written, ready for the data; nullptr on failure.
inline FILE* CreateCdWave(const std::string& path, unsigned long long qwData)
{
    FILE* pFile = fopen(path.c_str(), "wb");
    if (pFile == nullptr)
        return nullptr;
    unsigned char abHeader[44] = {'R', 'I', 'F',  'F',  0,   0,   0,    0,    'W', 'A', 'V',
                                  'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,   1,   0,
                                  2,   0,   0x44, 0xAC, 0,   0,   0x10, 0xB1, 2,   0,   4,
                                  0,   16,  0,    'd',  'a', 't', 'a',  0,    0,   0,   0};
    for (int i = 0; i < 4; ++i)
    {
        abHeader[4 + i] = (unsigned char)((qwData + 36) >> (8 * i));
        abHeader[40 + i] = (unsigned char)(qwData >> (8 * i));
    }
    if (fwrite(abHeader, 1, sizeof(abHeader), pFile) != sizeof(abHeader))
    {
        fclose(pFile);
        return nullptr;
    }
    return pFile;
}

// A CD-quality WAV file of qwData bytes of noise that no file system
// compresses or shares; false on failure.
inline bool WriteNoiseCdWave(const std::string& path, unsigned long long qwData)
{
    FILE* pFile = CreateCdWave(path, qwData);
    if (pFile == nullptr)
        return false;
    bool bOk = true;
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

// A command timed warm, round after round, with its figures.
struct BenchCommand
{
    std::string name;
    std::vector<std::string> args;
    std::vector<double> wall, cpu;
};

// Prints the commands, then times each once a round, the first of each round
// moving on by one so that none always follows another; false when one failed.
inline bool RunRounds(std::vector<BenchCommand>& commands, int nRounds, const std::string& outPath)
{
    for (const BenchCommand& command : commands)
    {
        printf("%-10s:", command.name.c_str());
        for (const std::string& arg : command.args)
            printf(" %s", arg.c_str());
        printf("\n");
    }
    const size_t n = commands.size();
    for (int i = 0; i < nRounds; i++)
    {
        printf("round %d:", i + 1);
        fflush(stdout); // before the children inherit the buffer
        for (size_t j = 0; j < n; j++)
        {
            BenchCommand& command = commands[(i + j) % n];
            if (!TimeRound(command.name, command.args, outPath, false, &command.wall, &command.cpu))
                return false;
        }
        printf("\n");
    }
    return true;
}

struct Spread
{
    double dMedian, dLow, dHigh;
};

inline Spread SpreadOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    double dMedian = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return Spread{dMedian, values.front(), values.back()};
}

inline std::string DefaultProgram()
{
    char acSelf[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", acSelf, sizeof(acSelf) - 1);
    std::string self(acSelf, n > 0 ? (size_t)n : 0);
    size_t iSep = self.rfind('/');
    return (iSep == std::string::npos ? std::string(".") : self.substr(0, iSep)) +
           "/../cli/wavoss-split";
}
