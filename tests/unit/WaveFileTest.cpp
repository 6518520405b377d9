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

HeaderRead ReadHeaderOf(const std::string& bytes, DWORD dwTransfer = 0x800000)
{
    static int s_n = 0;
    CString strPath = JoinPath(MakeTestDir("wav"), "source.wav");
    ++s_n;
    HeaderRead r;
    if (!WriteBytes(strPath, bytes))
        return r;
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

// A LIST/INFO chunk whose text holds the word "data".
std::string ListWithDataText()
{
    return MakeChunk("LIST", "INFOICMT" + LE32(16) + "raw data inside.");
}
} // namespace

TEST(ReadHeader, AcceptsTheFilesPeopleHave)
{
    WaveFormat f18 = MakePcmFormat(2, 16, 44100);
    f18.dwFmtExtra = 2;
    WaveOptions mixedCase;
    mixedCase.strRiffTag = "riff";
    mixedCase.strWaveTag = "wave";
    mixedCase.strFmtTag = "FMT ";
    mixedCase.strDataTag = "DaTa";
    WaveOptions claimsMore;
    claimsMore.bOverrideDataSize = true;
    claimsMore.dwDataSize = 1000000;
    std::string fact = MakeChunk("fact", LE32(250));
    std::string oddList = MakeChunk("LIST", "INFOx"); // 5 bytes and a pad byte
    // Filler that puts the data tag at byte 290: chunks start on even bytes,
    // and 291 is the last start allowed.
    std::string farChunk = MakeChunk("junk", std::string(290 - 36 - 8, 'j'));
    struct Case
    {
        const char* pcName;
        WaveFormat fmt;
        WaveOptions opt;
        DWORD dwFrames;
        DWORD dwExpectedDataSize;
    } cases[] = {
        {"8-bit mono", MakePcmFormat(1, 8, 8000), WaveOptions(), 100, 100},
        {"16-bit stereo", MakePcmFormat(2, 16, 44100), WaveOptions(), 250, 1000},
        {"24-bit stereo", MakePcmFormat(2, 24, 48000), WaveOptions(), 100, 600},
        {"32-bit mono", MakePcmFormat(1, 32, 96000), WaveOptions(), 100, 400},
        {"32-bit stereo at the top rate", MakePcmFormat(2, 32, 200000), WaveOptions(), 10, 80},
        {"mixed-case tags", MakePcmFormat(2, 16, 22050), mixedCase, 10, 40},
        {"18-byte fmt", f18, WaveOptions(), 10, 40},
        {"LIST before data", MakePcmFormat(2, 16, 44100), Before({ListWithDataText()}), 10, 40},
        {"fact and LIST before data", MakePcmFormat(1, 16, 11025),
         Before({fact, ListWithDataText()}), 10, 20},
        {"odd-sized chunk before data", MakePcmFormat(1, 8, 8000), Before({oddList}), 7, 7},
        {"data tag at byte 290", MakePcmFormat(1, 8, 8000), Before({farChunk}), 5, 5},
        {"claims more data than it holds", MakePcmFormat(2, 16, 44100), claimsMore, 10, 1000000},
        {"one sample byte", MakePcmFormat(1, 8, 8000), WaveOptions(), 1, 1},
    };
    for (const Case& c : cases)
    {
        std::string bytes = BuildWave(c.fmt, MakeSamples(c.fmt, c.dwFrames), c.opt);
        HeaderRead r = ReadHeaderOf(bytes);
        ASSERT_EQ(1, r.iResult) << c.pcName;
        size_t nStart = DataStartOf(c.fmt, c.opt);
        EXPECT_EQ(nStart, r.header.DataStart) << c.pcName;
        EXPECT_EQ(nStart - 44, r.header.DataTagOffset) << c.pcName;
        EXPECT_EQ(c.dwExpectedDataSize, r.header.DataSize) << c.pcName;
        EXPECT_EQ(44u, r.header.HeaderLength) << c.pcName;
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

TEST(ReadHeader, RefusesBrokenHeadersSilently)
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
    WaveFormat f18 = fmt;
    f18.dwFmtExtra = 2;
    std::string noData =
        "RIFF" + LE32(200) + "WAVE" + MakeFmtChunk(fmt) + MakeChunk("LIST", std::string(100, 'x'));
    std::string tooFar = BuildWave(fmt, MakeSamples(fmt, 4),
                                   Before({MakeChunk("junk", std::string(292 - 36 - 8, 'j'))}));
    std::string hugeChunk =
        BuildWave(fmt, MakeSamples(fmt, 4), Before({MakeChunk("junk", std::string(8, 'j'))}));
    PutLE32(hugeChunk, 40, 0xFFFFFFF8u); // would wrap back to byte 36 in 32 bits
    std::string cutSizeField = BuildWave(f18, std::string()).substr(0, 45);
    struct Case
    {
        const char* pcName;
        std::string bytes;
    } cases[] = {
        {"empty file", std::string()},
        {"20 bytes", good.substr(0, 20)},
        {"44 bytes: header without data", BuildWave(fmt, std::string())},
        {"data tag size field cut off", cutSizeField},
        {"RIFX", patchedText(0, "RIFX")},
        {"RIFF size 35", patched32(4, 35)},
        {"WAVF", patchedText(8, "WAVF")},
        {"junk chunk where fmt belongs", patchedText(12, "junk")},
        {"fmt size 15", patched32(16, 15)},
        {"fmt size 0xFFFFFF01", patched32(16, 0xFFFFFF01u)},
        {"fmt size reaching the RIFF size", patched32(16, GetLE32(good, 4) - 8)},
        {"floating point", patched16(20, 3)},
        {"extensible", patched16(20, 0xFFFE)},
        {"no channels", patched16(22, 0)},
        {"three channels", patched16(22, 3)},
        {"rate 0", patched32(24, 0)},
        {"rate 200001", patched32(24, 200001)},
        {"data rate 0", patched32(28, 0)},
        {"block size 0", patched16(32, 0)},
        {"block size 9", patched16(32, 9)},
        {"resolution 12", patched16(34, 12)},
        {"resolution 0", patched16(34, 0)},
        {"resolution 40", patched16(34, 40)},
        {"no data chunk", noData},
        {"data tag at byte 292", tooFar},
        {"chunk size wrapping around", hugeChunk},
        {"fmt size pointing past the data tag", patched32(16, 18)},
    };
    for (const Case& c : cases)
    {
        HeaderRead r = ReadHeaderOf(c.bytes);
        EXPECT_EQ(0, r.iResult) << c.pcName;
        EXPECT_EQ("", r.trace) << c.pcName;
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
    // A transfer buffer too small for the 44 header bytes.
    EXPECT_EQ(0, ReadHeaderOf(good, 40).iResult);
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
    EXPECT_EQ("", r.trace);
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
