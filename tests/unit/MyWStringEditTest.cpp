// CMyWString editing: index and count boundaries of Insert, Replace,
// ReplaceAll, deleting and trimming, and the capacities they leave.
#include "support/MyWString.h"

#include "TestSupport.h"
#include "TextTestSupport.h"

#include <gtest/gtest.h>

#include <string>

TEST(MyWStringEdit, InsertBoundaries)
{
    struct Case
    {
        const char16_t* pBase;
        DWORD dwIndex;
        const char16_t* pText;
        DWORD dwCount;
        int iWant;
        const char16_t* pWant;
    };
    const Case cases[] = {
        {u"abc", 1, u"XY", 0, 1, u"aXYbc"},  {u"abc", 0, u"XYZ", 2, 1, u"XYabc"},
        {u"abc", 1, u"XY", 99, 1, u"aXYbc"}, // more than the text: the whole text
        {u"abc", 3, u"XY", 0, 1, u"abcXY"},  // at the length: appends
        {u"abc", 99, u"XY", 1, 1, u"abcX"},  {u"abc", 1, u"", 0, 1, u"abc"},
        {u"abc", 1, nullptr, 0, 0, u"abc"},  {u"", 0, u"ソ", 0, 1, u"ソ"},
    };
    for (const Case& k : cases)
    {
        CMyWString wstr((const WCHAR*)k.pBase);
        EXPECT_EQ(k.iWant, wstr.Insert(k.dwIndex, (const WCHAR*)k.pText, k.dwCount)) << k.dwIndex;
        EXPECT_EQ(std::u16string(k.pWant), U16(wstr)) << k.dwIndex;
    }
    CMyWString wstrSelf(WSTR("abc"));
    EXPECT_EQ(1, wstrSelf.Insert(1, wstrSelf.GetString()));
    EXPECT_EQ(u"aabcbc", U16(wstrSelf));
}

TEST(MyWStringEdit, InsertIntoAFullBufferAllocatesNewLengthPlus2048)
{
    std::u16string base(1998, 'a');
    CMyWString wstr(W(base));
    EXPECT_EQ(1, wstr.Insert(0, WSTR("b"))); // 1999 characters still fit
    EXPECT_EQ(2000u, wstr.GetBuffSize());
    {
        CFailingTextAlloc failing;
        EXPECT_EQ(0, wstr.Insert(0, WSTR("c")));
    }
    EXPECT_EQ(0, wstr.IsError());
    EXPECT_EQ(u"b" + base, U16(wstr));
    EXPECT_EQ(TextEntry("※　バッファ確保に失敗。CMyWString::Insert()\n\tCurStrSize[1999], "
                        "NewStrSize[2000], NewBuffSize[4048]\n"),
              ReadTrace());
    EXPECT_EQ(1, wstr.Insert(1, WSTR("c")));
    EXPECT_EQ(4048u, wstr.GetBuffSize());
    EXPECT_EQ(u"bc" + base, U16(wstr));
}

TEST(MyWStringEdit, ReplaceBoundaries)
{
    struct Case
    {
        const char16_t* pBase;
        DWORD dwIndex, dwCount;
        const char16_t* pText;
        DWORD dwTextLen;
        int iWant;
        const char16_t* pWant;
    };
    const Case cases[] = {
        {u"", 5, 0, u"xyz", 0, 1, u"xyz"}, // an empty string becomes the text
        {u"", 0, 3, u"xyz", 2, 1, u"xy"},
        {u"abcdef", 6, 1, u"X", 0, 0, u"abcdef"},
        {u"abcdef", 1, 2, u"XY", 0, 1, u"aXYdef"},
        {u"abcdef", 1, 3, u"X", 0, 1, u"aXef"},
        {u"abcdef", 1, 1, u"XYZ", 0, 1, u"aXYZcdef"},
        {u"abcdef", 4, 99, u"XY", 0xFFFFFFFF, 1, u"abcdXY"},
        {u"abcdef", 0, 1, u"XYZ", 2, 1, u"XYbcdef"},
        {u"abcdef", 2, 1, u"XY", 9, 1, u"abXYdef"}, // a length beyond the text
        {u"abcdef", 1, 2, nullptr, 0, 1, u"adef"},
        {u"abcdef", 1, 2, u"", 0, 1, u"adef"},
        {u"abcdef", 5, 0, u"X", 0, 1, u"abcdeXf"},
    };
    for (const Case& k : cases)
    {
        CMyWString wstr((const WCHAR*)k.pBase);
        EXPECT_EQ(k.iWant, wstr.Replace(k.dwIndex, k.dwCount, (const WCHAR*)k.pText, k.dwTextLen))
            << (const char*)CMyWString((const WCHAR*)k.pBase).GetCString() << " " << k.dwIndex;
        EXPECT_EQ(std::u16string(k.pWant), U16(wstr)) << k.dwIndex << " " << k.dwCount;
    }
}

TEST(MyWStringEdit, ReplaceThatOutgrowsTheBufferUsesTheGrowthRule)
{
    std::u16string base(1999, 'a');
    CMyWString wstr(W(base));
    {
        CFailingTextAlloc failing;
        EXPECT_EQ(0, wstr.Replace(1, 1, WSTR("XYZ")));
    }
    EXPECT_EQ(base, U16(wstr));
    EXPECT_EQ(0, wstr.IsError()); // Replace never sets the flag
    EXPECT_EQ(TextEntry("※　バッファの確保に失敗しました。CMyWString::ResizeBuffAndMoveSector()\n\t"
                        "NewBuffSize[8007] , CurBuffSize[2000], CurStrLen[1999]\n"
                        "※　置換時のバッファ拡張に失敗。CMyWString::Replace()\n\t"
                        "dwNewBuffSize[8007]\n"),
              ReadTrace());
    EXPECT_EQ(1, wstr.Replace(1, 1, WSTR("XYZ")));
    EXPECT_EQ(8007u, wstr.GetBuffSize()); // needed 2002: one below 8008
    EXPECT_EQ(u"aXYZ" + base.substr(2), U16(wstr));
    EXPECT_EQ(1, wstr.Replace(0, 1, wstr.GetString() + 1, 3)); // its own text
    EXPECT_EQ(u"XYZXYZ" + base.substr(2), U16(wstr));
}

TEST(MyWStringEdit, ResizeKeepsHeadAndMovesTail)
{
    CMyWString wstr(WSTR("abcdef"));
    EXPECT_EQ(0, wstr.ResizeBuffAndMoveSector(10, 2, 4, 9, 2)); // the tail would not fit
    EXPECT_EQ(1, wstr.ResizeBuffAndMoveSector(10, 2, 4, 6, 2));
    EXPECT_EQ(10u, wstr.GetBuffSize());
    const WCHAR* pwc = wstr.GetString();
    EXPECT_EQ(u"ab", U16(pwc));
    EXPECT_EQ(u"ef", std::u16string((const char16_t*)pwc + 6, 2));
}

TEST(MyWStringEdit, ReplaceAll)
{
    struct Case
    {
        const char16_t* pBase;
        DWORD dwStart;
        const char16_t* pFind;
        DWORD dwFindLen;
        const char16_t* pNew;
        int bIgnoreCase;
        DWORD dwWant;
        const char16_t* pWant;
    };
    const Case cases[] = {
        {u"line1\nline2\n", 0, u"\n", 0, u"\r\n", 0, 2, u"line1\r\nline2\r\n"},
        {u"aXbxc", 0, u"x", 0, u"-", 1, 2, u"a-b-c"},
        {u"aXbxc", 0, u"x", 0, u"-", 0, 1, u"aXb-c"},
        {u"ａＢｂ", 0, u"ｂ", 0, u"c", 1, 2, u"ａcc"},
        {u"aa", 0, u"a", 0, u"aa", 0, 2, u"aaaa"}, // the new text is not searched again
        {u"a,b,,c", 0, u",", 0, nullptr, 0, 3, u"abc"},
        {u"a,b,c", 2, u",", 0, u";", 0, 1, u"a,b;c"},
        {u"abcabc", 0, u"abX", 2, u"-", 0, 2, u"-c-c"},
        {u"abc", 1, u"abc", 0, u"-", 0, 0, u"abc"}, // longer than the rest
        {u"abc", 3, u"c", 0, u"-", 0, 0, u"abc"},
        {u"abc", 0, nullptr, 0, u"-", 0, 0, u"abc"},
    };
    for (const Case& k : cases)
    {
        CMyWString wstr((const WCHAR*)k.pBase);
        EXPECT_EQ(k.dwWant, wstr.ReplaceAll(k.dwStart, (const WCHAR*)k.pFind, k.dwFindLen,
                                            (const WCHAR*)k.pNew, 0, k.bIgnoreCase))
            << k.dwStart;
        EXPECT_EQ(std::u16string(k.pWant), U16(wstr)) << k.dwStart;
    }
}

TEST(MyWStringEdit, DeletingAndTrimming)
{
    struct Case
    {
        int iOp; // 0 DeleteSector, 1 TrimToRange, 2 TrimToSector
        DWORD dwA, dwB;
        int iWant;
        const char16_t* pWant;
    };
    const Case cases[] = {
        {0, 1, 2, 1, u"adef"},  {0, 6, 1, 0, u"abcdef"}, {0, 2, 0, 1, u"abcdef"},
        {0, 2, 99, 1, u"ab"},   {0, 0, 6, 1, u""},       {1, 1, 3, 1, u"bcd"},
        {1, 3, 1, 1, u"bcd"},   {1, 6, 9, 0, u"abcdef"}, {1, 4, 99, 1, u"ef"},
        {1, 5, 5, 1, u"f"},     {2, 2, 2, 1, u"cd"},     {2, 2, 0, 1, u""},
        {2, 2, 99, 1, u"cdef"}, {2, 6, 1, 0, u"abcdef"}, {2, 0, 6, 1, u"abcdef"},
    };
    for (const Case& k : cases)
    {
        CMyWString wstr(WSTR("abcdef"));
        int iGot = k.iOp == 0   ? wstr.DeleteSector(k.dwA, k.dwB)
                   : k.iOp == 1 ? wstr.TrimToRange(k.dwA, k.dwB)
                                : wstr.TrimToSector(k.dwA, k.dwB);
        EXPECT_EQ(k.iWant, iGot) << k.iOp << " " << k.dwA << " " << k.dwB;
        EXPECT_EQ(std::u16string(k.pWant), U16(wstr)) << k.iOp << " " << k.dwA << " " << k.dwB;
        EXPECT_EQ(std::u16string(k.pWant).size(), wstr.GetLength());
    }
    CMyWString wstrEmpty;
    EXPECT_EQ(0, wstrEmpty.TrimToRange(0, 0));
    EXPECT_EQ(0, wstrEmpty.TrimToSector(0, 0));
    EXPECT_EQ(0, wstrEmpty.DeleteSector(0, 0));
}

TEST(MyWStringEdit, RemoveCharsAndPrefix)
{
    CMyWString wstr(WSTR("a-b_c-"));
    EXPECT_EQ(0u, wstr.RemoveChars(WSTR("")));
    EXPECT_EQ(0u, wstr.RemoveChars(nullptr));
    EXPECT_EQ(3u, wstr.RemoveChars(WSTR("-_")));
    EXPECT_EQ(u"abc", U16(wstr));
    CMyWString wstrEmpty;
    EXPECT_EQ(0u, wstrEmpty.RemoveChars(WSTR("a")));

    struct Case
    {
        const char16_t* pPrefix;
        DWORD dwLen;
        DWORD dwWant;
        const char16_t* pWant;
    };
    const Case cases[] = {
        {u"C:\\in", 0, 4, u"\\sub"},
        {u"C:\\in\\sub", 0xFFFFFFFF, 0, u""},
        {u"c:\\in", 0, 9, u"C:\\in\\sub"}, // exact comparison
        {u"C:\\in\\sub\\x", 0, 9, u"C:\\in\\sub"},
        {u"C:\\x", 2, 7, u"\\in\\sub"},
        {u"C:", 5, 9, u"C:\\in\\sub"}, // a length beyond the prefix never matches
        {nullptr, 0, 9, u"C:\\in\\sub"},
        {u"", 0, 9, u"C:\\in\\sub"},
    };
    for (const Case& k : cases)
    {
        CMyWString wstrPath(WSTR("C:\\in\\sub"));
        EXPECT_EQ(k.dwWant, wstrPath.RemovePrefix((const WCHAR*)k.pPrefix, k.dwLen)) << k.dwLen;
        EXPECT_EQ(std::u16string(k.pWant), U16(wstrPath)) << k.dwLen;
    }
}

TEST(MyWStringEdit, SetBuffSize)
{
    CMyWString wstr(WSTR("abcdefghijklmn"));
    EXPECT_EQ(0, wstr.SetBuffSize(0x80000000));
    EXPECT_EQ(0, wstr.SetBuffSize(0));
    EXPECT_EQ(1, wstr.SetBuffSize(10));
    EXPECT_EQ(10u, wstr.GetBuffSize());
    EXPECT_EQ(u"abcdefghi", U16(wstr));
    {
        CFailingTextAlloc failing;
        EXPECT_EQ(0, wstr.SetBuffSize(20));
    }
    EXPECT_EQ(10u, wstr.GetBuffSize());
    EXPECT_EQ("", ReadTrace());
    // Growth never shrinks; only SetBuffSize does.
    EXPECT_EQ(1, wstr.AddStr(WSTR("j")));
    EXPECT_EQ(44u, wstr.GetBuffSize());
}
