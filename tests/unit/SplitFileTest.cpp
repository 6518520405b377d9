// Splitting one file: piece sizes, names, headers and the exact data.
#include "SplitFixture.h"

#include "engine/JobFlags.h"

namespace
{
// Mono 8-bit: one byte per frame, so a piece of n ms at r Hz is r*n/1000 bytes.
WaveFormat Mono8(uint32_t dwRate)
{
    return MakePcmFormat(1, 8, dwRate);
}

std::string DataOf(const std::string& wav, const WaveFormat& fmt, size_t nBytes,
                   const WaveOptions& opt = WaveOptions())
{
    return wav.substr(DataStartOf(fmt, opt), nBytes);
}
} // namespace

// How the data divides into pieces: full ones, then the rest.
TEST_F(SplitTest, PiecesCoverTheDataExactly)
{
    struct Case
    {
        const char* pcWhat;
        WaveFormat fmt;
        uint32_t nFrames;
        DWORD dwMs;
        DWORD dwPieces;
        uint32_t dwLastSize; // data bytes of the last piece
        bool bRest;          // whether a "RestDataSize" entry is written
    };
    const Case kCases[] = {
        {"exactly three pieces", Mono8(1000), 3000, 1000, 3, 1000, false},
        {"two pieces and a rest", Mono8(1000), 2500, 1000, 3, 500, true},
        {"shorter than one piece", Mono8(1000), 700, 1000, 1, 700, true},
        {"stereo 16-bit", MakePcmFormat(2, 16, 8000), 1601, 100, 3, 4, true},
        {"stereo 24-bit", MakePcmFormat(2, 24, 11025), 4410, 200, 2, 6 * 2205, false},
        {"section longer than the data", Mono8(44100), 100, 180000, 1, 100, true},
    };
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.pcWhat);
        CString strDir = MakeTestDir("cover");
        CString strBase = JoinPath(strDir, "x");
        std::string wav = BuildWave(c.fmt, MakeSamples(c.fmt, c.nFrames));
        CString strSrc = JoinPath(strDir, "x.wav");
        ASSERT_TRUE(WriteBytes(strSrc, wav));
        ClearTrace();

        ASSERT_EQ(Split(strBase, strSrc, c.dwMs), c.dwPieces);
        std::string all;
        for (DWORD i = 1; i <= c.dwPieces; ++i)
        {
            CString strPiece;
            strPiece.Format("%s_%03u.wav", (const char*)strBase, i);
            std::string piece;
            ASSERT_TRUE(ReadBytes(strPiece, piece));
            ASSERT_GE(piece.size(), 44u);
            EXPECT_EQ(piece.substr(0, 44), CanonicalHeader(c.fmt, (uint32_t)piece.size() - 44));
            all += piece.substr(44);
            if (i == c.dwPieces)
            {
                EXPECT_EQ(piece.size() - 44, c.dwLastSize);
            }
        }
        EXPECT_TRUE(SameBytes(all, DataOf(wav, c.fmt, (size_t)c.nFrames * c.fmt.wBlockSize)));
        CString strNext;
        strNext.Format("%s_%03u.wav", (const char*)strBase, c.dwPieces + 1);
        EXPECT_FALSE(PathExists(strNext));
        std::string strRest = "RestDataSize: " + std::to_string(c.dwLastSize) + " Byte\n";
        EXPECT_EQ(ReadTrace().find(strRest) != std::string::npos, c.bRest) << ReadTrace();
        EXPECT_EQ(m_state.m_bStopBatch.load(), 0);
    }
}

TEST_F(SplitTest, HeaderClaimingMoreThanTheFileCutsWhatIsThere)
{
    WaveFormat fmt = Mono8(1000);
    WaveOptions opt;
    opt.bOverrideDataSize = true;
    opt.dwDataSize = 5000;
    std::string wav = BuildWave(fmt, MakeSamples(fmt, 2500), opt);
    ASSERT_EQ(Split(WriteSource(wav), 1000), 3u);
    EXPECT_TRUE(SameBytes(AllPieceData(3, fmt), DataOf(wav, fmt, 2500)));
    EXPECT_FALSE(PathExists(PiecePath(4)));
    EXPECT_NE(ReadTrace().find("RestDataSize: 500 Byte\n"), std::string::npos);
}

TEST_F(SplitTest, ChunksAfterTheDataStayOut)
{
    WaveFormat fmt = Mono8(1000);
    WaveOptions opt;
    opt.chunksBeforeData.push_back(MakeChunk("LIST", "INFOISFT"));
    opt.chunksAfterData.push_back(MakeChunk("id3 ", std::string(300, 'z')));
    std::string wav = BuildWave(fmt, MakeSamples(fmt, 1500), opt);
    ASSERT_EQ(Split(WriteSource(wav), 1000), 2u);
    EXPECT_TRUE(SameBytes(AllPieceData(2, fmt), DataOf(wav, fmt, 1500, opt)));
}

// A data size of 0 writes no piece, whatever follows, and says so.
TEST_F(SplitTest, NoDataWritesNoPiece)
{
    WaveFormat fmt = Mono8(1000);
    // A chunk after the empty data chunk keeps the file longer than its header.
    WaveOptions opt;
    opt.chunksAfterData.push_back(MakeChunk("junk", "abcd"));
    std::string audioAfter = BuildWave(fmt, MakeSamples(fmt, 500));
    PutLE32(audioAfter, 40, 0);
    WaveOptions rf64;
    rf64.strRiffTag = "RF64";
    rf64.chunksBeforeFmt = {MakeChunk("ds64", LE64(600) + LE64(0) + LE64(0) + LE32(0))};
    rf64.bOverrideDataSize = true;
    rf64.dwDataSize = 0xFFFFFFFFu;
    struct Case
    {
        const char* pcName;
        std::string wav;
        const char* pcReason;
    } cases[] = {
        {"empty data chunk", BuildWave(fmt, std::string(), opt), "dataチャンクのデータサイズが0"},
        {"data size 0, audio after it", audioAfter, "dataチャンクのデータサイズが0"},
        {"RF64 whose ds64 says 0", BuildWave(fmt, MakeSamples(fmt, 500), rf64),
         "ds64チャンクのデータサイズが0"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pcName);
        ClearTrace();
        ASSERT_EQ(Split(WriteSource(c.wav), 1000), 0u);
        EXPECT_FALSE(PathExists(PiecePath(1)));
        EXPECT_EQ(m_host.m_nProgress, 0);
        EXPECT_NE(ReadTrace().find(std::string("※　") + c.pcReason), std::string::npos)
            << ReadTrace();
    }
}

TEST_F(SplitTest, FileEndingAtItsDataStartIsRefused)
{
    WaveFormat fmt = Mono8(1000);
    fmt.dwFmtExtra = 2; // data start 46: the file is exactly its header
    ASSERT_EQ(Split(WriteSource(BuildWave(fmt, std::string())), 1000), 0u);
    EXPECT_NE(ReadTrace().find("※　ファイルサイズがデータ先頭アドレスより小さいです。\n"),
              std::string::npos);
    EXPECT_FALSE(PathExists(PiecePath(1)));
}

TEST_F(SplitTest, ThousandthPieceHasFourDigits)
{
    WaveFormat fmt = Mono8(8000); // 1 ms = 8 bytes
    std::string wav = BuildWave(fmt, MakeSamples(fmt, 1000 * 8 + 3));
    ASSERT_EQ(Split(WriteSource(wav), 1), 1001u);
    EXPECT_TRUE(PathExists(JoinPath(m_strDir, "src_999.wav")));
    EXPECT_TRUE(PathExists(JoinPath(m_strDir, "src_1000.wav")));
    EXPECT_TRUE(PathExists(JoinPath(m_strDir, "src_1001.wav")));
    EXPECT_FALSE(PathExists(JoinPath(m_strDir, "src_0999.wav")));
    EXPECT_FALSE(PathExists(JoinPath(m_strDir, "src_1002.wav")));
    EXPECT_TRUE(SameBytes(AllPieceData(1001, fmt), DataOf(wav, fmt, 8003)));
    EXPECT_EQ(m_state.m_ullDoneBytes.load(), 8003u);
}

TEST_F(SplitTest, OlderLongerPieceIsCutToTheNewLength)
{
    WaveFormat fmt = Mono8(1000);
    ASSERT_TRUE(WriteBytes(PiecePath(1), std::string(5000, 'o')));
    std::string wav = BuildWave(fmt, MakeSamples(fmt, 1000));
    ASSERT_EQ(Split(WriteSource(wav), 1000), 1u);
    std::string piece;
    ASSERT_TRUE(ReadBytes(PiecePath(1), piece));
    EXPECT_EQ(piece.size(), 1044u);
    EXPECT_TRUE(SameBytes(PieceData(1, fmt), DataOf(wav, fmt, 1000)));
}

TEST_F(SplitTest, SectionShorterThanOneFrameIsRefused)
{
    WaveFormat fmt = Mono8(999); // 1 ms holds no whole frame
    ASSERT_EQ(Split(WriteSource(BuildWave(fmt, MakeSamples(fmt, 100))), 1), 0u);
    const std::string strEntry = "※　区間長が1サンプルより短いため分割できません。\n";
    std::string trace = ReadTrace();
    EXPECT_NE(trace.find(strEntry), std::string::npos) << trace;
    EXPECT_EQ(trace.find(strEntry), trace.rfind(strEntry)) << "written once: " << trace;
    EXPECT_FALSE(PathExists(PiecePath(1)));
}

TEST_F(SplitTest, PieceSizeBeyond32BitsLeavesOneLastPiece)
{
    // 200 kHz stereo 32-bit: 0xFFFFFFFF ms is 6.9e12 bytes per piece.
    WaveFormat fmt = MakePcmFormat(2, 32, 200000);
    std::string wav = BuildWave(fmt, MakeSamples(fmt, 300));
    ASSERT_EQ(Split(WriteSource(wav), 0xFFFFFFFFu), 1u);
    EXPECT_TRUE(SameBytes(PieceData(1, fmt), DataOf(wav, fmt, 2400)));
    EXPECT_NE(ReadTrace().find("RestDataSize: 2400 Byte\n"), std::string::npos);
}

TEST_F(SplitTest, ProgressFollowsEveryBlock)
{
    WaveFormat fmt = Mono8(1000);
    std::string wav = BuildWave(fmt, MakeSamples(fmt, 3500));
    ASSERT_EQ(Split(WriteSource(wav), 1000), 4u);
    EXPECT_EQ(m_host.m_nProgress, 4); // one block per piece
    EXPECT_EQ(m_state.m_ullDoneBytes.load(), 3500u);
}

TEST_F(SplitTest, SourceIsOnlyReadAndStaysAsItWas)
{
    WaveFormat fmt = Mono8(1000);
    std::string wav = BuildWave(fmt, MakeSamples(fmt, 2000));
    CString strSrc = WriteSource(wav);
    // Another reader that lets nobody write: a split that asked for write
    // access to its source could not open it.
    HANDLE hOther = CreateFileA(strSrc, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(hOther, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Split(strSrc, 1000), 2u);
    CloseHandle(hOther);
    std::string after;
    ASSERT_TRUE(ReadBytes(strSrc, after));
    EXPECT_EQ(after, wav);
}

// Sources and bases that cannot be split: traced, nothing written.
TEST_F(SplitTest, RefusedInputsAreTraced)
{
    WaveFormat fmt = Mono8(1000);
    std::string good = BuildWave(fmt, MakeSamples(fmt, 1000));
    std::string notWave = good;
    notWave.replace(8, 4, "AVI ");
    std::string floatWave = good;
    PutLE16(floatWave, 20, 3);
    struct Case
    {
        const char* pcWhat;
        const char* pcBase;         // null: the test's base path
        const std::string* pSource; // null: no source file at all
        const char* pcEntry;
    };
    const Case kCases[] = {
        {"base without separator", "src", &good, "※　出力基本パスが無効です。[ src ]\n"},
        {"separator at index 1", "a" TEST_SEP "src", &good,
         "※　出力基本パスが無効です。[ a" TEST_SEP "src ]\n"},
        {"missing source", nullptr, nullptr, "※　入力ファイルのオープンに失敗。\n"},
        {"not a WAVE file", nullptr, &notWave, "※　無効なWAVEヘッダです。\n"},
        {"not PCM", nullptr, &floatWave, "※　無効なWAVEヘッダです。\n"},
    };
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.pcWhat);
        CString strDir = MakeTestDir("refused");
        CString strSrc = JoinPath(strDir, "src.wav");
        if (c.pSource != nullptr)
        {
            ASSERT_TRUE(WriteBytes(strSrc, *c.pSource));
        }
        CString strBase = c.pcBase != nullptr ? CString(c.pcBase) : JoinPath(strDir, "src");
        ClearTrace();
        EXPECT_EQ(Split(strBase, strSrc, 1000), 0u);
        EXPECT_NE(ReadTrace().find(c.pcEntry), std::string::npos) << ReadTrace();
        EXPECT_FALSE(PathExists(JoinPath(strDir, "src_001.wav")));
        EXPECT_FALSE(PathExists("src_001.wav"));
    }
}

TEST_F(SplitTest, LockedSourceIsNotSplit)
{
    WaveFormat fmt = Mono8(1000);
    CString strSrc = WriteSource(BuildWave(fmt, MakeSamples(fmt, 1000)));
    HANDLE hLock = CreateFileA(strSrc, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(hLock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Split(strSrc, 1000), 0u);
    CloseHandle(hLock);
    EXPECT_NE(ReadTrace().find("※　入力ファイルのオープンに失敗。\n"), std::string::npos);
    EXPECT_FALSE(PathExists(PiecePath(1)));
}

// Every shape the first kilobyte's rules take is split as it always was:
// canonical 44-byte headers and the data, byte for byte.
TEST_F(SplitTest, AcceptedTodayIsSplitAsBefore)
{
    for (const AcceptedCase& c : AcceptedTodayCases())
    {
        SCOPED_TRACE(c.pcName);
        m_strDir = MakeTestDir("today");
        std::string wav = BuildWave(c.fmt, MakeSamples(c.fmt, c.dwFrames), c.opt);
        size_t nStart = DataStartOf(c.fmt, c.opt);
        size_t nData = std::min<size_t>(c.dwExpectedDataSize, wav.size() - nStart);
        size_t nPiece = c.fmt.wBlockSize * (c.fmt.dwSamplingRate / 1000); // 1 ms
        DWORD dwPieces = (DWORD)((nData + nPiece - 1) / nPiece);
        ASSERT_EQ(Split(WriteSource(wav), 1), dwPieces);
        EXPECT_TRUE(SameBytes(AllPieceData(dwPieces, c.fmt), wav.substr(nStart, nData)));
        EXPECT_FALSE(PathExists(PiecePath(dwPieces + 1)));
    }
}

// Pieces of a file only the chunk walk takes: its "fmt " chunk verbatim, a
// "fact" chunk for float, its bext and iXML with the time reference of the
// piece's first frame (the third piece's crosses from the low 32 bits into
// the high ones) and the iXML with the piece's own FILE_UID, then the data;
// nothing else.
TEST_F(SplitTest, PiecesOfRecordersFilesCarryTheirChunks)
{
    const uint64_t qwTime = 0x1FFFFFFFF0ull;
    auto ixml = [](uint64_t qwAt, char cUid)
    {
        return "<BWFXML><FILE_UID>UID" + std::string(1, cUid) +
               "</FILE_UID><BEXT><BWF_TIME_REFERENCE_LOW>" + std::to_string(qwAt & 0xFFFFFFFFu) +
               "</BWF_TIME_REFERENCE_LOW><BWF_TIME_REFERENCE_HIGH>" + std::to_string(qwAt >> 32) +
               "</BWF_TIME_REFERENCE_HIGH></BEXT></BWFXML>";
    };
    WaveOptions bwf;
    bwf.chunksBeforeFmt = {MakeChunk("JUNK", std::string(28, '\0')),
                           MakeChunk("bext", MakeBextBody(qwTime))};
    bwf.chunksBeforeData = {MakeChunk("iXML", ixml(qwTime, '0')), MakeChunk("LIST", "INFOISFTx")};
    WaveOptions junk;
    junk.chunksBeforeData = {MakeChunk("JUNK", std::string(300, '\0'))};
    struct Case
    {
        const char* pcName;
        WaveFormat fmt;
        WaveOptions opt;
        bool bFact;
        bool bBwf;
    } cases[] = {
        {"broadcast wave, extensible float", MakeExtensibleFormat(2, 32, 32, 8000, 3), bwf, true,
         true},
        {"broadcast wave, 24-bit PCM", MakePcmFormat(2, 24, 8000), bwf, false, true},
        {"8 channels, data past byte 291", MakePcmFormat(8, 16, 8000), junk, false, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pcName);
        m_strDir = MakeTestDir("chunked");
        std::string samples = MakeSamples(c.fmt, 25);
        CString strSrc = WriteSource(BuildWave(c.fmt, samples, c.opt));
        ASSERT_EQ(Split(strSrc, 1), 4u); // 8+8+8+1 frames
        // -n measures the pieces on disk against the plan: each is whole.
        CMySplitPolicy policy;
        policy.SetNoClobber(1);
        CMySplitDecision decision;
        EXPECT_EQ(policy.Decide(BasePath(), strSrc, nullptr, 1, 1, nullptr, &decision),
                  kVerdictDone);
        for (DWORD i = 0; i < 4; ++i)
        {
            uint32_t nFrames = i < 3 ? 8 : 1;
            std::string data = samples.substr(i * 8 * c.fmt.wBlockSize, nFrames * c.fmt.wBlockSize);
            std::string chunks = MakeFmtChunk(c.fmt);
            if (c.bFact)
                chunks += MakeChunk("fact", LE32(nFrames));
            if (c.bBwf)
                chunks += MakeChunk("bext", MakeBextBody(qwTime + i * 8)) +
                          MakeChunk("iXML", ixml(qwTime + i * 8, (char)('1' + i)));
            std::string expected = "RIFF" + LE32((uint32_t)(4 + chunks.size() + 8 + data.size())) +
                                   "WAVE" + chunks + "data" + LE32((uint32_t)data.size()) + data;
            std::string piece;
            ASSERT_TRUE(ReadBytes(PiecePath(i + 1), piece));
            EXPECT_TRUE(SameBytes(piece, expected)) << "piece " << i + 1;
        }
    }
}

// A piece that would reach 4 GiB is RF64 from its start; cut short by an
// abort or a failed write it keeps RF64 sizes that match what it holds. The
// source is a sparse plain RIFF of 4 GiB and a bit whose data size wrapped.
TEST_F(SplitTest, PieceReachingFourGiBIsRf64EvenWhenCutShort)
{
    WaveFormat fmt = MakePcmFormat(2, 16, 48000);
    const uint64_t qwFileSize = 0x100000000ull + 60;
    std::string start = MakeSampleBytes(kSplitBlockSize + 4096);
    std::string head = BuildWave(fmt, std::string());
    PutLE32(head, 40, (uint32_t)(qwFileSize - 44));
    const uint64_t qwData = kSplitBlockSize; // what the piece keeps: the first block
    std::string expected = "RF64" + LE32(0xFFFFFFFFu) + "WAVE" + "ds64" + LE32(28) +
                           LE64(72 + qwData) + LE64(qwData) + LE64(qwData / 4) + LE32(0) +
                           MakeFmtChunk(fmt) + "data" + LE32(0xFFFFFFFFu) + start.substr(0, qwData);
    // The second block's write fails with a full disk.
    static int s_nBlockWrites;
    s_nBlockWrites = 0;
    auto failSecondBlock = [](HANDLE h, LPCVOID p, DWORD n, LPDWORD pDone)
    {
        if (n == kSplitBlockSize && ++s_nBlockWrites == 2)
        {
            *pDone = 0;
            SetLastError(ERROR_DISK_FULL);
            return (BOOL)FALSE;
        }
        return GetDefaultPlatformHooks().pfnWriteFile(h, p, n, pDone);
    };
    struct Case
    {
        const char* pcName;
        bool bAbort;
        DWORD dwPieces; // a piece cut by a failure is not counted
    } cases[] = {{"abort after the first block", true, 1}, {"second write failing", false, 0}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pcName);
        CString strSrc = JoinPath(m_strDir, "big.wav");
        ASSERT_TRUE(WriteSparse(strSrc, head + start, qwFileSize - 16, std::string(16, 'e')));
        g_bAbort.store(0);
        m_host.m_onProgress = [&](int) { g_bAbort.store(c.bAbort ? 1 : 0); };
        if (!c.bAbort)
            GetPlatformHooks().pfnWriteFile = failSecondBlock;
        DWORD dwPieces = Split(strSrc, 0xFFFFFFFFu); // one piece takes all the data
        ResetPlatformHooks();
        DeleteFileA(strSrc);
        std::string piece;
        EXPECT_TRUE(ReadBytes(PiecePath(1), piece));
        DeleteFileA(PiecePath(1));
        EXPECT_EQ(dwPieces, c.dwPieces);
        EXPECT_TRUE(SameBytes(piece, expected));
    }
    EXPECT_NE(ReadTrace().find("RestDataSize: 4294967312 Byte\n"), std::string::npos);
}

// Audio --trim leaves out counts as done: the progress of a file reaches its
// data size, gaps between pieces and after the last one included.
TEST_F(SplitTest, TrimmedAudioCountsAsDone)
{
    WaveFormat fmt;
    fmt.wChannels = 1;
    fmt.dwSamplingRate = 8000;
    fmt.dwDataRate = 16000;
    fmt.wBlockSize = 2;
    std::string loud;
    for (int i = 0; i < 8000; ++i)
        loud += i % 2 ? std::string("\x10\x27", 2) : std::string("\xF0\xD8", 2);
    const std::string quiet(3 * 16000, '\0');
    const std::string data = loud + quiet + loud + quiet;
    CMyPlanRequest request;
    request.Rule.Kind = kRuleWhole;
    request.Rule.bEveryPause = 1;
    request.Rule.bTrim = 1;
    request.Rule.dwPauseMin = 2000;
    m_state.m_pPlanRequest = &request;
    ASSERT_EQ(Split(WriteSource(BuildWave(fmt, data)), 1000), 2u);
    m_state.m_pPlanRequest = nullptr;
    EXPECT_LT(PieceData(1, fmt).size() + PieceData(2, fmt).size(), data.size());
    EXPECT_EQ(m_state.m_ullDoneBytes.load(), data.size());
}
