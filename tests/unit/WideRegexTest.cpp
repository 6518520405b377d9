// The wide regular expression: whole-text matching, refusals, library errors.
#include "sources/WideRegex.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
typedef std::basic_string<WCHAR> WText;

int Match(const CMyWideRegex& regex, const WText& text)
{
    return regex.MatchWhole(text.c_str(), (DWORD)text.size());
}
int Assign(CMyWideRegex& regex, const WText& pattern)
{
    return regex.Assign(pattern.c_str(), (DWORD)pattern.size());
}
} // namespace

struct RegexCase
{
    const WCHAR* pwcPattern;
    const WCHAR* pwcText;
    int bMatch;
};

TEST(WideRegex, MatchesTheWholeTextCaseSensitively)
{
    const RegexCase cases[] = {
        {WSTR(".+"), WSTR("song.wav"), 1},
        {WSTR(".+"), WSTR(""), 0},
        {WSTR("wav"), WSTR("wav"), 1},
        {WSTR("wav"), WSTR("song.wav"), 0}, // a part is not enough
        {WSTR("wav"), WSTR("WAV"), 0},
        {WSTR(".*\\.wav"), WSTR("a.wav"), 1},
        {WSTR("\\w+\\.wav"), WSTR("曲.wav"), 1}, // a Japanese character is a word character
        {WSTR("曲.\\.wav"), WSTR("曲名.wav"), 1},
        {WSTR("(?i)A\\.WAV"), WSTR("a.wav"), 1},
        {WSTR("."), WSTR("\xD83C\xDFB5"), 0}, // a surrogate pair is two units, as on Windows
        {WSTR(".."), WSTR("\xD83C\xDFB5"), 1},
    };
    for (const RegexCase& c : cases)
    {
        CMyWideRegex regex;
        ASSERT_EQ(1, Assign(regex, c.pwcPattern));
        EXPECT_EQ(c.bMatch, Match(regex, c.pwcText)) << (int)(c.pwcPattern[0]);
    }
}

TEST(WideRegex, RefusedPatternLeavesNothingToMatch)
{
    CMyWideRegex regex;
    EXPECT_EQ(0, Match(regex, WSTR("a")));
    ASSERT_EQ(1, Assign(regex, WSTR("a")));
    EXPECT_EQ(1, Match(regex, WSTR("a")));
    EXPECT_EQ(0, Assign(regex, WSTR("(a")));
    EXPECT_EQ(0, Match(regex, WSTR("a")));
    EXPECT_EQ(0, Assign(regex, WSTR("[z-a]")));
    EXPECT_EQ(0, Assign(regex, WSTR("*")));
}

TEST(WideRegex, RunawayMatchGivesNoMatchInsteadOfAnError)
{
    CMyWideRegex regex;
    ASSERT_EQ(1, Assign(regex, WSTR("(a+)+b")));
    WText text(40, (WCHAR)'a');
    EXPECT_EQ(0, Match(regex, text));
    EXPECT_EQ(1, Match(regex, WSTR("aab")));
}
