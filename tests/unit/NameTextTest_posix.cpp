// Linux names through the program's Shift-JIS and back: characters code page
// 932 lacks, bytes that are not UTF-8 and what a Windows name cannot hold take
// the user-defined area; the logs in the form for Linux users.
#include "platform/Platform.h"
#include "platform/TextFile.h"
#include "support/Trace.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::string ToSJis(const std::string& text)
{
    std::string sjis;
    EXPECT_EQ(1, SystemTextToSJis(text.data(), text.size(), &sjis)) << text;
    return sjis;
}

std::string ToSystem(const std::string& sjis, int bPath)
{
    std::string text;
    SJisToSystemText(sjis.data(), sjis.size(), bPath, &text);
    return text;
}

std::u16string Widen(const std::string& sjis)
{
    std::u16string wide(sjis.size() + 1, u'\0');
    int n =
        MultiByteToWideChar(CP_ACP, 0, sjis.data(), (int)sjis.size(), &wide[0], (int)wide.size());
    wide.resize(n > 0 ? (size_t)n : 0);
    return wide;
}
} // namespace

TEST(NameText, EveryNameComesBackAsItWasAndReadsAsOrdinaryCharacters)
{
    struct Case
    {
        const char* pcName;
        size_t nChars; // characters the program sees
    };
    const Case cases[] = {
        {u8"café.wav", 8},
        {u8"Ñandú.wav", 9},
        {u8"녹음.wav", 6},
        {u8"录音.wav", 6},               // 录 is simplified Chinese, 音 is in Shift-JIS
        {u8"\U0001F3B5 live.wav", 10},   // an emoji: one character, beyond the BMP
        {"caf\xE9 \xFF\xC3.wav", 11},    // Latin-1 bytes and a cut sequence
        {"\xC0\xAF\xED\xA0\x80.wav", 9}, // an overlong '/' and a surrogate, byte by byte
        {"x\\y.wav", 7},                 // '\' is a character of the name
        {"a*b?.wav", 8},
        {"q\"<a>|b:c.wav", 13},    // what else a Windows name cannot hold
        {u8"ソ表\\é能.wav", 9},    // 0x5C as trail byte beside the mapped ones
        {u8"\uE000\uE757.wav", 6}, // user-defined characters written on Windows
    };
    for (const Case& c : cases)
    {
        std::string sjis = ToSJis(c.pcName);
        EXPECT_EQ(c.pcName, ToSystem(sjis, 0)) << c.pcName;
        EXPECT_EQ(c.pcName, ToSystem(sjis, 1)) << c.pcName;
        std::u16string wide = Widen(sjis);
        EXPECT_EQ(c.nChars, wide.size()) << c.pcName;
        EXPECT_EQ(std::u16string::npos, wide.find_first_of(u"\\/*?:\"<>|\u30FB")) << c.pcName;
        EXPECT_EQ(u".wav", wide.substr(wide.size() - 4)) << c.pcName;
    }
}

TEST(NameText, OneCharacterOnePlaceForTheWholeRun)
{
    // Outside the checks: their texts go into the messages as Shift-JIS.
    const char* const pcE = u8"é";
    const char* const pcOtherE = u8"è";
    const char* const pcEWave = u8"é.wav";
    std::string e1 = ToSJis(pcE);
    EXPECT_EQ(2u, e1.size());
    EXPECT_EQ(e1, ToSJis(pcE));
    EXPECT_NE(e1, ToSJis(pcOtherE));
    EXPECT_EQ(e1 + ".wav", ToSJis(pcEWave));
    // The area's character that é was given, met in a name of its own, is
    // not é: it gets a place of its own and comes back as itself.
    std::u16string given = Widen(e1);
    ASSERT_EQ(1u, given.size());
    char16_t w = given[0];
    std::string own = {(char)(0xE0 | (w >> 12)), (char)(0x80 | ((w >> 6) & 0x3F)),
                       (char)(0x80 | (w & 0x3F))};
    std::string ownSJis = ToSJis(own);
    EXPECT_NE(e1, ownSJis);
    EXPECT_EQ(own, ToSystem(ownSJis, 0));
    // One nobody was given stays itself: the last of the area, 0xF9FC.
    EXPECT_EQ("\xF9\xFC", ToSJis(u8"\uE757"));
}

TEST(NameText, LogsForLinuxUsersAreUtf8WithSlashesAndLineFeeds)
{
    const char* const pcName = u8"录\\音.wav"; // its '\' is no separator
    std::string name = ToSJis(pcName);
    UseLogTextForLinuxUsers(1);
    WriteTraceText(CString(("C:\\in\\" + name + "\n").c_str()), 0);
    WriteTraceString(CString("ソ\\表\r\nend\n"));
    UseLogTextForLinuxUsers(0);
    WriteTraceString(CString("ソ\\表\n"));
    std::string expect = u8"C:/in/录\\音.wav\nソ/表\nend\n";
    expect += "ソ\\表\r\n";
    EXPECT_EQ(expect, ReadTrace());
}
