// Output names for the batch: mirrored sub-folders, titles, and folders made
// on the way. Names must never lead outside the output folder.
#include "TestSupport.h"
#include "engine/BatchRun.h"
#include "sources/PathList.h"

#include <gtest/gtest.h>

namespace
{
struct BatchNameCase
{
    const char* pcWhat;
    const char* pcOutput;
    const char* pcFoldPath;
    const char* pcBaseFold;
    const char* pcFileName;
    const char* pcExpected; // null: the record is passed over
};

const BatchNameCase kNameCases[] = {
    {"sub-folder mirrored", "E:\\out", "D:\\music\\live", "D:\\music", "a.wav", "E:\\out\\live\\a"},
    {"two levels mirrored", "E:\\out", "D:\\music\\live\\2019", "D:\\music", "a.wav",
     "E:\\out\\live\\2019\\a"},
    {"browsed folder itself", "E:\\out", "D:\\music", "D:\\music", "a.wav", "E:\\out\\a"},
    {"no browsed folder", "E:\\out", "D:\\music\\live", "", "a.wav", "E:\\out\\a"},
    {"browsed drive root", "E:\\out", "D:\\music", "D:\\", "a.wav", "E:\\out\\music\\a"},
    {"output at a drive root", "E:\\", "D:\\music", "D:\\music", "a.wav", "E:\\a"},
    {"drive root and a mirrored folder", "E:\\", "D:\\music\\live", "D:\\music", "a.wav",
     "E:\\live\\a"},
    {"trailing separator and a mirrored folder", "E:\\out/", "D:\\music\\live", "D:\\music",
     "a.wav", "E:\\out/live\\a"},
    {"forward slashes", "E:/out", "D:/music/live", "D:/music", "a.wav", "E:/out/live\\a"},
    {"Japanese names", "E:\\出力", "D:\\音楽\\ソ", "D:\\音楽", "表.wav", "E:\\出力\\ソ\\表"},
    // Titles.
    {"long extension kept", "E:\\out", "D:\\m", "D:\\m", "a.tone1", "E:\\out\\a.tone1"},
    {"last extension cut", "E:\\out", "D:\\m", "D:\\m", "a.tar.gz", "E:\\out\\a.tar"},
    {"no extension", "E:\\out", "D:\\m", "D:\\m", "take", "E:\\out\\take"},
    {"nothing before the dot", "E:\\out", "D:\\m", "D:\\m", ".wav", nullptr},
    {"colon in the name", "E:\\out", "D:\\m", "D:\\m", "a:b.wav", nullptr},
    {"path as the name", "E:\\out", "D:\\m", "D:\\m", "x\\..\\a.wav", "E:\\out\\a"},
    {"empty name", "E:\\out", "D:\\m", "D:\\m", "", nullptr},
    {"no output folder", "", "D:\\m", "D:\\m", "a.wav", nullptr},
    // Folders that are not below the browsed one are not mirrored.
    {"browsed folder elsewhere", "E:\\out", "D:\\music\\live", "C:\\other", "a.wav", "E:\\out\\a"},
    {"browsed name is only a prefix", "E:\\out", "D:\\music\\live", "D:\\mus", "a.wav",
     "E:\\out\\a"},
    {"parent step in the folder", "E:\\out", "D:\\music\\..\\..\\x", "D:\\music", "a.wav",
     "E:\\out\\a"},
    {"invalid folder", "E:\\out", "D:\\mu*sic\\live", "D:\\mu*sic", "a.wav", "E:\\out\\a"},
};
} // namespace

TEST(BatchName, OutputBasePath)
{
    for (const BatchNameCase& c : kNameCases)
    {
        SCOPED_TRACE(c.pcWhat);
        CMyRunState state;
        state.m_strOutputFolder = c.pcOutput;
        CMyThreadMessageHost host(0, nullptr);
        CMyBatchRun run(&state, &host);
        CMyPathRecord record;
        record.FoldPath = c.pcFoldPath;
        record.BaseFoldPath = c.pcBaseFold;
        record.FileName = c.pcFileName;
        record.FilePath = record.FoldPath + "\\" + record.FileName;
        CString strBase("untouched");
        int bOk = run.MakeOutputBasePath(&strBase, record);
        if (c.pcExpected == nullptr)
        {
            EXPECT_EQ(bOk, 0);
            continue;
        }
        EXPECT_EQ(bOk, 1);
        EXPECT_STREQ((const char*)strBase, c.pcExpected);
    }
}

TEST(BatchName, MakeSureFolderOfPath)
{
    CString strRoot = MakeTestDir("folders");
    CString strDeep = JoinPath(JoinPath(JoinPath(strRoot, "a"), "b"), "c");

    // A file path: its folders are made, the file itself is not.
    EXPECT_NE(MakeSureFolderOfPath(JoinPath(strDeep, "piece"), 1), 0);
    EXPECT_TRUE(PathExists(strDeep));
    EXPECT_FALSE(PathExists(JoinPath(strDeep, "piece")));
    // Existing folders are fine.
    EXPECT_NE(MakeSureFolderOfPath(JoinPath(strDeep, "piece"), 1), 0);
    // A folder path: the last component is made too.
    CString strLeaf = JoinPath(strDeep, "leaf");
    EXPECT_NE(MakeSureFolderOfPath(strLeaf, 0), 0);
    EXPECT_TRUE(PathExists(strLeaf));
    EXPECT_NE(MakeSureFolderOfPath(strLeaf + TEST_SEP, 0), 0);

    EXPECT_EQ(MakeSureFolderOfPath("", 1), 0);
    EXPECT_EQ(MakeSureFolderOfPath(nullptr, 1), 0);
    EXPECT_EQ(MakeSureFolderOfPath("noseparator", 1), 0);
    EXPECT_EQ(MakeSureFolderOfPath(strLeaf + TEST_SEP, 1), 0);

    // A file where a folder should be, on the way or at the end: traced, 0.
    // (Windows' own call reports success for the second.)
    CString strFile = JoinPath(strRoot, "file");
    ASSERT_TRUE(WriteBytes(strFile, "x"));
    const CString strBlocked[] = {JoinPath(JoinPath(strFile, "sub"), "piece"),
                                  JoinPath(strFile, "piece")};
    for (const CString& strPath : strBlocked)
    {
        ClearTrace();
        EXPECT_EQ(MakeSureFolderOfPath(strPath, 1), 0) << (const char*)strPath;
        EXPECT_NE(ReadTrace().find("※　出力フォルダを作成できません。MakeSureFolderOfPath()"),
                  std::string::npos);
    }
    EXPECT_EQ(MakeSureFolderOfPath(strFile, 0), 0);
}
