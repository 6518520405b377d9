// Pauses in sample data, found by the level of 10 ms windows.
#include "engine/PauseFinder.h"

#include <cmath>
#include <cstring>

namespace
{
// Frames asked of the reader at a time, in bytes.
const DWORD kReadBytes = 0x100000;

// Sum of the squares of dwCount samples, each scaled to full scale 1.0. The
// integers are summed exactly as they are and scaled once at the end.
double SumSquares(const BYTE* pb, DWORD dwCount, const CMySampleFormat& fmt)
{
    double dSum = 0.0;
    if (fmt.wSampleFormat == 3 && fmt.wBytesPerSample == 4)
    {
        for (DWORD i = 0; i < dwCount; ++i, pb += 4)
        {
            float f;
            memcpy(&f, pb, 4);
            dSum += (double)f * f;
        }
        return dSum;
    }
    if (fmt.wSampleFormat == 3)
    {
        for (DWORD i = 0; i < dwCount; ++i, pb += 8)
        {
            double d;
            memcpy(&d, pb, 8);
            dSum += d * d;
        }
        return dSum;
    }
    switch (fmt.wBytesPerSample)
    {
    case 1: // unsigned, silence at 128
        for (DWORD i = 0; i < dwCount; ++i)
        {
            double d = (int)pb[i] - 128;
            dSum += d * d;
        }
        return dSum / (128.0 * 128.0);
    case 2:
        for (DWORD i = 0; i < dwCount; ++i, pb += 2)
        {
            double d = (short)(WORD)(pb[0] | (pb[1] << 8));
            dSum += d * d;
        }
        return dSum / (32768.0 * 32768.0);
    case 3:
        for (DWORD i = 0; i < dwCount; ++i, pb += 3)
        {
            // The top byte carries the sign: shift the 24 bits up, then back.
            DWORD dw = ((DWORD)pb[0] << 8) | ((DWORD)pb[1] << 16) | ((DWORD)pb[2] << 24);
            double d = (double)((LONG)dw / 256);
            dSum += d * d;
        }
        return dSum / (8388608.0 * 8388608.0);
    default:
        for (DWORD i = 0; i < dwCount; ++i, pb += 4)
        {
            DWORD dw =
                (DWORD)pb[0] | ((DWORD)pb[1] << 8) | ((DWORD)pb[2] << 16) | ((DWORD)pb[3] << 24);
            double d = (double)(LONG)dw;
            dSum += d * d;
        }
        return dSum / (2147483648.0 * 2147483648.0);
    }
}
} // namespace

int IsPauseFormat(const CMySampleFormat& fmt)
{
    if (fmt.dwSamplingRate == 0 || fmt.wChannels == 0)
        return 0;
    if (fmt.wSampleFormat == 3)
        return fmt.wBytesPerSample == 4 || fmt.wBytesPerSample == 8;
    return fmt.wSampleFormat == 1 && fmt.wBytesPerSample >= 1 && fmt.wBytesPerSample <= 4;
}

CMyPauseFinder::CMyPauseFinder(const CMySampleFormat& fmt, double dLevelDb, ULONGLONG qwMinFrames,
                               ULONGLONG qwFirst)
    : m_Fmt(fmt), m_dPowerLimit(pow(10.0, dLevelDb / 10.0)), m_qwMinFrames(qwMinFrames),
      m_dwWindowFrames(fmt.dwSamplingRate / 100 > 0 ? fmt.dwSamplingRate / 100 : 1),
      m_qwWindowFirst(qwFirst)
{
}

void CMyPauseFinder::Feed(const BYTE* pbFrames, DWORD dwFrames)
{
    const DWORD dwBlock = (DWORD)m_Fmt.wChannels * m_Fmt.wBytesPerSample;
    while (dwFrames > 0)
    {
        DWORD n = m_dwWindowFrames - m_dwInWindow;
        if (n > dwFrames)
            n = dwFrames;
        m_dSum += SumSquares(pbFrames, n * m_Fmt.wChannels, m_Fmt);
        m_dwInWindow += n;
        pbFrames += (size_t)n * dwBlock;
        dwFrames -= n;
        if (m_dwInWindow == m_dwWindowFrames)
            CloseWindow();
    }
}

// A window is quiet when its mean square is below the limit; a sum that is
// not a number (a float sample that is none) counts as loud.
void CMyPauseFinder::CloseWindow()
{
    double dSamples = (double)m_dwInWindow * m_Fmt.wChannels;
    int bQuiet = m_dSum < dSamples * m_dPowerLimit;
    if (bQuiet && !m_bInPause)
    {
        m_bInPause = 1;
        m_qwPauseFirst = m_qwWindowFirst;
    }
    else if (!bQuiet && m_bInPause)
    {
        m_bInPause = 0;
        if (m_qwWindowFirst - m_qwPauseFirst >= m_qwMinFrames)
            m_Pauses.push_back(CMyPause{m_qwPauseFirst, m_qwWindowFirst});
    }
    m_qwWindowFirst += m_dwInWindow;
    m_dwInWindow = 0;
    m_dSum = 0.0;
}

const std::vector<CMyPause>& CMyPauseFinder::Finish()
{
    if (m_dwInWindow > 0)
        CloseWindow();
    if (m_bInPause && m_qwWindowFirst - m_qwPauseFirst >= m_qwMinFrames)
        m_Pauses.push_back(CMyPause{m_qwPauseFirst, m_qwWindowFirst});
    m_bInPause = 0;
    return m_Pauses;
}

int FindPauses(CMyFrameReader* pReader, const CMySampleFormat& fmt, double dLevelDb,
               ULONGLONG qwMinFrames, ULONGLONG qwFirst, ULONGLONG qwCount,
               std::vector<CMyPause>* pPauses)
{
    pPauses->clear();
    const DWORD dwBlock = (DWORD)fmt.wChannels * fmt.wBytesPerSample;
    if (!IsPauseFormat(fmt) || dwBlock == 0)
        return 0;
    const DWORD dwStep = kReadBytes / dwBlock > 0 ? kReadBytes / dwBlock : 1;
    CMyPauseFinder finder(fmt, dLevelDb, qwMinFrames, qwFirst);
    for (ULONGLONG qwDone = 0; qwDone < qwCount;)
    {
        DWORD dwWant = qwCount - qwDone < dwStep ? (DWORD)(qwCount - qwDone) : dwStep;
        DWORD dwGot = 0;
        const BYTE* pb = pReader->ReadFrames(qwFirst + qwDone, dwWant, &dwGot);
        if (pb == nullptr || dwGot == 0 || dwGot > dwWant)
            return 0;
        finder.Feed(pb, dwGot);
        qwDone += dwGot;
    }
    *pPauses = finder.Finish();
    return 1;
}
