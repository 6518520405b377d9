// The formatting engine behind CString::Format and the trace writers.
#include "framework/CString.h"
#include "framework/FormatText.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(FormatText, DirectivesOfTheProgramsTexts)
{
    struct Case
    {
        CString strGot;
        const char* pcWant;
    };
    CString a, b, c, d, e, f, g, h, i;
    a.Format("%u|%d|%d", 4294967295u, -2147483647 - 1, 42);
    b.Format("%08X|%08X|%x", 0xBEEFu, 0xDEADBEEFu, 255u);
    c.Format("%I64u|%I64d", (unsigned long long)UINT64_MAX, (long long)INT64_MIN);
    d.Format("[%5u][%-5u][%05d][%-3s][%3s]", 7u, 7u, -7, "ab", "abcd");
    e.Format("%s_%03u.wav", "take", 7u);
    f.Format("%s_%03u.wav", "take", 1000u);
    g.Format("%c%c|%%|%.2s", 'o', 'k', "xyz");
    h.Format("%I64u %s", (unsigned long long)1 << 40, "after");
    i.Format("%s", (const char*)nullptr);
    const Case cases[] = {
        {a, "4294967295|-2147483648|42"},
        {b, "0000BEEF|DEADBEEF|ff"},
        {c, "18446744073709551615|-9223372036854775808"},
        {d, "[    7][7    ][-0007][ab ][abcd]"},
        {e, "take_007.wav"},
        {f, "take_1000.wav"},
        {g, "ok|%|xy"},
        // A 64-bit value must not shift the arguments after it.
        {h, "1099511627776 after"},
        {i, "(null)"},
    };
    for (const Case& k : cases)
        EXPECT_STREQ(k.pcWant, (const char*)k.strGot);
}

TEST(FormatText, CutsAtTheBufferAndReportsTheFullLength)
{
    char acBuff[6];
    EXPECT_EQ(10u, FormatText(acBuff, sizeof(acBuff), "%s", "0123456789"));
    EXPECT_STREQ("01234", acBuff);
    EXPECT_EQ(3u, FormatText(nullptr, 0, "%u", 123u));
}

TEST(FormatText, ShiftJisTextPassesThroughUntouched)
{
    CString str;
    str.Format("※　%s[%u]", "表示", 5u);
    EXPECT_STREQ("\x81\xA6\x81\x40\x95\x5C\x8E\xA6[5]", (const char*)str);
}
