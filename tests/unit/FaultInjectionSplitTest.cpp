// What users meet while a batch runs: a disk that fills before or inside a
// piece, a write or read that fails, a source that shrinks or vanishes, an
// abort at any block, a failed allocation, a trace file that cannot be
// opened. Each fault is injected at every point where it can strike, and
// after each run every invariant is checked (FaultInjectionSplit.h).
#include "FaultInjection.h"
#include "FaultInjectionSplit.h"

#include "engine/JobFlags.h"
#include "engine/SplitFile.h"
#include "support/Trace.h"

#include <gtest/gtest.h>

namespace
{
// Pieces of 1000 and 32000 bytes, each one block: many pieces, few bytes.
const DWORD kSmallMs = 1000;
const std::vector<SourceDef> kSmall = {
    {"a.wav", MakePcmFormat(1, 8, 1000), 2500},      // 2 pieces and a rest
    {"sub\\b.wav", MakePcmFormat(1, 8, 1000), 2000}, // exactly 2 pieces
    {"c.wav", MakePcmFormat(2, 16, 8000), 20000},    // 2 pieces and a rest
};

// Pieces of 8,400,000 bytes, a full 8 MiB block and a second of 11,392, and
// a last piece of 3000 bytes: every kind of block boundary in one source.
const DWORD kBigMs = 84000;
const std::vector<SourceDef> kBig = {
    {"big.wav", MakePcmFormat(1, 8, 100000), 8400000 + 3000},
    {"small.wav", MakePcmFormat(1, 8, 1000), 1500},
};

// The number of calls of the kind a clean run of the scene makes, checking
// the clean run's invariants on the way.
unsigned CleanCalls(SplitScene& scene, DWORD dwMs, FaultCall kind)
{
    CFaultInjector faults;
    scene.Run(dwMs);
    scene.ExpectInvariants(dwMs);
    EXPECT_NE(scene.m_messages.back().find(" 個中 "), std::string::npos);
    return faults.Count(kind);
}

std::string Where(const char* pcWhat, unsigned k)
{
    return std::string(pcWhat) + " at call " + std::to_string(k);
}
} // namespace

TEST(FaultInjectionSplit, DiskThatFillsBeforeAnyPieceStopsCleanly)
{
    SplitScene scene(kSmall);
    unsigned nQueries = CleanCalls(scene, kSmallMs, kCallFreeSpace);
    ASSERT_GE(nQueries, 8u);
    for (unsigned k = 1; k <= nQueries; ++k)
    {
        SCOPED_TRACE(Where("free space below 8 MiB", k));
        {
            CFaultInjector faults;
            faults.SetFreeBytes(kMinFreeBytes - 1, k);
            scene.Run(kSmallMs);
        }
        scene.ExpectInvariants(kSmallMs);
        size_t nFullBoxes = 0;
        for (const std::string& strMessage : scene.m_messages)
            nFullBoxes += strMessage.find("空き容量が足りません") != std::string::npos;
        EXPECT_GE(nFullBoxes, 1u);
    }
}

TEST(FaultInjectionSplit, DiskThatFillsInsideAPieceLeavesOnlyTruePieces)
{
    for (const auto* pDefs : {&kSmall, &kBig})
    {
        DWORD dwMs = pDefs == &kSmall ? kSmallMs : kBigMs;
        SplitScene scene(*pDefs);
        unsigned nWrites = CleanCalls(scene, dwMs, kCallWrite);
        for (unsigned k = 1; k <= nWrites; ++k)
        {
            SCOPED_TRACE(Where("disk full", k));
            {
                CFaultInjector faults;
                faults.FillDiskAt(k);
                scene.Run(dwMs);
            }
            scene.ExpectInvariants(dwMs);
        }
    }
}

TEST(FaultInjectionSplit, WriteThatFailsOnceLeavesOnlyTruePieces)
{
    SplitScene scene(kSmall);
    unsigned nWrites = CleanCalls(scene, kSmallMs, kCallWrite);
    ASSERT_GE(nWrites, 10u);
    for (bool bSticky : {false, true})
    {
        for (unsigned k = 1; k <= nWrites; ++k)
        {
            SCOPED_TRACE(Where(bSticky ? "every write fails from" : "one torn write", k));
            {
                CFaultInjector faults;
                faults.FailCall(kCallWrite, k, ERROR_WRITE_FAULT, bSticky, 10);
                scene.Run(kSmallMs);
                EXPECT_GE(faults.Failures(), 1u);
            }
            scene.ExpectInvariants(kSmallMs);
        }
    }
}

TEST(FaultInjectionSplit, ReadThatFailsLeavesOnlyTruePieces)
{
    for (const auto* pDefs : {&kSmall, &kBig})
    {
        DWORD dwMs = pDefs == &kSmall ? kSmallMs : kBigMs;
        SplitScene scene(*pDefs);
        unsigned nReads = CleanCalls(scene, dwMs, kCallRead);
        for (bool bSticky : {false, true})
        {
            // A dead source stops at its first failed read whatever its size.
            if (bSticky && pDefs == &kBig)
                continue;
            for (unsigned k = 1; k <= nReads; ++k)
            {
                SCOPED_TRACE(Where(bSticky ? "every read fails from" : "one read fails", k));
                {
                    CFaultInjector faults;
                    faults.FailCall(kCallRead, k, ERROR_READ_FAULT, bSticky);
                    scene.Run(dwMs);
                }
                scene.ExpectInvariants(dwMs);
            }
        }
    }
}

// The source is cut short while it is being split (reads find its end).
TEST(FaultInjectionSplit, SourceThatShrinksDuringTheSplitLeavesTruePieces)
{
    for (const auto* pDefs : {&kSmall, &kBig})
    {
        DWORD dwMs = pDefs == &kSmall ? kSmallMs : kBigMs;
        SplitScene scene(*pDefs);
        unsigned nReads = CleanCalls(scene, dwMs, kCallRead);
        for (unsigned k = 1; k <= nReads; ++k)
        {
            SCOPED_TRACE(Where("sources end", k));
            {
                CFaultInjector faults;
                faults.EndFilesAt(k);
                scene.Run(dwMs);
            }
            scene.ExpectInvariants(dwMs);
        }
    }
}

// Between collection and Execute the user deletes, cuts or replaces a source.
TEST(FaultInjectionSplit, SourceThatVanishesOrShrinksAfterCollectionIsHandled)
{
    struct Case
    {
        const char* pcWhat;
        std::function<void(SplitScene&)> change;
    };
    const Case kCases[] = {
        {"removed", [](SplitScene& s) { s.RemoveSource(1); }},
        {"cut to half its data", [](SplitScene& s) { s.CutSource(0, 44 + 1250); }},
        {"cut inside a frame", [](SplitScene& s) { s.CutSource(2, 44 + 33333); }},
        {"cut to its header", [](SplitScene& s) { s.CutSource(0, 44); }},
        {"cut inside its header", [](SplitScene& s) { s.CutSource(1, 30); }},
        {"emptied", [](SplitScene& s) { s.CutSource(2, 0); }},
        {"all removed",
         [](SplitScene& s)
         {
             for (size_t i = 0; i < s.m_sources.size(); ++i)
                 s.RemoveSource(i);
         }},
    };
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.pcWhat);
        SplitScene scene(kSmall);
        c.change(scene);
        scene.Run(kSmallMs);
        scene.ExpectInvariants(kSmallMs);
    }
}

// Abort at every progress post, that is after every block (and after every
// file); and, for the small pieces, before every read.
TEST(FaultInjectionSplit, AbortAtEveryBlockBoundaryLeavesTruePiecesAndNoSummary)
{
    for (const auto* pDefs : {&kBig, &kSmall})
    {
        DWORD dwMs = pDefs == &kSmall ? kSmallMs : kBigMs;
        SplitScene scene(*pDefs);
        unsigned nReads = CleanCalls(scene, dwMs, kCallRead);
        int nPosts = scene.m_nProgress;
        ASSERT_GE(nPosts, 4);
        for (int n = 1; n <= nPosts; ++n)
        {
            SCOPED_TRACE(Where("abort after progress post", (unsigned)n));
            scene.Run(dwMs,
                      [n](int nPost)
                      {
                          if (nPost == n)
                              g_bAbort.store(1);
                      });
            EXPECT_TRUE(scene.m_bAborted);
            scene.ExpectInvariants(dwMs);
        }
        if (pDefs == &kBig)
            continue; // each read of it follows a post
        for (unsigned k = 1; k <= nReads; ++k)
        {
            SCOPED_TRACE(Where("abort before read", k));
            {
                CFaultInjector faults;
                faults.Before(kCallRead, k, [] { g_bAbort.store(1); });
                scene.Run(dwMs);
            }
            EXPECT_TRUE(scene.m_bAborted);
            scene.ExpectInvariants(dwMs);
        }
    }
}

TEST(FaultInjectionSplit, AllocationThatFailsAnywhereLeavesTruePieces)
{
    SplitScene scene(kSmall);
    unsigned nAllocs = CleanCalls(scene, kSmallMs, kCallAlloc);
    ASSERT_GE(nAllocs, 3u);
    for (unsigned k = 1; k <= nAllocs; ++k)
    {
        SCOPED_TRACE(Where("allocation fails", k));
        {
            CFaultInjector faults;
            faults.FailCall(kCallAlloc, k, 0);
            scene.Run(kSmallMs);
        }
        scene.ExpectInvariants(kSmallMs);
    }
}

// The trace file's folder is gone: entries are lost, the user is told, and
// the run itself is not disturbed.
TEST(FaultInjectionSplit, TraceFileThatCannotBeOpenedDisturbsNothing)
{
    CString strProgramFolder = GetProgramFolderText();
    for (unsigned k : {0u, 3u})
    {
        SCOPED_TRACE(Where("write fault", k));
        SplitScene scene(kSmall);
        scene.CutSource(1, 30); // a header the split refuses, with trace entries
        StartTraceLog(scene.m_strRoot + "\\no-such-folder");
        {
            CFaultInjector faults;
            if (k > 0)
                faults.FailCall(kCallWrite, k, ERROR_WRITE_FAULT);
            scene.Run(kSmallMs);
        }
        StartTraceLog(strProgramFolder);
        scene.ExpectInvariants(kSmallMs);
        // A failed write's system text goes through the writer that tells.
        size_t nBoxes = 0;
        for (const std::string& strMessage : scene.m_messages)
            nBoxes += strMessage == "トレース用ファイルが開けません";
        EXPECT_EQ(nBoxes > 0, k > 0);
        EXPECT_FALSE(PathExists(scene.m_strRoot + "\\no-such-folder"));
    }
}

// A device that stops taking writes (pulled out, gone from the network) after
// the first piece: the piece it was writing cannot get a true header, so it
// is removed, and the first piece stays as it was.
TEST(FaultInjectionSplit, PieceThatCannotBeMadeTrueIsRemoved)
{
    SplitScene scene({kSmall[0]});
    {
        CFaultInjector faults;
        faults.FailCall(kCallWrite, 3, ERROR_WRITE_FAULT, true); // piece 2's header on
        scene.Run(kSmallMs);
    }
    scene.ExpectInvariants(kSmallMs);
    EXPECT_TRUE(PathExists(scene.m_strOut + "\\a_001.wav"));
    EXPECT_FALSE(PathExists(scene.m_strOut + "\\a_002.wav"));
    std::string entry =
        std::string("※　分割ファイルを正しく閉じられないため削除しました。SplitFile()\n\t"
                    "PiecePath[") +
        (const char*)scene.m_strOut + "\\a_002.wav]\n";
    EXPECT_NE(ReadTrace().find(entry), std::string::npos) << ReadTrace();
}
