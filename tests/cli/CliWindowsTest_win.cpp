// wavoss-split on Windows trees: a name the code page cannot hold beside its
// look-alike ("café.wav", "cafe.wav").
#include "CliTestSupport.h"

#include "platform/ExactNames.h"

// The listing passes "café.wav" over (an "A" listing would give "caf?.wav" or
// a second "cafe.wav"), and the walk names it and fails the run.
TEST(CliWindows, NamesTheCodePageCannotHoldAreNamedAndFailTheRun)
{
    Tree tree = MakeTree("names");
    CString strSrc = Dir(tree.strRoot, "src");
    std::wstring src = WidenAnsi(strSrc);
    std::string wave = MakeWave(8000);
    for (const wchar_t* pwcName : {L"café.wav", L"cafe.wav"})
    {
        HANDLE hFile = CreateFileW((src + L"\\" + pwcName).c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, hFile);
        DWORD dwDone = 0;
        WriteFile(hFile, wave.data(), (DWORD)wave.size(), &dwDone, nullptr);
        CloseHandle(hFile);
    }
    ProgramResult r = RunSplitProgram(
        {"-q", "-l", "1", "-o", U(tree.strOut), "--log-dir", U(tree.strLogs), U(strSrc)});
    EXPECT_EQ(1, r.nExitCode) << r.strErr;
    std::string said = ExpectedOutput(
        "the name has characters that Shift-JIS cannot hold, left out: " + std::string(strSrc));
    size_t iSaid = r.strErr.find(said);
    EXPECT_NE(std::string::npos, iSaid) << r.strErr;
    EXPECT_EQ(std::string::npos, r.strErr.find(said, iSaid + 1)) << r.strErr;
    EXPECT_TRUE(Contains(r.strErr, "1 個中 1 個のファイルを分割処理しました。")) << r.strErr;
    CString strOutSrc = JoinPath(tree.strOut, "src");
    EXPECT_EQ(MakeSamples(kFormat, 8000), JoinPieces(JoinPath(strOutSrc, "cafe"), 1));
}
