// The command line's parts: option reading and the progress line.
#include "cli/Options.h"
#include "cli/PlanOptions.h"
#include "cli/ProgressLine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include <string>
#include <vector>

namespace
{
std::vector<CliArgument> Args(const std::vector<const char*>& texts)
{
    std::vector<CliArgument> args;
    for (const char* pcText : texts)
    {
        CliArgument arg;
        arg.strShown = pcText;
        arg.strSJis = pcText;
        arg.bConverted = 1;
        args.push_back(arg);
    }
    return args;
}
} // namespace

struct OptionCase
{
    std::vector<const char*> args;
    int bOk;
    const char* pcLength;
    const char* pcOutput;
    const char* pcLogDir;
    int bQuiet;
    std::vector<const char*> paths;
};

TEST(CliOptions, ReadsShortLongAndJoinedForms)
{
    const OptionCase cases[] = {
        {{"-o", "out", "a.wav"}, 1, "00:03:00", "out", "", 0, {"a.wav"}},
        {{"-l", "1:30", "--output", "o", "-q", "d", "e.wav"},
         1,
         "1:30",
         "o",
         "",
         1,
         {"d", "e.wav"}},
        {{"--length=90", "-oout", "--log-dir=logs", "x"}, 1, "90", "out", "logs", 0, {"x"}},
        {{"-o", "out", "--", "-q", "--help"}, 1, "00:03:00", "out", "", 0, {"-q", "--help"}},
        {{"-o", "out", "-", "a"}, 1, "00:03:00", "out", "", 0, {"-", "a"}},
        {{"-x", "a"}, 0, "", "", "", 0, {}},
        {{"--lenght", "1"}, 0, "", "", "", 0, {}},
        {{"a", "-o"}, 0, "", "", "", 0, {}},
        {{"--output="}, 0, "", "", "", 0, {}},
        {{"-o", "out"}, 1, "00:03:00", "out", "", 0, {}},
        // Bundled short options, and PATHs before the options.
        {{"a", "-qo", "out", "b"}, 1, "00:03:00", "out", "", 1, {"a", "b"}},
        {{"-nql2", "-o", "out", "c"}, 1, "2", "out", "", 1, {"c"}},
        {{"-qx", "a"}, 0, "", "", "", 0, {}},
        {{"--length=1", "-xq"}, 0, "", "", "", 0, {}},
        {{"-q", "-l"}, 0, "", "", "", 0, {}},
    };
    for (const OptionCase& c : cases)
    {
        CliOptions options;
        CString strError;
        int bOk = ParseCliOptions(Args(c.args), &options, &strError);
        ASSERT_EQ(c.bOk, bOk) << c.args[0];
        if (!bOk)
        {
            EXPECT_FALSE(strError.IsEmpty());
            continue;
        }
        EXPECT_STREQ(c.pcLength, options.strLength);
        EXPECT_STREQ(c.pcOutput, options.strOutput);
        EXPECT_STREQ(c.pcLogDir, options.strLogDir);
        EXPECT_EQ(c.bQuiet, options.bQuiet);
        ASSERT_EQ(c.paths.size(), options.paths.size());
        for (size_t i = 0; i < c.paths.size(); i++)
            EXPECT_STREQ(c.paths[i], options.paths[i].strSJis);
    }
}

TEST(CliOptions, ValueThatShiftJisCannotHoldIsAUsageError)
{
    std::vector<CliArgument> args = Args({"-o", "x", "a"});
    args[1].bConverted = 0;
    args[1].strSJis.Empty();
    CliOptions options;
    CString strError;
    EXPECT_EQ(0, ParseCliOptions(args, &options, &strError));
    // A PATH that cannot be held is passed on, to be reported and skipped.
    args = Args({"-o", "x", "a"});
    args[2].bConverted = 0;
    EXPECT_EQ(1, ParseCliOptions(args, &options, &strError));
    ASSERT_EQ(1u, options.paths.size());
    EXPECT_EQ(0, options.paths[0].bConverted);
}

TEST(CliOptions, HelpAndVersionNeedNothingElse)
{
    CliOptions options;
    CString strError;
    ASSERT_EQ(1, ParseCliOptions(Args({"--help"}), &options, &strError));
    EXPECT_EQ(1, options.bHelp);
    ASSERT_EQ(1, ParseCliOptions(Args({"--version"}), &options, &strError));
    EXPECT_EQ(1, options.bVersion);
    EXPECT_NE(nullptr, strstr(GetHelpText(), "--log-dir"));
}

// -p's value joins it: a time given apart is a mistake, unless it names a
// file or folder, which is a PATH as before.
TEST(CliOptions, PauseTimeGivenApartIsAUsageError)
{
    const char* const kExisting = "31.5";
    FILE* pFile = fopen(kExisting, "wb");
    ASSERT_NE(nullptr, pFile);
    fclose(pFile);
    const struct
    {
        std::vector<const char*> args;
        const char* pcError; // empty: read, with the PATHs
        size_t nPaths;
    } cases[] = {
        {{"-l", "20", "-p", "5", "a"}, "-p5", 0},
        {{"-l", "20", "-qp", "0:30", "a"}, "-p0:30", 0},
        {{"-l", "20", "--pause", "2.5", "a"}, "--pause=2.5", 0},
        {{"-l", "20", "-p", "a", "5b"}, "", 2},
        {{"-l", "20", "-p", kExisting}, "", 1},
        {{"-l", "20", "-p", "--", "5"}, "", 1},
    };
    for (const auto& c : cases)
    {
        CliOptions options;
        CString strError;
        int bOk = ParseCliOptions(Args(c.args), &options, &strError);
        EXPECT_EQ(*c.pcError == '\0', bOk) << c.args[3];
        EXPECT_NE(nullptr, strstr(strError, c.pcError)) << strError;
        EXPECT_EQ(c.nPaths, options.paths.size()) << c.args[3];
    }
    remove(kExisting);
}

// The rule each combination of planning options gives.
TEST(CliOptions, PlanningOptionsMakeTheirRule)
{
    const struct
    {
        std::vector<const char*> args;
        PlanRuleKind kind;
        int bMarkers, bPause;
        DWORD dwParts, dwPauseWindow, dwPauseMin;
        ULONGLONG qwMaxSize;
    } cases[] = {
        {{"a"}, kRuleLength, 0, 0, 0, 0, 300, 0},
        {{"-m", "a"}, kRuleWhole, 1, 0, 0, 0, 300, 0},
        {{"-ml", "1:00", "a"}, kRuleLength, 1, 0, 0, 0, 300, 0},
        {{"-N", "4", "--markers", "a"}, kRuleParts, 1, 0, 4, 0, 300, 0},
        {{"-S", "25M", "-p", "a"}, kRuleMaxSize, 0, 1, 0, 0, 300, 25u << 20},
        {{"-l", "90", "-p5", "--pause-min=0.5", "a"}, kRuleLength, 0, 1, 0, 5000, 500, 0},
        {{"-l", "90", "--pause=2.5", "a"}, kRuleLength, 0, 1, 0, 2500, 300, 0},
    };
    for (const auto& c : cases)
    {
        CliOptions options;
        CString strError;
        ASSERT_EQ(1, ParseCliOptions(Args(c.args), &options, &strError)) << strError;
        CMyPlanRequest request;
        ASSERT_EQ(1, MakeCliPlanRequest(options, &request, &strError)) << strError;
        EXPECT_EQ(c.kind, request.Rule.Kind) << c.args[0];
        EXPECT_EQ(c.bMarkers, request.Rule.bMarkers) << c.args[0];
        EXPECT_EQ(c.bMarkers, request.bCarryMarkers) << c.args[0];
        EXPECT_EQ(c.bPause, request.Rule.bPause) << c.args[0];
        EXPECT_EQ(c.dwParts, request.Rule.dwParts) << c.args[0];
        EXPECT_EQ(c.dwPauseWindow, request.Rule.dwPauseWindow) << c.args[0];
        EXPECT_EQ(c.dwPauseMin, request.Rule.dwPauseMin) << c.args[0];
        EXPECT_EQ(c.qwMaxSize, request.Rule.qwMaxSize) << c.args[0];
        EXPECT_EQ(1, (int)options.paths.size()) << c.args[0];
    }
}

struct ProgressCase
{
    ULONGLONG ullDone, ullTotal;
    double dSeconds;
    int nWidth;
    const char* pcExpect;
};

TEST(ProgressLine, ShowsBarPercentSizesAndRate)
{
    const ProgressCase cases[] = {
        {0, 2048, 0.1, 60, "[-----------]    0%  0 B / 2.0 KiB"},
        {1024, 2048, 2.0, 60, "[#####------]   50%  1.0 KiB / 2.0 KiB  512 B/s"},
        {3u << 30, 3u << 30, 1.0, 70,
         "[#####################]  100%  3.0 GiB / 3.0 GiB  3.0 GiB/s"},
        {999, 1000, 0.0, 80, "[##############################-]   99%  999 B / 1000 B"},
        {5, 10, 0.0, 20, " 50%  5 B / 10 B"},
        {1, 2, 9.0, 200, nullptr},
        {7, 0, 0.0, 40, "100%  0 B / 0 B"},
    };
    for (const ProgressCase& c : cases)
    {
        CString strLine = FormatProgressLine(c.ullDone, c.ullTotal, c.dSeconds, c.nWidth);
        if (c.pcExpect == nullptr)
        {
            EXPECT_EQ(0, strLine.Find("[" + CString('#', 25) + CString('-', 25) + "]")) << strLine;
            continue;
        }
        EXPECT_STREQ(c.pcExpect, strLine) << c.nWidth;
        EXPECT_LT(strLine.GetLength(), c.nWidth);
    }
}

TEST(ProgressLine, ByteCountsRoundDown)
{
    EXPECT_STREQ("1023 B", FormatByteCount(1023));
    EXPECT_STREQ("1.9 KiB", FormatByteCount(2047));
    EXPECT_STREQ("1.0 MiB", FormatByteCount(1u << 20));
    EXPECT_STREQ("1024.0 TiB", FormatByteCount(1ull << 50));
}
