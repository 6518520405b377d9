// Split by channel through the copy: each piece's channel files hold the
// source's samples de-interleaved, carry its chunks, and end true whatever
// stops them; -n counts the channel files.
#include "SplitFixture.h"

#include "engine/JobFlags.h"
#include "engine/SourcePlan.h"
#include "engine/WaveFile.h"
#include "platform/PlatformHooks.h"

namespace
{
// The group's channels of every frame of the data, as the file must hold them.
std::string Deinterleave(const std::string& strData, size_t nChannels, size_t nBytes,
                         const std::vector<int>& group)
{
    std::string str;
    for (size_t f = 0; f + nChannels * nBytes <= strData.size(); f += nChannels * nBytes)
        for (int iChannel : group)
            str.append(strData, f + (size_t)iChannel * nBytes, nBytes);
    return str;
}

struct ReadBack
{
    CMyWaveHeader header;
    std::string strData;
    ULONGLONG qwFileSize = 0;
};

// The file as the program reads a source: its header and its samples.
bool ReadChannelFile(const CString& strPath, ReadBack* pOut)
{
    CMyWaveFile file;
    if (!file.SetFilePath(strPath) || file.RefreshFileSize() == ~0ull ||
        !file.GetTransferBuff().Reallocate(0x1000, 1))
        return false;
    file.SetTransferLimit(0x1000);
    if (!file.OpenForRead() || !file.ReadHeader(0))
        return false;
    pOut->header = file.GetHeader();
    file.Close();
    std::string strBytes;
    if (!ReadBytes(strPath, strBytes))
        return false;
    pOut->qwFileSize = strBytes.size();
    pOut->strData = strBytes.substr((size_t)pOut->header.DataStart, (size_t)pOut->header.DataSize);
    return pOut->header.DataStart + pOut->header.DataSize == strBytes.size();
}

const char kIXml[] = "<BWFXML><TRACK_LIST><TRACK_COUNT>3</TRACK_COUNT>"
                     "<TRACK><CHANNEL_INDEX>4</CHANNEL_INDEX><INTERLEAVE_INDEX>1</INTERLEAVE_INDEX>"
                     "<NAME>Boom</NAME></TRACK>"
                     "<TRACK><CHANNEL_INDEX>5</CHANNEL_INDEX><INTERLEAVE_INDEX>2</INTERLEAVE_INDEX>"
                     "<NAME>Lav</NAME></TRACK>"
                     "<TRACK><CHANNEL_INDEX>6</CHANNEL_INDEX><INTERLEAVE_INDEX>3</INTERLEAVE_INDEX>"
                     "<NAME>Mix</NAME></TRACK></TRACK_LIST></BWFXML>";
} // namespace

TEST_F(SplitTest, ChannelFilesHoldTheirChannelsAndCarryTheChunks)
{
    const WaveFormat fmt = MakeExtensibleFormat(3, 24, 24, 1000, 1);
    WaveOptions opt;
    opt.chunksBeforeFmt = {MakeChunk("bext", MakeBextBody(5000)), MakeChunk("iXML", kIXml)};
    // One marker at frame 1500.
    opt.chunksAfterData = {MakeChunk("cue ", LE32(1) + LE32(1) + LE32(1500) + "data" + LE32(0) +
                                                 LE32(0) + LE32(1500))};
    const std::string strSamples = MakeSamples(fmt, 2500) + "\x01\x02";
    CString strSrc = WriteSource(BuildWave(fmt, strSamples, opt));
    CMyPlanRequest request;
    ASSERT_TRUE(ParseChannelList("3,1-2", &request.Channels));
    request.bCarryMarkers = 1;
    m_state.m_pPlanRequest = &request;

    // Pieces of 1000, 1000 and 500 frames, two files each.
    EXPECT_EQ(Split(strSrc, 1000), 6u);
    const struct
    {
        const char* pcName;
        std::vector<int> group;
        DWORD dwMask;
    } kFiles[] = {{"src_%03u_Mix.wav", {2}, 0x4}, {"src_%03u_Boom+Lav.wav", {0, 1}, 0x3}};
    std::string strJoined[2];
    for (DWORD dwPiece = 1; dwPiece <= 3; ++dwPiece)
        for (int k = 0; k < 2; ++k)
        {
            CString strName;
            strName.Format(kFiles[k].pcName, dwPiece);
            SCOPED_TRACE((const char*)strName);
            ReadBack file;
            ASSERT_TRUE(ReadChannelFile(JoinPath(m_strDir, strName), &file));
            const CMyWaveHeader& h = file.header;
            EXPECT_EQ(h.Param.Channels, kFiles[k].group.size());
            EXPECT_EQ(h.Param.BlockSize, 3 * kFiles[k].group.size());
            EXPECT_EQ(h.Param.FormatID, 0xFFFE);
            EXPECT_EQ(GetLE32(h.FmtBody, 20), kFiles[k].dwMask);
            ASSERT_GE(h.BextBody.size(), 346u);
            EXPECT_EQ(GetLE64(h.BextBody, 338), 5000u + (dwPiece - 1) * 1000);
            // The track list holds the file's tracks, renumbered.
            const std::string strFirst =
                k == 0 ? "<TRACK_COUNT>1</TRACK_COUNT><TRACK><CHANNEL_INDEX>6</CHANNEL_INDEX>"
                         "<INTERLEAVE_INDEX>1</INTERLEAVE_INDEX><NAME>Mix</NAME>"
                       : "<TRACK_COUNT>2</TRACK_COUNT><TRACK><CHANNEL_INDEX>4</CHANNEL_INDEX>"
                         "<INTERLEAVE_INDEX>1</INTERLEAVE_INDEX><NAME>Boom</NAME>";
            EXPECT_NE(h.IXmlBody.find(strFirst), std::string::npos) << h.IXmlBody;
            EXPECT_EQ(h.IXmlBody.find("<NAME>") != h.IXmlBody.rfind("<NAME>"), k == 1);
            std::string strBytes;
            ASSERT_TRUE(ReadBytes(JoinPath(m_strDir, strName), strBytes));
            // The marker lies in the second piece, which alone carries it.
            EXPECT_EQ(strBytes.find("cue ") != std::string::npos, dwPiece == 2);
            strJoined[k] += file.strData;
        }
    // Each channel's pieces together are exactly that channel of the source.
    const std::string strData = strSamples.substr(0, 2500 * 9);
    EXPECT_TRUE(SameBytes(strJoined[0], Deinterleave(strData, 3, 3, {2})));
    EXPECT_TRUE(SameBytes(strJoined[1], Deinterleave(strData, 3, 3, {0, 1})));
}

// A 16-bit stereo canonical source: each channel a canonical mono file.
TEST_F(SplitTest, ChannelFilesOfACanonicalSourceAreCanonical)
{
    const WaveFormat fmt = MakePcmFormat(2, 16, 8000);
    const std::string strSamples = MakeSamples(fmt, 1000);
    CString strSrc = WriteSource(BuildWave(fmt, strSamples));
    CMyPlanRequest request;
    ASSERT_TRUE(ParseChannelList("each", &request.Channels));
    CString strBad;
    ASSERT_TRUE(ParseNameTemplate("{channel}-{n}", &request.NameTemplate, &strBad));
    m_state.m_pPlanRequest = &request;

    EXPECT_EQ(Split(strSrc, 180000), 2u);
    const WaveFormat mono = MakePcmFormat(1, 16, 8000);
    for (int iChannel = 0; iChannel < 2; ++iChannel)
    {
        std::string strBytes;
        ASSERT_TRUE(
            ReadBytes(JoinPath(m_strDir, iChannel == 0 ? "ch1-001.wav" : "ch2-001.wav"), strBytes));
        EXPECT_TRUE(SameBytes(strBytes, CanonicalHeader(mono, 2000) +
                                            Deinterleave(strSamples, 2, 2, {iChannel})));
    }
}

// -n: a file is done when every channel file is there whole; one missing is
// written again from the source, the others kept.
TEST_F(SplitTest, NoClobberCountsEveryChannelFile)
{
    const WaveFormat fmt = MakePcmFormat(2, 16, 1000);
    CString strSrc = WriteSource(BuildWave(fmt, MakeSamples(fmt, 2500)));
    CMyPlanRequest request;
    ASSERT_TRUE(ParseChannelList("each", &request.Channels));
    m_state.m_pPlanRequest = &request;
    CMySplitPolicy policy;
    policy.SetNoClobber(1);
    CMySplitter splitter(&m_state, &m_host);
    splitter.SetPolicy(&policy);
    ASSERT_EQ(splitter.SplitFile(BasePath(), strSrc, 1000), 6u);

    CMySplitDecision decision;
    EXPECT_EQ(policy.Decide(BasePath(), strSrc, &request, 1000, 1, nullptr, &decision),
              kVerdictDone);
    const CString strGone = JoinPath(m_strDir, "src_002_ch2.wav");
    std::string strBefore;
    ASSERT_TRUE(ReadBytes(strGone, strBefore));
    ASSERT_TRUE(DeleteFileA(strGone));
    CMySplitDecision again;
    EXPECT_EQ(policy.Decide(BasePath(), strSrc, &request, 1000, 1, nullptr, &again), kVerdictWrite);
    EXPECT_EQ(again.dwKept, 5u);
    EXPECT_EQ(splitter.SplitFile(BasePath(), strSrc, 1000), 6u);
    EXPECT_TRUE(splitter.WasWhole());
    std::string strAfter;
    ASSERT_TRUE(ReadBytes(strGone, strAfter));
    EXPECT_TRUE(SameBytes(strAfter, strBefore));
}

// An abort in the middle of a piece leaves each of its channel files with
// the whole frames written and a header that says so.
TEST_F(SplitTest, ChannelFilesCutShortHaveTrueHeaders)
{
    // 6 bytes a frame: a read of 8 MiB holds 1398101 frames.
    const WaveFormat fmt = MakePcmFormat(3, 16, 100000);
    const std::string strSamples = MakeSamples(fmt, 1500000);
    CString strSrc = WriteSource(BuildWave(fmt, strSamples));
    CMyPlanRequest request;
    ASSERT_TRUE(ParseChannelList("1-2,3", &request.Channels));
    m_state.m_pPlanRequest = &request;
    m_host.m_onProgress = [](int) { g_bAbort.store(1); };
    CMySplitter splitter(&m_state, &m_host);
    EXPECT_EQ(splitter.SplitFile(BasePath(), strSrc, 180000), 2u);
    g_bAbort.store(0);
    EXPECT_FALSE(splitter.WasWhole());
    const struct
    {
        const char* pcName;
        std::vector<int> group;
    } kFiles[] = {{"src_001_ch1-2.wav", {0, 1}}, {"src_001_ch3.wav", {2}}};
    for (const auto& f : kFiles)
    {
        SCOPED_TRACE(f.pcName);
        ReadBack file;
        ASSERT_TRUE(ReadChannelFile(JoinPath(m_strDir, f.pcName), &file));
        EXPECT_EQ(file.header.DataSize, 1398101u * 2 * f.group.size());
        EXPECT_TRUE(SameBytes(file.strData,
                              Deinterleave(strSamples.substr(0, 1398101 * 6), 3, 2, f.group)));
    }
}

namespace
{
// The mono file's write of a whole read's frames: the disk is full.
BOOL MonoBlockFails(HANDLE h, LPCVOID p, DWORD n, LPDWORD pDone)
{
    if (n != 1398101u * 2)
        return GetDefaultPlatformHooks().pfnWriteFile(h, p, n, pDone);
    *pDone = 0;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}
} // namespace

// A disk that fills while one channel file is written ends every file of
// the piece where it stands, each true, and the source is not split.
TEST_F(SplitTest, ChannelFilesOfAFullDiskHaveTrueHeaders)
{
    const WaveFormat fmt = MakePcmFormat(3, 16, 100000);
    const std::string strSamples = MakeSamples(fmt, 1500000);
    CString strSrc = WriteSource(BuildWave(fmt, strSamples));
    CMyPlanRequest request;
    ASSERT_TRUE(ParseChannelList("1-2,3", &request.Channels));
    m_state.m_pPlanRequest = &request;
    GetPlatformHooks().pfnWriteFile = MonoBlockFails;
    CMySplitter splitter(&m_state, &m_host);
    EXPECT_EQ(splitter.SplitFile(BasePath(), strSrc, 180000), 0u);
    EXPECT_FALSE(splitter.WasWhole());
    ResetPlatformHooks();
    // The stereo file holds the frames of the first read; the mono file none.
    ReadBack file;
    ASSERT_TRUE(ReadChannelFile(JoinPath(m_strDir, "src_001_ch1-2.wav"), &file));
    EXPECT_EQ(file.header.DataSize, 1398101u * 4);
    EXPECT_TRUE(
        SameBytes(file.strData, Deinterleave(strSamples.substr(0, 1398101 * 6), 3, 2, {0, 1})));
    std::string strMono;
    ASSERT_TRUE(ReadBytes(JoinPath(m_strDir, "src_001_ch3.wav"), strMono));
    EXPECT_TRUE(SameBytes(strMono, CanonicalHeader(MakePcmFormat(1, 16, 100000), 0)));
}
