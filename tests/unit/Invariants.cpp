// The checks that follow every fault-injection run.
#include "Invariants.h"

#include "TestSupport.h"
#include "engine/JobFlags.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace
{
uint32_t LE32At(const std::string& s, size_t i)
{
    return (uint32_t)(uint8_t)s[i] | (uint32_t)(uint8_t)s[i + 1] << 8 |
           (uint32_t)(uint8_t)s[i + 2] << 16 | (uint32_t)(uint8_t)s[i + 3] << 24;
}

uint16_t LE16At(const std::string& s, size_t i)
{
    return (uint16_t)((uint8_t)s[i] | (uint8_t)s[i + 1] << 8);
}

void SnapshotWalk(const CString& strFolder, const std::string& strRel, bool bContents,
                  TreeSnapshot* pSnap)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(strFolder + TEST_SEP "*", &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    std::vector<std::pair<CString, std::string>> subFolders;
    do
    {
        std::string strName = fd.cFileName;
        if (strName == "." || strName == "..")
            continue;
        CString strPath = JoinPath(strFolder, fd.cFileName);
        std::string strChild = strRel.empty() ? strName : strRel + "/" + strName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            pSnap->folders.insert(strChild);
            subFolders.emplace_back(strPath, strChild);
        }
        else
        {
            std::string data;
            if (bContents)
            {
                EXPECT_TRUE(ReadBytes(strPath, data)) << "cannot read " << strChild;
            }
            pSnap->files[strChild] = data;
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    for (const auto& sub : subFolders)
        SnapshotWalk(sub.first, sub.second, bContents, pSnap);
}

// "<title>_NNN.wav" with at least three digits: the piece number, or 0.
unsigned PieceNumber(const std::string& strName)
{
    size_t iUnder = strName.rfind('_');
    if (iUnder == std::string::npos || strName.size() < 4 ||
        strName.compare(strName.size() - 4, 4, ".wav") != 0)
        return 0;
    std::string digits = strName.substr(iUnder + 1, strName.size() - 4 - iUnder - 1);
    if (digits.size() < 3 || digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return (unsigned)strtoul(digits.c_str(), nullptr, 10);
}

// The problems of one piece file, or "".
std::string PieceProblem(const std::string& strRel, const std::string& bytes)
{
    std::string strName = strRel.substr(strRel.rfind('/') + 1);
    if (PieceNumber(strName) == 0)
        return "not a piece name";
    if (bytes.size() < 44)
        return "shorter than a header: " + std::to_string(bytes.size()) + " bytes";
    if (bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 8, "WAVEfmt ") != 0 ||
        bytes.compare(36, 4, "data") != 0)
        return "tags are not those of the canonical header";
    if (LE32At(bytes, 4) != bytes.size() - 8)
        return "RIFF size " + std::to_string(LE32At(bytes, 4)) + " for a file of " +
               std::to_string(bytes.size()) + " bytes";
    if (LE32At(bytes, 40) != bytes.size() - 44)
        return "data size " + std::to_string(LE32At(bytes, 40)) + " for a file of " +
               std::to_string(bytes.size()) + " bytes";
    uint16_t wChannels = LE16At(bytes, 22), wBlock = LE16At(bytes, 32), wBits = LE16At(bytes, 34);
    uint32_t dwRate = LE32At(bytes, 24);
    if (LE32At(bytes, 16) != 16 || LE16At(bytes, 20) != 1 || wChannels < 1 || wChannels > 2 ||
        wBlock != wChannels * ((wBits + 7) / 8) || LE32At(bytes, 28) != dwRate * wBlock)
        return "inconsistent PCM format fields";
    return "";
}
} // namespace

TreeSnapshot SnapshotTree(const CString& strRoot, bool bContents)
{
    TreeSnapshot snap;
    SnapshotWalk(strRoot, "", bContents, &snap);
    return snap;
}

void ExpectTreeUnchanged(const TreeSnapshot& before, const CString& strRoot)
{
    TreeSnapshot after = SnapshotTree(strRoot);
    for (const auto& file : before.files)
    {
        auto it = after.files.find(file.first);
        if (it == after.files.end())
            ADD_FAILURE() << "file vanished: " << file.first;
        else if (it->second != file.second)
            ADD_FAILURE() << "file changed: " << file.first << " (" << file.second.size() << " -> "
                          << it->second.size() << " bytes)";
    }
    for (const auto& file : after.files)
        if (before.files.count(file.first) == 0)
            ADD_FAILURE() << "file appeared: " << file.first;
    EXPECT_EQ(before.folders, after.folders) << "folders under " << (const char*)strRoot;
}

std::map<std::string, std::string> ExpectTruePieces(const CString& strOutFolder,
                                                    std::map<std::string, std::string>* pHeaders)
{
    std::map<std::string, std::string> pieces;
    TreeSnapshot snap = SnapshotTree(strOutFolder);
    for (const auto& file : snap.files)
    {
        std::string strProblem = PieceProblem(file.first, file.second);
        if (!strProblem.empty())
        {
            ADD_FAILURE() << "piece " << file.first << ": " << strProblem;
            continue;
        }
        pieces[file.first] = file.second.substr(44);
        if (pHeaders != nullptr)
            (*pHeaders)[file.first] = file.second.substr(0, 44);
    }
    return pieces;
}

unsigned ExpectPiecesFollowSource(const std::map<std::string, std::string>& pieces,
                                  const std::string& strBase, const std::string& sourceData,
                                  size_t nPieceSize)
{
    unsigned nFound = 0;
    bool bShortSeen = false;
    for (unsigned n = 1;; ++n)
    {
        char acSuffix[32];
        snprintf(acSuffix, sizeof(acSuffix), "_%03u.wav", n);
        auto it = pieces.find(strBase + acSuffix);
        if (it == pieces.end())
            break;
        ++nFound;
        const std::string& data = it->second;
        size_t iStart = (size_t)(n - 1) * nPieceSize;
        EXPECT_FALSE(bShortSeen) << it->first << " follows a short piece";
        EXPECT_LE(data.size(), nPieceSize) << it->first;
        if (iStart > sourceData.size() || data.size() > sourceData.size() - iStart)
        {
            ADD_FAILURE() << it->first << " holds more than the source has from " << iStart;
            continue;
        }
        if (sourceData.compare(iStart, data.size(), data) != 0)
            ADD_FAILURE() << it->first << " does not hold the source's bytes from " << iStart;
        if (data.size() < nPieceSize)
            bShortSeen = true;
    }
    // No stray piece of this source beyond the run of numbers.
    for (const auto& piece : pieces)
        if (piece.first.compare(0, strBase.size() + 1, strBase + "_") == 0 &&
            piece.first.size() > strBase.size() + 1 &&
            PieceNumber(piece.first.substr(strBase.size())) > nFound &&
            piece.first.find('/', strBase.size()) == std::string::npos)
            ADD_FAILURE() << "piece out of sequence: " << piece.first;
    return nFound;
}

std::string SummaryText(unsigned nRecords, unsigned nSplit)
{
    CString strText;
    strText.Format("%u 個中 %u 個のファイルを分割処理しました。\n", nRecords, nSplit);
    return (const char*)strText;
}

void RunBounded(const std::function<void()>& fn, unsigned nSeconds)
{
    struct Shared
    {
        std::mutex mutex;
        std::condition_variable cv;
        bool bDone = false;
    };
    // Shared outlives this call when the run hangs and the thread is left.
    Shared* pShared = new Shared;
    std::thread worker(
        [fn, pShared]
        {
            fn();
            std::lock_guard<std::mutex> guard(pShared->mutex);
            pShared->bDone = true;
            pShared->cv.notify_all();
        });
    std::unique_lock<std::mutex> lock(pShared->mutex);
    bool bDone = pShared->cv.wait_for(lock, std::chrono::seconds(nSeconds),
                                      [pShared] { return pShared->bDone; });
    if (!bDone)
    {
        ADD_FAILURE() << "the run did not end within " << nSeconds << " s; raising the abort flag";
        g_bAbort.store(1);
        bDone = pShared->cv.wait_for(lock, std::chrono::seconds(10),
                                     [pShared] { return pShared->bDone; });
    }
    lock.unlock();
    if (!bDone)
    {
        fprintf(stderr, "FATAL: the run hangs even after an abort\n");
        fflush(stderr);
        abort();
    }
    worker.join();
    delete pShared;
}
