// Names taken into the code page only when every character has its own form
// there, and the searches that pass over the others.
#include "platform/ExactNames.h"

#include "TestSupport.h"
#include "support/FileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

TEST(ExactNames, OnlyTextWithFormsOfItsOwnIsTaken)
{
    static const struct
    {
        const WCHAR* pwcText;
        const char* pcExpect; // null: refused
    } kCases[] = {
        {WSTR("take.wav"), "take.wav"},
        {WSTR("表.wav"), "表.wav"}, // its second byte is that of "\"
        {WSTR("ａ　録音.wav"), "ａ　録音.wav"},
        {WSTR(""), ""},
        {WSTR("café.wav"), nullptr},       // a look-alike would be "cafe.wav"
        {WSTR("¥.wav"), nullptr},          // a look-alike would be "\"
        {WSTR("\U0001F3B5.wav"), nullptr}, // beyond the basic plane
    };
    for (const auto& c : kCases)
    {
        std::string strResult = "stale";
        EXPECT_EQ(c.pcExpect != nullptr ? 1 : 0, WideToAnsiExact(c.pwcText, &strResult))
            << (c.pcExpect != nullptr ? c.pcExpect : "refused");
        EXPECT_EQ(c.pcExpect != nullptr ? c.pcExpect : "", strResult);
    }
}

#ifdef _WIN32
namespace
{
void CreateWide(const std::wstring& strPath)
{
    HANDLE hFile = CreateFileW(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hFile);
    CloseHandle(hFile);
}

void NoteName(const WIN32_FIND_DATAW& entry, void* pContext)
{
    ((std::vector<std::wstring>*)pContext)->push_back(entry.cFileName);
}
} // namespace

// "café.wav" beside "cafe.wav": an "A" listing gives it as "caf?.wav" (or as
// a second "cafe.wav"); the program's listing leaves it out, and the wide
// visit names it.
TEST(ExactNames, SearchesPassOverNamesTheCodePageCannotHold)
{
    CString strDir = MakeTestDir("exact");
    std::wstring strWideDir = WidenAnsi(strDir);
    CreateWide(strWideDir + L"\\café.wav");
    CreateWide(strWideDir + L"\\cafe.wav");
    CreateDirectoryW((strWideDir + L"\\naïve").c_str(), nullptr);

    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE hFind = WvFindFirstFile(JoinPath(strDir, "*.*"), &entry);
    ASSERT_NE(INVALID_HANDLE_VALUE, hFind);
    do
        names.push_back(entry.cFileName);
    while (WvFindNextFile(hFind, &entry));
    FindClose(hFind);

    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{".", "..", "cafe.wav"}), names);
    EXPECT_FALSE(GetFindData(&entry, JoinPath(strDir, "na?ve")));
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());

    std::vector<std::wstring> unholdable;
    char acSaved[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, acSaved);
    ASSERT_TRUE(SetCurrentDirectoryA(strDir));
    EXPECT_EQ(2u, VisitUnholdableEntries(NoteName, &unholdable));
    SetCurrentDirectoryA(acSaved);
    std::sort(unholdable.begin(), unholdable.end());
    const std::vector<std::wstring> expect = {L"café.wav", L"naïve"};
    EXPECT_EQ(expect, unholdable);
}
#endif
