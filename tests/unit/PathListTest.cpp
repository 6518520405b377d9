// The path list: look-up, removal, identifiers, storage growth and the dump.
#include "sources/PathList.h"

#include "PathListSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace
{
void AppendNumbered(CMyPathList& list, int nFirst, int nLast)
{
    for (int i = nFirst; i <= nLast; i++)
    {
        CString strName;
        strName.Format("f%d.wav", i);
        ASSERT_EQ(1, list.AppendRecord(MakeRecord("C:\\m", strName)));
    }
}

int g_nAllocsLeft = -1;
void* LimitedAlloc(size_t n)
{
    if (g_nAllocsLeft == 0)
        return nullptr;
    if (g_nAllocsLeft > 0)
        g_nAllocsLeft--;
    return calloc(1, n);
}
} // namespace

TEST(PathList, FindPathComparesWholePathsByteForByte)
{
    CMyPathList list;
    EXPECT_EQ(MY_NOT_FOUND, list.FindPath("C:\\m\\a.wav"));
    list.AppendRecord(MakeRecord("C:\\m", "a.wav"));
    list.AppendRecord(MakeRecord("C:\\m", "A.wav"));
    list.AppendRecord(MakeRecord("C:\\m", "表.wav"));
    EXPECT_EQ(MY_NOT_FOUND, list.FindPath(""));
    EXPECT_EQ(MY_NOT_FOUND, list.FindPath(nullptr));
    EXPECT_EQ(0u, list.FindPath("C:\\m\\a.wav"));
    EXPECT_EQ(1u, list.FindPath("C:\\m\\A.wav"));
    EXPECT_EQ(2u, list.FindPath("C:\\m\\表.wav"));
    EXPECT_EQ(MY_NOT_FOUND, list.FindPath("C:\\m\\a.wav "));
    EXPECT_EQ(MY_NOT_FOUND, list.FindPath("C:\\m\\a.WAV"));
    EXPECT_EQ(1u, list.FindRecord(MakeRecord("C:\\m", "A.wav")));
}

TEST(PathList, RemoveAtShiftsLaterRecordsAndRefusesPastTheEnd)
{
    CMyPathList list;
    AppendNumbered(list, 1, 4);
    EXPECT_EQ(0, list.RemoveAt(4));
    EXPECT_EQ(4u, list.GetCount());
    EXPECT_EQ(1, list.RemoveAt(1));
    ASSERT_EQ(3u, list.GetCount());
    EXPECT_STREQ("f3.wav", list.GetAt(1).FileName);
    EXPECT_EQ(MY_NOT_FOUND, list.FindPath("C:\\m\\f2.wav"));
    EXPECT_EQ(2u, list.FindPath("C:\\m\\f4.wav"));
}

// Random edits checked against a plain vector searched linearly: the indexes
// must give the first matching record in list order after every change.
TEST(PathList, IndexesAgreeWithALinearSearchThroughRandomEdits)
{
    std::mt19937 rng(12345);
    CMyPathList list;
    std::vector<std::string> model;
    std::vector<DWORD> modelIDs;
    auto linearFind = [&](const std::string& path) -> DWORD
    {
        for (size_t i = 0; i < model.size(); i++)
            if (model[i] == path)
                return (DWORD)i;
        return MY_NOT_FOUND;
    };
    for (int step = 0; step < 3000; step++)
    {
        CString strName;
        strName.Format("n%u.wav", (unsigned)(rng() % 60));
        CMyPathRecord record = MakeRecord("D:\\x", strName);
        std::string path(record.FilePath.GetString());
        switch (rng() % 6)
        {
        case 0:
        case 1: // appending a path already listed must not move the index to it
            ASSERT_EQ(1, list.AppendRecord(record));
            model.push_back(path);
            modelIDs.push_back(MY_NO_ID);
            break;
        case 2:
            if (!model.empty())
            {
                DWORD i = (DWORD)(rng() % model.size());
                ASSERT_EQ(1, list.RemoveAt(i));
                model.erase(model.begin() + i);
                modelIDs.erase(modelIDs.begin() + i);
            }
            break;
        case 3:
        {
            DWORD i = linearFind(path);
            ASSERT_EQ(i != MY_NOT_FOUND ? 1 : 0, list.RemovePath(path.c_str()));
            if (i != MY_NOT_FOUND)
            {
                model.erase(model.begin() + i);
                modelIDs.erase(modelIDs.begin() + i);
            }
            break;
        }
        case 4:
            list.AssignIDs();
            modelIDs = IDs(list);
            break;
        case 5:
            if (rng() % 40 == 0)
            {
                list.ClearUsed();
                model.clear();
                modelIDs.clear();
            }
            break;
        }
        ASSERT_EQ(model.size(), list.GetCount());
        ASSERT_EQ(linearFind(path), list.FindPath(path.c_str())) << "step " << step;
        if (!modelIDs.empty())
        {
            DWORD dwID = modelIDs[rng() % modelIDs.size()];
            DWORD dwExpect = MY_NOT_FOUND;
            for (size_t i = 0; dwID != MY_NO_ID && i < modelIDs.size(); i++)
                if (modelIDs[i] == dwID)
                {
                    dwExpect = (DWORD)i;
                    break;
                }
            ASSERT_EQ(dwExpect, list.FindByID(dwID)) << "step " << step;
        }
    }
}

TEST(PathList, RemovePathsRemovesEachListedPathOnceAndFreesItsIdentifier)
{
    CMyPathList list;
    AppendNumbered(list, 1, 6);
    list.AssignIDs();
    CMyPathList other;
    other.AppendRecord(MakeRecord("C:\\m", "f5.wav"));
    other.AppendRecord(MakeRecord("C:\\m", "f2.wav"));
    other.AppendRecord(MakeRecord("C:\\m", "missing.wav"));
    other.AppendRecord(MakeRecord("C:\\m", "f5.wav"));
    EXPECT_EQ(2u, list.RemovePaths(other));
    EXPECT_EQ((std::vector<DWORD>{1, 3, 4, 6}), IDs(list));
    ASSERT_EQ(2u, list.GetFreeIDCount());
    EXPECT_EQ(5u, list.GetFreeIDAt(0));
    EXPECT_EQ(2u, list.GetFreeIDAt(1));
    EXPECT_EQ(3u, list.FindPath("C:\\m\\f6.wav"));
}

TEST(PathList, RemovePathsWithARepeatedPathTakesTheFirstEachTime)
{
    CMyPathList list;
    list.AppendRecord(MakeRecord("C:\\m", "a.wav"));
    list.AppendRecord(MakeRecord("C:\\m", "b.wav"));
    list.AppendRecord(MakeRecord("C:\\m", "a.wav"));
    list.AssignIDs();
    CMyPathList other;
    other.AppendRecord(MakeRecord("C:\\m", "a.wav"));
    EXPECT_EQ(1u, list.RemovePaths(other));
    EXPECT_EQ((std::vector<DWORD>{2, 3}), IDs(list));
    EXPECT_EQ(1u, list.FindPath("C:\\m\\a.wav"));
}

struct IdCase
{
    const char* pcName;
    int nRecords;
    std::vector<int> removeAt; // applied in order, freeing identifiers
    int nAdded;
    std::vector<DWORD> expect;
};

TEST(PathList, AssignIDsReusesFreedIdentifiersLastInFirstOut)
{
    const IdCase cases[] = {
        {"fresh list", 3, {}, 0, {1, 2, 3}},
        {"remove 7 of 9, add two", 9, {6}, 2, {1, 2, 3, 4, 5, 6, 8, 9, 7, 10}},
        {"two freed, newest first", 5, {1, 2}, 3, {1, 3, 5, 4, 2, 6}},
        {"freed largest continues above it", 4, {3}, 2, {1, 2, 3, 4, 5}},
    };
    for (const IdCase& c : cases)
    {
        CMyPathList list;
        AppendNumbered(list, 1, c.nRecords);
        list.AssignIDs();
        for (int iAt : c.removeAt)
        {
            list.PushFreeID(list.GetAt((DWORD)iAt).ID);
            list.RemoveAt((DWORD)iAt);
        }
        AppendNumbered(list, 100, 99 + c.nAdded);
        list.AssignIDs();
        EXPECT_EQ(c.expect, IDs(list)) << c.pcName;
        EXPECT_EQ(0u, list.GetFreeIDCount()) << c.pcName;
    }
}

TEST(PathList, ReleaseAllKeepsFreedIdentifiersForTheNextAdd)
{
    CMyPathList list;
    AppendNumbered(list, 1, 5);
    list.AssignIDs();
    list.RemovePath("C:\\m\\f2.wav");
    list.RemovePath("C:\\m\\f5.wav");
    list.ReleaseAll();
    EXPECT_EQ(0u, list.GetCount());
    EXPECT_EQ(0u, list.GetCapacity());
    EXPECT_EQ(MY_NOT_FOUND, list.FindPath("C:\\m\\f1.wav"));
    AppendNumbered(list, 1, 4);
    list.AssignIDs();
    EXPECT_EQ((std::vector<DWORD>{5, 2, 6, 7}), IDs(list));
}

TEST(PathList, IdentifiersPastTheLastNumberTakeTheLowestUnused)
{
    CMyPathList list;
    AppendNumbered(list, 1, 2);
    list.AssignIDs();
    list.PushFreeID(0xFFFFFFFEu);
    AppendNumbered(list, 3, 5);
    list.AssignIDs();
    EXPECT_EQ((std::vector<DWORD>{1, 2, 0xFFFFFFFEu, 3, 4}), IDs(list));
}

TEST(PathList, ClearAllEmptiesTheStackAndKeepsStorage)
{
    CMyPathList list;
    AppendNumbered(list, 1, 3);
    list.AssignIDs();
    list.RemovePath("C:\\m\\f1.wav");
    DWORD dwCapacity = list.GetCapacity();
    list.ClearAll();
    EXPECT_EQ(0u, list.GetCount());
    EXPECT_EQ(0u, list.GetFreeIDCount());
    EXPECT_EQ(dwCapacity, list.GetCapacity());
    EXPECT_EQ(MY_NOT_FOUND, list.FindPath("C:\\m\\f2.wav"));
    AppendNumbered(list, 1, 1);
    list.AssignIDs();
    EXPECT_EQ(1u, list.GetAt(0).ID);
}

TEST(PathList, StorageGrowsInStepsOfAThousand)
{
    CMyPathList list;
    AppendNumbered(list, 1, 1);
    EXPECT_EQ(1000u, list.GetCapacity());
    AppendNumbered(list, 2, 1001);
    EXPECT_EQ(2000u, list.GetCapacity());
    EXPECT_STREQ("f1.wav", list.GetAt(0).FileName);
    EXPECT_EQ(1000u, list.FindPath("C:\\m\\f1001.wav"));
}

TEST(PathList, FailedGrowthLeavesTheListAsItWas)
{
    CMyPathList list;
    AppendNumbered(list, 1, 1000);
    GetPlatformHooks().pfnAlloc = LimitedAlloc;
    g_nAllocsLeft = 0;
    EXPECT_EQ(0, list.AppendRecord(MakeRecord("C:\\m", "new.wav")));
    g_nAllocsLeft = -1;
    ResetPlatformHooks();
    EXPECT_EQ(1000u, list.GetCount());
    EXPECT_EQ(1000u, list.GetCapacity());
    EXPECT_EQ(MY_NOT_FOUND, list.FindPath("C:\\m\\new.wav"));
    EXPECT_EQ(999u, list.FindPath("C:\\m\\f1000.wav"));
}

TEST(MyArray, ReallocateKeepsOrDropsContent)
{
    CMyArray<DWORD> arr;
    EXPECT_EQ(0, arr.IsOwned());
    for (DWORD i = 0; i < 5; i++)
        ASSERT_EQ(1, arr.Append(i + 10));
    EXPECT_EQ(1, arr.IsOwned());
    ASSERT_EQ(1, arr.Reallocate(3, 1));
    EXPECT_EQ(3u, arr.GetCount());
    EXPECT_EQ(3u, arr.GetCapacity());
    EXPECT_EQ(12u, arr[2]);
    ASSERT_EQ(1, arr.Reallocate(8, 0));
    EXPECT_EQ(0u, arr.GetCount());
    EXPECT_EQ(8u, arr.GetCapacity());
    EXPECT_EQ(0u, arr[7]);
}

namespace
{
size_t g_nAllocLimit = 0;
void* AllocUpTo(size_t n)
{
    return n <= g_nAllocLimit ? calloc(1, n) : nullptr;
}
} // namespace

// Storage reserved behind the capacity never shows: capacities follow the
// rules, and a reserve that cannot be had falls back to the exact size.
TEST(MyArray, ReserveBehindTheCapacityIsInvisible)
{
    CMyArray<DWORD> arr;
    for (DWORD i = 0; i < 2000; i++)
        ASSERT_EQ(1, arr.Append(i));
    EXPECT_EQ(2000u, arr.GetCapacity());
    g_nAllocLimit = 3000 * sizeof(DWORD);
    GetPlatformHooks().pfnAlloc = AllocUpTo;
    ASSERT_EQ(1, arr.Append(2000)); // the doubled reserve is refused, 3000 fits
    EXPECT_EQ(3000u, arr.GetCapacity());
    for (DWORD i = 2001; i < 3000; i++)
        ASSERT_EQ(1, arr.Append(i));
    EXPECT_EQ(0, arr.Append(3000)); // 4000 does not fit either
    ResetPlatformHooks();
    EXPECT_EQ(3000u, arr.GetCount());
    ASSERT_EQ(1, arr.Append(3000));
    EXPECT_EQ(4000u, arr.GetCapacity());
    ASSERT_EQ(1, arr.Reallocate(5000, 1)); // inside the reserve of 6000
    EXPECT_EQ(5000u, arr.GetCapacity());
    EXPECT_EQ(3000u, arr[3000]);
    EXPECT_EQ(0u, arr[4999]);
    ASSERT_EQ(1, arr.Reallocate(10, 1));
    EXPECT_EQ(10u, arr.GetCapacity());
    EXPECT_EQ(10u, arr.GetCount());
    EXPECT_EQ(9u, arr[9]);
}

TEST(PathRecord, DumpWritesTheSixFieldsWithFullWidthColons)
{
    CMyPathRecord record = MakeRecord("C:\\音楽", "曲.wav", 1234567890123ull);
    record.BaseFoldPath = "C:\\";
    record.DumpToTrace();
    EXPECT_EQ("FilePath：C:\\音楽\\曲.wav\nFoldPath：C:\\音楽\nFileName：曲.wav\n"
              "FileSize：1234567890123\nBaseFoldPath：C:\\\n：ID[4294967295]\n",
              ReadTrace());
}

TEST(PathRecord, OverlongDumpIsCutOnACharacterBoundary)
{
    std::string strLong;
    for (int i = 0; i < 700; i++)
        strLong += "表";
    CMyPathRecord record = MakeRecord("C:", strLong.c_str());
    record.DumpToTrace();
    std::string trace = ReadTrace();
    ASSERT_LE(trace.size(), 2047u);
    ASSERT_GT(trace.size(), 2000u);
    EXPECT_EQ('\n', trace.back());
    // Everything before the line end is whole two-byte characters after the label.
    std::string head = "FilePath：C:\\";
    ASSERT_EQ(0u, trace.find(head));
    EXPECT_EQ(0u, (trace.size() - 1 - head.size()) % 2);
}
