// Builds RIFF/WAVE files as byte strings for tests: well-formed ones from
// format fields, extra chunks and samples, and broken ones by patching them.
//
//   WaveFormat fmt = MakePcmFormat(2, 16, 44100);      // stereo 16-bit
//   std::string wav = BuildWave(fmt, MakeSamples(fmt, 1000),
//                               {MakeChunk("LIST", "INFOdata")});
//   PutLE32(wav, 4, 0);                                 // break the RIFF size
//
// Sizes are filled in from the content unless overridden; every integer is
// little-endian; odd-sized chunks get their pad byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct WaveFormat
{
    uint16_t wFormatID = 1;
    uint16_t wChannels = 2;
    uint32_t dwSamplingRate = 44100;
    uint32_t dwDataRate = 176400;
    uint16_t wBlockSize = 4;
    uint16_t wResolution = 16;
    // Bytes of the "fmt " chunk after the 16 PCM bytes (an 18-byte chunk has
    // 2: the cbSize field). Written as zeros unless strFmtExtra holds them.
    uint32_t dwFmtExtra = 0;
    std::string strFmtExtra;
};

struct WaveOptions
{
    // Tags exactly as written (letter case included).
    std::string strRiffTag = "RIFF";
    std::string strWaveTag = "WAVE";
    std::string strFmtTag = "fmt ";
    std::string strDataTag = "data";
    // Chunks (whole, from MakeChunk) placed between "WAVE" and "fmt ".
    std::vector<std::string> chunksBeforeFmt;
    // Chunks (whole, from MakeChunk) placed between "fmt " and "data".
    std::vector<std::string> chunksBeforeData;
    // Chunks placed after the sample data.
    std::vector<std::string> chunksAfterData;
    // When set, the "data" size field claims this instead of the real count.
    bool bOverrideDataSize = false;
    uint32_t dwDataSize = 0;
};

// A consistent PCM format: block size and data rate derived from the rest.
WaveFormat MakePcmFormat(uint16_t wChannels, uint16_t wResolution, uint32_t dwSamplingRate);
// The same with format tag 3 (IEEE float).
WaveFormat MakeFloatFormat(uint16_t wChannels, uint16_t wResolution, uint32_t dwSamplingRate);
// An extensible format (tag 0xFFFE, 40-byte "fmt ") with sub-format 1 (PCM)
// or 3 (float) and the given valid bits.
WaveFormat MakeExtensibleFormat(uint16_t wChannels, uint16_t wResolution, uint16_t wValidBits,
                                uint32_t dwSamplingRate, uint16_t wSubFormat);

std::string LE16(uint16_t w);
std::string LE32(uint32_t dw);
std::string LE64(uint64_t qw);
// Overwrites 2 or 4 bytes at iOffset of an existing string.
void PutLE16(std::string& data, size_t iOffset, uint16_t w);
void PutLE32(std::string& data, size_t iOffset, uint32_t dw);
uint32_t GetLE32(const std::string& data, size_t iOffset);
uint64_t GetLE64(const std::string& data, size_t iOffset);
// A bext body of 602 bytes with this time reference and a description.
std::string MakeBextBody(uint64_t qwTimeReference);

// id (4 characters) + size + body, and a zero pad byte when the size is odd.
std::string MakeChunk(const std::string& strId, const std::string& body);
// The "fmt " chunk of the format, header included.
std::string MakeFmtChunk(const WaveFormat& fmt, const std::string& strTag = "fmt ");
// nFrames sample frames of the format with a recognisable pattern: byte k of
// the data is (k * 7 + k / 251) & 0xFF, so every offset differs from its
// neighbours and a shifted or repeated block shows.
std::string MakeSamples(const WaveFormat& fmt, uint32_t nFrames);
std::string MakeSampleBytes(size_t nBytes, size_t iFirst = 0);

// The whole file: RIFF header, "fmt ", the chunks before data, "data" with
// samples, the chunks after. The RIFF size counts everything after byte 8.
std::string BuildWave(const WaveFormat& fmt, const std::string& samples,
                      const WaveOptions& opt = WaveOptions());
// Offset of the first sample byte of a file BuildWave made with opt.
size_t DataStartOf(const WaveFormat& fmt, const WaveOptions& opt = WaveOptions());

// The trace text (Shift-JIS) that a header read leaves for these parameters:
// the six parameter lines, after the banner line when bBanner is set.
std::string ParamTraceText(const WaveFormat& fmt, bool bBanner);

// A LIST/INFO chunk whose text holds the word "data".
std::string ListWithDataText();

// The shapes the first kilobyte's rules accept, as read and as split.
struct AcceptedCase
{
    const char* pcName;
    WaveFormat fmt;
    WaveOptions opt;
    uint32_t dwFrames;
    uint32_t dwExpectedDataSize; // what the data size field says
};
std::vector<AcceptedCase> AcceptedTodayCases();
