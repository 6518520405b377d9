// One policy decides every file: a dry run (and so the preview) and a real
// run of the same files, with or without -n, reach the same verdicts.
#include "SplitFixture.h"

#include "engine/BatchRun.h"
#include "engine/SourcePlan.h"
#include "sources/PathList.h"
#include "support/Trace.h"

#include <functional>

class SplitPolicyTest : public SplitTest
{
public: // the cases prepare their files through it
    using SplitTest::m_state;
    // A source of nBytes of data in the browsed folder, listed.
    CString AddSource(const char* pcName, uint32_t nBytes)
    {
        CString strPath = JoinPath(m_strSrc, pcName);
        std::string wav = BuildWave(k1000HzFmt, MakeSamples(k1000HzFmt, nBytes));
        EXPECT_TRUE(WriteBytes(strPath, wav));
        AddRecord(pcName, wav.size());
        return strPath;
    }
    void AddRecord(const char* pcName, ULONGLONG qwSize)
    {
        CMyPathRecord record;
        record.FoldPath = m_strSrc;
        record.FileName = pcName;
        record.FilePath = JoinPath(m_strSrc, pcName);
        record.FileSize = qwSize;
        record.BaseFoldPath = m_strSrc;
        ASSERT_EQ(m_list.AppendRecord(record), 1);
    }
    // Each file's verdict in list order, as the batch traces it: "+" split
    // (or would be), "-" not.
    std::string Run(int bDryRun, int bNoClobber)
    {
        CMySplitPolicy policy;
        policy.TakeCollectedFiles(m_list);
        policy.SetNoClobber(bNoClobber);
        m_state.m_pPathList = &m_list;
        m_state.m_dwSectionLength = m_dwLength;
        m_state.m_pPlanRequest = &m_request;
        m_state.m_bDryRun = bDryRun;
        m_state.m_pPolicy = &policy;
        m_state.m_bStopBatch.store(0);
        ClearTrace();
        CMyBatchRun(&m_state, &m_host).RunBatch();
        TakeMessages();
        m_state.m_pPolicy = nullptr;
        std::string trace = ReadTrace(), verdicts;
        const std::string kSplit = "○　成功\n", kNotSplit = "×　失敗\n";
        for (size_t i = 0;;)
        {
            size_t iSplit = trace.find(kSplit, i), iNot = trace.find(kNotSplit, i);
            if (iSplit == std::string::npos && iNot == std::string::npos)
                return verdicts;
            verdicts += iSplit < iNot ? "+" : "-";
            i = (iSplit < iNot ? iSplit : iNot) + 1;
        }
    }

    CString m_strSrc;
    CMyPathList m_list;
    CMyPlanRequest m_request;
    DWORD m_dwLength = 1000;
};

TEST_F(SplitPolicyTest, DryRunAndRunReachTheSameVerdicts)
{
    auto piece = [](CString strOut, const char* pcName) { return JoinPath(strOut, pcName); };
    struct Case
    {
        const char* pcName;
        const char* pcTemplate; // "" for today's names
        int bNoClobber;
        std::function<void(SplitPolicyTest*)> prepare; // sources, and what is on disk
        const char* pcVerdicts;
    } cases[] = {
        {"a plain file", "", 0, [](SplitPolicyTest* t) { t->AddSource("a.wav", 2500); }, "+"},
        {"a header refused", "", 0,
         [](SplitPolicyTest* t)
         {
             EXPECT_TRUE(WriteBytes(JoinPath(t->m_strSrc, "x.wav"), "RIFF....WAVEjunk"));
             t->AddRecord("x.wav", 16);
         },
         "-"},
        {"pieces that would take an earlier file's names", "{start}", 0,
         [](SplitPolicyTest* t)
         {
             t->AddSource("a.wav", 2000);
             t->AddSource("b.wav", 1000);
         },
         "+-"},
        // The first run split a.wav and refused b.wav: -n finds a.wav's
        // pieces, which are not b.wav's.
        {"-n after pieces took an earlier file's names", "{start}", 1,
         [](SplitPolicyTest* t)
         {
             t->AddSource("a.wav", 2000);
             t->AddSource("b.wav", 1000);
             EXPECT_EQ(t->Run(0, 0), "+-");
         },
         "+-"},
        {"a piece that would overwrite a collected file", "", 0,
         [](SplitPolicyTest* t)
         {
             t->AddSource("a.wav", 2000);
             t->AddSource("a_001.wav", 1000);
             t->m_state.m_strOutputFolder = t->m_strSrc;
         },
         "-+"},
        {"-n after a run cut short: the rest is written", "", 1,
         [piece](SplitPolicyTest* t)
         {
             t->AddSource("a.wav", 3000);
             EXPECT_EQ(t->Run(0, 0), "+");
             CString strOut = t->m_state.m_strOutputFolder;
             EXPECT_TRUE(WriteBytes(piece(strOut, "a_002.wav"), BuildWave(k1000HzFmt, "short")));
             EXPECT_EQ(DeleteFileA(piece(strOut, "a_003.wav")), TRUE);
         },
         "+"},
        // A piece of the planned size is whole only with the planned header.
        {"-n with a piece of its size but another header", "", 1,
         [piece](SplitPolicyTest* t)
         {
             t->AddSource("a.wav", 2000);
             EXPECT_EQ(t->Run(0, 0), "+");
             std::string other =
                 BuildWave(MakePcmFormat(1, 8, 2000), MakeSamples(k1000HzFmt, 1000));
             EXPECT_TRUE(WriteBytes(piece(t->m_state.m_strOutputFolder, "a_001.wav"), other));
         },
         "-"},
        // A split cuts short only the last piece it writes.
        {"-n with a piece cut short before a whole one", "", 1,
         [piece](SplitPolicyTest* t)
         {
             t->AddSource("a.wav", 3000);
             EXPECT_EQ(t->Run(0, 0), "+");
             EXPECT_TRUE(WriteBytes(piece(t->m_state.m_strOutputFolder, "a_002.wav"),
                                    BuildWave(k1000HzFmt, "short")));
         },
         "-"},
        {"-n with pieces of another length on disk", "", 1,
         [](SplitPolicyTest* t)
         {
             t->AddSource("a.wav", 3000);
             t->m_dwLength = 2000;
             EXPECT_EQ(t->Run(0, 0), "+");
             t->m_dwLength = 1000;
         },
         "-"},
    };
    int nCase = 0;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pcName);
        m_strDir = MakeTestDir(("policy" + std::to_string(++nCase)).c_str());
        m_strSrc = JoinPath(m_strDir, "src");
        ASSERT_TRUE(CreateDirectoryA(m_strSrc, nullptr));
        m_list.ClearAll();
        m_state.m_strOutputFolder = JoinPath(m_strDir, "out");
        m_request = CMyPlanRequest();
        CString strBad;
        if (*c.pcTemplate != '\0')
        {
            ASSERT_TRUE(ParseNameTemplate(c.pcTemplate, &m_request.NameTemplate, &strBad));
        }
        c.prepare(this);
        // The dry run first: it changes nothing the run then meets.
        EXPECT_EQ(Run(1, c.bNoClobber), c.pcVerdicts) << "dry run";
        EXPECT_EQ(Run(0, c.bNoClobber), c.pcVerdicts) << "run";
    }
}
