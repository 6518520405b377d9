// The batch scene of the fault-injection tests and its invariant checks.
#include "FaultInjectionSplit.h"

#include "engine/BatchRun.h"
#include "framework/WinThread.h"
#include "engine/JobFlags.h"
#include "sources/PathList.h"

#include <gtest/gtest.h>

namespace
{
const unsigned kSceneBound = 120; // seconds; every scene runs in well under one

// Deletes a folder and everything in it.
void RemoveFolder(const CString& strFolder)
{
    TreeSnapshot snap = SnapshotTree(strFolder, false);
    for (const auto& file : snap.files)
        DeleteFileA(strFolder + "\\" + file.first.c_str());
    for (auto it = snap.folders.rbegin(); it != snap.folders.rend(); ++it)
        RemoveDirectoryA(strFolder + "\\" + it->c_str());
    RemoveDirectoryA(strFolder);
}

std::string Slashed(std::string s)
{
    for (char& c : s)
        if (c == '\\')
            c = '/';
    return s;
}
} // namespace

size_t PieceSizeOf(const WaveFormat& fmt, DWORD dwSectionMs)
{
    return (size_t)((uint64_t)fmt.dwSamplingRate * dwSectionMs / 1000) * fmt.wBlockSize;
}

SplitScene::SplitScene(const std::vector<SourceDef>& defs)
{
    m_strRoot = MakeTestDir("scene");
    m_strIn = m_strRoot + "\\in";
    CreateDirectoryA(m_strIn, nullptr);
    for (const SourceDef& def : defs)
    {
        Source src;
        src.strRel = Slashed(def.pcRel);
        src.strBase = src.strRel.substr(0, src.strRel.rfind('.'));
        src.fmt = def.fmt;
        src.bytes = BuildWave(def.fmt, MakeSamples(def.fmt, def.nFrames));
        std::string strFolder = def.pcRel;
        size_t iSep = strFolder.rfind('\\');
        if (iSep != std::string::npos)
            CreateDirectoryA(m_strIn + "\\" + strFolder.substr(0, iSep).c_str(), nullptr);
        EXPECT_TRUE(WriteBytes(m_strIn + "\\" + def.pcRel, src.bytes)) << def.pcRel;
        m_sources.push_back(src);
    }
    // Collected as Add collects a browsed folder's contents.
    m_list.SetPatternOn(0);
    m_list.SetExtension("wav");
    m_list.SetExtensionOn(1);
    m_list.SetPickedBaseFolder(m_strIn);
    m_list.ScanFolder(m_strIn, 1, 1);
    EXPECT_EQ(m_list.GetCount(), (DWORD)defs.size());
    m_list.AssignIDs();
    m_inBefore = SnapshotTree(m_strIn);
}

void SplitScene::CutSource(size_t iSource, size_t nSize)
{
    Source& src = m_sources[iSource];
    src.bytes.resize(nSize);
    ASSERT_TRUE(WriteBytes(m_strIn + "\\" + src.strRel.c_str(), src.bytes));
    m_inBefore = SnapshotTree(m_strIn);
}

void SplitScene::RemoveSource(size_t iSource)
{
    Source& src = m_sources[iSource];
    ASSERT_TRUE(DeleteFileA(m_strIn + "\\" + src.strRel.c_str()));
    src.bytes.clear();
    src.bPresent = false;
    m_inBefore = SnapshotTree(m_strIn);
}

void SplitScene::PostRunProgress()
{
    int n = ++m_nProgress;
    if (m_onProgress)
        m_onProgress(n);
}

void SplitScene::Prepare(DWORD dwSectionMs, std::function<void(int)> onProgress)
{
    m_onProgress = std::move(onProgress);
    m_nProgress = 0;
    m_nFinished = 0;
    // The previous run's pieces were checked; they only take room now.
    if (m_nRuns > 0)
        RemoveFolder(m_strOut);
    m_strOut.Format("%s\\out%d", (const char*)m_strRoot, ++m_nRuns);
    CreateDirectoryA(m_strOut, nullptr);
    m_state.m_pPathList = &m_list;
    m_state.m_strOutputFolder = m_strOut;
    m_state.m_dwSectionLength = dwSectionMs;
    m_state.m_ullTotalBytes = 0;
    m_state.m_ullDoneBytes = 0;
    m_state.m_bStopBatch = 0;
    g_bAbort.store(0);
    TakeMessages();
    m_pBatch.reset(new CMyBatchRun(&m_state, this));
}

void SplitScene::Finish()
{
    m_bAborted = g_bAbort.exchange(0) != 0;
    m_messages = TakeMessages();
    m_pBatch.reset();
    EXPECT_EQ(m_nFinished.load(), 1) << "the job-finished message is posted once";
    EXPECT_EQ(g_bIdle.load(), 1);
}

void SplitScene::Run(DWORD dwSectionMs, std::function<void(int)> onProgress)
{
    Prepare(dwSectionMs, std::move(onProgress));
    g_bIdle.store(0);
    CMyBatchRun* pBatch = m_pBatch.get();
    RunBounded([pBatch] { RunThreadProc(pBatch); }, kSceneBound);
    Finish();
}

bool SplitScene::Start(DWORD dwSectionMs)
{
    Prepare(dwSectionMs, {});
    // As Execute does: idle off before the thread starts, back on if it cannot.
    g_bIdle.store(0);
    if (AfxBeginThread(RunThreadProc, m_pBatch.get()) != nullptr)
        return true;
    g_bIdle.store(1);
    return false;
}

void SplitScene::ExpectInvariants(DWORD dwSectionMs)
{
    // Sources: not a byte changed, nothing added beside them.
    ExpectTreeUnchanged(m_inBefore, m_strIn);
    // Nothing written beside the sources and the output folders.
    TreeSnapshot root = SnapshotTree(m_strRoot, false);
    for (const auto& file : root.files)
    {
        EXPECT_TRUE(file.first.compare(0, 3, "in/") == 0 || file.first.compare(0, 3, "out") == 0)
            << "written outside the output folder: " << file.first;
    }
    for (const std::string& strFolder : root.folders)
    {
        EXPECT_TRUE(strFolder.compare(0, 2, "in") == 0 || strFolder.compare(0, 3, "out") == 0)
            << "folder made outside the output folder: " << strFolder;
    }

    // Pieces: true headers, the source's bytes in order, no stranger.
    std::map<std::string, std::string> headers;
    std::map<std::string, std::string> pieces = ExpectTruePieces(m_strOut, &headers);
    size_t nOwned = 0;
    unsigned nSplit = 0;
    for (const Source& src : m_sources)
    {
        size_t nPiece = PieceSizeOf(src.fmt, dwSectionMs);
        size_t iStart = DataStartOf(src.fmt);
        std::string data = src.bytes.size() > iStart ? src.bytes.substr(iStart) : std::string();
        unsigned nPieces = ExpectPiecesFollowSource(pieces, src.strBase, data, nPiece);
        nOwned += nPieces;
        if (!src.bPresent || data.empty())
        {
            EXPECT_EQ(nPieces, 0u) << src.strRel;
        }
        // A file counts as split when every piece of its plan is whole: the
        // pieces follow the source (checked above), so together they hold
        // all of its data.
        size_t nHeld = 0;
        for (unsigned n = 1; n <= nPieces; ++n)
        {
            char acName[32];
            snprintf(acName, sizeof(acName), "_%03u.wav", n);
            nHeld += pieces[src.strBase + acName].size();
        }
        if (!data.empty() && nHeld == data.size())
            ++nSplit;
        // No piece header claims another format than its source's.
        for (unsigned n = 1; n <= nPieces; ++n)
        {
            char acName[32];
            snprintf(acName, sizeof(acName), "_%03u.wav", n);
            EXPECT_EQ(headers[src.strBase + acName].substr(20, 16), src.bytes.substr(20, 16))
                << src.strBase << acName;
        }
    }
    EXPECT_EQ(nOwned, pieces.size()) << "pieces that belong to no source";

    // The closing box tells what happened, unless the run was aborted.
    std::string strSummary = SummaryText(m_list.GetCount(), nSplit);
    size_t nSummaries = 0;
    for (const std::string& strMessage : m_messages)
        nSummaries += strMessage == strSummary;
    EXPECT_EQ(nSummaries, m_bAborted ? 0u : 1u) << "expected the summary " << strSummary;
}
