// Whether a file is split, and into what: one decision that the dry run, the
// preview, -n and the run all take, so that they reach the same verdict for
// every file. The copy (SplitFile) only carries out what it decides.
#pragma once

#include "engine/PieceClash.h"
#include "engine/SourcePlan.h"
#include "engine/WaveFile.h"

#include <string>
#include <unordered_map>
#include <vector>

class CMyPathList;
class CMyPlanSink;

enum SplitVerdict
{
    kVerdictRefused,  // not split: the reason is traced (a dry run tells the sink)
    kVerdictWrite,    // the plan is written; with -n only the pieces not kept
    kVerdictDone,     // -n: every piece is on disk whole already
    kVerdictLeftAlone // -n: pieces unlike the plan are on disk; none is overwritten
};

// One file's verdict and what the copy needs to carry it out.
struct CMySplitDecision
{
    SplitVerdict Verdict = kVerdictRefused;
    CString strFolder;    // the output folder, without its last separator
    CString strFolderSep; // the same with it: each piece's name is joined to it
    CMyWaveFile Src;      // open with its header read, once the header passed
    CMyPlanRequest Request;
    CMySourcePlan SourcePlan;
    // -n: 1 for each piece on disk whole already, which is kept; empty
    // when every piece is written.
    std::vector<char> Kept;
    DWORD dwKept = 0;
};

// One per run: the run's files are decided in list order, each against the
// files decided before it.
class CMySplitPolicy
{
public:
    // The batch's files as they are now: no piece may land on one of them,
    // nor on its own source (which is looked at even without this).
    void TakeCollectedFiles(const CMyPathList& list) { m_collected.TakeIdentities(list); }
    // -n: pieces on disk whole are kept, the rest written; a file with
    // pieces of other sizes on disk is left alone.
    void SetNoClobber(int bNoClobber) { m_bNoClobber = bNoClobber; }

    // Decides for the source split under the base path (the request, null
    // for the default, with this fixed length). A refusal is traced; in a
    // dry run it goes to pSink instead (may be null) and nothing is traced
    // but the header's lines. The piece names a file is given are its own
    // for the rest of the run: a later file whose pieces would take one is
    // refused, and the same file decided again keeps them.
    SplitVerdict Decide(const CString& strBasePath, const CString& strSrcPath,
                        const CMyPlanRequest* pRequest, DWORD dwSectionLength, int bDryRun,
                        CMyPlanSink* pSink, CMySplitDecision* pOut);

private:
    SplitVerdict Refuse(const CString& strSrcPath, const char* pcFormat, ...);
    int TakeNames(const CString& strSrcPath, const CString& strFolderSep, const CMyPlan& plan);
    SplitVerdict LookAtExisting(const CString& strSrcPath, CMySplitDecision* pOut);

    CMyCollectedFiles m_collected;
    int m_bNoClobber = 0;
    int m_bDryRun = 0;              // of the file being decided
    CMyPlanSink* m_pSink = nullptr; // of the file being decided
    // A name template other than today's may give pieces of two files one
    // name: the piece paths taken so far, upper-cased, and whose they are.
    std::unordered_map<std::string, DWORD> m_takenPaths;
    std::unordered_map<std::string, DWORD> m_owners; // source path -> its number
};
