// The name filter and the adding operations: the "wav" filter, the pattern
// filter, picked files, paths and the folder walk with its order and abort.
#include "sources/FilteredPathList.h"

#include "PathListSupport.h"
#include "TestSupport.h"
#include "engine/JobFlags.h"
#include "support/FileSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
WIN32_FIND_DATAA EntryOf(const CString& strPath)
{
    WIN32_FIND_DATAA entry;
    EXPECT_TRUE(GetFindData(&entry, strPath));
    return entry;
}
} // namespace

TEST(FilteredPathList, WavFilterTakesTheExtensionInAnyCase)
{
    const struct
    {
        const char* pcName;
        int bTaken;
    } cases[] = {
        {"A.WAV", 1},  {"a.Wav", 1},    {"b.wav", 1},  {".wav", 1},
        {"曲.wav", 1}, {"x.ｗａｖ", 0}, {"c.wave", 0}, {"d.wav.bak", 0},
        {"wav", 0},    {"e.", 0},       {"f.wa", 0},   {"dir.wav\\g", 0},
    };
    CWavList list;
    for (const auto& c : cases)
        EXPECT_EQ(c.bTaken, list.MatchName(CMyWString(c.pcName))) << c.pcName;
    list.SetExtensionOn(0);
    EXPECT_EQ(0, list.MatchName(CMyWString("b.wav")));
}

TEST(FilteredPathList, PatternFilterMatchesWholeNamesAndTakesPrecedence)
{
    CWavList list;
    list.SetPatternOn(1);
    // The default pattern ".+" takes every non-empty name.
    EXPECT_EQ(1, list.MatchName(CMyWString("song.mp3")));
    EXPECT_EQ(1, list.SetPattern("wav"));
    EXPECT_EQ(0, list.MatchName(CMyWString("song.wav")));
    EXPECT_EQ(1, list.MatchName(CMyWString("wav")));
    EXPECT_EQ(1, list.SetPattern(WSTR("曲.*\\.mp3")));
    EXPECT_EQ(1, list.MatchName(CMyWString("曲名.mp3")));
    EXPECT_EQ(0, list.MatchName(CMyWString("song.mp3")));
    // A refused pattern takes nothing while the pattern filter is on.
    EXPECT_EQ(0, list.SetPattern("(unclosed"));
    EXPECT_EQ(0, list.MatchName(CMyWString("(unclosed")));
    list.SetPatternOn(0);
    EXPECT_EQ(1, list.MatchName(CMyWString("song.wav")));
}

TEST(FilteredPathList, WalkAddsAFoldersFilesBeforeItsSubFolders)
{
    CString strRoot = MakeTestDir("walk");
    CString strSub = MakeSubDir(strRoot, "a-sub");
    MakeSubDir(strSub, "deeper");
    Touch(JoinPath(strSub, "deeper"), "deep.wav");
    Touch(strSub, "inner.wav");
    Touch(strRoot, "song.wav", 1234);
    Touch(strRoot, "notes.txt");
    CWavList list(strRoot);
    CString strSaved;
    GetCurrentDir(&strSaved);

    EXPECT_EQ(0, list.ScanFolder(strRoot, 1, 1)); // notes.txt was not added
    CString strCurrent;
    GetCurrentDir(&strCurrent);
    EXPECT_EQ(strSaved, strCurrent);
    ASSERT_EQ(3u, list.GetCount());
    EXPECT_EQ(Joined(strRoot, "song.wav"), list.GetAt(0).FilePath);
    EXPECT_EQ(Joined(strSub, "inner.wav"), list.GetAt(1).FilePath);
    EXPECT_EQ(Joined(Joined(strSub, "deeper"), "deep.wav"), list.GetAt(2).FilePath);
    const CMyPathRecord& first = list.GetAt(0);
    EXPECT_EQ(strRoot, first.FoldPath);
    EXPECT_STREQ("song.wav", first.FileName);
    EXPECT_EQ(1234u, first.FileSize);
    EXPECT_EQ(strRoot, first.BaseFoldPath);
    EXPECT_EQ(MY_NO_ID, first.ID);

    // A second walk finds everything listed: nothing added, result 0.
    EXPECT_EQ(0, list.ScanFolder(strRoot, 1, 1));
    EXPECT_EQ(3u, list.GetCount());
}

TEST(FilteredPathList, WalkResultTellsWhetherEveryFileWasAdded)
{
    CString strRoot = MakeTestDir("result");
    Touch(strRoot, "a.wav");
    Touch(strRoot, "b.WAV");
    CWavList list;
    EXPECT_EQ(1, list.ScanFolder(strRoot, 1, 1));
    EXPECT_EQ(2u, list.GetCount());

    // The unfiltered walk takes every file; without recursion a sub-folder
    // counts as an entry that was not added.
    CString strOther = MakeTestDir("unfiltered");
    Touch(strOther, "x.txt");
    MakeSubDir(strOther, "sub");
    Touch(JoinPath(strOther, "sub"), "y.wav");
    CMyFilteredPathList all;
    EXPECT_EQ(0, all.ScanFolder(strOther, 0, 0));
    EXPECT_EQ((std::vector<std::string>{Joined(strOther, "x.txt").GetString()}), Paths(all));

    // With both filters off the filtered walk takes nothing at all.
    CMyFilteredPathList none;
    EXPECT_EQ(0, none.ScanFolder(strRoot, 1, 1));
    EXPECT_EQ(0u, none.GetCount());
}

TEST(FilteredPathList, HiddenWavInAHiddenFolderIsAdded)
{
    CString strRoot = MakeTestDir("hidden");
    CString strHidden = MakeSubDir(strRoot, ".hidden");
    Touch(strHidden, ".secret.wav");
#ifdef _WIN32
    SetFileAttributesA(strHidden, FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(JoinPath(strHidden, ".secret.wav"), FILE_ATTRIBUTE_HIDDEN);
#endif
    CWavList list;
    EXPECT_EQ(1, list.ScanFolder(strRoot, 1, 1));
    EXPECT_EQ((std::vector<std::string>{Joined(strHidden, ".secret.wav").GetString()}),
              Paths(list));
}

TEST(FilteredPathList, ShiftJisNamesWithBackslashTrailBytesKeepTheirParts)
{
    CString strRoot = MakeTestDir("sjis");
    CString strSub = MakeSubDir(strRoot, "ソ"); // 0x83 0x5C
    Touch(strSub, "表.wav");                    // 0x95 0x5C
    CWavList list(strRoot);
    EXPECT_EQ(1, list.AddPath(strSub, 1, 1));
    ASSERT_EQ(1u, list.GetCount());
    EXPECT_EQ(strSub, list.GetAt(0).FoldPath);
    EXPECT_STREQ("表.wav", list.GetAt(0).FileName);
}

namespace
{
std::vector<std::string> g_listed;
BOOL AbortAtY(HANDLE h, WIN32_FIND_DATAA* pData)
{
    BOOL bMore = GetDefaultPlatformHooks().pfnFindNextFile(h, pData);
    if (bMore)
    {
        g_listed.push_back(pData->cFileName);
        if (strcmp(pData->cFileName, "y.wav") == 0)
            g_bAbort.store(1);
    }
    return bMore;
}
} // namespace

TEST(FilteredPathList, AbortStopsTheListingAndFoundFoldersStopEarly)
{
    CString strRoot = MakeTestDir("abort");
    for (const char* pcSub : {"d1", "d2"})
    {
        CString strSub = MakeSubDir(strRoot, pcSub);
        Touch(strSub, "in1.wav");
        Touch(strSub, "in2.wav");
    }
    Touch(strRoot, "x.wav");
    Touch(strRoot, "y.wav");
    Touch(strRoot, "z.wav");
    CWavList list;
    g_listed.clear();
    GetPlatformHooks().pfnFindNextFile = AbortAtY;
    list.ScanFolder(strRoot, 1, 1);
    ResetPlatformHooks();
    g_bAbort.store(0);

    // Whatever order the file system lists in: the files before y.wav are
    // taken, and the folders before it are entered but give nothing.
    std::vector<std::string> expect;
    for (const std::string& name : g_listed)
    {
        if (name == "y.wav")
            break;
        if (name == "x.wav" || name == "z.wav")
            expect.push_back(Joined(strRoot, name.c_str()).GetString());
    }
    EXPECT_EQ(expect, Paths(list));
    int nEntered = 0;
    for (const std::string& name : g_listed)
        nEntered += name == ".." ? 1 : 0;
    int nFoldersBefore = 0;
    for (const std::string& name : g_listed)
    {
        if (name == "y.wav")
            break;
        nFoldersBefore += (name == "d1" || name == "d2") ? 1 : 0;
    }
    EXPECT_EQ(1 + nFoldersBefore, nEntered);
}

namespace
{
std::vector<std::string> g_errors;
CString g_strDenied;
HANDLE DenyOneFolder(LPCSTR pcName, WIN32_FIND_DATAA* pData)
{
    CString strCurrent;
    GetCurrentDir(&strCurrent);
    if (strCurrent.Right(4) == "lock")
    {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return GetDefaultPlatformHooks().pfnFindFirstFile(pcName, pData);
}
void RecordError(const char* pcFolder, DWORD dwError, void*)
{
    CString strText;
    strText.Format("%u %s", dwError, pcFolder);
    g_errors.push_back(strText.GetString());
}
} // namespace

TEST(FilteredPathList, UnreadableFolderIsLeftOutAndToldToTheHandler)
{
    CString strRoot = MakeTestDir("unreadable");
    CString strLocked = MakeSubDir(strRoot, "lock");
    Touch(strLocked, "hidden.wav");
    Touch(strRoot, "open.wav");
    CWavList list;
    g_errors.clear();
    list.SetFolderErrorHandler(RecordError, nullptr);
    GetPlatformHooks().pfnFindFirstFile = DenyOneFolder;
    list.ScanFolder(strRoot, 1, 1);
    ResetPlatformHooks();
    EXPECT_EQ((std::vector<std::string>{Joined(strRoot, "open.wav").GetString()}), Paths(list));
    CString strExpect;
    strExpect.Format("%u %s", (DWORD)ERROR_ACCESS_DENIED, (const char*)Joined(strRoot, "lock"));
    EXPECT_EQ((std::vector<std::string>{strExpect.GetString()}), g_errors);
    EXPECT_EQ("", ReadTrace());
}

TEST(FilteredPathList, AddFileGrowsAFullListBeforeAnyTest)
{
    CString strRoot = MakeTestDir("addfile");
    Touch(strRoot, "one.wav", 10);
    CWavList list;
    list.SetPickedBaseFolder("C:\\base");
    // AddPath sizes the list to exactly one more record.
    ASSERT_EQ(1, list.AddPath(JoinPath(strRoot, "one.wav"), 1, 1));
    EXPECT_EQ(1u, list.GetCapacity());
    const CMyPathRecord& record = list.GetAt(0);
    EXPECT_EQ(strRoot, record.FoldPath);
    EXPECT_EQ(Joined(strRoot, "one.wav"), record.FilePath);
    EXPECT_STREQ("C:\\base", record.BaseFoldPath);
    EXPECT_EQ(10u, record.FileSize);

    // Full list: the capacity grows by 4096 although the file is listed.
    WIN32_FIND_DATAA entry = EntryOf(JoinPath(strRoot, "one.wav"));
    EXPECT_EQ(0, list.AddFile(strRoot, entry, 1));
    EXPECT_EQ(4097u, list.GetCapacity());
    EXPECT_EQ(1u, list.GetCount());
}

TEST(FilteredPathList, AddFileRefusesFoldersFilteredAndFolderlessEntries)
{
    CString strRoot = MakeTestDir("refuse");
    Touch(strRoot, "a.txt");
    Touch(strRoot, "b.wav", 7);
    CString strSub = MakeSubDir(strRoot, "sub.wav");
    CWavList list(strRoot);
    EXPECT_EQ(0, list.AddFile(strRoot, EntryOf(strSub), 1));
    EXPECT_EQ(0, list.AddFile(strRoot, EntryOf(JoinPath(strRoot, "a.txt")), 1));
    EXPECT_EQ(0, list.AddFile("", EntryOf(JoinPath(strRoot, "b.wav")), 1));
    EXPECT_EQ(1, list.AddFile(strRoot, EntryOf(JoinPath(strRoot, "a.txt")), 0));
    EXPECT_EQ(1, list.AddFile(strRoot, EntryOf(JoinPath(strRoot, "b.wav")), 1));
    EXPECT_EQ(0, list.AddFile(strRoot, EntryOf(JoinPath(strRoot, "b.wav")), 1));
    ASSERT_EQ(2u, list.GetCount());
    EXPECT_EQ(strRoot, list.GetAt(1).BaseFoldPath);
    EXPECT_EQ(MY_NO_ID, list.GetAt(1).ID);
    EXPECT_EQ(7u, list.GetAt(1).FileSize);
    EXPECT_EQ(4096u, list.GetCapacity());
}

TEST(FilteredPathList, AddPathTakesFilesAndWalksFoldersOnlyWithRecursion)
{
    CString strRoot = MakeTestDir("addpath");
    Touch(strRoot, "a.wav");
    Touch(strRoot, "b.mp3");
    CWavList list;
    EXPECT_EQ(0, list.AddPath(JoinPath(strRoot, "missing.wav"), 1, 1));
    EXPECT_EQ(0, list.AddPath(strRoot, 0, 1));
    EXPECT_EQ(0, list.AddPath(JoinPath(strRoot, "b.mp3"), 1, 1));
    EXPECT_EQ(0u, list.GetCount());
    EXPECT_EQ(0, list.AddPath(strRoot, 1, 1)); // b.mp3 is met and not taken
    EXPECT_EQ((std::vector<std::string>{Joined(strRoot, "a.wav").GetString()}), Paths(list));
    EXPECT_EQ(1, list.AddPath(JoinPath(strRoot, "b.mp3"), 1, 0));
    EXPECT_EQ(2u, list.GetCount());
}
