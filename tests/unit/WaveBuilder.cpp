// Builds RIFF/WAVE files as byte strings for tests.
#include "WaveBuilder.h"

WaveFormat MakePcmFormat(uint16_t wChannels, uint16_t wResolution, uint32_t dwSamplingRate)
{
    WaveFormat fmt;
    fmt.wChannels = wChannels;
    fmt.wResolution = wResolution;
    fmt.dwSamplingRate = dwSamplingRate;
    fmt.wBlockSize = (uint16_t)(wChannels * (wResolution / 8));
    fmt.dwDataRate = fmt.wBlockSize * dwSamplingRate;
    return fmt;
}

WaveFormat MakeFloatFormat(uint16_t wChannels, uint16_t wResolution, uint32_t dwSamplingRate)
{
    WaveFormat fmt = MakePcmFormat(wChannels, wResolution, dwSamplingRate);
    fmt.wFormatID = 3;
    return fmt;
}

WaveFormat MakeExtensibleFormat(uint16_t wChannels, uint16_t wResolution, uint16_t wValidBits,
                                uint32_t dwSamplingRate, uint16_t wSubFormat)
{
    WaveFormat fmt = MakePcmFormat(wChannels, wResolution, dwSamplingRate);
    fmt.wFormatID = 0xFFFE;
    fmt.dwFmtExtra = 24;
    const char acTail[] = "\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71";
    fmt.strFmtExtra = LE16(22) + LE16(wValidBits) + LE32((1u << wChannels) - 1) + LE16(wSubFormat) +
                      std::string(acTail, 14);
    return fmt;
}

std::string LE16(uint16_t w)
{
    std::string s(2, '\0');
    PutLE16(s, 0, w);
    return s;
}

std::string LE32(uint32_t dw)
{
    std::string s(4, '\0');
    PutLE32(s, 0, dw);
    return s;
}

std::string LE64(uint64_t qw)
{
    return LE32((uint32_t)qw) + LE32((uint32_t)(qw >> 32));
}

void PutLE16(std::string& data, size_t iOffset, uint16_t w)
{
    data[iOffset] = (char)(w & 0xFF);
    data[iOffset + 1] = (char)(w >> 8);
}

void PutLE32(std::string& data, size_t iOffset, uint32_t dw)
{
    for (size_t i = 0; i < 4; ++i)
        data[iOffset + i] = (char)((dw >> (8 * i)) & 0xFF);
}

uint32_t GetLE32(const std::string& data, size_t iOffset)
{
    uint32_t dw = 0;
    for (size_t i = 0; i < 4; ++i)
        dw |= (uint32_t)(unsigned char)data[iOffset + i] << (8 * i);
    return dw;
}

uint64_t GetLE64(const std::string& data, size_t iOffset)
{
    return GetLE32(data, iOffset) | ((uint64_t)GetLE32(data, iOffset + 4) << 32);
}

std::string MakeBextBody(uint64_t qwTimeReference)
{
    std::string body(602, '\0');
    body.replace(0, 10, "field take");
    body.replace(338, 8, LE64(qwTimeReference));
    body[346] = 1; // version
    return body;
}

std::string MakeChunk(const std::string& strId, const std::string& body)
{
    std::string s = strId.substr(0, 4) + LE32((uint32_t)body.size()) + body;
    if (body.size() % 2 != 0)
        s += '\0';
    return s;
}

std::string MakeFmtChunk(const WaveFormat& fmt, const std::string& strTag)
{
    std::string body =
        LE16(fmt.wFormatID) + LE16(fmt.wChannels) + LE32(fmt.dwSamplingRate) +
        LE32(fmt.dwDataRate) + LE16(fmt.wBlockSize) + LE16(fmt.wResolution) +
        (fmt.strFmtExtra.empty() ? std::string(fmt.dwFmtExtra, '\0') : fmt.strFmtExtra);
    return MakeChunk(strTag, body);
}

std::string MakeSampleBytes(size_t nBytes, size_t iFirst)
{
    std::string s(nBytes, '\0');
    for (size_t i = 0; i < nBytes; ++i)
    {
        size_t k = iFirst + i;
        s[i] = (char)((k * 7 + k / 251) & 0xFF);
    }
    return s;
}

std::string MakeSamples(const WaveFormat& fmt, uint32_t nFrames)
{
    return MakeSampleBytes((size_t)nFrames * fmt.wBlockSize);
}

std::string BuildWave(const WaveFormat& fmt, const std::string& samples, const WaveOptions& opt)
{
    std::string body = opt.strWaveTag.substr(0, 4);
    for (const std::string& chunk : opt.chunksBeforeFmt)
        body += chunk;
    body += MakeFmtChunk(fmt, opt.strFmtTag);
    for (const std::string& chunk : opt.chunksBeforeData)
        body += chunk;
    std::string data = MakeChunk(opt.strDataTag, samples);
    if (opt.bOverrideDataSize)
        PutLE32(data, 4, opt.dwDataSize);
    body += data;
    for (const std::string& chunk : opt.chunksAfterData)
        body += chunk;
    return opt.strRiffTag.substr(0, 4) + LE32((uint32_t)body.size()) + body;
}

size_t DataStartOf(const WaveFormat& fmt, const WaveOptions& opt)
{
    size_t n = 12 + 8 + 16 + fmt.dwFmtExtra + (fmt.dwFmtExtra % 2);
    for (const std::string& chunk : opt.chunksBeforeFmt)
        n += chunk.size();
    for (const std::string& chunk : opt.chunksBeforeData)
        n += chunk.size();
    return n + 8;
}

std::string ParamTraceText(const WaveFormat& fmt, bool bBanner)
{
    return std::string(bBanner ? "=====  CSonvelBaseParam  =====\n" : "") +
           "フォーマットID: " + std::to_string(fmt.wFormatID) +
           "\nチャンネル数: " + std::to_string(fmt.wChannels) +
           "\n分解能: " + std::to_string(fmt.wResolution) +
           "\nブロックサイズ: " + std::to_string(fmt.wBlockSize) +
           "\nサンプリングレート: " + std::to_string(fmt.dwSamplingRate) +
           "\nデータレート: " + std::to_string(fmt.dwDataRate) + "\n";
}

std::string ListWithDataText()
{
    return MakeChunk("LIST", "INFOICMT" + LE32(16) + "raw data inside.");
}

std::vector<AcceptedCase> AcceptedTodayCases()
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
    auto before = [](std::vector<std::string> chunks)
    {
        WaveOptions opt;
        opt.chunksBeforeData = chunks;
        return opt;
    };
    std::string fact = MakeChunk("fact", LE32(250));
    std::string oddList = MakeChunk("LIST", "INFOx"); // 5 bytes and a pad byte
    // Filler that puts the data tag at byte 290: chunks start on even bytes,
    // and 291 is the last start allowed.
    std::string farChunk = MakeChunk("junk", std::string(290 - 36 - 8, 'j'));
    return {
        {"8-bit mono", MakePcmFormat(1, 8, 8000), WaveOptions(), 100, 100},
        {"16-bit stereo", MakePcmFormat(2, 16, 44100), WaveOptions(), 250, 1000},
        {"24-bit stereo", MakePcmFormat(2, 24, 48000), WaveOptions(), 100, 600},
        {"32-bit mono", MakePcmFormat(1, 32, 96000), WaveOptions(), 100, 400},
        {"32-bit stereo at the top rate", MakePcmFormat(2, 32, 200000), WaveOptions(), 10, 80},
        {"mixed-case tags", MakePcmFormat(2, 16, 22050), mixedCase, 10, 40},
        {"18-byte fmt", f18, WaveOptions(), 10, 40},
        {"LIST before data", MakePcmFormat(2, 16, 44100), before({ListWithDataText()}), 10, 40},
        {"fact and LIST before data", MakePcmFormat(1, 16, 11025),
         before({fact, ListWithDataText()}), 10, 20},
        {"odd-sized chunk before data", MakePcmFormat(1, 8, 8000), before({oddList}), 7, 7},
        {"data tag at byte 290", MakePcmFormat(1, 8, 8000), before({farChunk}), 5, 5},
        {"claims more data than it holds", MakePcmFormat(2, 16, 44100), claimsMore, 10, 1000000},
        {"one sample byte", MakePcmFormat(1, 8, 8000), WaveOptions(), 1, 1},
    };
}
