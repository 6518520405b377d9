// A whole batch run under injected faults: sources written into "in", collected
// as the add-files job would, split on a worker thread into a fresh output
// folder per run ("out1", "out2", ...), then every invariant checked (sources
// untouched, true pieces that follow their source, nothing outside the output
// folder, a summary that counts what happened, no hang). One scene serves
// many runs: the sources are written and collected once.
#pragma once

#include "Invariants.h"
#include "TestSupport.h"
#include "WaveBuilder.h"
#include "engine/RunState.h"
#include "engine/BatchRun.h"
#include "framework/WinThread.h"
#include "sources/FilteredPathList.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct SourceDef
{
    const char* pcRel; // under "in", '\' between the parts: "sub\b.wav"
    WaveFormat fmt;
    uint32_t nFrames;
};

class SplitScene : public CMyRunHost
{
public:
    explicit SplitScene(const std::vector<SourceDef>& defs);

    // Changes a source after it was collected: cut it to dwSize bytes, or
    // remove it. The expectations follow.
    void CutSource(size_t iSource, size_t nSize);
    void RemoveSource(size_t iSource);

    // The batch on its own thread, as Execute starts it, bounded in time,
    // into a new output folder. onProgress runs on the worker at every
    // progress post (1-based count).
    void Run(DWORD dwSectionMs, std::function<void(int)> onProgress = {});
    // The same as the user starts it: AfxBeginThread, the idle flag cleared
    // first. The caller then acts as the user-interface thread and calls
    // Finish once g_bIdle is 1 again.
    bool Start(DWORD dwSectionMs);
    void Finish();
    // Every invariant; dwSectionMs as given to Run.
    void ExpectInvariants(DWORD dwSectionMs);

    void PostRunProgress() override;
    void PostJobFinished() override { ++m_nFinished; }

    struct Source
    {
        std::string strRel;  // '/' between the parts, as the snapshot has it
        std::string strBase; // the pieces' relative base: "sub/b"
        WaveFormat fmt;
        std::string bytes; // the file as it is now ("" when removed)
        bool bPresent = true;
    };

    CString m_strRoot, m_strIn, m_strOut; // m_strOut: the last run's
    int m_nRuns = 0;
    std::vector<Source> m_sources;
    CMyFilteredPathList m_list;
    CMyRunState m_state;
    std::function<void(int)> m_onProgress;
    // Counted on the worker, read by the test's thread.
    std::atomic<int> m_nProgress{0};
    std::atomic<int> m_nFinished{0};
    bool m_bAborted = false;
    std::vector<std::string> m_messages;

private:
    void Prepare(DWORD dwSectionMs, std::function<void(int)> onProgress);

    TreeSnapshot m_inBefore;
    std::unique_ptr<CMyBatchRun> m_pBatch;
};

// Piece size in bytes: whole sample frames of the section.
size_t PieceSizeOf(const WaveFormat& fmt, DWORD dwSectionMs);
