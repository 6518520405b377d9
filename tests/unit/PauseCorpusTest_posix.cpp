// Every pause on realistic recordings: speech in several voices and
// languages (espeak-ng) and music-like chords with decays, joined by pauses
// of known places and lengths, under white and pink noise and mains hum.
// Prints, per noise, the pauses, the cuts, the cuts in a pause and the pauses
// missed, for a fixed level and for the level found from the recording.
#include "engine/PauseFinder.h"
#include "engine/PlanCuts.h"

#include "PlanSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
const DWORD kRate = 22050;
const double kPi = 3.14159265358979;

struct Voice
{
    const char* pcVoice;
    const char* pcText; // UTF-8, as espeak-ng reads it
};

const Voice kVoices[] = {
    {"en-us", u8"Good morning everyone. Today we look at the weather in the mountains, and at "
              u8"what it means for the walkers."},
    {"de", u8"Guten Morgen, meine Damen und Herren. Heute sprechen wir über das Wetter in den "
           u8"Bergen."},
    {"fr-fr", u8"Bonjour à tous. Nous allons parler de la musique ancienne, puis des instruments "
              u8"de la salle."},
    {"es", u8"Buenas tardes. La siguiente charla trata de los ríos del norte y de sus puentes."},
    {"ja", u8"みなさん、こんにちは。きょうは やまの てんきに ついて はなします。"},
    {"en-gb", u8"Thank you. Are there any questions from the hall? Yes, the lady in the third "
              u8"row."},
    {"it", u8"Grazie mille. Passiamo ora alla seconda parte del programma di oggi."},
    {"pt-br", u8"Boa noite a todos. O próximo tema é a história da cidade e do seu porto."},
};

// The folder generated speech is kept in, beside the test program.
std::string CacheFolder()
{
    char ac[4096];
    ssize_t n = readlink("/proc/self/exe", ac, sizeof(ac) - 1);
    std::string str = n > 0 ? std::string(ac, (size_t)n) : std::string("./x");
    str = str.substr(0, str.rfind('/')) + "/pause_corpus";
    mkdir(str.c_str(), 0755);
    return str;
}

// The samples of a mono 16-bit WAV file espeak-ng wrote; empty when none.
std::vector<short> ReadSpeech(const std::string& strPath)
{
    std::vector<short> samples;
    FILE* pFile = fopen(strPath.c_str(), "rb");
    if (pFile == nullptr)
        return samples;
    std::string str;
    char ac[65536];
    for (size_t n; (n = fread(ac, 1, sizeof(ac), pFile)) > 0;)
        str.append(ac, n);
    fclose(pFile);
    size_t iData = str.find("data");
    if (iData == std::string::npos || str.compare(22, 2, std::string("\x01\x00", 2)) != 0)
        return samples;
    samples.resize((str.size() - iData - 8) / 2);
    memcpy(samples.data(), str.data() + iData + 8, samples.size() * 2);
    return samples;
}

// Speech with its leading and trailing silence taken off, so that the pauses
// between the parts are where the recording puts them.
std::vector<double> MakeSpeech(const Voice& voice, const std::string& strFolder)
{
    std::string strPath = strFolder + "/" + voice.pcVoice + ".wav";
    std::vector<short> samples = ReadSpeech(strPath);
    if (samples.empty())
    {
        std::string strCommand = std::string("espeak-ng -v ") + voice.pcVoice + " -w '" + strPath +
                                 "' '" + voice.pcText + "' 2>/dev/null";
        if (system(strCommand.c_str()) != 0)
            return {};
        samples = ReadSpeech(strPath);
    }
    size_t iFirst = 0, iEnd = samples.size();
    while (iFirst < iEnd && std::abs(samples[iFirst]) < 100)
        ++iFirst;
    while (iEnd > iFirst && std::abs(samples[iEnd - 1]) < 100)
        --iEnd;
    std::vector<double> speech;
    for (size_t i = iFirst; i < iEnd; ++i)
        speech.push_back(samples[i] / 32768.0);
    return speech;
}

class Random
{
public:
    double Uniform() // [-1, 1)
    {
        m_ull = m_ull * 6364136223846793005ull + 1442695040888963407ull;
        return (double)(m_ull >> 11) / (double)(1ull << 52) - 1.0;
    }

private:
    unsigned long long m_ull = 42;
};

// Chords of three to four partials struck every 0.4 to 1.2 s, each decaying
// (as a plucked or struck string) and the last one let ring, then released.
std::vector<double> MakeMusic(double dSeconds, unsigned nSeed)
{
    Random random;
    for (unsigned i = 0; i < nSeed; ++i)
        random.Uniform();
    const size_t nFrames = (size_t)(dSeconds * kRate);
    std::vector<double> music(nFrames, 0.0);
    for (size_t nStart = 0; nStart < nFrames;)
    {
        const double dRoot = 110.0 * pow(2.0, (int)(12 * (random.Uniform() + 1)) / 12.0);
        const double adRatio[] = {1.0, 1.26, 1.5, 2.0};
        const double dTau = 0.25 + 0.3 * (random.Uniform() + 1);
        for (size_t i = nStart; i < nFrames; ++i)
        {
            const double t = (double)(i - nStart) / kRate;
            double v = 0;
            for (double dRatio : adRatio)
                v += sin(2 * kPi * dRoot * dRatio * t) / dRatio;
            // The release: the last 0.15 s of the part fade to nothing.
            const double dLeft = (double)(nFrames - i) / kRate;
            music[i] += 0.12 * v * exp(-t / dTau) * (dLeft < 0.15 ? dLeft / 0.15 : 1.0);
        }
        nStart += (size_t)((0.4 + 0.4 * (random.Uniform() + 1)) * kRate);
    }
    return music;
}

struct Recording
{
    std::vector<double> Left, Right;
    std::vector<CMyPause> Pauses; // the gaps between the parts, in frames
};

// The parts in turn, each gap after one of the lengths, speech nearly centre
// and music wide (one channel louder than the other).
Recording MakeRecording(const std::vector<std::vector<double>>& speech)
{
    const double adGaps[] = {2.5, 0.8, 3.0, 4.5, 1.4, 2.2, 6.0, 2.1, 3.5, 1.9, 5.0, 2.4};
    Recording rec;
    auto gap = [&](double dSeconds)
    {
        const size_t n = (size_t)(dSeconds * kRate);
        rec.Pauses.push_back({rec.Left.size(), rec.Left.size() + n});
        rec.Left.resize(rec.Left.size() + n, 0.0);
        rec.Right.resize(rec.Right.size() + n, 0.0);
    };
    for (size_t i = 0; i < speech.size(); ++i)
    {
        for (double d : speech[i])
        {
            rec.Left.push_back(d);
            rec.Right.push_back(0.8 * d);
        }
        gap(adGaps[(2 * i) % 12]);
        std::vector<double> music = MakeMusic(6.0 + (double)(i % 3), (unsigned)i);
        for (double d : music)
        {
            rec.Left.push_back(0.5 * d);
            rec.Right.push_back(d);
        }
        if (i + 1 < speech.size())
            gap(adGaps[(2 * i + 1) % 12]);
    }
    return rec;
}

enum NoiseKind
{
    kClean,
    kWhite,
    kPink,
    kHum
};

struct Noise
{
    const char* pcName;
    NoiseKind Kind;
    double dDb; // RMS in dBFS
};

// The recording with the noise added, as 16-bit stereo frames.
std::vector<short> AddNoise(const Recording& rec, const Noise& noise)
{
    Random random;
    const double dRms = pow(10.0, noise.dDb / 20.0);
    double b[2][3] = {}; // the pink filters' states, one a channel
    std::vector<short> frames;
    frames.reserve(2 * rec.Left.size());
    for (size_t i = 0; i < rec.Left.size(); ++i)
    {
        double dNoise[2] = {0, 0};
        for (int c = 0; c < 2; ++c)
        {
            // White noise of uniform samples has an RMS of 1 / sqrt(3).
            double w = random.Uniform() * sqrt(3.0);
            if (noise.Kind == kWhite)
                dNoise[c] = dRms * w;
            else if (noise.Kind == kPink)
            {
                // Three poles spread over the band: about -3 dB an
                // octave; their sum has an RMS of about 3.
                b[c][0] = 0.99765 * b[c][0] + w * 0.0990460;
                b[c][1] = 0.96300 * b[c][1] + w * 0.2965164;
                b[c][2] = 0.57000 * b[c][2] + w * 1.0526913;
                dNoise[c] = dRms * (b[c][0] + b[c][1] + b[c][2] + w * 0.1848) / 3.0;
            }
            else if (noise.Kind == kHum)
            {
                const double t = (double)i / kRate;
                dNoise[c] = dRms * sqrt(2.0) *
                            (0.9 * sin(2 * kPi * 50 * t) + 0.4 * sin(2 * kPi * 150 * t + 0.3)) /
                            sqrt(0.97);
            }
        }
        const double adIn[2] = {rec.Left[i], rec.Right[i]};
        for (int c = 0; c < 2; ++c)
        {
            double v = (adIn[c] + dNoise[c]) * 32767.0;
            frames.push_back((short)lround(v > 32767 ? 32767 : v < -32768 ? -32768 : v));
        }
    }
    return frames;
}

struct Tally
{
    int nPauses = 0, nCuts = 0, nInPause = 0, nMissed = 0;
    int nForbidden = 0;           // missed, closer than the shortest piece to a cut or an end
    ULONGLONG qwShortest = ~0ull; // the shortest piece
};

Tally PlanEveryPause(const std::vector<short>& frames, const Recording& rec, int bAuto,
                     DWORD dwMinPieceMs)
{
    CMyPlanSource src;
    src.qwDataBytes = frames.size() * 2;
    src.dwSamplingRate = kRate;
    src.wBlockSize = 4;
    src.wChannels = 2;
    CMyPlanRule rule;
    rule.Kind = kRuleWhole;
    rule.bEveryPause = 1;
    rule.dwPauseMin = 2000;
    rule.bAutoLevel = bAuto;
    rule.dwMinPiece = dwMinPieceMs;
    CMemoryFrames reader(frames, 2);
    CMyPlan plan;
    Tally tally;
    EXPECT_EQ(1, MakeSplitPlan(src, rule, &reader, &plan));
    std::vector<ULONGLONG> cuts;
    for (const CMyPlanPiece& piece : plan.Pieces)
    {
        tally.qwShortest = std::min(tally.qwShortest, piece.qwFrames);
        if (piece.Cut != kCutEnd)
            cuts.push_back(piece.qwStart + piece.qwFrames);
    }
    tally.nCuts = (int)cuts.size();
    for (ULONGLONG qwCut : cuts)
        for (const CMyPause& pause : rec.Pauses)
            tally.nInPause += qwCut > pause.qwFirst && qwCut < pause.qwEnd;
    for (const CMyPause& pause : rec.Pauses)
    {
        if (pause.qwEnd - pause.qwFirst < (ULONGLONG)kRate * 2)
            continue;
        ++tally.nPauses;
        int bCut = 0;
        ULONGLONG qwBefore = 0, qwAfter = frames.size() / 2;
        for (ULONGLONG qwCut : cuts)
        {
            bCut |= qwCut > pause.qwFirst && qwCut < pause.qwEnd;
            if (qwCut <= pause.qwFirst)
                qwBefore = qwCut;
            else if (qwCut >= pause.qwEnd)
                qwAfter = std::min(qwAfter, qwCut);
        }
        tally.nMissed += !bCut;
        const ULONGLONG qwMin = (ULONGLONG)kRate * dwMinPieceMs / 1000;
        tally.nForbidden +=
            !bCut && (pause.qwEnd - qwBefore < qwMin || qwAfter - pause.qwFirst < qwMin);
    }
    return tally;
}
} // namespace

TEST(PauseCorpus, EveryPauseCutsInTheRealPausesUnderNoise)
{
    if (system("espeak-ng --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "espeak-ng is not installed: the recordings need its speech";
    const std::string strFolder = CacheFolder();
    std::vector<std::vector<double>> speech;
    for (const Voice& voice : kVoices)
    {
        speech.push_back(MakeSpeech(voice, strFolder));
        ASSERT_GT(speech.back().size(), (size_t)kRate) << voice.pcVoice;
    }
    const Recording rec = MakeRecording(speech);
    const Noise noises[] = {
        {"clean", kClean, -200},    {"white -60", kWhite, -60},   {"white -45", kWhite, -45},
        {"white -30", kWhite, -30}, {"pink -60", kPink, -60},     {"pink -45", kPink, -45},
        {"pink -30", kPink, -30},   {"hum 50 Hz -45", kHum, -45}, {"hum 50 Hz -30", kHum, -30}};
    printf("%.1f s, %zu voices, %zu gaps; pause-min 2 s\n", (double)rec.Left.size() / kRate,
           speech.size(), rec.Pauses.size());
    const char* pcColumns = "pauses   cuts     in missed";
    printf("%-14s | %-27s | %s\n%-14s | %s | %s\n", "", "level -40 dBFS", "level auto", "noise",
           pcColumns, pcColumns);
    for (const Noise& noise : noises)
    {
        SCOPED_TRACE(noise.pcName);
        const std::vector<short> frames = AddNoise(rec, noise);
        const Tally fixed = PlanEveryPause(frames, rec, 0, 0);
        const Tally found = PlanEveryPause(frames, rec, 1, 0);
        printf("%-14s | %6d %6d %6d %6d | %6d %6d %6d %6d\n", noise.pcName, fixed.nPauses,
               fixed.nCuts, fixed.nInPause, fixed.nMissed, found.nPauses, found.nCuts,
               found.nInPause, found.nMissed);
        EXPECT_EQ(found.nCuts, found.nInPause);
        EXPECT_EQ(0, found.nMissed);
        EXPECT_EQ(fixed.nCuts, fixed.nInPause);
        // At -45 pink noise's louder windows pass -40 inside most pauses.
        if (noise.dDb <= -60)
        {
            EXPECT_EQ(0, fixed.nMissed);
        }
        else if (noise.dDb >= -30)
        {
            EXPECT_EQ(0, fixed.nCuts); // the noise is louder than -40 everywhere
        }
        if (noise.Kind != kWhite || noise.dDb != -45)
            continue;
        // No piece shorter than the shortest asked for: the pauses it forbids
        // are the only ones missed (shown for one noise).
        const Tally longer = PlanEveryPause(frames, rec, 1, 25000);
        EXPECT_GE(longer.qwShortest, (ULONGLONG)kRate * 25);
        EXPECT_EQ(longer.nCuts, longer.nInPause);
        EXPECT_EQ(longer.nPauses, found.nPauses);
        EXPECT_GT(longer.nMissed, 0);
        EXPECT_EQ(longer.nMissed, longer.nForbidden);
        printf("%-14s | --min-piece 25: %d cuts, %d pauses missed, all %d too near a cut\n", "",
               longer.nCuts, longer.nMissed, longer.nForbidden);
    }
}
