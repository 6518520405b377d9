// What Linux holds in a name: labels keep their characters, and the limit
// counts the UTF-8 bytes stored.
#include "support/SystemNames.h"

#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <string>

TEST(SystemNames, LabelsKeepWhatShiftJisLacksAndPassRefusedCharactersOn)
{
    const struct
    {
        const char* pcUtf8;
        const char* pcBack; // the name on disk, once '?' and the like are '_'
    } cases[] = {
        {u8"café", u8"café"},
        {u8"中文简体", u8"中文简体"},
        {u8"é?x", u8"é?x"},                       // '?' is left for the name rules
        {u8"\U0001F3B5:<>|", u8"\U0001F3B5:<>|"}, // and so are these
    };
    for (const auto& c : cases)
    {
        std::string strSJis, strBack;
        ASSERT_EQ(1, ConvUtf8ToNameText(c.pcUtf8, strlen(c.pcUtf8), &strSJis)) << c.pcUtf8;
        SJisToSystemText(strSJis.data(), strSJis.size(), 0, &strBack);
        EXPECT_EQ(c.pcBack, strBack);
        // The refused characters are themselves, not a character of the area.
        for (char ch : std::string("?:<>|"))
            EXPECT_EQ(std::string(c.pcUtf8).find(ch) != std::string::npos,
                      strSJis.find(ch) != std::string::npos)
                << c.pcUtf8;
    }
    std::string strOut;
    EXPECT_EQ(0, ConvUtf8ToNameText("caf\xE9", 4, &strOut)); // Latin-1: not UTF-8
}

TEST(SystemNames, LimitIs255BytesOfUtf8)
{
    auto repeat = [](const char* pc, int n)
    {
        std::string str;
        for (int i = 0; i < n; i++)
            str += pc;
        return str + ".wav";
    };
    const struct
    {
        std::string name;
        int bFits;
    } cases[] = {
        {repeat("a", 251), 1},
        {repeat("a", 252), 0},
        {repeat("\x82\xA0", 83), 1}, // 3 bytes each in UTF-8: 253 bytes
        {repeat("\x82\xA0", 84), 0},
        {repeat("\xB1", 83), 1}, // a half-width kana: 1 byte here, 3 there
        {repeat("\xB1", 84), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.bFits, FitsNameLimit("/any/folder/", c.name.c_str())) << c.name.size();
}
