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
