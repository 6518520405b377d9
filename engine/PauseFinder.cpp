// Pauses in sample data, found by the level of 10 ms windows.
#include "engine/PauseFinder.h"

#include "engine/JobFlags.h"

#include <cmath>
#include <cstring>

namespace
{
// Frames asked of the reader at a time, in bytes (whole windows): a pause is
// usually found within the first read or two.
const DWORD kReadBytes = 0x20000;

// Sum of the squares of dwCount samples dwStride bytes apart (one channel's),
// each scaled to full scale 1.0. The integers are summed exactly as they are
// and scaled once at the end.
double SumSquares(const BYTE* pb, DWORD dwCount, DWORD dwStride, const CMySampleFormat& fmt)
{
    double dSum = 0.0;
    if (fmt.wSampleFormat == 3 && fmt.wBytesPerSample == 4)
    {
        for (DWORD i = 0; i < dwCount; ++i, pb += dwStride)
        {
            float f;
            memcpy(&f, pb, 4);
            dSum += (double)f * f;
        }
        return dSum;
    }
    if (fmt.wSampleFormat == 3)
    {
        for (DWORD i = 0; i < dwCount; ++i, pb += dwStride)
        {
            double d;
            memcpy(&d, pb, 8);
            dSum += d * d;
        }
        return dSum;
    }
    switch (fmt.wBytesPerSample)
    {
    // Up to 24 bits the squares add up in 64-bit integers (a window holds at
    // most 2000 frames: below 2^63 even for 24 bits), which the compiler can
    // do many at a time.
    case 1: // unsigned, silence at 128
    {
        ULONGLONG qwSum = 0;
        for (DWORD i = 0; i < dwCount; ++i, pb += dwStride)
        {
            int n = (int)pb[0] - 128;
            qwSum += (ULONGLONG)(n * n);
        }
        return (double)qwSum / (128.0 * 128.0);
    }
    case 2:
    {
        ULONGLONG qwSum = 0;
        for (DWORD i = 0; i < dwCount; ++i, pb += dwStride)
        {
            int n = (short)(WORD)(pb[0] | (pb[1] << 8));
            qwSum += (ULONGLONG)(n * n);
        }
        return (double)qwSum / (32768.0 * 32768.0);
    }
    case 3:
    {
        ULONGLONG qwSum = 0;
        for (DWORD i = 0; i < dwCount; ++i, pb += dwStride)
        {
            // The top byte carries the sign: shift the 24 bits up, then back.
            DWORD dw = ((DWORD)pb[0] << 8) | ((DWORD)pb[1] << 16) | ((DWORD)pb[2] << 24);
            LONGLONG ll = (LONG)dw / 256;
            qwSum += (ULONGLONG)(ll * ll);
        }
        return (double)qwSum / (8388608.0 * 8388608.0);
    }
    default:
        for (DWORD i = 0; i < dwCount; ++i, pb += dwStride)
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

int IsQuietWindow(const BYTE* pbFrames, DWORD dwFrames, const CMySampleFormat& fmt,
                  double dPowerLimit)
{
    const DWORD dwBlock = (DWORD)fmt.wChannels * fmt.wBytesPerSample;
    const double dLimit = dwFrames * dPowerLimit;
    // Sound passes the limit within its first samples: the rest of a loud
    // channel is not looked at.
    const DWORD kStep = 64;
    // Every channel must be quiet: one voice among silent channels is no
    // pause, however many they are.
    for (WORD c = 0; c < fmt.wChannels; ++c)
    {
        const BYTE* pbChannel = pbFrames + (size_t)c * fmt.wBytesPerSample;
        double dSum = 0.0;
        for (DWORD i = 0; i < dwFrames; i += kStep)
        {
            DWORD dwCount = dwFrames - i < kStep ? dwFrames - i : kStep;
            dSum += SumSquares(pbChannel + (size_t)i * dwBlock, dwCount, dwBlock, fmt);
            if (!(dSum < dLimit))
                return 0;
        }
    }
    return 1;
}

double MeasureWindowPower(const BYTE* pbFrames, DWORD dwFrames, const CMySampleFormat& fmt,
                          double dPowerCap)
{
    if (dwFrames == 0)
        return 0.0;
    const DWORD dwBlock = (DWORD)fmt.wChannels * fmt.wBytesPerSample;
    const double dLimit = dwFrames * dPowerCap;
    const DWORD kStep = 64;
    double dLoudest = 0.0;
    for (WORD c = 0; c < fmt.wChannels; ++c)
    {
        const BYTE* pbChannel = pbFrames + (size_t)c * fmt.wBytesPerSample;
        double dSum = 0.0;
        for (DWORD i = 0; i < dwFrames; i += kStep)
        {
            DWORD dwCount = dwFrames - i < kStep ? dwFrames - i : kStep;
            dSum += SumSquares(pbChannel + (size_t)i * dwBlock, dwCount, dwBlock, fmt);
            if (!(dSum < dLimit))
                return dSum == dSum && dSum / dwFrames >= dPowerCap ? dSum / dwFrames : dPowerCap;
        }
        if (dSum > dLoudest)
            dLoudest = dSum;
    }
    return dLoudest / dwFrames;
}

int FindNearestPause(CMyFrameReader* pReader, const CMySampleFormat& fmt, double dLevelDb,
                     ULONGLONG qwMinFrames, ULONGLONG qwFirst, ULONGLONG qwEnd, CMyPause* pPause)
{
    *pPause = CMyPause();
    if (!IsPauseFormat(fmt))
        return 0;
    const DWORD dwBlock = (DWORD)fmt.wChannels * fmt.wBytesPerSample;
    const DWORD dwWindow = fmt.dwSamplingRate / 100 > 0 ? fmt.dwSamplingRate / 100 : 1;
    const DWORD dwWindowBytes = dwWindow * dwBlock;
    const ULONGLONG qwSpan =
        (ULONGLONG)dwWindow * (kReadBytes / dwWindowBytes > 0 ? kReadBytes / dwWindowBytes : 1);
    const double dPowerLimit = pow(10.0, dLevelDb / 10.0);
    int bRun = 0; // quiet windows from qwRunFirst up to qwRunEnd
    ULONGLONG qwRunFirst = 0, qwRunEnd = 0;
    for (ULONGLONG qwPos = qwEnd; qwPos > qwFirst;)
    {
        // A long search on a slow disk must not hold up an abort.
        if (g_bAbort.load(std::memory_order_relaxed))
            return 0;
        const ULONGLONG qwFrom = qwPos - qwFirst > qwSpan ? qwPos - qwSpan : qwFirst;
        const DWORD dwFrames = (DWORD)(qwPos - qwFrom);
        DWORD dwGot = 0;
        const BYTE* pb = pReader->ReadFrames(qwFrom, dwFrames, &dwGot);
        if (pb == nullptr || dwGot != dwFrames)
            return 0;
        // Windows end at qwEnd, qwEnd - 10 ms, ...; only the farthest may be shorter.
        for (ULONGLONG qwWindowEnd = qwPos; qwWindowEnd > qwFrom;)
        {
            ULONGLONG qwWindowFirst =
                qwWindowEnd - qwFrom > dwWindow ? qwWindowEnd - dwWindow : qwFrom;
            if (IsQuietWindow(pb + (size_t)(qwWindowFirst - qwFrom) * dwBlock,
                              (DWORD)(qwWindowEnd - qwWindowFirst), fmt, dPowerLimit))
            {
                if (!bRun)
                    qwRunEnd = qwWindowEnd;
                bRun = 1;
                qwRunFirst = qwWindowFirst;
            }
            else if (bRun && qwRunEnd - qwRunFirst >= qwMinFrames)
            {
                *pPause = CMyPause{qwRunFirst, qwRunEnd};
                return 1;
            }
            else
                bRun = 0;
            qwWindowEnd = qwWindowFirst;
        }
        qwPos = qwFrom;
    }
    if (bRun && qwRunEnd - qwRunFirst >= qwMinFrames)
        *pPause = CMyPause{qwRunFirst, qwRunEnd};
    return 1;
}
