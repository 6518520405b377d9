// Shared ground for the split and batch tests.
#include "SplitFixture.h"

#include "engine/JobFlags.h"
#include "platform/Platform.h"

::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected)
{
    if (actual == expected)
        return ::testing::AssertionSuccess();
    size_t i = 0;
    while (i < actual.size() && i < expected.size() && actual[i] == expected[i])
        ++i;
    return ::testing::AssertionFailure() << actual.size() << " bytes where " << expected.size()
                                         << " were expected; first difference at offset " << i;
}

std::string CanonicalHeader(const WaveFormat& fmt, uint32_t dwDataSize)
{
    WaveFormat plain = fmt;
    plain.dwFmtExtra = 0;
    return "RIFF" + LE32(dwDataSize + 36) + "WAVE" + MakeFmtChunk(plain) + "data" +
           LE32(dwDataSize);
}

void SplitTest::SetUp()
{
    m_strDir = MakeTestDir("split");
    g_bAbort.store(0);
}

void SplitTest::TearDown()
{
    ResetPlatformHooks();
    g_bAbort.store(0);
}

CString SplitTest::WriteSource(const std::string& wav, const char* pcName)
{
    CString strPath = JoinPath(m_strDir, pcName);
    EXPECT_TRUE(WriteBytes(strPath, wav));
    return strPath;
}

CString SplitTest::PiecePath(DWORD dwNumber) const
{
    CString strPath;
    strPath.Format("%s_%03u.wav", (const char*)BasePath(), dwNumber);
    return strPath;
}

DWORD SplitTest::Split(const CString& strSrc, DWORD dwMs)
{
    return Split(BasePath(), strSrc, dwMs);
}

DWORD SplitTest::Split(const CString& strBase, const CString& strSrc, DWORD dwMs)
{
    CMySplitter splitter(&m_state, &m_host);
    return splitter.SplitFile(strBase, strSrc, dwMs);
}

std::string SplitTest::PieceData(DWORD dwNumber, const WaveFormat& fmt)
{
    std::string piece;
    EXPECT_TRUE(ReadBytes(PiecePath(dwNumber), piece)) << (const char*)PiecePath(dwNumber);
    if (piece.size() < 44)
    {
        ADD_FAILURE() << "piece " << dwNumber << " has " << piece.size() << " bytes";
        return std::string();
    }
    std::string data = piece.substr(44);
    EXPECT_EQ(piece.substr(0, 44), CanonicalHeader(fmt, (uint32_t)data.size()))
        << "piece " << dwNumber;
    return data;
}

std::string SplitTest::AllPieceData(DWORD dwCount, const WaveFormat& fmt)
{
    std::string all;
    for (DWORD i = 1; i <= dwCount; ++i)
        all += PieceData(i, fmt);
    return all;
}
