// Reading and checking WAV headers: the files people have, and headers broken
// in every way, with the trace each leaves.
#include "engine/WaveFile.h"

#include "TestSupport.h"
#include "WaveBuilder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace
{
// Writes the bytes to a file and reads its header the way the split does.
struct HeaderRead
{
    int iResult = -1;
    CMyWaveHeader header;
    std::string trace;
};

HeaderRead ReadHeaderOfFile(const CString& strPath, DWORD dwTransfer = 0x800000)
{
    HeaderRead r;
    ClearTrace();
    {
        CMyWaveFile file;
        if (!file.SetFilePath(strPath) || file.RefreshFileSize() == 0xFFFFFFFFFFFFFFFFull ||
            !file.GetTransferBuff().Reallocate(dwTransfer, 1))
            return r;
        file.SetTransferLimit(dwTransfer);
        if (!file.OpenForRead())
            return r;
        r.iResult = file.ReadHeader();
        r.header = file.GetHeader();
    }
    r.trace = ReadTrace();
    return r;
}

HeaderRead ReadHeaderOf(const std::string& bytes, DWORD dwTransfer = 0x800000)
{
    CString strPath = JoinPath(MakeTestDir("wav"), "source.wav");
    if (!WriteBytes(strPath, bytes))
        return HeaderRead();
    HeaderRead r = ReadHeaderOfFile(strPath, dwTransfer);
    std::string after;
    ReadBytes(strPath, after);
    EXPECT_EQ(bytes, after) << "the source was changed";
    return r;
}

WaveOptions Before(std::initializer_list<std::string> chunks)
{
    WaveOptions opt;
    opt.chunksBeforeData = chunks;
    return opt;
}

} // namespace

TEST(ReadHeader, AcceptsTheFilesPeopleHave)
{
    for (const AcceptedCase& c : AcceptedTodayCases())
    {
        std::string bytes = BuildWave(c.fmt, MakeSamples(c.fmt, c.dwFrames), c.opt);
        HeaderRead r = ReadHeaderOf(bytes);
        ASSERT_EQ(1, r.iResult) << c.pcName;
        size_t nStart = DataStartOf(c.fmt, c.opt);
        EXPECT_EQ(nStart, r.header.DataStart) << c.pcName;
        EXPECT_EQ(nStart - 44, r.header.DataTagOffset) << c.pcName;
        EXPECT_EQ(c.dwExpectedDataSize, r.header.DataSize) << c.pcName;
        EXPECT_EQ(44u, r.header.HeaderLength) << c.pcName;
        EXPECT_EQ(0, r.header.bChunked) << c.pcName;
        EXPECT_EQ(GetLE32(bytes, 4), r.header.RiffSize) << c.pcName;
        EXPECT_EQ(16 + c.fmt.dwFmtExtra, r.header.FmtSize) << c.pcName;
        const CSonvelBaseParam& p = r.header.Param;
        EXPECT_EQ(c.fmt.wChannels, p.Channels) << c.pcName;
        EXPECT_EQ(c.fmt.wResolution, p.Resolution) << c.pcName;
        EXPECT_EQ(c.fmt.wBlockSize, p.BlockSize) << c.pcName;
        EXPECT_EQ(c.fmt.dwSamplingRate, p.SamplingRate) << c.pcName;
        EXPECT_EQ(c.fmt.dwDataRate, p.DataRate) << c.pcName;
        EXPECT_EQ(ParamTraceText(c.fmt, true), r.trace) << c.pcName;
    }
}

TEST(ReadHeader, FindsTheDataChunkBehindTheWordDataInAnotherChunk)
{
    WaveFormat fmt = MakePcmFormat(2, 16, 44100);
    WaveOptions opt = Before({ListWithDataText()});
    HeaderRead r = ReadHeaderOf(BuildWave(fmt, MakeSamples(fmt, 4), opt));
    ASSERT_EQ(1, r.iResult);
    // The real data chunk follows the whole LIST chunk: 36 + 8 + 28 bytes in.
    EXPECT_EQ(72u, r.header.DataTagOffset + 36u);
    EXPECT_EQ(80u, r.header.DataStart);
    EXPECT_EQ(16u, r.header.DataSize);
}

// Files of the canonical kind that the first kilobyte's walk refuses keep
// their canonical reading: the chunk walk reads a pad byte left out, and the
// search for the first "data" at bytes 36 to 291 takes a "fmt " size that
// misses the next chunk or a chunk size that wraps, which both walks refuse.
TEST(ReadHeader, KeepsTheCanonicalReadingWhenTheFirstWalkFails)
{
    WaveFormat fmt = MakePcmFormat(2, 16, 44100);
    std::string samples = MakeSamples(fmt, 4);
    std::string fmtPastData = BuildWave(fmt, samples);
    PutLE32(fmtPastData, 16, 18);
    std::string hugeChunk = BuildWave(fmt, samples, Before({MakeChunk("junk", "jjjjjjjj")}));
    PutLE32(hugeChunk, 40, 0xFFFFFFF8u); // would wrap back to byte 36 in 32 bits
    struct Case
    {
        const char* pcName;
        std::string bytes;
        size_t nDataStart;
    } cases[] = {
        {"odd chunk without its pad byte",
         BuildWave(fmt, samples, Before({"LIST" + LE32(5) + "INFOx"})), 57},
        {"fmt size pointing past the data tag", fmtPastData, 44},
        {"chunk size wrapping around", hugeChunk, 60},
        {"data tag at byte 291",
         BuildWave(fmt, samples, Before({"junk" + LE32(247) + std::string(247, 'j')})), 299},
    };
    for (const Case& c : cases)
    {
        HeaderRead r = ReadHeaderOf(c.bytes);
        ASSERT_EQ(1, r.iResult) << c.pcName;
        EXPECT_EQ(c.nDataStart, r.header.DataStart) << c.pcName;
        EXPECT_EQ(c.nDataStart - 44, r.header.DataTagOffset) << c.pcName;
        EXPECT_EQ(16u, r.header.DataSize) << c.pcName;
        EXPECT_EQ(0, r.header.bChunked) << c.pcName;
        EXPECT_EQ(ParamTraceText(fmt, true), r.trace) << c.pcName;
    }
}

// Files the first kilobyte cannot tell: the chunk walk finds "data" wherever
// it lies and takes the formats recorders write.
TEST(ReadHeader, WalksTheChunksOfRecordersFiles)
{
    WaveFormat pcm24 = MakePcmFormat(2, 24, 48000);
    std::string bext = MakeBextBody(0x123456789ull);
    WaveOptions bwf;
    bwf.chunksBeforeFmt = {MakeChunk("JUNK", std::string(28, '\0')), MakeChunk("bext", bext)};
    bwf.chunksBeforeData = {MakeChunk("iXML", "<BWFXML/>"), MakeChunk("JUNK", std::string(99, 0))};
    WaveFormat float32 = MakeFloatFormat(2, 32, 48000);
    WaveFormat pcm16 = MakePcmFormat(2, 16, 44100);
    WaveOptions rf64;
    rf64.strRiffTag = "RF64";
    rf64.chunksBeforeFmt = {MakeChunk("ds64", LE64(1000) + LE64(40) + LE64(10) + LE32(0))};
    rf64.bOverrideDataSize = true;
    rf64.dwDataSize = 0xFFFFFFFFu;
    WaveOptions noPad;
    noPad.chunksBeforeFmt = {"bext" + LE32(603) + bext + "x"}; // odd, and no pad byte
    // Padded with a space: a chunk header seems to start at the pad as well
    // (" fmt", size 0x1020); the pad is taken as written.
    WaveOptions spacePad;
    spacePad.chunksBeforeFmt = {"bext" + LE32(603) + bext + "x "};
    spacePad.chunksBeforeData = {MakeChunk("JUNK", std::string(5000, 'j'))};
    // The text of a long comment holds the word "data" before byte 291.
    std::string comment = "Take notes: raw data inside; see the metadata sheet.";
    comment.resize(288, ' ');
    WaveOptions longList = Before({MakeChunk("LIST", "INFOICMT" + LE32(288) + comment)});
    WaveOptions bw64 = rf64;
    bw64.strRiffTag = "BW64";
    std::string riffSizeZero = BuildWave(pcm16, MakeSamples(pcm16, 10));
    PutLE32(riffSizeZero, 4, 0);
    struct Case
    {
        const char* pcName;
        WaveFormat fmt;
        WaveOptions opt;
        WORD wSampleFormat;
        std::string bytes; // when set, instead of building from fmt and opt
    } cases[] = {
        {"broadcast wave, data past byte 291", pcm24, bwf, 1, ""},
        {"odd bext without its pad byte", pcm24, noPad, 1, ""},
        // The size 40 of its "fmt " (a printable '(') stands where an id
        // would start after a pad.
        {"odd bext without its pad byte, then extensible",
         MakeExtensibleFormat(2, 24, 24, 48000, 1), noPad, 1, ""},
        {"odd bext padded with a space", pcm24, spacePad, 1, ""},
        {"LIST with the word data, data at byte 344", pcm16, longList, 1, ""},
        {"extensible 24-bit PCM", MakeExtensibleFormat(2, 24, 24, 48000, 1), WaveOptions(), 1, ""},
        {"extensible 20 bits in 32", MakeExtensibleFormat(4, 32, 20, 96000, 1), WaveOptions(), 1,
         ""},
        {"float 32-bit", float32, Before({MakeChunk("fact", LE32(10))}), 3, ""},
        {"extensible float 64-bit", MakeExtensibleFormat(1, 64, 64, 44100, 3), WaveOptions(), 3,
         ""},
        {"8 channels", MakePcmFormat(8, 16, 48000), WaveOptions(), 1, ""},
        {"32 channels of 8 bits", MakePcmFormat(32, 8, 8000), WaveOptions(), 1, ""},
        {"RF64", pcm16, rf64, 1, ""},
        {"BW64", pcm16, bw64, 1, ""},
        {"RIFF size left at 0", pcm16, WaveOptions(), 1, riffSizeZero},
    };
    for (const Case& c : cases)
    {
        std::string bytes =
            c.bytes.empty() ? BuildWave(c.fmt, MakeSamples(c.fmt, 10), c.opt) : c.bytes;
        HeaderRead r = ReadHeaderOf(bytes);
        ASSERT_EQ(1, r.iResult) << c.pcName << "\n" << r.trace;
        EXPECT_EQ(DataStartOf(c.fmt, c.opt), r.header.DataStart) << c.pcName;
        EXPECT_EQ(10u * c.fmt.wBlockSize, r.header.DataSize) << c.pcName;
        EXPECT_EQ(1, r.header.bChunked) << c.pcName;
        EXPECT_EQ(c.wSampleFormat, r.header.SampleFormat) << c.pcName;
        EXPECT_EQ(MakeFmtChunk(c.fmt).substr(8), r.header.FmtBody) << c.pcName;
        EXPECT_EQ(ParamTraceText(c.fmt, true), r.trace) << c.pcName;
    }
    HeaderRead r = ReadHeaderOf(BuildWave(pcm24, MakeSamples(pcm24, 10), bwf));
    EXPECT_EQ(bext, r.header.BextBody);
    EXPECT_EQ("<BWFXML/>", r.header.IXmlBody);
}

// Whatever is refused says why in the trace.
TEST(ReadHeader, RefusalsGiveTheirReason)
{
    WaveFormat fmt = MakePcmFormat(2, 16, 44100);
    const std::string good = BuildWave(fmt, MakeSamples(fmt, 16));
    auto patched32 = [&](size_t iOffset, uint32_t dw)
    {
        std::string s = good;
        PutLE32(s, iOffset, dw);
        return s;
    };
    auto patched16 = [&](size_t iOffset, uint16_t w)
    {
        std::string s = good;
        PutLE16(s, iOffset, w);
        return s;
    };
    auto patchedText = [&](size_t iOffset, const char* pcText)
    {
        std::string s = good;
        s.replace(iOffset, 4, pcText);
        return s;
    };
    auto built = [](const WaveFormat& f) { return BuildWave(f, MakeSamples(f, 4)); };
    WaveFormat f18 = fmt;
    f18.dwFmtExtra = 2;
    std::string noData =
        "RIFF" + LE32(200) + "WAVE" + MakeFmtChunk(fmt) + MakeChunk("LIST", std::string(100, 'x'));
    std::string cutSizeField = BuildWave(f18, std::string()).substr(0, 45);
    WaveFormat float24 = MakeFloatFormat(2, 24, 48000);
    WaveFormat adpcm = MakePcmFormat(1, 16, 8000);
    adpcm.wFormatID = 2;
    WaveFormat channels33 = MakePcmFormat(33, 8, 8000);
    WaveOptions rf64NoDs64;
    rf64NoDs64.strRiffTag = "RF64";
    const char* pcRate = "無効なサンプリングレートです。";
    const char* pcBlock = "無効なブロックサイズです。";
    const char* pcWidth = "無効な分解能です。";
    const char* pcPastEnd = "チャンクがファイルの終わりを越えています。";
    const char* pcNoData = "dataチャンクがありません。";
    struct Case
    {
        const char* pcName;
        std::string bytes;
        const char* pcReason;
    } cases[] = {
        {"empty file", std::string(), "WAVEファイルとしては短すぎます。"},
        {"20 bytes", good.substr(0, 20), pcPastEnd},
        {"44 bytes: header without data", BuildWave(fmt, std::string()),
         "dataチャンクにデータがありません。"},
        {"data tag size field cut off", cutSizeField, pcNoData},
        {"RIFX", patchedText(0, "RIFX"), "RIFFファイルではありません。"},
        {"WAVF", patchedText(8, "WAVF"), "WAVEファイルではありません。"},
        {"junk chunk where fmt belongs", patchedText(12, "junk"),
         "dataチャンクの前にfmtチャンクがありません。"},
        {"fmt size 15", patched32(16, 15), "fmtチャンクの大きさが無効です。"},
        {"fmt size 0xFFFFFF01", patched32(16, 0xFFFFFF01u), pcPastEnd},
        {"fmt size reaching the RIFF size", patched32(16, GetLE32(good, 4) - 8), pcPastEnd},
        {"16-bit float", patched16(20, 3), pcWidth},
        {"24-bit float", built(float24), pcWidth},
        {"compressed", built(adpcm), "未対応のフォーマットIDです。"},
        {"extensible in 16 bytes", patched16(20, 0xFFFE),
         "拡張フォーマットのfmtチャンクが無効です。"},
        {"extensible, unknown sub-format", built(MakeExtensibleFormat(2, 16, 16, 44100, 2)),
         "未対応のフォーマットIDです。"},
        {"extensible, more valid bits than the container",
         built(MakeExtensibleFormat(2, 16, 20, 44100, 1)),
         "拡張フォーマットの有効ビット数が無効です。"},
        {"no channels", patched16(22, 0), "無効なチャンネル数です。"},
        {"33 channels", built(channels33), "無効なチャンネル数です。"},
        {"three channels in 4-byte blocks", patched16(22, 3), pcBlock},
        {"rate 0", patched32(24, 0), pcRate},
        {"rate 200001", patched32(24, 200001), pcRate},
        {"data rate 0", patched32(28, 0), "無効なデータレートです。"},
        {"block size 0", patched16(32, 0), pcBlock},
        {"block size 9", patched16(32, 9), pcBlock},
        {"resolution 12", patched16(34, 12), pcWidth},
        {"resolution 0", patched16(34, 0), pcWidth},
        {"resolution 40", patched16(34, 40), pcWidth},
        {"no data chunk", noData, pcNoData},
        {"RF64 without ds64", BuildWave(fmt, MakeSamples(fmt, 4), rf64NoDs64),
         "RF64ファイルにds64チャンクがありません。"},
    };
    for (const Case& c : cases)
    {
        HeaderRead r = ReadHeaderOf(c.bytes);
        EXPECT_EQ(0, r.iResult) << c.pcName;
        EXPECT_NE(std::string::npos, r.trace.find(c.pcReason)) << c.pcName << "\n" << r.trace;
    }
}

TEST(ReadHeader, InconsistentParametersLeaveTheirReasonInTheTrace)
{
    WaveFormat offRate = MakePcmFormat(2, 16, 44100);
    offRate.dwDataRate += 1;
    WaveFormat offBlock = MakePcmFormat(2, 24, 48000);
    offBlock.wBlockSize = 4;
    offBlock.dwDataRate = 4 * 48000;
    struct Case
    {
        WaveFormat fmt;
        const char* pcReason;
    } cases[] = {
        {offRate, "無効なデータレートです。\n"},
        {offBlock, "無効なブロックサイズです。\n"},
    };
    for (const Case& c : cases)
    {
        HeaderRead r = ReadHeaderOf(BuildWave(c.fmt, MakeSampleBytes(64)));
        EXPECT_EQ(0, r.iResult);
        EXPECT_EQ(c.pcReason + ParamTraceText(c.fmt, false) + "※　無効なWaveパラメータです。\n",
                  r.trace);
    }
}

TEST(ReadHeader, NeedsAnOpenFileAndReadBytes)
{
    CMyWaveFile closed;
    EXPECT_EQ(0, closed.ReadHeader());

    WaveFormat fmt = MakePcmFormat(2, 16, 44100);
    std::string good = BuildWave(fmt, MakeSamples(fmt, 16));
    // A transfer buffer smaller than the first kilobyte: the chunk walk reads
    // in as many pieces as it needs.
    EXPECT_EQ(1, ReadHeaderOf(good, 40).iResult);
    EXPECT_EQ(1, ReadHeaderOf(good, 1024).iResult);

    // A failing read is a refusal, not a header made of stale bytes.
    GetPlatformHooks().pfnReadFile = [](HANDLE, LPVOID, DWORD, LPDWORD pDone)
    {
        *pDone = 0;
        SetLastError(ERROR_READ_FAULT);
        return (BOOL)FALSE;
    };
    HeaderRead r = ReadHeaderOf(good);
    ResetPlatformHooks();
    EXPECT_EQ(0, r.iResult);
    EXPECT_NE(std::string::npos, r.trace.find("ファイルを読み込めません。")) << r.trace;
}

TEST(ReadHeader, MangledHeadersNeverReachOutsideTheWindow)
{
    WaveFormat fmt = MakePcmFormat(2, 16, 44100);
    const std::string seed = BuildWave(fmt, MakeSamples(fmt, 8), Before({ListWithDataText()}));
    std::mt19937 rng(20240611u);
    for (int iRound = 0; iRound < 300; ++iRound)
    {
        std::string bytes = seed;
        int nFlips = 1 + (int)(rng() % 6);
        for (int i = 0; i < nFlips; ++i)
            bytes[rng() % 96] = (char)rng();
        bytes.resize(20 + rng() % (bytes.size() - 19));
        HeaderRead r = ReadHeaderOf(bytes, 4096);
        ASSERT_NE(-1, r.iResult);
        if (r.iResult == 1)
        {
            // The tag and its size field lay inside what was read.
            ASSERT_LE(r.header.DataStart, bytes.size()) << iRound;
            ASSERT_LE(r.header.DataTagOffset, 255u) << iRound;
            ASSERT_EQ(std::string("DATA"),
                      [&]
                      {
                          std::string tag = bytes.substr(r.header.DataStart - 8, 4);
                          for (char& ch : tag)
                              ch = (char)toupper((unsigned char)ch);
                          return tag;
                      }())
                << iRound;
        }
    }
}

// Sparse files of 4 GiB and a bit: RF64 gives its size in ds64; a plain RIFF
// whose 32-bit data size wrapped (or stayed all ones) runs to the end.
TEST(ReadHeader, SizesPastFourGiB)
{
    const unsigned long long qwFileSize = 0x100000000ull + 4096;
    WaveFormat fmt = MakePcmFormat(2, 16, 48000);
    std::string plain = BuildWave(fmt, MakeSampleBytes(64));
    WaveOptions rf64;
    rf64.strRiffTag = "RF64";
    rf64.chunksBeforeFmt = {
        MakeChunk("ds64", LE64(qwFileSize - 8) + LE64(qwFileSize - 80) + LE64(0) + LE32(0))};
    rf64.bOverrideDataSize = true;
    rf64.dwDataSize = 0xFFFFFFFFu;
    const char* pcWrapped = "4GiBを超えるRIFFファイルのため";
    struct Case
    {
        const char* pcName;
        std::string head;
        uint32_t dwSizeField; // written at head.size() - 68, the data size field
        unsigned long long qwDataSize;
        bool bWrapTrace;
    } cases[] = {
        {"plain RIFF, size wrapped", plain, (uint32_t)(qwFileSize - 44), qwFileSize - 44, true},
        {"plain RIFF, size all ones", plain, 0xFFFFFFFFu, qwFileSize - 44, true},
        {"plain RIFF, size not matching", plain, 1000, 1000, false},
        {"RF64", BuildWave(fmt, MakeSampleBytes(64), rf64), 0xFFFFFFFFu, qwFileSize - 80, false},
    };
    CString strPath = JoinPath(MakeTestDir("big"), "big.wav");
    for (const Case& c : cases)
    {
        std::string head = c.head;
        PutLE32(head, head.size() - 68, c.dwSizeField);
        ASSERT_TRUE(WriteSparse(strPath, head, qwFileSize - 16, std::string(16, 'e')));
        HeaderRead r = ReadHeaderOfFile(strPath);
        DeleteFileA(strPath);
        ASSERT_EQ(1, r.iResult) << c.pcName;
        EXPECT_EQ(c.qwDataSize, r.header.DataSize) << c.pcName;
        EXPECT_EQ(c.bWrapTrace, r.trace.find(pcWrapped) != std::string::npos) << c.pcName << "\n"
                                                                              << r.trace;
    }
}
