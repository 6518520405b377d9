// Split by channel at the engine layer: the channel list, the iXML track
// names and list, the channel files' names.
#include "engine/ChannelFiles.h"
#include "engine/ChannelList.h"
#include "engine/IXmlTracks.h"
#include "engine/PieceNames.h"
#include "engine/RequestBuilder.h"

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
