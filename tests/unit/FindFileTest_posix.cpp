// The Linux folder listing: what each kind of entry is taken for.
#include "TestSupport.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// A link to a file is that file (its size included) and a link to a folder
// that folder; a link that leads nowhere, a FIFO or a socket is no file.
TEST(FindFile, EachKindOfEntryIsTakenForWhatItReaches)
{
    CString strDir = MakeTestDir("kinds");
    ASSERT_TRUE(WriteBytes(JoinPath(strDir, "a.wav"), std::string(1000, 'a')));
    ASSERT_TRUE(CreateDirectoryA(JoinPath(strDir, "sub"), nullptr));
    ASSERT_EQ(0, symlink("a.wav", JoinPath(strDir, "link.wav")));
    ASSERT_EQ(0, symlink("sub", JoinPath(strDir, "linkdir")));
    ASSERT_EQ(0, symlink("gone.wav", JoinPath(strDir, "dangling.wav")));
    ASSERT_EQ(0, mkfifo(JoinPath(strDir, "fifo.wav"), 0644));
    struct Expected
    {
        DWORD dwKind; // directory, device or a file (archive)
        DWORD dwSize;
    };
    const std::map<std::string, Expected> expected = {
        {".", {FILE_ATTRIBUTE_DIRECTORY, 0}},         {"..", {FILE_ATTRIBUTE_DIRECTORY, 0}},
        {"a.wav", {FILE_ATTRIBUTE_ARCHIVE, 1000}},    {"sub", {FILE_ATTRIBUTE_DIRECTORY, 0}},
        {"link.wav", {FILE_ATTRIBUTE_ARCHIVE, 1000}}, {"linkdir", {FILE_ATTRIBUTE_DIRECTORY, 0}},
        {"dangling.wav", {FILE_ATTRIBUTE_DEVICE, 0}}, {"fifo.wav", {FILE_ATTRIBUTE_DEVICE, 0}},
    };
    const DWORD kKinds = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_ARCHIVE;
    std::map<std::string, Expected> found;
    WIN32_FIND_DATAA entry;
    HANDLE hFind = FindFirstFileA(strDir + "\\*", &entry);
    ASSERT_NE(INVALID_HANDLE_VALUE, hFind);
    do
        found[entry.cFileName] = Expected{entry.dwFileAttributes & kKinds, entry.nFileSizeLow};
    while (FindNextFileA(hFind, &entry));
    FindClose(hFind);
    ASSERT_EQ(expected.size(), found.size());
    for (const auto& e : expected)
    {
        ASSERT_EQ(1u, found.count(e.first)) << e.first;
        EXPECT_EQ(e.second.dwKind, found[e.first].dwKind) << e.first;
        EXPECT_EQ(e.second.dwSize, found[e.first].dwSize) << e.first;
    }
}
