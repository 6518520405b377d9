// The command line's messages (on Linux, where the language is chosen): the
// table, the choice of language, and the window's words and trace entries
// said in it.
#include "cli/Messages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
// The conversions of a format, in order ("%u%I64u"), literal "%%" left out.
std::string Fields(const char* pcFormat)
{
    std::string fields;
    for (const char* pc = pcFormat; *pc != '\0'; pc++)
    {
        if (*pc != '%')
            continue;
        if (pc[1] == '%')
        {
            pc++;
            continue;
        }
        const char* pcEnd = pc + 1;
        while (*pcEnd != '\0' && strchr("diuxXsc", *pcEnd) == nullptr)
            pcEnd++;
        fields.append(pc, pcEnd + 1 - pc);
        pc = pcEnd;
    }
    return fields;
}

// The language the program would choose from LC_ALL, for one test.
class LanguageFromLcAll
{
public:
    explicit LanguageFromLcAll(const char* pcValue)
    {
        const char* pcOld = getenv("LC_ALL");
        m_bHadOld = pcOld != nullptr;
        if (m_bHadOld)
            m_strOld = pcOld;
        setenv("LC_ALL", pcValue, 1);
        StartCliLanguage();
    }
    ~LanguageFromLcAll()
    {
        if (m_bHadOld)
            setenv("LC_ALL", m_strOld.c_str(), 1);
        else
            unsetenv("LC_ALL");
        StartCliLanguage();
    }

private:
    bool m_bHadOld = false;
    std::string m_strOld;
};
} // namespace

TEST(CliMessages, EveryMessageHasBothTextsWithTheSameFields)
{
    for (int i = 0; i < kMsgCount; i++)
    {
        const CliMessageText& text = GetCliMessageText((CliMessage)i);
        ASSERT_NE(nullptr, text.pcEnglish) << i;
        ASSERT_NE(nullptr, text.pcJapanese) << i;
        EXPECT_NE('\0', text.pcEnglish[0]) << i;
        EXPECT_NE('\0', text.pcJapanese[0]) << i;
        for (const char* pc = text.pcEnglish; *pc != '\0'; pc++)
            EXPECT_TRUE(*pc >= 0x20 && *pc < 0x7F) << i << ": " << text.pcEnglish;
        EXPECT_NE(std::string(text.pcEnglish), text.pcJapanese) << i;
        EXPECT_EQ(Fields(text.pcEnglish), Fields(text.pcJapanese)) << i << ": " << text.pcEnglish;
    }
}

TEST(CliMessages, LanguageComesFromTheFirstVariableSet)
{
    struct Case
    {
        const char* pcLcAll;
        const char* pcLcMessages;
        const char* pcLang;
        CliLanguage expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, kLangEnglish},
        {"C", nullptr, "ja_JP.UTF-8", kLangEnglish},
        {"POSIX", nullptr, nullptr, kLangEnglish},
        {"C.UTF-8", nullptr, nullptr, kLangEnglish},
        {"en_US.UTF-8", nullptr, nullptr, kLangEnglish},
        {"ja_JP.UTF-8", nullptr, nullptr, kLangJapanese},
        {"ja_JP.eucJP", nullptr, nullptr, kLangJapanese},
        {"ja", nullptr, nullptr, kLangJapanese},
        {"ja_JP@cjknarrow", nullptr, nullptr, kLangJapanese},
        {"jam_JM.UTF-8", nullptr, nullptr, kLangEnglish},
        {"", "ja_JP.UTF-8", "en_US.UTF-8", kLangJapanese},
        {nullptr, "en_GB.UTF-8", "ja_JP.UTF-8", kLangEnglish},
        {"", "", "ja_JP.SJIS", kLangJapanese},
        {"", "", "", kLangEnglish},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, ChooseCliLanguage(c.pcLcAll, c.pcLcMessages, c.pcLang))
            << (c.pcLcAll ? c.pcLcAll : "-") << " " << (c.pcLcMessages ? c.pcLcMessages : "-")
            << " " << (c.pcLang ? c.pcLang : "-");
}

TEST(CliMessages, WindowsKeepsTheWindowsWordsAndTheEnglishOnes)
{
    EXPECT_STREQ(GetCliMessageText(kMsgSummary).pcJapanese,
                 GetCliTextIn(kLangWindows, kMsgSummary));
    EXPECT_STREQ(GetCliMessageText(kMsgDryRunSummary).pcEnglish,
                 GetCliTextIn(kLangWindows, kMsgDryRunSummary));
    EXPECT_STREQ("%u 個中 %u 個のファイルを分割処理しました。",
                 GetCliTextIn(kLangWindows, kMsgSummary));
}

TEST(CliMessages, ReasonLosesItsMarkAndFunctionName)
{
    struct Case
    {
        const char* pcLcAll;
        const char* pcEntry;
        const char* pcExpected;
    };
    const Case cases[] = {
        // "。" ends in 0x42, a 'B': the name is found walking forwards.
        {"ja_JP.UTF-8", "※　分割ファイルが多すぎるため分割しません。MakeSplitPlan()\n\tX[1]\n",
         "分割ファイルが多すぎるため分割しません。"},
        {"ja_JP.UTF-8", "※　WAVEファイルではありません。CMyWaveFile::ReadHeader()\n",
         "WAVEファイルではありません。"},
        {"ja_JP.UTF-8", "※　無効なWAVEヘッダです。\n", "無効なWAVEヘッダです。"},
        {"C", "※　分割ファイルが多すぎるため分割しません。MakeSplitPlan()\n",
         "it would give too many pieces"},
        {"C", "※　dataチャンクのデータサイズが0のため分割しません。SplitFile()\n",
         "its header says it holds no audio"},
        {"C", "※　見たことのない理由です。Unknown()\n", "the reason is in the trace file"},
        {"C", "", ""},
    };
    for (const Case& c : cases)
    {
        LanguageFromLcAll language(c.pcLcAll);
        EXPECT_STREQ(c.pcExpected, MakeReasonText(c.pcEntry)) << c.pcEntry;
    }
}

TEST(CliMessages, WindowBoxesAreSaidInEnglish)
{
    LanguageFromLcAll language("en_US.UTF-8");
    EXPECT_STREQ("files: 12, split: 3",
                 TranslateBoxText("12 個中 3 個のファイルを分割処理しました。\n"));
    EXPECT_STREQ("files whose names collide: 4",
                 TranslateBoxText("※　4 個のファイルが重複しています。"));
    EXPECT_STREQ("the output folder has too little free space\n[ /out/a_001.wav ]",
                 TranslateBoxText("※　出力フォルダの空き容量が足りません。\n[ /out/a_001.wav ]"));
    // Not the table's: as it is.
    EXPECT_STREQ("12 個中 3 個のファイルを", TranslateBoxText("12 個中 3 個のファイルを"));
    EXPECT_TRUE(IsSummaryBox("1 個中 1 個のファイルを分割処理しました。\n"));
    EXPECT_FALSE(IsSummaryBox("※　4 個のファイルが重複しています。"));
}

TEST(CliMessages, WindowBoxesStayInJapanese)
{
    LanguageFromLcAll language("ja_JP.UTF-8");
    EXPECT_STREQ("12 個中 3 個のファイルを分割処理しました。\n",
                 TranslateBoxText("12 個中 3 個のファイルを分割処理しました。\n"));
}
