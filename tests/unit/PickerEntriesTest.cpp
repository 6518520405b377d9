// The picker's entry table: what is stored, the default order, the column
// sorts and the selection kept on confirmation.
#include "sources/PickerEntries.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
struct EntryDef
{
    std::string name;
    int bFolder;
    ULONGLONG ullSize;
    ULONGLONG ullTime;
};

WIN32_FIND_DATAA Entry(const EntryDef& def)
{
    WIN32_FIND_DATAA entry;
    memset(&entry, 0, sizeof(entry));
    strncpy(entry.cFileName, def.name.c_str(), sizeof(entry.cFileName) - 1);
    entry.dwFileAttributes = def.bFolder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    entry.nFileSizeHigh = (DWORD)(def.ullSize >> 32);
    entry.nFileSizeLow = (DWORD)def.ullSize;
    entry.ftLastWriteTime.dwHighDateTime = (DWORD)(def.ullTime >> 32);
    entry.ftLastWriteTime.dwLowDateTime = (DWORD)def.ullTime;
    return entry;
}

void FillEntries(CMyPickerEntries& entries, const std::vector<EntryDef>& defs)
{
    entries.Clear();
    for (const EntryDef& def : defs)
        entries.Append(Entry(def));
}

std::string EntryNames(const CMyPickerEntries& entries)
{
    std::string names;
    for (int i = 0; i < entries.GetCount(); i++)
        names += std::string(i ? " " : "") + entries.GetAt(i).cFileName;
    return names;
}

// Two folders and four files; sizes and times differ across the 32-bit line
// (a comparison of the low words alone would order them otherwise), and two
// files share a size and a time.
const std::vector<EntryDef> kMixed = {
    {"zeta.wav", 0, 5, 0x100000002ull},
    {"Beta", 1, 0, 0x200000000ull},
    {"alpha.wav", 0, 0x100000000ull, 3},
    {"..", 1, 0, 0},
    {"gamma.WAV", 0, 0xFFFFFFFFull, 0x100000001ull},
    {"alpha", 1, 0, 0x100000000ull},
    {".", 1, 0, 0},
    {"Delta.wav", 0, 5, 0x100000002ull},
};
} // namespace

TEST(PickerEntries, DotNamesAreNeverStoredAndFoldersAreCounted)
{
    CMyPickerEntries entries;
    FillEntries(entries, kMixed);
    EXPECT_EQ(6, entries.GetCount());
    EXPECT_EQ(2, entries.GetFolderCount());
    EXPECT_EQ(1, CMyPickerEntries::IsDotsName("..."));
    EXPECT_EQ(0, CMyPickerEntries::IsDotsName(".wav"));
    EXPECT_EQ(0, CMyPickerEntries::IsDotsName(""));
}

TEST(PickerEntries, GrowsPastItsInitialRoomWithoutLosingRecords)
{
    CMyPickerEntries entries;
    std::vector<EntryDef> defs;
    for (int i = 0; i < 7100; i++)
        defs.push_back({"f" + std::to_string(i), i % 3 == 0, (ULONGLONG)i, 0});
    FillEntries(entries, defs);
    ASSERT_EQ(7100, entries.GetCount());
    EXPECT_EQ(2367, entries.GetFolderCount());
    for (int i : {0, 1999, 2000, 2001, 7000, 7099})
        EXPECT_EQ("f" + std::to_string(i), entries.GetAt(i).cFileName);
}

TEST(PickerEntries, FoldersMoveToTheFrontKeepingTheirOrder)
{
    CMyPickerEntries entries;
    FillEntries(entries, kMixed);
    entries.MoveFoldersToFront();
    EXPECT_EQ("Beta alpha alpha.wav gamma.WAV zeta.wav Delta.wav", EntryNames(entries));
    entries.SortDefault();
    EXPECT_EQ("alpha Beta alpha.wav Delta.wav gamma.WAV zeta.wav", EntryNames(entries));
}

TEST(PickerEntries, ColumnClicksSortEachRangeAndAlternate)
{
    const struct
    {
        std::vector<int> clicks;
        const char* pcExpected;
    } kCases[] = {
        {{0}, "alpha Beta alpha.wav Delta.wav gamma.WAV zeta.wav"},
        {{0, 0}, "Beta alpha zeta.wav gamma.WAV Delta.wav alpha.wav"},
        {{0, 0, 0}, "alpha Beta alpha.wav Delta.wav gamma.WAV zeta.wav"},
        {{1}, "alpha Beta Delta.wav zeta.wav gamma.WAV alpha.wav"},
        {{1, 1}, "alpha Beta alpha.wav gamma.WAV zeta.wav Delta.wav"},
        {{2}, "alpha Beta alpha.wav gamma.WAV Delta.wav zeta.wav"},
        {{2, 2}, "Beta alpha Delta.wav zeta.wav gamma.WAV alpha.wav"},
        {{0, 1}, "alpha Beta Delta.wav zeta.wav gamma.WAV alpha.wav"},
        {{3}, "alpha Beta alpha.wav Delta.wav gamma.WAV zeta.wav"},
        {{-1}, "alpha Beta alpha.wav Delta.wav gamma.WAV zeta.wav"},
    };
    for (const auto& test : kCases)
    {
        CMyPickerEntries entries;
        FillEntries(entries, kMixed);
        entries.SortDefault();
        for (int nColumn : test.clicks)
            entries.SortByColumn(nColumn);
        EXPECT_EQ(test.pcExpected, EntryNames(entries))
            << "clicks " << test.clicks.size() << " first " << test.clicks[0];
    }
}

TEST(PickerEntries, SizeSortOfFewerThanTwoFilesIsTracedAndChangesNothing)
{
    for (int bAscending : {1, 0})
    {
        ClearTrace();
        CMyPickerEntries entries;
        FillEntries(entries, {{"sub", 1, 0, 0}, {"one.wav", 0, 10, 0}});
        if (!bAscending)
            entries.SortByColumn(1);
        ClearTrace();
        entries.SortByColumn(1);
        EXPECT_EQ("sub one.wav", EntryNames(entries));
        std::string expected = std::string("※　引数が無効です CMyFileDialog::") +
                               (bAscending ? "SortFileBySizeLoToHi" : "SortFileBySizeHiToLo") +
                               "\r\n\t\tiTopID[1] iEndID[1] iItemNum[2]\r\n";
        EXPECT_EQ(expected, ReadTrace());
    }
}

TEST(PickerEntries, NullRecordsCompareEqualAndAreTraced)
{
    ClearTrace();
    WIN32_FIND_DATAA entry = Entry({"a", 0, 1, 1});
    EXPECT_EQ(0, CMyPickerEntries::Compare64BitData(&entry, nullptr));
    EXPECT_EQ(0, CMyPickerEntries::CompareFileTimeStruct(nullptr, &entry.ftLastWriteTime));
    std::string trace = ReadTrace();
    EXPECT_NE(std::string::npos, trace.find("CMyFileDialog::Compare64BitData\r\n\t\tpData1["));
    EXPECT_NE(std::string::npos, trace.find("] pData2[00000000]\r\n"));
    EXPECT_NE(std::string::npos,
              trace.find("CMyFileDialog::CompareFileTimeStruct\r\n\t\tpTime1[00000000]"));
}

TEST(PickerEntries, SizeTextGroupsDigitsInThrees)
{
    const struct
    {
        ULONGLONG ullSize;
        const char* pcText;
    } kCases[] = {{0, "0"},
                  {999, "999"},
                  {1000, "1,000"},
                  {1234567, "1,234,567"},
                  {100000, "100,000"},
                  {18446744073709551615ull, "18,446,744,073,709,551,615"}};
    for (const auto& test : kCases)
        EXPECT_STREQ(test.pcText, CMyPickerEntries::FormatSize(test.ullSize).GetString());
}

TEST(PickerEntries, ConfirmationKeepsTheSelectedRowsInRowOrder)
{
    const struct
    {
        std::vector<BYTE> flags;
        const char* pcKept;
        int nFolders;
    } kCases[] = {
        {{1, 0, 0, 1, 0, 1}, "alpha Delta.wav zeta.wav", 1},
        {{0, 0, 0, 0, 0, 1}, "zeta.wav", 0},
        {{1, 1, 1, 1, 1, 1}, "alpha Beta alpha.wav Delta.wav gamma.WAV zeta.wav", 2},
        {{0, 1}, "Beta", 1},
    };
    for (const auto& test : kCases)
    {
        CMyPickerEntries entries;
        FillEntries(entries, kMixed);
        entries.SortDefault();
        CArray<BYTE> selected;
        for (BYTE b : test.flags)
            selected.Add(b);
        int nKept = entries.KeepSelected(selected);
        EXPECT_EQ(test.pcKept, EntryNames(entries));
        EXPECT_EQ(nKept, entries.GetCount());
        EXPECT_EQ(test.nFolders, entries.GetFolderCount());
    }
}
