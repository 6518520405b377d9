// The iXML text of a piece: its own time reference and FILE_UID, every other
// byte as the source has it.
#include "engine/PieceIXml.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

namespace
{
std::string Bext(const char* pcLow, const char* pcHigh)
{
    return std::string("<BEXT><BWF_TIME_REFERENCE_LOW>") + pcLow +
           "</BWF_TIME_REFERENCE_LOW>\r\n  <BWF_TIME_REFERENCE_HIGH>" + pcHigh +
           "</BWF_TIME_REFERENCE_HIGH></BEXT>";
}

std::string Speed(const char* pcRate, const char* pcHigh, const char* pcLow)
{
    return std::string("<SPEED><TIMESTAMP_SAMPLE_RATE>") + pcRate +
           "</TIMESTAMP_SAMPLE_RATE><TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_HI>" + pcHigh +
           "</TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_HI><TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_LO>" + pcLow +
           "</TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_LO></SPEED>";
}

std::string Uid(const char* pcUid)
{
    return std::string("<FILE_UID>") + pcUid + "</FILE_UID>";
}
} // namespace

TEST(PieceIXml, EachPieceGetsItsOwnTimeAndUid)
{
    struct Case
    {
        const char* pcName;
        std::string source;
        unsigned long long qwFramesBefore;
        unsigned dwPiece;
        std::string expected;
    } cases[] = {
        {"first piece: the UID changes, the time does not", Bext("5", "0") + Uid("AB12"), 0, 1,
         Bext("5", "0") + Uid("AB13")},
        {"the low half carries into the high one",
         "<BWFXML>" + Bext("4294967290", "7") + "</BWFXML>", 10, 2,
         "<BWFXML>" + Bext("4", "8") + "</BWFXML>"},
        {"blanks around the numbers stay", Bext(" 100 ", "\n1\n"), 50, 2, Bext(" 150 ", "\n1\n")},
        {"the timestamp counts at its own rate", Speed("96000", "0", "1000") + Bext("500", "0"),
         48000, 2, Speed("96000", "0", "97000") + Bext("48500", "0")},
        {"a pair without its high half stays", "<BWF_TIME_REFERENCE_LOW>9</BWF_TIME_REFERENCE_LOW>",
         3, 2, "<BWF_TIME_REFERENCE_LOW>9</BWF_TIME_REFERENCE_LOW>"},
        {"a number past 32 bits stays", Bext("4294967296", "0"), 3, 2, Bext("4294967296", "0")},
        {"decimal UID", Uid("0099"), 0, 3, Uid("0102")},
        {"hexadecimal UID carries past a separator", Uid("x-FFFE"), 0, 3, Uid("y-0001")},
        {"lower-case letters", Uid("{abz}"), 0, 1, Uid("{ac0}")},
        {"only the last eight letters and digits", Uid("SDVQJS2L0130002F4F7A8B37"), 0, 36,
         Uid("SDVQJS2L0130002F4F7A8B5B")},
        {"mixed case", Uid("aZ"), 0, 1, Uid("aa")},
        {"no UID text", Uid("--"), 0, 1, Uid("--")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, MakePieceIXml(c.source, c.qwFramesBefore, c.dwPiece, 48000))
            << c.pcName;
}

// Many pieces of one source: no two UIDs alike, none the source's, each of
// the source's length, with its separators where they were and no letter of
// a case the source's UID does not use.
TEST(PieceIXml, UidsOfManyPiecesAreAllDifferent)
{
    const char* const kUids[] = {"ab-7", "x-FFFE", "0099", "SDVQJS2L0130002F4F7A8B37",
                                 "550e8400-e29b-41d4-a716-446655440000"};
    const unsigned kPieces = 2000;
    for (const char* pcUid : kUids)
    {
        const std::string source(pcUid);
        std::set<std::string> seen{source};
        for (unsigned dwPiece = 1; dwPiece <= kPieces; ++dwPiece)
        {
            std::string xml = MakePieceIXml(Uid(pcUid), 0, dwPiece, 48000);
            std::string uid = xml.substr(10, xml.size() - 21);
            ASSERT_EQ(uid.size(), source.size()) << pcUid << " piece " << dwPiece;
            for (size_t i = 0; i < uid.size(); ++i)
            {
                bool bAlnum = isalnum((unsigned char)source[i]) != 0;
                EXPECT_EQ(bAlnum, isalnum((unsigned char)uid[i]) != 0) << uid;
                EXPECT_TRUE(bAlnum || uid[i] == source[i]) << uid;
                EXPECT_TRUE(!isupper((unsigned char)uid[i]) ||
                            source.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") != std::string::npos)
                    << uid;
                EXPECT_TRUE(!islower((unsigned char)uid[i]) ||
                            source.find_first_of("abcdefghijklmnopqrstuvwxyz") != std::string::npos)
                    << uid;
            }
            EXPECT_TRUE(seen.insert(uid).second) << pcUid << " piece " << dwPiece << ": " << uid;
        }
    }
}
