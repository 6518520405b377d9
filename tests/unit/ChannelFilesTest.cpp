// The channel files' headers: the format rules, the mask, RF64.
#include "engine/ChannelFiles.h"
#include "engine/ChannelList.h"
#include "engine/PieceShape.h"
#include "engine/RiffChunks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The channel file's "fmt ": plain for PCM of up to 16 bits in one or two
// channels, else extensible with the kept channels' mask bits.
TEST(ChannelFiles, HeadersFollowTheFormatRules)
{
    auto extensible = [](WORD wChannels, WORD wBits, WORD wValid, DWORD dwMask, WORD wSub)
    {
        std::string str;
        AppendLE(&str, 0xFFFE, 2);
        AppendLE(&str, wChannels, 2);
        AppendLE(&str, 48000, 4);
        AppendLE(&str, 48000 * wChannels * (wBits / 8), 4);
        AppendLE(&str, wChannels * (wBits / 8), 2);
        AppendLE(&str, wBits, 2);
        AppendLE(&str, 22, 2);
        AppendLE(&str, wValid, 2);
        AppendLE(&str, dwMask, 4);
        AppendLE(&str, wSub, 2);
        str.append("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
        return str;
    };
    auto plain = [](WORD wTag, WORD wChannels, WORD wBits)
    {
        std::string str;
        AppendLE(&str, wTag, 2);
        AppendLE(&str, wChannels, 2);
        AppendLE(&str, 48000, 4);
        AppendLE(&str, 48000 * wChannels * (wBits / 8), 4);
        AppendLE(&str, wChannels * (wBits / 8), 2);
        AppendLE(&str, wBits, 2);
        return str;
    };
    auto source = [](const std::string& strFmt, WORD wSampleFormat)
    {
        CMyWaveHeader header;
        header.bChunked = 1;
        header.FmtBody = strFmt;
        const BYTE* pb = (const BYTE*)strFmt.data();
        header.Param.FormatID = GetLE16(pb);
        header.Param.Channels = GetLE16(pb + 2);
        header.Param.SamplingRate = GetLE32(pb + 4);
        header.Param.DataRate = GetLE32(pb + 8);
        header.Param.BlockSize = GetLE16(pb + 12);
        header.Param.Resolution = GetLE16(pb + 14);
        header.SampleFormat = wSampleFormat;
        return header;
    };
    const struct
    {
        const char* pcWhat;
        CMyWaveHeader src;
        CMyChannelGroup group;
        std::string strFmt;
    } kCases[] = {
        {"16-bit stereo BWF, a channel", source(plain(1, 2, 16), 1), {1}, plain(1, 1, 16)},
        {"16-bit 6 channels, a pair",
         source(extensible(6, 16, 16, 0x3F, 1), 1),
         {2, 3},
         plain(1, 2, 16)},
        {"16-bit 6 channels, three",
         source(extensible(6, 16, 16, 0x3F, 1), 1),
         {0, 1, 2},
         extensible(3, 16, 16, 0x7, 1)},
        {"24-bit, a channel",
         source(extensible(6, 24, 24, 0x60F, 1), 1),
         {4},
         extensible(1, 24, 24, 0x200, 1)},
        {"24-bit, a pair",
         source(extensible(6, 24, 24, 0x60F, 1), 1),
         {1, 5},
         extensible(2, 24, 24, 0x402, 1)},
        {"against the mask's order",
         source(extensible(6, 24, 24, 0x3F, 1), 1),
         {1, 0},
         extensible(2, 24, 24, 0, 1)},
        {"outside the mask",
         source(extensible(6, 24, 24, 0x3, 1), 1),
         {1, 2},
         extensible(2, 24, 24, 0, 1)},
        {"20 valid bits in 24",
         source(extensible(2, 24, 20, 0x3, 1), 1),
         {0},
         extensible(1, 24, 20, 0x1, 1)},
        {"16 valid bits in 32",
         source(extensible(2, 32, 16, 0x3, 1), 1),
         {0},
         extensible(1, 32, 16, 0x1, 1)},
        {"float", source(extensible(4, 32, 32, 0x33, 3), 3), {3}, extensible(1, 32, 32, 0x20, 3)},
        {"plain float", source(plain(3, 2, 32), 3), {0}, extensible(1, 32, 32, 0, 3)},
        {"plain 24-bit", source(plain(1, 2, 24), 1), {0}, extensible(1, 24, 24, 0, 1)},
    };
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.pcWhat);
        CMyWaveHeader out;
        MakeChannelHeader(c.src, c.group, &out);
        EXPECT_EQ(out.FmtBody, c.strFmt);
        EXPECT_EQ(out.Param.Channels, c.group.size());
        EXPECT_EQ(out.Param.BlockSize, GetLE16(c.strFmt.data() + 12));
        EXPECT_EQ(out.Param.FormatID, GetLE16(c.strFmt.data()));
        EXPECT_EQ(out.SampleFormat, c.src.SampleFormat);
    }

    // A canonical source keeps the canonical header.
    CMyWaveHeader canonical;
    canonical.Param.FormatID = 1;
    canonical.Param.Channels = 2;
    canonical.Param.SamplingRate = 8000;
    canonical.Param.BlockSize = 4;
    canonical.Param.Resolution = 16;
    CMyWaveHeader out;
    MakeChannelHeader(canonical, {1}, &out);
    EXPECT_EQ(out.bChunked, 0);
    EXPECT_TRUE(out.FmtBody.empty());
    EXPECT_EQ(out.Param.BlockSize, 2);
    EXPECT_EQ(out.Param.DataRate, 16000u);
}

// A channel file is RF64 when its own bytes reach 4 GiB, not the source's.
TEST(ChannelFiles, AChannelFileIsRf64WhenItReachesFourGiB)
{
    CMyWaveHeader header;
    header.bChunked = 1;
    header.Param.FormatID = 1;
    header.Param.Channels = 8;
    header.Param.SamplingRate = 48000;
    header.Param.BlockSize = 24;
    header.Param.Resolution = 24;
    header.FmtBody = std::string(16, '\0');
    CMyPlan plan;
    plan.wBlockSize = 24;
    CMyPlanPiece piece;
    piece.qwFrames = 0x100000000ull / 3 - 100; // a mono file of just below 4 GiB
    plan.Pieces.push_back(piece);
    CMyChannelRequest request;
    ASSERT_TRUE(ParseChannelList("1,2-3", &request));
    ASSERT_TRUE(PlanChannelFiles(header, request, &plan));
    const CMyOutputHeaders headers(header, plan);
    const int kRf64[] = {0, 1};
    for (size_t i = 0; i < plan.Pieces.size(); ++i)
    {
        SCOPED_TRACE(i);
        const CMyPlanPiece& planned = plan.Pieces[i];
        EXPECT_EQ(ShapePiece(headers.Of(planned), plan.GetPieceBytes(i), 0, {}, 0).bRf64, kRf64[i]);
    }
}
