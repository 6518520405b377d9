// Split speed against a plain file copy: generates a large 44.1 kHz stereo
// 16-bit WAV, cuts it into 3-minute pieces with the engine, copies the same
// file with a read/write loop of the same 8 MiB block, and prints both times.
//
//   split_bench [bytes of sample data (default 1 GiB)] [work folder (default current)] [rounds (7)]
#include "engine/SplitFile.h"
#include "framework/AfxMessageBox.h"
#include "platform/Platform.h"
#include "support/FileSystem.h"
#include "support/Trace.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
const DWORD kSectionMs = 180000;
const int kDefaultRounds = 7;

class CountingHost : public CMyRunHost
{
public:
    void PostRunProgress() override { ++m_nProgress; }
    void PostJobFinished() override {}
    unsigned m_nProgress = 0;
};

int PrintBox(const char* pcText, UINT)
{
    fprintf(stderr, "message box: %s\n", pcText);
    return IDOK;
}

void PutLE32(BYTE* pb, DWORD dw)
{
    for (int i = 0; i < 4; ++i)
        pb[i] = (BYTE)(dw >> (8 * i));
}

int WriteSource(const CString& strPath, ULONGLONG qwDataSize)
{
    HANDLE h = CreateFileA(strPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    BYTE abHeader[44] = {'R', 'I', 'F', 'F', 0,  0, 0,   0,   'W', 'A', 'V', 'E', 'f', 'm', 't',
                         ' ', 16,  0,   0,   0,  1, 0,   2,   0,   0,   0,   0,   0,   0,   0,
                         0,   0,   4,   0,   16, 0, 'd', 'a', 't', 'a', 0,   0,   0,   0};
    PutLE32(abHeader + 4, (DWORD)qwDataSize + 36);
    PutLE32(abHeader + 24, 44100);
    PutLE32(abHeader + 28, 176400);
    PutLE32(abHeader + 40, (DWORD)qwDataSize);
    DWORD dwDone = 0;
    int bOk = WriteFile(h, abHeader, 44, &dwDone, nullptr);
    std::vector<BYTE> block(kSplitBlockSize);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = (BYTE)(i * 7 + i / 251);
    for (ULONGLONG qwLeft = qwDataSize; bOk && qwLeft > 0;)
    {
        DWORD dwPart = qwLeft < block.size() ? (DWORD)qwLeft : (DWORD)block.size();
        bOk = WriteFile(h, block.data(), dwPart, &dwDone, nullptr) && dwDone == dwPart;
        qwLeft -= dwPart;
    }
    CloseHandle(h);
    return bOk;
}

// The reference: what any program copying the file would do.
int CopyPlain(const CString& strFrom, const CString& strTo)
{
    HANDLE hIn = CreateFileA(strFrom, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    // A new file, as the pieces are: truncating an existing one makes some
    // file systems flush it on close, which would slow the reference down.
    DeleteFileA(strTo);
    HANDLE hOut = CreateFileA(strTo, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    int bOk = hIn != INVALID_HANDLE_VALUE && hOut != INVALID_HANDLE_VALUE;
    std::vector<BYTE> block(kSplitBlockSize);
    while (bOk)
    {
        DWORD dwRead = 0, dwWritten = 0;
        bOk = ReadFile(hIn, block.data(), (DWORD)block.size(), &dwRead, nullptr);
        if (!bOk || dwRead == 0)
            break;
        bOk = WriteFile(hOut, block.data(), dwRead, &dwWritten, nullptr) && dwWritten == dwRead;
    }
    if (hIn != INVALID_HANDLE_VALUE)
        CloseHandle(hIn);
    if (hOut != INVALID_HANDLE_VALUE)
        CloseHandle(hOut);
    return bOk;
}

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void DeletePieces(const CString& strBase, DWORD dwCount)
{
    for (DWORD i = 1; i <= dwCount; ++i)
    {
        CString strPiece;
        strPiece.Format("%s_%03u.wav", (const char*)strBase, i);
        DeleteFileA(strPiece);
    }
}
} // namespace

int main(int argc, char** argv)
{
    ULONGLONG qwDataSize = argc > 1 ? strtoull(argv[1], nullptr, 10) : (1ull << 30);
    if (qwDataSize == 0 || qwDataSize > 0xFFFFFFFFull - 36)
    {
        fprintf(stderr, "data size must be between 1 and 4294967259 bytes\n");
        return 2;
    }
    // The split wants an absolute output base path: the default folder is the
    // current one, spelt out.
    CString strFolder;
    if (argc > 2)
        strFolder = argv[2];
    else if (!GetCurrentDir(&strFolder))
    {
        fprintf(stderr, "cannot read the current folder\n");
        return 1;
    }
    int nRounds = argc > 3 ? atoi(argv[3]) : kDefaultRounds;
    if (nRounds < 1)
        nRounds = 1;
    AfxSetMessagePresenter(PrintBox);
    StartTraceLog(strFolder);
    CString strSrc = strFolder + "\\split_bench_src.wav";
    CString strCopy = strFolder + "\\split_bench_copy.wav";
    CString strBase = strFolder + "\\split_bench_out";

    printf("writing %llu bytes of samples...\n", (unsigned long long)qwDataSize);
    if (!WriteSource(strSrc, qwDataSize))
    {
        fprintf(stderr, "cannot write %s\n", (const char*)strSrc);
        return 1;
    }
    std::vector<double> copies, splits;
    for (int r = 0; r < nRounds; ++r)
    {
        // Alternate the order so that neither always follows the other's
        // write-back.
        double dCopy = 0, dSplit = 0;
        DWORD dwPieces = 0;
        unsigned nProgress = 0;
        for (int k = 0; k < 2; ++k)
        {
            if ((k + r) % 2 == 0)
            {
                auto t0 = std::chrono::steady_clock::now();
                if (!CopyPlain(strSrc, strCopy))
                {
                    fprintf(stderr, "plain copy failed\n");
                    return 1;
                }
                dCopy = Seconds(t0);
                DeleteFileA(strCopy);
                continue;
            }
            CMyRunState state;
            CountingHost host;
            CMySplitter splitter(&state, &host);
            auto t0 = std::chrono::steady_clock::now();
            dwPieces = splitter.SplitFile(strBase, strSrc, kSectionMs);
            dSplit = Seconds(t0);
            DeletePieces(strBase, dwPieces);
            nProgress = host.m_nProgress;
            if (dwPieces == 0 || state.m_ullDoneBytes.load() != qwDataSize)
            {
                fprintf(stderr, "split failed (see TraceFile.txt)\n");
                return 1;
            }
        }
        printf("round %d: copy %.3f s, split %.3f s (%u pieces, %u progress messages)\n", r + 1,
               dCopy, dSplit, (unsigned)dwPieces, nProgress);
        copies.push_back(dCopy);
        splits.push_back(dSplit);
    }
    DeleteFileA(strSrc);
    double dMiB = (double)qwDataSize / (1024.0 * 1024.0);
    std::sort(copies.begin(), copies.end());
    std::sort(splits.begin(), splits.end());
    // Write-back of earlier rounds makes single rounds noisy: best and median.
    double dCopy = copies.front(), dSplit = splits.front();
    double dMedCopy = copies[copies.size() / 2], dMedSplit = splits[splits.size() / 2];
    printf("copy  best %.3f s (%.0f MiB/s), median %.3f s\n", dCopy, dMiB / dCopy, dMedCopy);
    printf("split best %.3f s (%.0f MiB/s), median %.3f s\n", dSplit, dMiB / dSplit, dMedSplit);
    printf("split / copy = %.3f (best), %.3f (median)\n", dSplit / dCopy, dMedSplit / dMedCopy);
    return 0;
}
