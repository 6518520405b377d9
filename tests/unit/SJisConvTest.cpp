// Shift-JIS and wide conversion: byte classes in context, counts, terminators,
// lead-byte rules, trace entries, and the code page's table against Windows'.
#include "support/SJisByteType.h"
#include "support/SJisConv.h"

#include "TestSupport.h"
#include "TextTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(SJisByteType, WalksFromTheStart)
{
    struct Case
    {
        const char* pcText;
        DWORD dwIndex;
        int iWant;
    };
    const Case cases[] = {
        {"a\x83\x5C", 0, SJIS_BYTE_SINGLE},
        {"a\x83\x5C", 1, SJIS_BYTE_LEAD},
        {"a\x83\x5C", 2, SJIS_BYTE_TRAIL}, // ソ: a trail byte that looks like '\'
        {"a\x83\x5C", 3, SJIS_BYTE_INVALID},
        {"a\x83\x5C", 9, SJIS_BYTE_INVALID},
        {"\x81\x81\x81", 1, SJIS_BYTE_TRAIL}, // a lead value in trail position
        {"\x81\x81\x81", 2, SJIS_BYTE_LEAD},
        {"\x82\x20", 1, SJIS_BYTE_INVALID}, // lead byte without its trail
        {"\x82\x7F", 1, SJIS_BYTE_INVALID},
        {"\x82\x20\x82\xA0", 2, SJIS_BYTE_LEAD},
        {"\x82", 0, SJIS_BYTE_LEAD},
        {"", 0, SJIS_BYTE_INVALID},
        {"\xF6\x40", 0, SJIS_BYTE_LEAD}, // runtime lead bytes reach 0xFC
        {"\xFC\xFC", 1, SJIS_BYTE_TRAIL},
        {"\xA0\xB1\xFD\x0A", 3, SJIS_BYTE_SINGLE},
        {"\xFD", 0, SJIS_BYTE_SINGLE},
    };
    for (const Case& k : cases)
        EXPECT_EQ(k.iWant, GetSJisByteType(k.pcText, k.dwIndex)) << k.pcText << " @" << k.dwIndex;
    EXPECT_EQ(SJIS_BYTE_INVALID, GetSJisByteType(nullptr, 0));
}

TEST(SJisConv, GetLenHonoursLengthsAndNeverSplitsACharacter)
{
    struct Case
    {
        const char* pcSrc;
        DWORD dwSrcLen;
        DWORD dwBuffSize;
        int iWant;
        std::u16string want;
    };
    const Case cases[] = {
        {"abc", 0, 10, 1, u""},
        {"\x82\xA0"
         "A",
         3, 10, 1, u"あA"},
        {"\x82", 1, 10, 0, u""},       // only a lead byte
        {"A\x82\xA0", 2, 10, 1, u"A"}, // ends on a lead byte: left out
        {"abc", 10, 10, 1, u"abc"},    // beyond the end: the whole text
        {"ab\x82", 10, 10, 1, u"ab"},  // the whole text ends on a lead byte
        {"\x83\x5C\x95\x5C", 4, 10, 1, u"ソ表"},
        {"\x83\x5C\x95\x5C", 3, 10, 1, u"ソ"},
        {"abc", 3, 3, 1, u"ab"}, // a full destination keeps its terminator
        {"abcd", 4, 3, 0, u""},  // does not fit
        {"", 5, 10, 0, u""},
    };
    for (const Case& k : cases)
    {
        WCHAR awBuff[10];
        awBuff[0] = 'x';
        DWORD dwCount = 99;
        EXPECT_EQ(k.iWant,
                  ConvSJisToWideCharGetLen(awBuff, k.pcSrc, k.dwBuffSize, k.dwSrcLen, &dwCount))
            << k.pcSrc << " " << k.dwSrcLen;
        EXPECT_EQ(k.want, U16(awBuff)) << k.pcSrc << " " << k.dwSrcLen;
        EXPECT_EQ(k.want.size(), dwCount) << k.pcSrc << " " << k.dwSrcLen;
    }
    // A broken pair inside the length converts to replacement characters;
    // nothing after the length is read.
    WCHAR awBuff[10];
    EXPECT_EQ(1, ConvSJisToWideCharGetLen(awBuff,
                                          "\x82\x20"
                                          "abc",
                                          10, 2));
    EXPECT_EQ(std::u16string::npos, U16(awBuff).find(u'a'));
    EXPECT_EQ("", ReadTrace());
}

TEST(SJisConv, GetLenRefusesInvalidArguments)
{
    WCHAR awBuff[4] = {'x', 'x', 0, 0};
    const char* pcSrc = "abc";
    DWORD dwCount = 7;
    EXPECT_EQ(0, ConvSJisToWideCharGetLen(awBuff, pcSrc, 1, 3, &dwCount));
    EXPECT_EQ(0u, dwCount);
    EXPECT_EQ(0, awBuff[0]);
    EXPECT_EQ(0, ConvSJisToWideCharGetLen(nullptr, nullptr, 10, 3));
    CString strWant;
    strWant.Format("※　引数が無効です。ConvSJisToWideCharGetLen()\n\tpwcResultBuff[%08X], "
                   "pcSrcStr[%08X], dwResultBuffSize[1]\n",
                   (DWORD)(uintptr_t)awBuff, (DWORD)(uintptr_t)pcSrc);
    std::string trace = ReadTrace();
    EXPECT_EQ(0u, trace.find(TextEntry(strWant)));
    EXPECT_NE(std::string::npos,
              trace.find(TextEntry("※　引数が無効です。ConvSJisToWideCharGetLen()\n\tpwcResultBuff["
                                   "00000000], pcSrcStr[00000000], dwResultBuffSize[10]\n")));
}

TEST(SJisConv, ToWideCharJudgesTheLastByteByValue)
{
    DWORD dwCount = 9;
    WCHAR* pwc = ConvSJisToWideChar("\x82\xA0"
                                    "A",
                                    0, &dwCount);
    ASSERT_NE(nullptr, pwc);
    EXPECT_EQ(u"あA", U16(pwc));
    EXPECT_EQ(2u, dwCount);
    free(pwc);

    pwc = ConvSJisToWideChar("abc", 2, &dwCount);
    EXPECT_EQ(u"ab", U16(pwc));
    free(pwc);
    // 0x81 0xFC is one character whose last byte is no lead byte by value.
    pwc = ConvSJisToWideChar("\x81\xFC", 0);
    EXPECT_EQ(u"◯", U16(pwc));
    free(pwc);
    EXPECT_EQ("", ReadTrace());

    // Α (0x83 0x9F) is complete, but its last byte has a lead byte's value.
    EXPECT_EQ(nullptr, ConvSJisToWideChar("\x83\x9F", 0, &dwCount));
    EXPECT_EQ(0u, dwCount);
    EXPECT_EQ(nullptr, ConvSJisToWideChar("", 0));
    EXPECT_EQ(nullptr, ConvSJisToWideChar(nullptr, 5));
    EXPECT_EQ(
        TextEntry("※　末尾がSJIS1バイト目なのでワイド文字に変換できません。ConvSJisToWideChar()\n"
                  "※　引数が無効です。ConvSJisToWideChar()\n\tpcSrcStr[00000000], dwSrcLen[5]\n"),
        ReadTrace());
}

TEST(SJisConv, ToSJisKeepsSecondBytesThatLookLikeSeparators)
{
    DWORD dwCount = 0;
    char* pc = ConvWideCharToSJis(WSTR("ソ表A"), 0, &dwCount);
    ASSERT_NE(nullptr, pc);
    EXPECT_STREQ("\x83\x5C\x95\x5C"
                 "A",
                 pc);
    EXPECT_EQ(5u, dwCount);
    free(pc);
    pc = ConvWideCharToSJis(WSTR("ソ表A"), 1, &dwCount);
    EXPECT_STREQ("\x83\x5C", pc);
    free(pc);
    EXPECT_EQ(nullptr, ConvWideCharToSJis(WSTR(""), 0, &dwCount));
    EXPECT_EQ(0u, dwCount);
    EXPECT_EQ("", ReadTrace());
    EXPECT_EQ(nullptr, ConvWideCharToSJis(nullptr, 0));
    EXPECT_EQ(
        TextEntry("※　引数が無効です。ConvWideCharToSJis()\n\tpwcSrcStr[00000000], dwSrcLen[0]\n"),
        ReadTrace());
}

TEST(SJisConv, AllocationFailuresAreReported)
{
    CFailingTextAlloc failing;
    DWORD dwCount = 9;
    EXPECT_EQ(nullptr, ConvSJisToWideChar("ab", 0, &dwCount));
    EXPECT_EQ(0u, dwCount);
    EXPECT_EQ(nullptr, ConvWideCharToSJis(WSTR("ソ表A"), 0, &dwCount));
    EXPECT_EQ(nullptr, ConvSJisToNewWideChar("ab"));
    EXPECT_EQ(3, failing.FailedCount());
    EXPECT_EQ(TextEntry("※　バッファの確保に失敗。ConvSJisToWideChar()\n\tNeedBuffSize[3]\n"
                        "※　バッファの確保に失敗。ConvWideCharToSJis()\n\tNeedBuffSize[6]\n"),
              ReadTrace());
}

TEST(SJisConv, QuietRoutinesAndCounts)
{
    WCHAR* pwc = ConvSJisToNewWideChar("\x83\x5C"
                                       "a");
    EXPECT_EQ(u"ソa", U16(pwc));
    free(pwc);
    EXPECT_EQ(nullptr, ConvSJisToNewWideChar(""));
    EXPECT_EQ(nullptr, ConvSJisToNewWideChar(nullptr));

    WCHAR awBuff[8] = {'x', 0};
    EXPECT_EQ(0, ConvSJisToWideCharBuff(nullptr, "a"));
    EXPECT_EQ(0, ConvSJisToWideCharBuff(awBuff, ""));
    EXPECT_EQ(0, awBuff[0]);
    awBuff[0] = 'x';
    EXPECT_EQ(0, ConvSJisToWideCharBuff(awBuff, nullptr));
    EXPECT_EQ(0, awBuff[0]);
    EXPECT_EQ(1, ConvSJisToWideCharBuff(awBuff, "\x95\x5C"
                                                "ab"));
    EXPECT_EQ(u"表ab", U16(awBuff));

    EXPECT_EQ(2u, CountSJisWideChars("\x82\xA0"
                                     "A",
                                     3));
    EXPECT_EQ(0u, CountSJisWideChars("abc", 0));
    EXPECT_EQ(0u, CountSJisWideChars(nullptr, 3));
    EXPECT_EQ(3u, CountSJisSectorWideChars("\x82\xA0"
                                           "AB",
                                           0, 0));
    EXPECT_EQ(2u, CountSJisSectorWideChars("\x82\xA0"
                                           "AB",
                                           2, 0));
    EXPECT_EQ(1u, CountSJisSectorWideChars("\x82\xA0"
                                           "AB",
                                           0, 2));
    EXPECT_EQ(1u, CountSJisSectorWideChars("\x82\xA0"
                                           "AB",
                                           3, 99));
    EXPECT_EQ(0u, CountSJisSectorWideChars("\x82\xA0"
                                           "AB",
                                           4, 0));
    EXPECT_EQ(0u, CountSJisSectorWideChars(nullptr, 0, 0));
    EXPECT_EQ("", ReadTrace());
}

// Characters whose mapping differs between code-page tables: both builds must
// give what Windows gives, one way and back.
TEST(SJisConv, CodePageMatchesWindows)
{
    struct Case
    {
        const char* pcSJis;
        char16_t wc;
        const char* pcBack;
    };
    const Case cases[] = {
        {"\x83\x5C", u'ソ', "\x83\x5C"},  {"\x95\x5C", u'表', "\x95\x5C"},
        {"\x94\x5C", u'能', "\x94\x5C"},  {"\x5C", u'\\', "\x5C"},
        {"\x7E", u'~', "\x7E"},           {"\x81\x60", 0xFF5E, "\x81\x60"},
        {"\x81\x7C", 0xFF0D, "\x81\x7C"}, {"\x87\x54", 0x2160, "\x87\x54"},
        {"\xFA\x4A", 0x2160, "\x87\x54"}, {"\xEE\xEF", 0x2170, "\xFA\x40"},
        {"\xED\x40", 0x7E8A, "\xFA\x5C"}, {"\xFA\x54", 0xFFE2, "\x81\xCA"},
        {"\x87\x90", 0x2252, "\x81\xE0"}, {"\xB1", 0xFF71, "\xB1"},
        {"\x80", 0x0080, "\x80"},         {"\xA0", 0xF8F0, "\xA0"},
        {"\xFD", 0xF8F1, "\xFD"},         {"\xFF", 0xF8F3, "\xFF"},
        {"\x85\x40", 0x30FB, "\x81\x45"}, // undefined pair: one replacement character
    };
    for (const Case& k : cases)
    {
        WCHAR* pwc = ConvSJisToNewWideChar(k.pcSJis);
        EXPECT_EQ(std::u16string(1, k.wc), U16(pwc)) << k.pcSJis;
        char* pc = ConvWideCharToSJis(pwc, 0);
        EXPECT_STREQ(k.pcBack, pc) << k.pcSJis;
        free(pc);
        free(pwc);
    }
}
