// Split by channel at the engine layer: the channel list, the iXML track
// names and list, the channel files' names and headers.
#include "engine/ChannelFiles.h"
#include "engine/ChannelList.h"
#include "engine/IXmlTracks.h"
#include "engine/PieceNames.h"
#include "engine/PieceShape.h"
#include "engine/RequestBuilder.h"
#include "engine/RiffChunks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::string GroupsText(const CMyChannelRequest& request)
{
    if (request.bEach)
        return "each";
    std::string str;
    for (const CMyChannelGroup& group : request.Groups)
    {
        str += str.empty() ? "" : "|";
        for (size_t i = 0; i < group.size(); ++i)
            str += (i != 0 ? " " : "") + std::to_string(group[i]);
    }
    return str;
}

// A recorder's iXML: a track per (channel index, interleave index, name).
struct Track
{
    int iChannel;
    int iInterleave;
    const char* pcName;
};
std::string MakeIXml(const std::vector<Track>& tracks)
{
    std::string str = "<?xml version=\"1.0\"?><BWFXML><PROJECT>p</PROJECT><TRACK_LIST>\n"
                      "<TRACK_COUNT>" +
                      std::to_string(tracks.size()) + "</TRACK_COUNT>\n";
    for (const Track& t : tracks)
        str += "<TRACK><CHANNEL_INDEX>" + std::to_string(t.iChannel) +
               "</CHANNEL_INDEX><INTERLEAVE_INDEX>" + std::to_string(t.iInterleave) +
               "</INTERLEAVE_INDEX><NAME>" + t.pcName + "</NAME><FUNCTION>x</FUNCTION></TRACK>\n";
    return str + "</TRACK_LIST></BWFXML>";
}

std::string NamesText(const std::string& strXml, WORD wChannels)
{
    std::vector<std::string> names;
    ReadIXmlTrackNames(strXml, wChannels, &names);
    std::string str;
    for (const std::string& strName : names)
        str += "[" + strName + "]";
    return str;
}
} // namespace

TEST(ChannelList, ListsGiveTheGroupsTabled)
{
    const struct
    {
        const char* pcList;
        int bParsed;
        const char* pcGroups;
    } kCases[] = {
        {"each", 1, "each"},   {"1-2,3,5", 1, "1 2|3|5"},
        {"3", 1, "3"},         {"2-1", 1, "2 1"},
        {"1-4", 1, "1 2 3 4"}, {"1,1", 1, "1|1"},
        {"65535", 1, "65535"}, {"", 0, ""},
        {"0", 0, ""},          {"1-0", 0, ""},
        {"1-", 0, ""},         {"-2", 0, ""},
        {",1", 0, ""},         {"1,", 0, ""},
        {"1,,2", 0, ""},       {"1 2", 0, ""},
        {"1-2-3", 0, ""},      {"65536", 0, ""},
        {"Each", 0, ""},       {"each,1", 0, ""},
        {"x", 0, ""},
    };
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.pcList);
        CMyChannelRequest request;
        EXPECT_EQ(ParseChannelList(c.pcList, &request), c.bParsed);
        EXPECT_EQ(GroupsText(request), c.pcGroups);
        EXPECT_EQ(request.IsSet(), c.bParsed);
    }
}

TEST(ChannelList, ASourceLackingAChannelIsRefusedWithIt)
{
    CMyChannelRequest request;
    ASSERT_TRUE(ParseChannelList("1-2,5,3", &request));
    std::vector<CMyChannelGroup> groups;
    DWORD dwMissing = 0;
    EXPECT_TRUE(ResolveChannelGroups(request, 5, &groups, &dwMissing));
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0], CMyChannelGroup({0, 1}));
    EXPECT_EQ(groups[1], CMyChannelGroup({4}));
    EXPECT_FALSE(ResolveChannelGroups(request, 4, &groups, &dwMissing));
    EXPECT_EQ(dwMissing, 5u);
    EXPECT_TRUE(groups.empty());

    ASSERT_TRUE(ParseChannelList("each", &request));
    ASSERT_TRUE(ResolveChannelGroups(request, 3, &groups, &dwMissing));
    EXPECT_EQ(groups, std::vector<CMyChannelGroup>({{0}, {1}, {2}}));
}

TEST(ChannelList, GroupsAreNamedAfterTheirTracksOrNumbers)
{
    const std::vector<CString> names = {"Boom", "Lav 1", "", "Mix L"};
    const struct
    {
        CMyChannelGroup group;
        const char* pcName;
    } kCases[] = {
        {{0}, "Boom"},     {{0, 1}, "Boom+Lav 1"}, {{3, 0}, "Mix L+Boom"}, {{2}, "ch3"},
        {{1, 2}, "ch2-3"}, {{4}, "ch5"},           {{3, 2, 1}, "ch4-2"},
    };
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.pcName);
        EXPECT_STREQ(MakeChannelName(c.group, names), c.pcName);
    }
}

// INTERLEAVE_INDEX, not CHANNEL_INDEX nor the order of the list, names a
// channel; XML the reader cannot follow leaves channels unnamed.
TEST(IXmlTracks, NamesGoToTheirInterleavePlaces)
{
    const std::string strGood = MakeIXml({{1, 2, "Boom"}, {7, 1, "Lav &amp; 1"}, {3, 4, " Mix "}});
    const struct
    {
        const char* pcWhat;
        std::string strXml;
        WORD wChannels;
        const char* pcNames;
    } kCases[] = {
        {"a recorder's list", strGood, 4, "[Lav & 1][Boom][][Mix]"},
        {"fewer channels than tracks", strGood, 1, "[Lav & 1]"},
        {"no iXML", "", 2, "[][]"},
        {"no track list", "<BWFXML><NAME>x</NAME></BWFXML>", 1, "[]"},
        {"list not closed", strGood.substr(0, strGood.find("</TRACK_LIST>")), 2, "[][]"},
        {"track not closed",
         "<TRACK_LIST><TRACK><INTERLEAVE_INDEX>1</INTERLEAVE_INDEX><NAME>a</NAME></TRACK_LIST>", 1,
         "[]"},
        {"index not a number",
         "<TRACK_LIST><TRACK><INTERLEAVE_INDEX>1a</INTERLEAVE_INDEX><NAME>a</NAME></TRACK>"
         "</TRACK_LIST>",
         1, "[]"},
        {"index 0", MakeIXml({{1, 0, "a"}}), 1, "[]"},
        {"index too large", MakeIXml({{1, 70000, "a"}}), 1, "[]"},
        {"first of two tracks at one place", MakeIXml({{1, 1, "a"}, {2, 1, "b"}}), 1, "[a]"},
        {"first track at a place without a name",
         "<TRACK_LIST><TRACK><INTERLEAVE_INDEX>1</INTERLEAVE_INDEX></TRACK><TRACK>"
         "<INTERLEAVE_INDEX>1</INTERLEAVE_INDEX><NAME>b</NAME></TRACK></TRACK_LIST>",
         1, "[]"},
        {"name outside its track",
         "<TRACK_LIST><TRACK><INTERLEAVE_INDEX>1</INTERLEAVE_INDEX></TRACK><NAME>a</NAME>"
         "</TRACK_LIST>",
         1, "[]"},
    };
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.pcWhat);
        EXPECT_EQ(NamesText(c.strXml, c.wChannels), c.pcNames);
    }
}

TEST(IXmlTracks, TheListIsReducedToTheGroupInItsOrder)
{
    const std::string strXml = MakeIXml({{11, 1, "A"}, {12, 2, "B"}, {13, 3, "C"}, {14, 4, "D"}});
    const std::string strHead = "<?xml version=\"1.0\"?><BWFXML><PROJECT>p</PROJECT><TRACK_LIST>\n";
    auto track = [](int iChannel, int iInterleave, const char* pcName)
    {
        return "<TRACK><CHANNEL_INDEX>" + std::to_string(iChannel) +
               "</CHANNEL_INDEX><INTERLEAVE_INDEX>" + std::to_string(iInterleave) +
               "</INTERLEAVE_INDEX><NAME>" + pcName + "</NAME><FUNCTION>x</FUNCTION></TRACK>";
    };
    EXPECT_EQ(ReduceIXmlTracks(strXml, {3, 1}), strHead + "<TRACK_COUNT>2</TRACK_COUNT>\n" +
                                                    track(14, 1, "D") + "\n" + track(12, 2, "B") +
                                                    "\n</TRACK_LIST></BWFXML>");
    EXPECT_EQ(ReduceIXmlTracks(strXml, {2}), strHead + "<TRACK_COUNT>1</TRACK_COUNT>\n" +
                                                 track(13, 1, "C") + "\n</TRACK_LIST></BWFXML>");
    // A channel without a track has none in the file either.
    const std::string strFew = MakeIXml({{1, 1, "A"}});
    EXPECT_EQ(ReduceIXmlTracks(strFew, {1}),
              strHead + "<TRACK_COUNT>0</TRACK_COUNT>\n\n</TRACK_LIST></BWFXML>");
    // What cannot be followed is carried as it is.
    const std::string strOpen = strXml.substr(0, strXml.find("</TRACK_LIST>"));
    EXPECT_EQ(ReduceIXmlTracks(strOpen, {0}), strOpen);
    EXPECT_EQ(ReduceIXmlTracks("<BWFXML/>", {0}), "<BWFXML/>");
}

// The files of each piece follow each other, named from the template with
// the piece's number; equal names get _2.
TEST(ChannelList, ChannelFilesAreNamedPieceByPiece)
{
    CMyWaveHeader header;
    header.Param.Channels = 3;
    header.Param.BlockSize = 9;
    header.Param.Resolution = 24;
    header.bChunked = 1;
    header.IXmlBody = MakeIXml({{1, 1, "Boom"}, {2, 2, "Lav"}, {3, 3, "Boom"}});
    CMyPlan plan;
    plan.dwSamplingRate = 1000;
    plan.wBlockSize = 9;
    for (ULONGLONG qwStart : {0, 1000})
    {
        CMyPlanPiece piece;
        piece.qwStart = qwStart;
        piece.qwFrames = 1000;
        piece.dwTailBytes = 5;
        plan.Pieces.push_back(piece);
    }
    CMyChannelRequest request;
    ASSERT_TRUE(ParseChannelList("each", &request));
    ASSERT_TRUE(PlanChannelFiles(header, request, &plan));
    ASSERT_EQ(plan.Pieces.size(), 6u);
    EXPECT_EQ(plan.GetPieceBytes(5), 3000u); // no partial frame: it is no channel's
    EXPECT_EQ(plan.GetPieceNumber(5), 2u);
    CMyNameTemplate nameTemplate;
    CString strBad;
    ASSERT_TRUE(ParseNameTemplate("{title}_{n}_{channel}_{count}", &nameTemplate, &strBad));
    CMyNameFacts facts;
    facts.strTitle = "t";
    NamePlanPieces(nameTemplate, facts, nullptr, &plan);
    std::string strNames;
    for (const CMyPlanPiece& piece : plan.Pieces)
        strNames += std::string(piece.strName) + " ";
    EXPECT_EQ(strNames, "t_001_Boom_2.wav t_001_Lav_2.wav t_001_Boom_2_2.wav "
                        "t_002_Boom_2.wav t_002_Lav_2.wav t_002_Boom_2_2.wav ");

    ASSERT_TRUE(ParseChannelList("1-2,4", &request));
    EXPECT_FALSE(PlanChannelFiles(header, request, &plan));
    ASSERT_FALSE(plan.Notes.empty());
    EXPECT_NE(std::string(plan.Notes.back()).find("Channel[4], Channels[3]"), std::string::npos);
}

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

TEST(ChannelList, TheRequestRefusesMalformedListsAndChannelNamesWithoutThem)
{
    const struct
    {
        int bChannels;
        const char* pcChannels;
        const char* pcName;
        PlanRefusal Reason;
    } kCases[] = {
        {1, "1-2,3", nullptr, kRefuseNone},
        {1, "each", "{channel}", kRefuseNone},
        {1, "1-2,", nullptr, kRefuseChannels},
        {1, "", nullptr, kRefuseChannels},
        {0, "", "{title}_{channel}", kRefuseChannelField},
    };
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.pcChannels);
        CMyPlanTexts texts;
        texts.bChannels = c.bChannels;
        texts.strChannels = c.pcChannels;
        texts.bName = c.pcName != nullptr;
        texts.strName = c.pcName != nullptr ? c.pcName : "";
        CMyPlanRequest request;
        CMyPlanRefusal refusal;
        EXPECT_EQ(BuildPlanRequest(texts, &request, &refusal), c.Reason == kRefuseNone);
        EXPECT_EQ(refusal.Reason, c.Reason);
        EXPECT_EQ(request.Channels.IsSet(), c.Reason == kRefuseNone);
    }
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
        EXPECT_EQ(ShapePiece(headers.Of(planned), plan.GetPieceBytes(i), 0, {}).bRf64, kRf64[i]);
    }
}
