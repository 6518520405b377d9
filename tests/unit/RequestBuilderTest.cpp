// What the command line and the window ask for, as one description, made
// into the run's request or refused with the reason both front ends word.
#include "engine/RequestBuilder.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

namespace
{
// "length parts=4 markers pause window=5 min=0.5 level=-50 name={date}
// every minpiece=30 trim":
// the words each set what they name; "min=" gives an empty value.
CMyPlanTexts Texts(const char* pcGiven)
{
    CMyPlanTexts texts;
    std::istringstream words(pcGiven);
    std::string word;
    while (words >> word)
    {
        const size_t nEq = word.find('=');
        const std::string key = word.substr(0, nEq);
        const CString strValue = nEq == std::string::npos ? "" : word.substr(nEq + 1).c_str();
        if (key == "length")
            texts.bLength = 1;
        else if (key == "markers")
            texts.bMarkers = 1;
        else if (key == "pause")
            texts.bPause = 1;
        else if (key == "parts")
            texts.bParts = 1, texts.strParts = strValue;
        else if (key == "size")
            texts.bMaxSize = 1, texts.strMaxSize = strValue;
        else if (key == "window")
            texts.strPauseWindow = strValue;
        else if (key == "min")
            texts.bPauseMin = 1, texts.strPauseMin = strValue;
        else if (key == "level")
            texts.bPauseLevel = 1, texts.strPauseLevel = strValue;
        else if (key == "name")
            texts.bName = 1, texts.strName = strValue;
        else if (key == "every")
            texts.bEveryPause = 1;
        else if (key == "minpiece")
            texts.bMinPiece = 1, texts.strMinPiece = strValue;
        else if (key == "trim")
            texts.bTrim = 1;
        else if (key == "cuts")
            texts.bCuts = 1, texts.strCuts = strValue;
        else if (key == "at")
            texts.bAt = 1, texts.strAt = strValue;
        else if (key == "beside")
            texts.bCutsBeside = 1;
        else
            ADD_FAILURE() << "unknown word " << word;
    }
    return texts;
}
} // namespace

TEST(RequestBuilder, TextsMakeTheirRule)
{
    const struct
    {
        const char* pcGiven;
        PlanRuleKind kind;
        int bMarkers, bPause;
        DWORD dwParts;
        ULONGLONG qwMaxSize;
        DWORD dwPauseWindow, dwPauseMin;
        double dPauseLevel;
    } cases[] = {
        {"", kRuleLength, 0, 0, 0, 0, 0, 300, -40},
        {"markers", kRuleWhole, 1, 0, 0, 0, 0, 300, -40},
        {"markers length", kRuleLength, 1, 0, 0, 0, 0, 300, -40},
        {"parts=4 markers", kRuleParts, 1, 0, 4, 0, 0, 300, -40},
        {"size=25M pause", kRuleMaxSize, 0, 1, 0, 25u << 20, 0, 300, -40},
        {"length pause window=5 min=0.5 level=-50dB", kRuleLength, 0, 1, 0, 0, 5000, 500, -50},
        // A window as long as the pause can still hold it.
        {"length pause window=0.3", kRuleLength, 0, 1, 0, 0, 300, 300, -40},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pcGiven);
        CMyPlanRequest request;
        CMyPlanRefusal refusal;
        ASSERT_EQ(1, BuildPlanRequest(Texts(c.pcGiven), &request, &refusal)) << refusal.Reason;
        EXPECT_EQ(c.kind, request.Rule.Kind);
        EXPECT_EQ(c.bMarkers, request.Rule.bMarkers);
        EXPECT_EQ(c.bMarkers, request.bCarryMarkers);
        EXPECT_EQ(c.bPause, request.Rule.bPause);
        EXPECT_EQ(c.dwParts, request.Rule.dwParts);
        EXPECT_EQ(c.qwMaxSize, request.Rule.qwMaxSize);
        EXPECT_EQ(c.dwPauseWindow, request.Rule.dwPauseWindow);
        EXPECT_EQ(c.dwPauseMin, request.Rule.dwPauseMin);
        EXPECT_EQ(c.dPauseLevel, request.Rule.dPauseLevel);
    }
    // Every pause: pauses of 2 s unless given; the rule cuts what is between.
    const struct
    {
        const char* pcGiven;
        PlanRuleKind kind;
        int bPause, bAuto, bTrim;
        DWORD dwPauseMin, dwMinPiece;
    } everyCases[] = {
        {"every", kRuleWhole, 0, 0, 0, 2000, 0},
        {"every markers minpiece=1:00 trim", kRuleWhole, 0, 0, 1, 2000, 60000},
        {"every length pause min=0.5 level=auto", kRuleLength, 1, 1, 0, 500, 0},
        {"every size=700M minpiece=0", kRuleMaxSize, 0, 0, 0, 2000, 0},
        {"length pause level=auto", kRuleLength, 1, 1, 0, 300, 0},
    };
    for (const auto& c : everyCases)
    {
        SCOPED_TRACE(c.pcGiven);
        CMyPlanRequest request;
        CMyPlanRefusal refusal;
        ASSERT_EQ(1, BuildPlanRequest(Texts(c.pcGiven), &request, &refusal)) << refusal.Reason;
        EXPECT_EQ(c.kind, request.Rule.Kind);
        EXPECT_EQ(c.bPause, request.Rule.bPause);
        EXPECT_EQ(c.bAuto, request.Rule.bAutoLevel);
        EXPECT_EQ(c.bTrim, request.Rule.bTrim);
        EXPECT_EQ(c.dwPauseMin, request.Rule.dwPauseMin);
        EXPECT_EQ(c.dwMinPiece, request.Rule.dwMinPiece);
        EXPECT_EQ(1, request.Rule.bEveryPause || !strstr(c.pcGiven, "every"));
    }
    // A template given is the one the pieces are named by.
    CMyPlanRequest request;
    CMyPlanRefusal refusal;
    ASSERT_EQ(1, BuildPlanRequest(Texts("name={date}_{n}"), &request, &refusal));
    EXPECT_EQ(0, request.Rule.bEveryPause + request.Rule.bAutoLevel + request.Rule.bTrim);
    ASSERT_EQ(3u, request.NameTemplate.Parts.size());
    EXPECT_EQ(kFieldDate, request.NameTemplate.Parts[0].Field);
    EXPECT_EQ(kFieldNumber, request.NameTemplate.Parts[2].Field);
}

// The first value refused gives the reason, with the values it is about.
TEST(RequestBuilder, TextsThatCannotWorkAreRefused)
{
    const struct
    {
        const char* pcGiven;
        PlanRefusal reason;
        const char* pcValue;
        const char* pcOther;
    } cases[] = {
        {"parts=2 length", kRefusePartsAndLength, "", ""},
        {"parts=2 size=1M", kRefusePartsAndMaxSize, "", ""},
        {"size=1M length", kRefuseMaxSizeAndLength, "", ""},
        {"parts=0 name={x}", kRefuseParts, "0", ""},
        {"size=M", kRefuseMaxSize, "M", ""},
        {"size=44", kRefuseMaxSizeSmall, "44", ""},
        {"size=45 name=", kRefuseNameEmpty, "", ""},
        // The fixed length a front end falls back to is no length asked for.
        {"pause", kRefusePauseRule, "", ""},
        {"markers parts=3 pause", kRefusePauseRule, "", ""},
        {"length pause window=x", kRefusePauseWindow, "x", ""},
        {"length min=0.5", kRefusePauseValues, "", ""},
        {"length level=-30", kRefusePauseValues, "", ""},
        {"length pause min=", kRefusePauseMin, "", ""},
        {"length pause level=+3", kRefusePauseLevel, "+3", ""},
        {"length pause window=0.2", kRefusePauseShort, "0.2", "0.3"},
        {"size=1M pause window=1 min=0:02", kRefusePauseShort, "1", "0:02"},
        {"every parts=3", kRefuseEveryPauseParts, "", ""},
        {"every length pause window=1", kRefusePauseShort, "1", "2"},
        {"every pause", kRefusePauseRule, "", ""},
        {"every minpiece=x", kRefuseMinPiece, "x", ""},
        {"every minpiece=", kRefuseMinPiece, "", ""},
        {"length minpiece=30", kRefuseEveryPauseValues, "", ""},
        {"markers trim", kRefuseEveryPauseValues, "", ""},
        {"every level=Auto", kRefusePauseLevel, "Auto", ""},
        {"length name={title", kRefuseNameOpen, "{", ""},
        {"length name={title}_{take}", kRefuseNameField, "{take}", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pcGiven);
        CMyPlanRequest request;
        CMyPlanRefusal refusal;
        EXPECT_EQ(0, BuildPlanRequest(Texts(c.pcGiven), &request, &refusal));
        EXPECT_EQ(c.reason, refusal.Reason);
        EXPECT_STREQ(c.pcValue, refusal.strValue);
        EXPECT_STREQ(c.pcOther, refusal.strOther);
    }
}

// The user's cuts: read once into the request, alone cutting each part
// whole; a list that cannot be read is refused with its path and line.
TEST(RequestBuilder, CutListsAreReadOnceOrRefused)
{
    const CString strDir = MakeTestDir("RequestCuts");
    const CString strPlan = JoinPath(strDir, "p.csv");
    const CString strBad = JoinPath(strDir, "bad.txt");
    const CString strEmpty = JoinPath(strDir, "empty.cue");
    ASSERT_TRUE(WriteBytes(strPlan, "path,start\r\n/o/x_001.wav,00:00:01.000\r\n"));
    ASSERT_TRUE(WriteBytes(strBad, "1\t1\ta\n\n2\t1\tb\n"));
    ASSERT_TRUE(WriteBytes(strEmpty, "REM nothing\r\n"));
    const struct
    {
        std::string strGiven;
        PlanRefusal reason;
        const char* pcValue;
        DWORD dwLine;
        PlanRuleKind kind;
        NameField firstField; // kFieldText: the default template (empty)
    } cases[] = {
        {"cuts=" + std::string(strPlan), kRefuseNone, "", 0, kRuleWhole, kFieldLabel},
        {"cuts=" + std::string(strPlan) + " name={n}", kRefuseNone, "", 0, kRuleWhole,
         kFieldNumber},
        {"at=1,2 length", kRefuseNone, "", 0, kRuleLength, kFieldText},
        {"beside parts=2", kRefuseNone, "", 0, kRuleParts, kFieldText},
        {"at=1,x", kRefuseAt, "1,x", 0, kRuleLength, kFieldText},
        {"cuts=" + std::string(strBad), kRefuseCutsLine, strBad, 3, kRuleLength, kFieldText},
        {"cuts=" + std::string(strEmpty), kRefuseCutsEmpty, strEmpty, 0, kRuleLength, kFieldText},
        {"cuts=" + std::string(strDir) + "/none.cue", kRefuseCutsUnread, "", 0, kRuleLength,
         kFieldText},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.strGiven);
        CMyPlanRequest request;
        CMyPlanRefusal refusal;
        EXPECT_EQ(c.reason == kRefuseNone,
                  BuildPlanRequest(Texts(c.strGiven.c_str()), &request, &refusal));
        EXPECT_EQ(c.reason, refusal.Reason);
        EXPECT_EQ(c.dwLine, refusal.dwLine);
        if (c.reason == kRefuseCutsUnread)
            EXPECT_NE(0u, refusal.dwError);
        else if (c.reason != kRefuseNone)
            EXPECT_STREQ(c.pcValue, refusal.strValue);
        else
        {
            EXPECT_NE(nullptr, request.pCuts);
            EXPECT_EQ(c.kind, request.Rule.Kind);
            EXPECT_EQ(c.firstField, request.NameTemplate.Parts.empty()
                                        ? kFieldText
                                        : request.NameTemplate.Parts[0].Field);
        }
    }
    // No cut option: no cuts, and the default template.
    CMyPlanRequest request;
    CMyPlanRefusal refusal;
    ASSERT_EQ(1, BuildPlanRequest(Texts(""), &request, &refusal));
    EXPECT_EQ(nullptr, request.pCuts);
}
