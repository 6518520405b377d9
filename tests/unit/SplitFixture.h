// Shared ground for the split and batch tests: a host that records what the
// run posts, and a fixture that writes sources and checks pieces.
#pragma once

#include "TestSupport.h"
#include "WaveBuilder.h"
#include "engine/RunState.h"
#include "engine/SplitFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

// 8-bit mono at 1000 Hz: a second is 1000 bytes.
const WaveFormat k1000HzFmt = MakePcmFormat(1, 8, 1000);

// 8-bit mono at 100 kHz: pieces of 84 s hold 8,400,000 bytes, a first copy
// block of 8 MiB and a second of 11,392.
const WaveFormat kBigFmt = MakePcmFormat(1, 8, 100000);
const DWORD kBigSectionMs = 84000;
const DWORD kBigPieceSize = 8400000;
const DWORD kCopyBlock = 0x800000;

// Counts the posts; a test can act on the n-th progress post (abort there).
class RecordingHost : public CMyRunHost
{
public:
    void PostRunProgress() override
    {
        ++m_nProgress;
        if (m_onProgress)
            m_onProgress(m_nProgress);
    }
    void PostJobFinished() override { ++m_nFinished; }

    int m_nProgress = 0;
    int m_nFinished = 0;
    std::function<void(int)> m_onProgress;
};

// Equal byte strings; on a difference, the sizes and the first differing
// offset instead of both strings in full.
::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected);

// The canonical 44-byte header a piece of dwDataSize bytes of fmt must have,
// built independently of the code under test.
std::string CanonicalHeader(const WaveFormat& fmt, uint32_t dwDataSize);

class SplitTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the bytes as the source file and gives its path.
    CString WriteSource(const std::string& wav, const char* pcName = "src.wav");
    CString BasePath() const { return JoinPath(m_strDir, "src"); }
    CString PiecePath(DWORD dwNumber) const;
    DWORD Split(const CString& strSrc, DWORD dwMs);
    DWORD Split(const CString& strBase, const CString& strSrc, DWORD dwMs);

    // Piece n's data after checking that its header is canonical for fmt and
    // gives the data's size; fails the test when it is not.
    std::string PieceData(DWORD dwNumber, const WaveFormat& fmt);
    // The data of pieces 1..dwCount, concatenated, each checked as above.
    std::string AllPieceData(DWORD dwCount, const WaveFormat& fmt);

    CString m_strDir;
    CMyRunState m_state;
    RecordingHost m_host;
};
