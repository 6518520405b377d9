// --channels run as a program: one real run per shape, each channel file
// compared sample by sample with its source and read back by sox.
#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
// The samples of a WAV file, found by its own walk of the chunks; empty
// when there is no data chunk.
std::string DataOf(const std::string& strFile, uint16_t* pwChannels)
{
    for (size_t i = 12; i + 8 <= strFile.size();)
    {
        const std::string strId = strFile.substr(i, 4);
        const uint32_t dwSize = GetLE32(strFile, i + 4);
        if (strId == "fmt ")
            *pwChannels = (uint16_t)(GetLE32(strFile, i + 10) & 0xFFFF);
        if (strId == "data")
            return strFile.substr(i + 8, dwSize);
        i += 8 + dwSize + (dwSize & 1);
    }
    return std::string();
}

// The channels of every whole frame, one after the other.
std::string Deinterleave(const std::string& strData, size_t nChannels, size_t nBytes,
                         const std::vector<int>& group)
{
    std::string str;
    for (size_t f = 0; f + nChannels * nBytes <= strData.size(); f += nChannels * nBytes)
        for (int iChannel : group)
            str.append(strData, f + (size_t)iChannel * nBytes, nBytes);
    return str;
}

// soxi's answer for the file: "channels samples"; empty without soxi.
std::string AskSoxi(const CString& strPath)
{
#ifdef _WIN32
    (void)strPath;
    return std::string();
#else
    // sox warns of a "missing extended part" in every float EXTENSIBLE file,
    // sources included: its warnings are left out.
    std::string strCommand =
        "soxi -c '" + U(strPath) + "' 2>/dev/null && soxi -s '" + U(strPath) + "' 2>/dev/null";
    FILE* fp = popen(strCommand.c_str(), "r");
    if (fp == nullptr)
        return std::string();
    std::string str;
    char acLine[64];
    while (fgets(acLine, sizeof(acLine), fp) != nullptr)
        str += std::string(acLine).substr(0, strcspn(acLine, "\n")) + " ";
    return pclose(fp) == 0 ? str : std::string();
#endif
}

bool HaveSoxi()
{
#ifdef _WIN32
    return false;
#else
    return system("command -v soxi >/dev/null 2>&1") == 0;
#endif
}

struct ChannelFile
{
    const char* pcName; // %u: the piece's number
    std::vector<int> group;
};

// Runs the split and checks every channel file of every piece: a channel's
// pieces together are exactly that channel of the source, and sox reads
// each with its channel count and length.
void CheckRun(const char* pcWhat, const WaveFormat& fmt, const std::string& strSamples,
              const WaveOptions& opt, const char* pcChannels, const std::vector<ChannelFile>& files,
              const std::vector<uint32_t>& pieceFrames)
{
    SCOPED_TRACE(pcWhat);
    Tree tree = MakeTree(pcWhat);
    CString strSrc = JoinPath(tree.strRoot, "take.wav");
    ASSERT_TRUE(WriteBytes(strSrc, BuildWave(fmt, strSamples, opt)));
    ProgramResult r = RunSplitProgram({"--channels", pcChannels, "-l", "1", "-o", U(tree.strOut),
                                       "--log-dir", U(tree.strLogs), "-q", U(strSrc)});
    ASSERT_EQ(0, r.nExitCode) << r.strErr;
    const size_t nBytes = fmt.wBlockSize / fmt.wChannels;
    const bool bSoxi = HaveSoxi();
#ifndef _WIN32
    if (!bSoxi)
        std::fprintf(stderr, "soxi is missing: channel files are not read back by sox\n");
#endif
    for (const ChannelFile& file : files)
    {
        std::string strJoined;
        for (size_t iPiece = 0; iPiece < pieceFrames.size(); ++iPiece)
        {
            CString strName;
            strName.Format(file.pcName, (unsigned)iPiece + 1);
            SCOPED_TRACE(strName.GetString());
            CString strPath = JoinPath(tree.strOut, strName);
            std::string strFile;
            ASSERT_TRUE(ReadBytes(strPath, strFile));
            uint16_t wChannels = 0;
            strJoined += DataOf(strFile, &wChannels);
            EXPECT_EQ(wChannels, file.group.size());
            if (bSoxi)
            {
                EXPECT_EQ(AskSoxi(strPath), std::to_string(file.group.size()) + " " +
                                                std::to_string(pieceFrames[iPiece]) + " ");
            }
        }
        EXPECT_TRUE(strJoined == Deinterleave(strSamples, fmt.wChannels, nBytes, file.group))
            << file.pcName;
    }
}
} // namespace

TEST(CliChannels, SixChannelBroadcastWaveByTrackNames)
{
    const WaveFormat fmt = MakeExtensibleFormat(6, 24, 24, 8000, 1);
    const char* const kNames[] = {"Boom", "Lav 1", "Lav 2", "Plant", "Mix L", "Mix R"};
    std::string strXml = "<BWFXML><TRACK_LIST><TRACK_COUNT>6</TRACK_COUNT>";
    for (int i = 0; i < 6; ++i)
        strXml += "<TRACK><CHANNEL_INDEX>" + std::to_string(i + 3) +
                  "</CHANNEL_INDEX><INTERLEAVE_INDEX>" + std::to_string(i + 1) +
                  "</INTERLEAVE_INDEX><NAME>" + kNames[i] + "</NAME></TRACK>";
    strXml += "</TRACK_LIST></BWFXML>";
    WaveOptions opt;
    opt.chunksBeforeFmt = {MakeChunk("bext", MakeBextBody(86400)), MakeChunk("iXML", strXml)};
    const std::string strSamples = MakeSamples(fmt, 12000);
    CheckRun("each", fmt, strSamples, opt, "each",
             {{"take_%03u_Boom.wav", {0}},
              {"take_%03u_Lav 1.wav", {1}},
              {"take_%03u_Lav 2.wav", {2}},
              {"take_%03u_Plant.wav", {3}},
              {"take_%03u_Mix L.wav", {4}},
              {"take_%03u_Mix R.wav", {5}}},
             {8000, 4000});
    CheckRun("groups", fmt, strSamples, opt, "5-6,1,3-2",
             {{"take_%03u_Mix L+Mix R.wav", {4, 5}},
              {"take_%03u_Boom.wav", {0}},
              {"take_%03u_Lav 2+Lav 1.wav", {2, 1}}},
             {8000, 4000});
}

TEST(CliChannels, StereoSixteenBit)
{
    const WaveFormat fmt = MakePcmFormat(2, 16, 8000);
    CheckRun("stereo", fmt, MakeSamples(fmt, 10000), WaveOptions(), "each",
             {{"take_%03u_ch1.wav", {0}}, {"take_%03u_ch2.wav", {1}}}, {8000, 2000});
}

TEST(CliChannels, FloatExtensible)
{
    const WaveFormat fmt = MakeExtensibleFormat(4, 32, 32, 8000, 3);
    CheckRun("float", fmt, MakeSamples(fmt, 9000), WaveOptions(), "1-2,4",
             {{"take_%03u_ch1-2.wav", {0, 1}}, {"take_%03u_ch4.wav", {3}}}, {8000, 1000});
}

// A channel a file lacks refuses that file only; a malformed list is a
// usage error that writes nothing.
TEST(CliChannels, AMissingChannelRefusesTheFileAMalformedListTheRun)
{
    Tree tree = MakeTree("missing");
    const WaveFormat stereo = MakePcmFormat(2, 16, 8000);
    const WaveFormat quad = MakePcmFormat(4, 16, 8000);
    CString strStereo = JoinPath(tree.strRoot, "stereo.wav");
    CString strQuad = JoinPath(tree.strRoot, "quad.wav");
    ASSERT_TRUE(WriteBytes(strStereo, BuildWave(stereo, MakeSamples(stereo, 8000))));
    ASSERT_TRUE(WriteBytes(strQuad, BuildWave(quad, MakeSamples(quad, 8000))));
    ProgramResult r = RunSplitProgram({"--channels", "1,3-4", "-o", U(tree.strOut), "--log-dir",
                                       U(tree.strLogs), "-q", U(strStereo), U(strQuad)});
    EXPECT_EQ(1, r.nExitCode) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgReasonNoChannel))) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, Said(kMsgSummary, 2, 1))) << r.strErr;
    EXPECT_FALSE(PathExists(JoinPath(tree.strOut, "stereo_001_ch1.wav")));
    EXPECT_TRUE(PathExists(JoinPath(tree.strOut, "quad_001_ch1.wav")));
    EXPECT_TRUE(PathExists(JoinPath(tree.strOut, "quad_001_ch3-4.wav")));

    Tree bad = MakeTree("malformed");
    r = RunSplitProgram(
        {"--channels", "1,,2", "-o", U(bad.strOut), "--log-dir", U(bad.strLogs), U(strQuad)});
    EXPECT_EQ(2, r.nExitCode) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, "invalid --channels '1,,2'")) << r.strErr;
    EXPECT_FALSE(PathExists(bad.strOut));
}
