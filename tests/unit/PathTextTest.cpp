// Path texts: validity tests, cutting to name, title and extension, and the
// narrow folder and file-name parts. 0x83 0x5C (ソ) and 0x95 0x5C (表) end
// in the byte of '\' and must never be cut there.
#include "support/PathText.h"

#include "TestSupport.h"
#include "TextTestSupport.h"

#include <gtest/gtest.h>

#include <string>

TEST(PathText, ValidPathAndFileName)
{
    struct Case
    {
        const char* pcText;
        int bPath, bName;
    };
    const Case cases[] = {
        {"\\\\server\\share", 1, 0}, // a network path may begin with two separators
        {"//server/share", 1, 0},
        {"C:\\a\\b", 1, 0},
        {"C:/a/b", 1, 0},
        {"C:\\a\\\\b", 0, 0},
        {"C:\\a/\\b", 0, 0},
        {"C:\\a\\/b", 0, 0},
        {"a//b", 0, 0},
        {"ab:c", 0, 0},
        {":", 0, 0},
        {"1:\\a", 0, 0}, // a drive must be a letter
        {"C:\\a.", 0, 0},
        {"C:\\a*", 0, 0},
        {"C:\\a?", 0, 0},
        {"C:\\<a>", 0, 0},
        {"C:\\a|b", 0, 0},
        {"C:\\\"a\"", 0, 0},
        {"", 0, 0},
        {"song.wav", 1, 1},
        {"a:b", 1, 0},                  // a drive-relative path, but no file name
        {"\x83\x5C\x95\x5C.wav", 1, 1}, // ソ表.wav: no separator inside
        {"C:\\\x83\x5C\\\x95\x5C", 1, 0},
        {"a.", 0, 1},
    };
    for (const Case& k : cases)
    {
        CMyWString wstr(k.pcText);
        EXPECT_EQ(k.bPath, wstr.IsValidPath()) << k.pcText;
        EXPECT_EQ(k.bName, wstr.IsValidFileName()) << k.pcText;
    }
}

TEST(PathText, CuttingToNameTitleAndExtension)
{
    struct Case
    {
        int iOp; // 0 ToFileName(1), 1 ToFileTitle(1, 4), 2 ToExtension(4), 3 ToFileName(0), 4
                 // ToFileTitle(0, 4)
        const char* pcText;
        int iWant;
        const char* pcWant;
    };
    const Case cases[] = {
        {0, "C:\\dir\\song.wav", 1, "song.wav"},
        {0, "song.wav", 1, "song.wav"},
        {0, "dir/file", 1, "file"},
        {0, "C:\\dir\\", 0, "C:\\dir\\"},
        {0, "C:\\dir\\a.", 0, "C:\\dir\\a."},
        {0, "C:\\\x83\x5C", 1, "\x83\x5C"},
        {0, "\x83\x5C\x95\x5C", 1, "\x83\x5C\x95\x5C"},
        {0, "C:\\a\\\\b", 0, "C:\\a\\\\b"},
        {3, "C:\\a\\\\b", 1, "b"},
        {0, "", 0, ""},
        {1, "C:\\music\\a.tar.gz", 1, "a.tar"},
        {1, "take.aiffc", 1, "take.aiffc"},
        {1, "C:\\music\\.wav", 0, "C:\\music\\.wav"},
        {1, "C:\\dir.x\\file", 1, "file"},
        {1, "C:\\dir\\", 0, "C:\\dir\\"},
        {1, "\x95\x5C.wav", 1, "\x95\x5C"},
        {1, "C:\\\x83\x5C\\\x95\x5C.wav", 1, "\x95\x5C"},
        {1, "C:abc.wav", 0, "C:abc.wav"}, // the name holds a colon
        {4, "C:abc.wav", 1, "C:abc"},
        {1, "a*.wav", 0, "a*.wav"},
        {2, "C:\\dir.x\\file", 0, "C:\\dir.x\\file"},
        {2, "song.wav", 1, "wav"},
        {2, "song.WAV", 1, "WAV"},
        {2, "a.aiffc", 0, "a.aiffc"},
        {2, "a.aiff", 1, "aiff"},
        {2, "a.", 0, "a."},
        {2, "dir/a.b", 1, "b"},
        {2, ".wav", 1, "wav"},
        {2, "\x83\x5C.\x95\x5C", 1, "\x95\x5C"},
    };
    for (const Case& k : cases)
    {
        CMyWString wstr(k.pcText);
        int iGot = k.iOp == 0   ? wstr.ToFileName(1)
                   : k.iOp == 1 ? wstr.ToFileTitle(1, 4)
                   : k.iOp == 2 ? wstr.ToExtension(4)
                   : k.iOp == 3 ? wstr.ToFileName(0)
                                : wstr.ToFileTitle(0, 4);
        EXPECT_EQ(k.iWant, iGot) << k.iOp << " " << k.pcText;
        EXPECT_EQ(std::string(k.pcWant), std::string((const char*)wstr.GetCString()))
            << k.iOp << " " << k.pcText;
    }
    CMyWString wstrExt("a.aiff"); // 0 means 4
    EXPECT_EQ(1, wstrExt.ToExtension(0));
    CMyWString wstrShort("a.aiff");
    EXPECT_EQ(0, wstrShort.ToExtension(3));
}

TEST(PathText, FolderAndFileNameOfNarrowPaths)
{
    struct Case
    {
        const char* pcPath;
        const char* pcFolder;
        const char* pcName;
    };
    const Case cases[] = {
        {"C:\\dir\\song.wav", "C:\\dir", "song.wav"},
        {"C:\\", "C:", ""},
        {"\\x", "\\x", "x"}, // a separator at index 0 keeps the path whole
        {"C:\\dir\\", "C:\\dir", ""},
        {"song.wav", "song.wav", "song.wav"},
        {"a/b\\c", "a/b", "c"},
        {"a\\b/c", "a\\b", "c"},
        {"C:\\\x83\x5C", "C:", "\x83\x5C"},
        {"C:\\\x83\x5C\\a", "C:\\\x83\x5C", "a"},
        {"C:\\dir\\\x83\x5C\x95\x5C", "C:\\dir", "\x83\x5C\x95\x5C"},
        {"\x94\x5C\x83\x5C", "\x94\x5C\x83\x5C", "\x94\x5C\x83\x5C"},
        {"", "", ""},
    };
    for (const Case& k : cases)
    {
        EXPECT_EQ(std::string(k.pcFolder), std::string((const char*)GetFolderFromPath(k.pcPath)))
            << k.pcPath;
        EXPECT_EQ(std::string(k.pcName), std::string((const char*)GetFileNameFromPath(k.pcPath)))
            << k.pcPath;
    }
    EXPECT_EQ(CString(""), GetFolderFromPath(nullptr));
    EXPECT_EQ(CString(""), GetFileNameFromPath(nullptr));
    EXPECT_EQ("", ReadTrace());
}
