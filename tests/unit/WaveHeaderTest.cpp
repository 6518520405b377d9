// The format parameters' setters, consistency check and dump, and the
// canonical 44-byte header.
#include "engine/WaveHeader.h"

#include "engine/PieceHeader.h"

#include "TestSupport.h"
#include "WaveBuilder.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::string ParamLines(const CSonvelBaseParam& p)
{
    WaveFormat fmt;
    fmt.wFormatID = p.FormatID;
    fmt.wChannels = p.Channels;
    fmt.wResolution = p.Resolution;
    fmt.wBlockSize = p.BlockSize;
    fmt.dwSamplingRate = p.SamplingRate;
    fmt.dwDataRate = p.DataRate;
    return ParamTraceText(fmt, false);
}

CSonvelBaseParam Param(WORD wChannels, WORD wResolution, WORD wBlock, DWORD dwRate,
                       DWORD dwDataRate)
{
    CSonvelBaseParam p;
    p.Channels = wChannels;
    p.Resolution = wResolution;
    p.BlockSize = wBlock;
    p.SamplingRate = dwRate;
    p.DataRate = dwDataRate;
    return p;
}
} // namespace

TEST(SonvelBaseParam, SettersStoreOnlyAcceptableValues)
{
    // Each refusal sits just past an accepted boundary value and keeps it.
    CSonvelBaseParam p;
    EXPECT_EQ(0, p.SetFormatID(3));
    EXPECT_EQ(0, p.SetFormatID(0xFFFE));
    EXPECT_EQ(1, p.SetChannels(1));
    EXPECT_EQ(0, p.SetChannels(3));
    EXPECT_EQ(0, p.SetChannels(0));
    EXPECT_EQ(1, p.SetSamplingRate(200000));
    EXPECT_EQ(0, p.SetSamplingRate(200001));
    EXPECT_EQ(0, p.SetSamplingRate(0));
    EXPECT_EQ(1, p.SetDataRate(7));
    EXPECT_EQ(0, p.SetDataRate(0));
    EXPECT_EQ(1, p.SetBlockSize(8));
    EXPECT_EQ(0, p.SetBlockSize(9));
    EXPECT_EQ(0, p.SetBlockSize(0));
    EXPECT_EQ(1, p.SetResolution(24));
    EXPECT_EQ(0, p.SetResolution(12));
    EXPECT_EQ(0, p.SetResolution(40));
    EXPECT_EQ(0, p.SetResolution(0));
    EXPECT_EQ(ParamLines(Param(1, 24, 8, 200000, 7)), ParamLines(p));
}

TEST(SonvelBaseParam, DefaultsAreCdStereoAndCopyTakesAllFields)
{
    CSonvelBaseParam p = Param(1, 8, 1, 8000, 8000);
    p.FormatID = 7;
    CSonvelBaseParam q;
    q.CopyFrom(p);
    q.Dump(0);
    q.SetDefault();
    q.Dump(1);
    EXPECT_EQ(ParamLines(p) + "=====  CSonvelBaseParam  =====\n" +
                  ParamLines(Param(2, 16, 4, 44100, 176400)),
              ReadTrace());
}

TEST(SonvelBaseParam, ValidateGivesTheFirstReasonThenTheParameters)
{
    struct Case
    {
        CSonvelBaseParam p;
        const char* pcReason; // null: consistent
    };
    CSonvelBaseParam badFormat;
    badFormat.FormatID = 3;
    const Case cases[] = {
        {Param(2, 16, 4, 44100, 176400), nullptr},
        {Param(1, 8, 1, 8000, 8000), nullptr},
        {Param(2, 24, 6, 48000, 288000), nullptr},
        {Param(1, 32, 4, 200000, 800000), nullptr},
        {badFormat, "未対応のフォーマットIDです。\n"},
        {Param(3, 16, 6, 44100, 264600), "無効なチャンネル数です。\n"},
        {Param(2, 16, 4, 0, 176400), "無効なサンプリングレートです。\n"},
        {Param(2, 16, 4, 200001, 800004), "無効なサンプリングレートです。\n"},
        {Param(2, 16, 4, 44100, 0), "無効なデータレートです。\n"},
        {Param(2, 16, 0, 44100, 176400), "無効なブロックサイズです。\n"},
        {Param(2, 16, 9, 44100, 176400), "無効なブロックサイズです。\n"},
        {Param(2, 12, 3, 44100, 132300), "無効な分解能です。\n"},
        {Param(2, 40, 10, 44100, 441000), "無効なブロックサイズです。\n"}, // block checked first
        {Param(2, 0, 4, 44100, 176400), "無効なブロックサイズです。\n"},
        {Param(2, 24, 4, 44100, 176400), "無効なブロックサイズです。\n"},
        {Param(2, 16, 4, 44100, 176401), "無効なデータレートです。\n"},
    };
    for (const Case& c : cases)
    {
        ClearTrace();
        const CSonvelBaseParam& p = c.p;
        EXPECT_EQ(c.pcReason == nullptr ? 1 : 0, p.Validate(0));
        EXPECT_EQ("", ReadTrace());
        EXPECT_EQ(c.pcReason == nullptr ? 1 : 0, p.Validate(1));
        std::string expected;
        if (c.pcReason != nullptr)
            expected = std::string(c.pcReason) + ParamLines(p);
        EXPECT_EQ(expected, ReadTrace()) << p.Channels << "ch " << p.Resolution << "bit";
    }
}

TEST(WaveHeader, BuildHeaderWritesTheCanonicalLayout)
{
    CMyWaveHeader header;
    header.Param = Param(1, 24, 3, 96000, 288000);
    CMyByteBuff out;
    ASSERT_EQ(44, header.BuildHeader(&out, 3000));
    ASSERT_EQ(44u, out.GetLength());
    WaveFormat fmt = MakePcmFormat(1, 24, 96000);
    std::string expected = BuildWave(fmt, std::string()).substr(0, 40) + LE32(3000);
    PutLE32(expected, 4, 3036);
    EXPECT_EQ(expected, std::string((const char*)out.GetBuff(), 44));

    ASSERT_EQ(44, header.BuildHeader(&out, 0));
    std::string empty((const char*)out.GetBuff(), 44);
    EXPECT_EQ(36u, GetLE32(empty, 4));
    EXPECT_EQ(0u, GetLE32(empty, 40));

    // Past 4 GiB the RIFF size stays at its largest value instead of wrapping.
    ASSERT_EQ(44, header.BuildHeader(&out, 0xFFFFFFF0u));
    EXPECT_EQ(0xFFFFFFFFu, GetLE32(std::string((const char*)out.GetBuff(), 44), 4));
}

TEST(WaveHeader, BuildHeaderGrowsOnlyASmallBuffer)
{
    CMyWaveHeader header;
    CMyByteBuff big;
    ASSERT_EQ(1, big.Reallocate(100, 0));
    ASSERT_EQ(44, header.BuildHeader(&big, 8));
    EXPECT_EQ(100u, big.GetCapacity());

    CMyByteBuff small;
    ASSERT_EQ(1, small.Reallocate(10, 0));
    GetPlatformHooks().pfnAlloc = [](size_t) { return (void*)nullptr; };
    int iFailed = header.BuildHeader(&small, 8);
    ResetPlatformHooks();
    EXPECT_EQ(0, iFailed);
    EXPECT_EQ(10u, small.GetCapacity());
    EXPECT_EQ(0, header.BuildHeader(nullptr, 8));
}

// The 4 GiB line: a piece whose file would reach it takes the RF64 form,
// sizes in ds64 and all ones in the 32-bit fields; below it the header stays
// canonical.
TEST(PieceHeader, FilesReachingFourGiBAreRf64)
{
    CMyWaveHeader header; // stereo 16-bit at 44100 Hz, read by the first kilobyte
    EXPECT_EQ(0, IsRf64Piece(header, 0x100000000ull - 45, 0));
    EXPECT_EQ(1, IsRf64Piece(header, 0x100000000ull - 44, 0));
    CMyByteBuff out;
    const ULONGLONG qwData = 5ull << 30;
    ASSERT_EQ(80u, BuildPieceHeader(header, qwData, 0, 1, 1, &out));
    std::string expected = "RF64" + LE32(0xFFFFFFFFu) + "WAVE" + "ds64" + LE32(28) +
                           LE64(72 + qwData) + LE64(qwData) + LE64(qwData / 4) + LE32(0) +
                           MakeFmtChunk(MakePcmFormat(2, 16, 44100)) + "data" + LE32(0xFFFFFFFFu);
    EXPECT_EQ(expected, std::string((const char*)out.GetBuff(), out.GetLength()));
    ASSERT_EQ(44u, BuildPieceHeader(header, 1000, 0, 1, 0, &out));
    EXPECT_EQ("RIFF" + LE32(1036) + "WAVE" + MakeFmtChunk(MakePcmFormat(2, 16, 44100)) + "data" +
                  LE32(1000),
              std::string((const char*)out.GetBuff(), 44));
}
