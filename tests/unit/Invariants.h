// What must hold after any run, whatever failed on the way: the sources are
// untouched, every file in the output folder is a piece whose header tells the
// truth about its length, every piece holds the source's bytes from where it
// starts, nothing was written elsewhere, the summary counts what happened,
// and the run ended.
#pragma once

#include "framework/CString.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

// Every file (bytes) and folder under a root, by path relative to it with
// '/' between the parts.
struct TreeSnapshot
{
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
};

// Without bContents only the names are taken (files map to "").
TreeSnapshot SnapshotTree(const CString& strRoot, bool bContents = true);
// Fails the test for every file added, removed or changed under the root and
// every folder added or removed since the snapshot.
void ExpectTreeUnchanged(const TreeSnapshot& before, const CString& strRoot);

// Checks that every file under the output folder is a piece ("<title>_NNN.wav")
// with the canonical 44-byte PCM header, RIFF size = length - 8 and data size
// = length - 44, and a consistent format. Gives the pieces' sample data by
// relative path ("sub/a_001.wav"), and their headers when pHeaders is given.
std::map<std::string, std::string>
ExpectTruePieces(const CString& strOutFolder,
                 std::map<std::string, std::string>* pHeaders = nullptr);

// The pieces of one source, "<base>_001.wav" on without gaps: piece n holds
// the source's sample data from (n - 1) * piece size, at most piece size
// bytes, and only the last one may be shorter. Gives the number of pieces.
unsigned ExpectPiecesFollowSource(const std::map<std::string, std::string>& pieces,
                                  const std::string& strBase, const std::string& sourceData,
                                  size_t nPieceSize);

// The batch's closing box for nRecords collected files of which nSplit were
// split (the Shift-JIS text the user reads).
std::string SummaryText(unsigned nRecords, unsigned nSplit);

// Runs fn on a thread of its own. When it has not ended after nSeconds the
// run counts as hung: the abort flag is raised, and if even that does not end
// it within a few seconds more the test program stops with a failure, since a
// hung thread cannot be taken back.
void RunBounded(const std::function<void()>& fn, unsigned nSeconds);
