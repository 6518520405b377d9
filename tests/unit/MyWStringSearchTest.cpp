// CMyWString searching, comparing, narrow output and splitting; Shift-JIS
// characters whose second byte looks like a separator stay whole throughout.
#include "support/MyWString.h"

#include "TestSupport.h"
#include "TextTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace
{
const DWORD kNone = MYWSTR_NOT_FOUND;
}

TEST(MyWStringSearch, Find)
{
    struct Case
    {
        const char16_t* pText;
        DWORD dwStart;
        const char16_t* pPattern;
        DWORD dwPatternLen;
        int bIgnoreCase;
        DWORD dwWant;
    };
    const Case cases[] = {
        {u"abcabc", 0, u"bc", 0, 0, 1},
        {u"abcabc", 2, u"bc", 2, 0, 4},
        {u"abcabc", 5, u"bc", 2, 0, kNone}, // longer than the rest
        {u"abcabc", 4, u"bc", 2, 0, 4},
        {u"abcabc", 6, u"c", 1, 0, kNone},
        {u"abcabc", 0, u"", 0, 0, kNone},
        {u"abcabc", 0, nullptr, 1, 0, kNone},
        {u"abXd", 0, u"abc", 2, 0, 0},
        {u"ABC", 0, u"b", 0, 1, 1},
        {u"ABC", 0, u"b", 0, 0, kNone},
        {u"ＡＢＣ", 0, u"ｂ", 0, 1, 1}, // full-width Latin folds too
        {u"xÉy", 0, u"é", 0, 1, 1},
        {u"ΑΒΓ", 0, u"γ", 0, 1, 2},
        {u"ДОМ", 0, u"м", 0, 1, 2},
        {u"Ⅳ", 0, u"ⅳ", 0, 1, 0},
        {u"ソ表", 0, u"\\", 0, 0, kNone},
    };
    for (const Case& k : cases)
    {
        CMyWString wstr((const WCHAR*)k.pText);
        EXPECT_EQ(k.dwWant,
                  wstr.Find(k.dwStart, (const WCHAR*)k.pPattern, k.dwPatternLen, k.bIgnoreCase))
            << (const char*)wstr.GetCString() << " @" << k.dwStart;
    }
}

TEST(MyWStringSearch, ReverseFindTakesOccurrencesWithoutOverlap)
{
    CMyWString wstr(WSTR("a\\b\\c"));
    EXPECT_EQ(3u, wstr.ReverseFind(0, WSTR("\\"), 0));
    EXPECT_EQ(kNone, wstr.ReverseFind(0, WSTR(""), 0));
    EXPECT_EQ(kNone, wstr.ReverseFind(0, nullptr, 0));
    EXPECT_EQ(2u, CMyWString(WSTR("aaaa")).ReverseFind(0, WSTR("aa"), 0));
    EXPECT_EQ(0u, CMyWString(WSTR("aaa")).ReverseFind(0, WSTR("aa"), 0));
    EXPECT_EQ(1u, CMyWString(WSTR("aaa")).ReverseFind(1, WSTR("aa"), 0));
    EXPECT_EQ(2u, CMyWString(WSTR("ABab")).ReverseFind(0, WSTR("AB"), 1));

    CMyWString wstrPath("C:\\\x83\x5C\\x\x95\x5C"); // C:\ソ\x表
    EXPECT_EQ(4u, wstrPath.ReverseFindA(0, "\\", 0));
    EXPECT_EQ(3u, wstrPath.ReverseFindA(0, "\x83\x5C", 0));
    EXPECT_EQ(kNone, wstrPath.ReverseFindA(0, "", 0));
    EXPECT_EQ(kNone, wstrPath.ReverseFindA(0, nullptr, 0));
    EXPECT_EQ("", ReadTrace());
}

TEST(MyWStringSearch, SetsAndCharacters)
{
    CMyWString wstr(WSTR("a/b\\c"));
    EXPECT_EQ(1u, wstr.FindOneOf(0, WSTR("\\/")));
    EXPECT_EQ(3u, wstr.FindOneOf(2, WSTR("\\/")));
    EXPECT_EQ(kNone, wstr.FindOneOf(4, WSTR("\\/")));
    EXPECT_EQ(kNone, wstr.FindOneOf(5, WSTR("c")));
    EXPECT_EQ(kNone, wstr.FindOneOf(0, WSTR("")));
    EXPECT_EQ(kNone, wstr.FindOneOf(0, nullptr));
    EXPECT_EQ(3u, wstr.ReverseFindOneOf(0xFFFFFFFF, WSTR("\\/")));
    EXPECT_EQ(3u, wstr.ReverseFindOneOf(99, WSTR("\\/")));
    EXPECT_EQ(1u, wstr.ReverseFindOneOf(2, WSTR("\\/")));
    EXPECT_EQ(kNone, wstr.ReverseFindOneOf(0, WSTR("\\/")));
    EXPECT_EQ(kNone, wstr.ReverseFindOneOf(4, nullptr));
    EXPECT_EQ(kNone, CMyWString().ReverseFindOneOf(0, WSTR("a")));
    EXPECT_EQ(1u, wstr.FindChar('/'));
    EXPECT_EQ(kNone, wstr.FindChar('x'));
    EXPECT_EQ(4u, wstr.ReverseFindChar('c'));
    EXPECT_EQ(kNone, CMyWString().FindChar('a'));
    EXPECT_EQ(kNone, CMyWString().ReverseFindChar(0));

    CMyWString wstrSJis("\x83\x5C"
                        "a/");
    EXPECT_EQ(2u, wstrSJis.FindOneOfA(0, "\\/"));
    EXPECT_EQ(0u, wstrSJis.FindOneOfA(0, "\x95\x5C\x83\x5C"));
    EXPECT_EQ(kNone, wstrSJis.FindOneOfA(0, ""));
    EXPECT_EQ(kNone, wstrSJis.FindOneOfA(3, "/"));
    EXPECT_EQ("", ReadTrace());
    EXPECT_EQ(kNone, wstrSJis.FindOneOfA(0, "/\x82")); // ends in a lead byte
    EXPECT_EQ(
        TextEntry("※　末尾がSJIS1バイト目なのでワイド文字に変換できません。ConvSJisToWideChar()\n"),
        ReadTrace());

    EXPECT_EQ(1, CMyWString(WSTR("12:34.5")).ConsistsOf(WSTR("0123456789:.")));
    EXPECT_EQ(0, CMyWString(WSTR("12a")).ConsistsOf(WSTR("0123456789:.")));
    EXPECT_EQ(1, CMyWString().ConsistsOf(WSTR("0")));
    EXPECT_EQ(0, CMyWString().ConsistsOf(WSTR("")));
    EXPECT_EQ(0, CMyWString(WSTR("1")).ConsistsOf(nullptr));
}

TEST(MyWStringSearch, CompareLikeTheRuntime)
{
    struct Case
    {
        const char16_t* pA;
        const char16_t* pB;
        int bIgnoreCase;
        int iSign;
    };
    const Case cases[] = {
        {u"abc", u"abc", 0, 0},   {u"abc", u"abd", 0, -1}, {u"abd", u"abc", 0, 1},
        {u"ab", u"abc", 0, -1},   {u"ABC", u"abc", 1, 0},  {u"ABC", u"abc", 0, -1},
        {u"ＡＢ", u"ａｂ", 1, 0}, {u"ÀÉ", u"àé", 1, 0},    {u"ΣΩ", u"σω", 1, 0},
        {u"ЁЖ", u"ёж", 1, 0},     {u"Ā", u"ā", 1, 0},      {u"Ÿ", u"ÿ", 1, 0},
        {u"A", u"_", 1, 1}, // folded to lower case: 'a' sorts after '_'
        {u"A", u"_", 0, -1},      {u"", u"", 1, 0},        {u"ソ", u"ゾ", 1, -1},
    };
    for (const Case& k : cases)
    {
        int iGot = CMyWString((const WCHAR*)k.pA).Compare((const WCHAR*)k.pB, k.bIgnoreCase);
        EXPECT_EQ(k.iSign, iGot < 0   ? -1
                           : iGot > 0 ? 1
                                      : 0)
            << (const char*)CMyWString((const WCHAR*)k.pA).GetCString() << " " << k.bIgnoreCase;
    }
    CMyWString wstr(WSTR("ソa"));
    EXPECT_EQ(-1, wstr.Compare((const WCHAR*)nullptr, 0));
    EXPECT_EQ(0, wstr.Compare("\x83\x5C"
                              "A",
                              1));
    EXPECT_EQ(-1, CMyWString().Compare("", 0)); // an empty narrow text never compares
    EXPECT_EQ(-1, wstr.Compare((const char*)nullptr, 0));
}

TEST(MyWStringSearch, NarrowOutput)
{
    CMyWString wstr(WSTR("aソ表b"));
    EXPECT_EQ(CString("\x83\x5C\x95\x5C"), wstr.GetSectorData(1, 2));
    EXPECT_EQ(CString("\x95\x5C"
                      "b"),
              wstr.GetSectorData(2, 0));
    EXPECT_EQ(CString("\x95\x5C"
                      "b"),
              wstr.GetSectorData(2, 99));
    EXPECT_EQ(CString(""), wstr.GetSectorData(4, 1));
    EXPECT_EQ(CString("a\x83\x5C\x95\x5C"
                      "b"),
              wstr.GetCString());

    char* pc = wstr.GetSectorDataA(1, 99);
    EXPECT_STREQ("\x83\x5C\x95\x5C"
                 "b",
                 pc);
    free(pc);
    pc = wstr.GetSectorDataA(9, 1);
    EXPECT_STREQ("", pc);
    free(pc);
    EXPECT_EQ("", ReadTrace());
    pc = wstr.GetSectorDataA(1, 0); // a count of 0 fails at the byte count
    EXPECT_STREQ("", pc);
    free(pc);
    EXPECT_EQ(TextEntry("※　ワイド文字からの変換予定バイト数が出せません。"
                        "CMyWString::GetSectorDataA()\n"),
              ReadTrace());

    CString strDest("old");
    EXPECT_EQ(0, wstr.CopySectorTo(nullptr, 0));
    EXPECT_EQ(1, wstr.CopySectorTo(&strDest, 3, 0));
    EXPECT_EQ(CString("b"), strDest);
    EXPECT_EQ(0, wstr.CopySectorTo(&strDest, 4));
    EXPECT_EQ(CString(""), strDest);
}

TEST(MyWStringSearch, NarrowOutputAllocationFailures)
{
    CMyWString wstr(WSTR("aソ"));
    CString strDest("old");
    {
        CFailingTextAlloc failing;
        EXPECT_EQ(CString(""), wstr.GetSectorData(0));
        char* pc = wstr.GetSectorDataA(0, 2);
        ASSERT_NE(nullptr, pc); // never null
        EXPECT_STREQ("", pc);
        free(pc);
        EXPECT_EQ(1, wstr.CopySectorTo(&strDest, 0)); // 1 even for the empty text
    }
    EXPECT_EQ(CString(""), strDest);
    EXPECT_EQ(TextEntry("※　バッファ確保に失敗。CMyWString::GetSectorData()\n\tTempBuffSize[4]\n"
                        "※　バッファ確保に失敗。CMyWString::GetSectorDataA()\n\tTempBuffSize[4]\n"
                        "※　バッファ確保に失敗。CMyWString::GetSectorDataA()\n\tTempBuffSize[4]\n"),
              ReadTrace());
}

TEST(MyWStringSearch, Split)
{
    struct Case
    {
        const char16_t* pText;
        const char16_t* pSeparators;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {u"", u":", {}},
        {u"5", u":", {"5"}},
        {u"12:34:", u":", {"12", "34"}}, // a trailing separator adds no field
        {u":5", u":", {"", "5"}},
        {u"1::2", u":", {"1", "", "2"}},
        {u"::", u":", {"", ""}},
        {u"a/b\\c", u"/\\", {"a", "b", "c"}},
        {u"ソ:表", u":", {"\x83\x5C", "\x95\x5C"}},
        {u"ソ表", u"\\", {"\x83\x5C\x95\x5C"}}, // no U+005C inside
        {u"a:b", u"", {}},
        {u"a:b", nullptr, {}},
    };
    for (const Case& k : cases)
    {
        CStringArray arr;
        arr.Add("stale");
        DWORD dwGot = CMyWString((const WCHAR*)k.pText).Split(&arr, (const WCHAR*)k.pSeparators);
        ASSERT_EQ(k.want.size(), dwGot) << k.want.size();
        ASSERT_EQ((int)k.want.size(), arr.GetSize());
        for (size_t i = 0; i < k.want.size(); ++i)
            EXPECT_EQ(k.want[i], std::string((const char*)arr[(int)i])) << i;
    }
}
