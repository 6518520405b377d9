// CMyWString: construction, the growth rule, assignment, appending, SetData
// and the sticky failure flag, with their trace entries.
#include "support/MyWString.h"

#include "TestSupport.h"
#include "TextTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::u16string Repeat(char16_t c, size_t n)
{
    return std::u16string(n, c);
}
} // namespace

TEST(MyWString, ConstructorsGiveTheirCapacities)
{
    CMyWString wstrDefault;
    EXPECT_EQ(0u, wstrDefault.GetLength());
    EXPECT_EQ(2000u, wstrDefault.GetBuffSize());
    EXPECT_EQ(0, wstrDefault.GetString()[0]);
    EXPECT_EQ(0, wstrDefault.GetString()[1999]);

    CMyWString wstrNarrow("\x83\x5C\x95\x5C"
                          "a");
    EXPECT_EQ(u"ソ表a", U16(wstrNarrow));
    EXPECT_EQ(2000u, wstrNarrow.GetBuffSize());
    CMyWString wstrLong(std::string(2500, 'a').c_str());
    EXPECT_EQ(2500u, wstrLong.GetLength());
    EXPECT_EQ(2501u, wstrLong.GetBuffSize());
    CMyWString wstrLead("ab\x82"); // a final lead byte is left out
    EXPECT_EQ(u"ab", U16(wstrLead));
    CMyWString wstrEmpty("");
    EXPECT_EQ(0u, wstrEmpty.GetLength());
    EXPECT_EQ(2000u, wstrEmpty.GetBuffSize());

    CMyWString wstrCut(WSTR("abcdef"), 3);
    EXPECT_EQ(u"abc", U16(wstrCut));
    EXPECT_EQ(0, wstrCut.GetString()[1999]);
    EXPECT_EQ(u"abc", U16(CMyWString(WSTR("abc"), 10).GetString()));
    EXPECT_EQ(u"abc", U16(CMyWString(WSTR("abc"), 0xFFFFFFFF).GetString()));
    std::u16string long3000 = Repeat('w', 3000);
    EXPECT_EQ(3001u, CMyWString(W(long3000)).GetBuffSize());
    CMyWString wstrNullWide((const WCHAR*)nullptr);
    EXPECT_EQ(2000u, wstrNullWide.GetBuffSize());
    EXPECT_EQ(0u, wstrNullWide.GetLength());
    EXPECT_EQ("", ReadTrace());
}

TEST(MyWString, NullNarrowTextGivesTwoEntriesAndAnEmptyString)
{
    CMyWString wstr((const char*)nullptr);
    EXPECT_EQ(0u, wstr.GetLength());
    EXPECT_EQ(2000u, wstr.GetBuffSize());
    EXPECT_EQ(0, wstr.IsError());
    CString strWant;
    strWant.Format("※　引数が無効です。ConvSJisToWideCharGetLen()\n\tpwcResultBuff[%08X], "
                   "pcSrcStr[00000000], dwResultBuffSize[2000]\n"
                   "※　ワイド文字への変換に失敗。CMyWString::CMyWString(const char *pcStr)\n\t"
                   "NeedBuffSize[2000], InputStrLen[0]\n",
                   (DWORD)(uintptr_t)wstr.GetString());
    EXPECT_EQ(TextEntry(strWant), ReadTrace());
}

TEST(MyWString, GrowthRule)
{
    struct Case
    {
        DWORD dwCur, dwNeed, dwWant;
    };
    const Case cases[] = {
        {2000, 2001, 8004},           {2000, 3001, 12004},
        {2000, 2002, 8007}, // the double product comes out one below 8008
        {8004, 8007, 32027},          {2000, 4999999, 19999996},
        {2000, 5000000, 7500000},     {2000, 6000000, 9000000},
        {9000000, 9000036, 13500053}, // one below 13500054
        {2000, 249999999, 374999998}, {2000, 250000000, 314000000},
        {2000, 300000000, 364000000}, {2000, 1005547519, 1069547519},
        {2000, 1005547520, 0},                         // reaches 0x3FC00000: too large
        {2000, 0xFFFFFFFF, 0},        {0, 2001, 8004}, // no buffer: needed * factor
        {0, 5000001, 7500001},
    };
    for (const Case& k : cases)
        EXPECT_EQ(k.dwWant, CMyWString::GrowBuffSize(k.dwCur, k.dwNeed))
            << k.dwCur << " " << k.dwNeed;
}

TEST(MyWString, AppendingGrowsOnlyWhenFull)
{
    CMyWString wstr;
    std::u16string chunk = Repeat('a', 1999);
    EXPECT_EQ(1, wstr.AddStr(W(chunk)));
    EXPECT_EQ(2000u, wstr.GetBuffSize()); // needed 2000 still fits
    EXPECT_EQ(1, wstr.AddStr(WSTR("b")));
    EXPECT_EQ(8004u, wstr.GetBuffSize());
    EXPECT_EQ(chunk + u"b", U16(wstr));

    CMyWString wstrTwo;
    std::u16string two = Repeat('c', 2000);
    wstrTwo + W(two);
    EXPECT_EQ(8004u, wstrTwo.GetBuffSize());
    EXPECT_EQ(2000u, wstrTwo.GetLength());

    CMyWString wstrAssign;
    std::u16string three = Repeat('d', 3000);
    wstrAssign = W(three);
    EXPECT_EQ(12004u, wstrAssign.GetBuffSize());
    EXPECT_EQ(three, U16(wstrAssign));
}

TEST(MyWString, AppendVariants)
{
    CMyWString wstr(WSTR("ab"));
    EXPECT_EQ(1, wstr.AddStr(WSTR(""), 1)); // no line feed for an empty text
    EXPECT_EQ(0, wstr.AddStr(nullptr, 1));
    EXPECT_EQ(1, wstr.AddStr(WSTR("c"), 1));
    EXPECT_EQ(u"abc\n", U16(wstr));
    EXPECT_EQ(0, wstr.AddSector(WSTR("xyz"), 3, 1));
    EXPECT_EQ(0, wstr.AddSector(nullptr, 0, 1));
    EXPECT_EQ(1, wstr.AddSector(WSTR("xyz"), 1, 99, 1));
    EXPECT_EQ(1, wstr.AddSector(WSTR("xyz"), 0, 1));
    EXPECT_EQ(u"abc\nyz\nx", U16(wstr));
    CMyWString wstrOther(WSTR("!"));
    (wstr + wstrOther) + (const WCHAR*)nullptr;
    wstr + wstr;
    EXPECT_EQ(u"abc\nyz\nx!abc\nyz\nx!", U16(wstr));
}

TEST(MyWString, AssignmentForms)
{
    CMyWString wstr(WSTR("old"));
    wstr = "\x83\x5C"
           "x";
    EXPECT_EQ(u"ソx", U16(wstr));
    wstr = (const char*)nullptr; // leaves the string as it is
    EXPECT_EQ(u"ソx", U16(wstr));
    wstr = "";
    EXPECT_EQ(u"", U16(wstr));
    CMyWString wstrOther(WSTR("other"));
    wstr = wstrOther;
    wstr = wstr;
    EXPECT_EQ(u"other", U16(wstr));
    wstr = wstr.GetString() + 2; // a part of its own text
    EXPECT_EQ(u"her", U16(wstr));
    wstr = WSTR("");
    EXPECT_EQ(0u, wstr.GetLength());
    EXPECT_EQ("", ReadTrace());
}

TEST(MyWString, SetDataWide)
{
    CMyWString wstr(WSTR("xyz"));
    EXPECT_EQ(0, wstr.SetData((const WCHAR*)nullptr));
    EXPECT_EQ(1, wstr.SetData(WSTR("abcdef"), 3));
    EXPECT_EQ(u"abc", U16(wstr));
    EXPECT_EQ(1, wstr.SetData(WSTR("abcdef"), 0xFFFFFFFF));
    EXPECT_EQ(u"abcdef", U16(wstr));
    EXPECT_EQ(1, wstr.SetData(WSTR("ab"), 5)); // stops at the terminator
    EXPECT_EQ(u"ab", U16(wstr));
    EXPECT_EQ(2000u, wstr.GetBuffSize());
    EXPECT_EQ(1, wstr.SetData(WSTR("")));
    EXPECT_EQ(0u, wstr.GetLength());

    std::u16string big = Repeat('s', 2000);
    EXPECT_EQ(1, wstr.SetData(W(big)));
    EXPECT_EQ(3000u, wstr.GetBuffSize());
    EXPECT_EQ(big, U16(wstr));
    EXPECT_EQ(1, wstr.SetData(wstr.GetString() + 1000)); // its own text
    EXPECT_EQ(Repeat('s', 1000), U16(wstr));
}

TEST(MyWString, SetDataNarrow)
{
    CMyWString wstr(WSTR("keep"));
    EXPECT_EQ(0, wstr.SetData((const char*)nullptr));
    EXPECT_EQ(0, wstr.SetData("abc", 0xFFFFFFFF));
    EXPECT_EQ(0, wstr.SetData("abc", 0x80000000));
    EXPECT_EQ(u"keep", U16(wstr));
    EXPECT_EQ(1, wstr.SetData("\x83\x5C"
                              "A",
                              2));
    EXPECT_EQ(u"ソ", U16(wstr));
    EXPECT_EQ(1, wstr.SetData("\x83\x5C"
                              "A",
                              99));
    EXPECT_EQ(u"ソA", U16(wstr));
    EXPECT_EQ(1, wstr.SetData(""));
    EXPECT_EQ(0u, wstr.GetLength());
    std::string big(2500, 'n');
    EXPECT_EQ(1, wstr.SetData(big.c_str()));
    EXPECT_EQ(2500u, wstr.GetLength());
    EXPECT_EQ(3501u, wstr.GetBuffSize());
    EXPECT_EQ("", ReadTrace());
}

TEST(MyWString, AllocationFailuresSetTheFlagAndAreReported)
{
    std::u16string three = Repeat('d', 3000);
    std::u16string two = Repeat('e', 2000);
    std::string narrow2500(2500, 'n');
    CMyWString wstrAssign(WSTR("old")), wstrAppend(WSTR("old")), wstrNarrow(WSTR("old"));
    CMyWString wstrSet(WSTR("old")), wstrSetA(WSTR("old"));
    {
        CFailingTextAlloc failing;
        CMyWString wstrDefault;
        EXPECT_EQ(1, wstrDefault.IsError());
        EXPECT_EQ(0u, wstrDefault.GetBuffSize());
        CMyWString wstrWide(WSTR("abc"));
        EXPECT_EQ(1, wstrWide.IsError());
        CMyWString wstrSJis("abc");
        EXPECT_EQ(1, wstrSJis.IsError());
        EXPECT_EQ(0u, wstrSJis.GetBuffSize());

        wstrAssign = W(three);               // the old content goes first
        wstrAppend.AddStr(W(two.substr(3))); // needed 2001
        wstrNarrow = "abc";
        wstrSet.SetData(W(two));
        wstrSetA.SetData(narrow2500.c_str());
        EXPECT_EQ(8, failing.FailedCount());
    }
    EXPECT_EQ(1, wstrAssign.IsError());
    EXPECT_EQ(0u, wstrAssign.GetLength());
    EXPECT_EQ(0u, wstrAssign.GetBuffSize());
    EXPECT_EQ(1, wstrAppend.IsError());
    EXPECT_EQ(u"old", U16(wstrAppend)); // the old content stays
    EXPECT_EQ(1, wstrNarrow.IsError());
    EXPECT_EQ(u"old", U16(wstrNarrow));
    EXPECT_EQ(1, wstrSet.IsError());
    EXPECT_EQ(0u, wstrSet.GetLength());
    EXPECT_EQ(TextEntry("※　バッファ確保に失敗。CMyWString::CMyWString(const char *pcStr)\n\t"
                        "NeedBuffSize[2000], InputStrLen[3]\n"
                        "※　バッファ確保に失敗。CMyWString::operator=()\n\tNewBuffSize[12004]\n"
                        "※　バッファ確保に失敗。CMyWString::operator+()\n\tNewBuffSize[8004]\n"
                        "※　バッファの確保に失敗。CMyWString::operator=(const char *pcStr)\n\t"
                        "NewBuffSize[4]\n"
                        "※　バッファの確保に失敗。CMyWString::SetData()\n\tNeedSize[3000]\n"
                        "※　バッファの確保に失敗。CMyWString::SetData()\n\tNeedSize[3501]\n"),
              ReadTrace());

    // A later growing operation allocates afresh; the flag stays until cleared.
    EXPECT_EQ(1, wstrAssign.AddStr(WSTR("new")));
    EXPECT_EQ(u"new", U16(wstrAssign));
    EXPECT_EQ(16u, wstrAssign.GetBuffSize());
    EXPECT_EQ(1, wstrAssign.IsError());
}

TEST(MyWString, HugeSetDataCountAsksForCountPlusOne)
{
    CMyWString wstr(WSTR("abc"));
    {
        CFailingTextAlloc failing;
        EXPECT_EQ(0, wstr.SetData(WSTR("abc"), 0xFFFFFFFE));
    }
    EXPECT_EQ(TextEntry("※　バッファの確保に失敗。CMyWString::SetData()\n\tNeedSize[4294967295]\n"),
              ReadTrace());
    EXPECT_EQ(1, wstr.IsError());
}

TEST(MyWString, FlagIsStickyUntilCleared)
{
    CMyWString wstr(WSTR("abc"));
    {
        CFailingTextAlloc failing;
        std::u16string two = Repeat('e', 2000);
        EXPECT_EQ(0, wstr.AddStr(W(two)));
    }
    ASSERT_EQ(1, wstr.IsError());
    EXPECT_EQ(0, wstr.Insert(0, WSTR("x")));
    EXPECT_EQ(-1, wstr.Compare(WSTR("abc"), 0));
    EXPECT_EQ(1, wstr.AddStr(WSTR("d"))); // other operations work as usual
    EXPECT_EQ(1, wstr.IsError());
    EXPECT_EQ(u"abcd", U16(wstr));
    wstr.Empty();
    EXPECT_EQ(0, wstr.IsError());
    EXPECT_EQ(0, wstr.Compare(WSTR(""), 0));
    wstr.AddStr(WSTR("abcd"));

    {
        CFailingTextAlloc failing;
        wstr = "x";
    }
    ASSERT_EQ(1, wstr.IsError());
    EXPECT_EQ(1, wstr.SetBuffSize(10));
    EXPECT_EQ(0, wstr.IsError());
    EXPECT_EQ(u"abcd", U16(wstr));
}
