// The duplicate-name search and the joined path text.
#include "sources/PathList.h"

#include "PathListSupport.h"
#include "TestSupport.h"
#include "support/MyWString.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace
{
// The pair loop as the program first had it: every pair compared once, both
// titles made for each pair, matched records looked up linearly.
std::vector<std::string> PairLoop(const CMyPathList& list, DWORD* pdwCount)
{
    std::vector<std::string> found;
    std::vector<DWORD> matched;
    *pdwCount = 0;
    DWORD n = list.GetCount();
    for (DWORD i = 0; n >= 2 && i + 1 < n; i++)
    {
        CMyWString strTitleI;
        strTitleI.SetData(list.GetAt(i).FileName, 0);
        if (!strTitleI.ToFileTitle(1, 4))
            strTitleI.SetData(list.GetAt(i).FileName, 0);
        bool bLeader = false;
        for (DWORD j = i + 1; j < n; j++)
        {
            bool bMatched = false;
            for (DWORD m : matched)
                bMatched = bMatched || m == j;
            if (bMatched)
                continue;
            CMyWString strTitleJ;
            strTitleJ.SetData(list.GetAt(j).FileName, 0);
            if (!strTitleJ.ToFileTitle(1, 4))
                strTitleJ.SetData(list.GetAt(j).FileName, 0);
            if (strTitleJ.Compare(strTitleI.GetString(), 1) != 0)
                continue;
            if (!bLeader)
            {
                found.push_back(list.GetAt(i).FilePath.GetString());
                bLeader = true;
                ++*pdwCount;
            }
            found.push_back(list.GetAt(j).FilePath.GetString());
            matched.push_back(j);
            ++*pdwCount;
        }
    }
    return found;
}
} // namespace

struct DupCase
{
    const char* pcName;
    std::vector<const char*> names; // in list order, each in its own folder
    std::vector<int> expect;        // indexes into names, in report order
};

TEST(DuplicateNames, TitlesCollideIgnoringCaseAndShortExtensions)
{
    const DupCase cases[] = {
        {"case only", {"song.wav", "SONG.WAV"}, {0, 1}},
        {"three in list order", {"a.wav", "b.wav", "A.wav", "a.WAV"}, {0, 2, 3}},
        {"extension set aside", {"a.wav", "a.wave", "a.aiffc"}, {0, 1}},
        {"double extension", {"x.tar.gz", "X.TAR.bz2", "x.tar"}, {0, 1}},
        {"groups by first member", {"b.wav", "a.wav", "A.wav", "B.wav"}, {0, 3, 1, 2}},
        {"full-width letters", {"Ａ.wav", "ａ.wav"}, {0, 1}},
        {"kana differ", {"あ.wav", "ア.wav"}, {}},
        {"no title", {".wav", ".WAV"}, {0, 1}},
        {"single record", {"a.wav"}, {}},
        {"none", {}, {}},
    };
    for (const DupCase& c : cases)
    {
        CMyPathList list;
        for (size_t i = 0; i < c.names.size(); i++)
        {
            CString strFolder;
            strFolder.Format("C:\\d%u", (unsigned)i);
            list.AppendRecord(MakeRecord(strFolder, c.names[i]));
        }
        CMyPathList duplicates;
        duplicates.AppendRecord(MakeRecord("C:\\stale", "left.wav"));
        std::vector<std::string> expect;
        for (int i : c.expect)
            expect.push_back(list.GetAt((DWORD)i).FilePath.GetString());
        EXPECT_EQ((DWORD)expect.size(), list.FindDuplicateNames(&duplicates)) << c.pcName;
        EXPECT_EQ(expect, Paths(duplicates)) << c.pcName;
    }
}

// Pieces go to <output>\<mirrored sub-folder>\<title>_NNN.wav: only records
// that agree on both (ignoring case, as titles always were) write the same
// pieces. Each record: the folder the user browsed, the file's folder, name.
TEST(DuplicateNames, OnlyRecordsWhosePiecesLandOnTheSamePathsCollide)
{
    struct Rec
    {
        const char* pcBase;
        const char* pcFolder;
        const char* pcName;
    };
    const struct
    {
        const char* pcName;
        std::vector<Rec> records;
        std::vector<int> expect;
    } kCases[] = {
        {"recorders' folders",
         {{"E:\\", "E:\\FOLDER01", "REC0001.WAV"}, {"E:\\", "E:\\FOLDER02", "REC0001.WAV"}},
         {}},
        {"sub-folders of one walked folder",
         {{"C:\\dup", "C:\\dup\\day1", "take.wav"}, {"C:\\dup", "C:\\dup\\day2", "take.wav"}},
         {}},
        {"one sub-folder reached from two browsed folders",
         {{"C:\\a", "C:\\a\\x", "t.wav"}, {"C:\\b", "C:\\b\\X", "T.WAV"}},
         {0, 1}},
        {"picked in their own folders",
         {{"C:\\a", "C:\\a", "song.wav"}, {"C:\\b", "C:\\b", "SONG.wav"}},
         {0, 1}},
        {"a folder outside the browsed one is not mirrored",
         {{"C:\\a", "C:\\a", "s.wav"}, {"C:\\b", "C:\\elsewhere", "s.wav"}},
         {0, 1}},
        {"either separator", {{"/m", "/m\\d", "s.wav"}, {"/n", "/n/d", "s.wav"}}, {0, 1}},
        {"the title still decides",
         {{"C:\\a", "C:\\a\\x", "one.wav"}, {"C:\\b", "C:\\b\\x", "two.wav"}},
         {}},
    };
    for (const auto& c : kCases)
    {
        CMyPathList list;
        for (const Rec& rec : c.records)
        {
            CMyPathRecord record = MakeRecord(rec.pcFolder, rec.pcName);
            record.BaseFoldPath = rec.pcBase;
            list.AppendRecord(record);
        }
        std::vector<std::string> expect;
        for (int i : c.expect)
            expect.push_back(list.GetAt((DWORD)i).FilePath.GetString());
        CMyPathList duplicates;
        EXPECT_EQ((DWORD)expect.size(), list.FindDuplicateNames(&duplicates)) << c.pcName;
        EXPECT_EQ(expect, Paths(duplicates)) << c.pcName;
    }
}

// Random names over a few letters in both cases and a few extensions, checked
// against the pair loop.
TEST(DuplicateNames, AgreesWithThePairLoop)
{
    std::mt19937 rng(2024);
    const char* const kExt[] = {".wav", ".WAV", ".wave", ".aiffc", "", ".w.av", "."};
    const char* const kChars[] = {"a", "A", "b", "B", "ａ", "Ａ", "曲", "-"};
    for (int round = 0; round < 40; round++)
    {
        CMyPathList list;
        DWORD n = 1 + rng() % 120;
        for (DWORD i = 0; i < n; i++)
        {
            std::string name;
            for (DWORD k = 0, len = 1 + rng() % 3; k < len; k++)
                name += kChars[rng() % 8];
            name += kExt[rng() % 7];
            CString strFolder;
            strFolder.Format("D:\\f%u", i);
            list.AppendRecord(MakeRecord(strFolder, name.c_str()));
        }
        DWORD dwExpect = 0;
        std::vector<std::string> expect = PairLoop(list, &dwExpect);
        CMyPathList duplicates;
        ASSERT_EQ(dwExpect, list.FindDuplicateNames(&duplicates)) << "round " << round;
        ASSERT_EQ(expect, Paths(duplicates)) << "round " << round;
    }
}

TEST(DuplicateNames, JoinedPathsEndEachInALineFeed)
{
    CMyPathList list;
    CString strText("stale");
    EXPECT_EQ(0u, list.JoinFilePaths(&strText));
    EXPECT_STREQ("", strText);
    list.AppendRecord(MakeRecord("C:\\表", "a.wav"));
    list.AppendRecord(MakeRecord("C:", "b.wav"));
    EXPECT_EQ(2u, list.JoinFilePaths(&strText));
    EXPECT_STREQ("C:\\表\\a.wav\nC:\\b.wav\n", strText);
}
