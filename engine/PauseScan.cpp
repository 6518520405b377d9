// Every pause of a whole recording, and the level that finds them.
#include "engine/PauseScan.h"

#include "engine/JobFlags.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace
{
// Bytes asked of the reader at a time (whole windows): few calls, and a
// block the file's transfer buffer holds.
const DWORD kScanBytes = 0x100000;
// A floor below this is digital silence: the margin counts from here.
const double kLowestFloorDb = -90.0;
} // namespace

int MeasureWindowLevels(CMyFrameReader* pReader, const CMySampleFormat& fmt, ULONGLONG qwFrames,
                        double dCapDb, ULONGLONG qwMinFrames, CMyWindowLevels* pLevels)
{
    pLevels->Powers.clear();
    pLevels->qwFrames = qwFrames;
    if (!IsPauseFormat(fmt))
        return 0;
    const DWORD dwBlock = (DWORD)fmt.wChannels * fmt.wBytesPerSample;
    const DWORD dwWindow = fmt.dwSamplingRate / 100 > 0 ? fmt.dwSamplingRate / 100 : 1;
    pLevels->dwWindow = dwWindow;
    const DWORD dwWindowBytes = dwWindow * dwBlock;
    const DWORD dwSpanWindows = kScanBytes / dwWindowBytes > 0 ? kScanBytes / dwWindowBytes : 1;
    const double dCap = pow(10.0, dCapDb / 10.0);
    // A quiet run of qwMinFrames holds at least this many windows: between
    // two loud windows this far apart none can lie, and the windows between
    // them need no measuring.
    const size_t nRun = (size_t)std::max<ULONGLONG>(qwMinFrames / dwWindow, 1);
    std::vector<float>& powers = pLevels->Powers;
    powers.assign((size_t)((qwFrames + dwWindow - 1) / dwWindow), HUGE_VALF);
    size_t iLoud = (size_t)-1; // the last window known loud; before the first
    size_t iProbed = 0;        // the last window probed and found quiet, + 1
    for (size_t iFirst = 0; iFirst < powers.size(); iFirst += dwSpanWindows)
    {
        if (g_bAbort.load(std::memory_order_relaxed))
            return 0;
        const ULONGLONG qwPos = (ULONGLONG)iFirst * dwWindow;
        const size_t iEnd = std::min<size_t>(powers.size(), iFirst + dwSpanWindows);
        const DWORD dwFrames =
            (DWORD)std::min<ULONGLONG>(qwFrames - qwPos, (ULONGLONG)dwSpanWindows * dwWindow);
        DWORD dwGot = 0;
        const BYTE* pb = pReader->ReadFrames(qwPos, dwFrames, &dwGot);
        if (pb == nullptr || dwGot != dwFrames)
            return 0;
        // 1 when the window is quiet.
        auto measure = [&](size_t i)
        {
            const DWORD dwAt = (DWORD)(i - iFirst) * dwWindow;
            const DWORD dwCount = std::min(dwWindow, dwFrames - dwAt);
            double dPower = MeasureWindowPower(pb + (size_t)dwAt * dwBlock, dwCount, fmt, dCap);
            powers[i] = dPower < dCap ? (float)dPower : HUGE_VALF;
            if (dPower >= dCap)
                iLoud = i;
            return dPower < dCap;
        };
        for (size_t i = iFirst; i < iEnd;)
        {
            const size_t iProbe = iLoud + nRun; // wraps to nRun - 1 before the first
            if (iProbe > i && iProbe < iEnd && iProbed != iProbe + 1)
            {
                if (measure(iProbe)) // quiet: the windows before it are measured
                {
                    iProbed = iProbe + 1;
                    continue;
                }
                i = iProbe + 1; // those skipped stay loud
                continue;
            }
            measure(i++);
        }
    }
    return 1;
}

double FindAutoLevel(const CMyWindowLevels& levels, DWORD dwMinWindows)
{
    // The floor: the level the quietest stretch as long as a pause stays
    // below (the least of the loudest windows of every such stretch), so
    // that noise which varies from window to window is all below the level.
    const std::vector<float>& powers = levels.Powers;
    const size_t nStretch = std::min<size_t>(dwMinWindows > 0 ? dwMinWindows : 1, powers.size());
    double dFloor = powers.empty() ? 0.0 : HUGE_VAL;
    std::deque<size_t> loudest; // windows of the stretch, their powers falling
    for (size_t i = 0; i < powers.size(); ++i)
    {
        while (!loudest.empty() && powers[loudest.back()] <= powers[i])
            loudest.pop_back();
        loudest.push_back(i);
        if (loudest.front() + nStretch <= i)
            loudest.pop_front();
        if (i + 1 >= nStretch)
            dFloor = std::min<double>(dFloor, powers[loudest.front()]);
    }
    dFloor = std::max(dFloor, pow(10.0, kLowestFloorDb / 10.0));
    double dLevel = 10.0 * log10(dFloor) + kAutoLevelMarginDb;
    return dLevel < kAutoLevelCapDb ? dLevel : kAutoLevelCapDb;
}

void FindPauses(const CMyWindowLevels& levels, double dLevelDb, ULONGLONG qwMinFrames,
                std::vector<CMyPause>* pPauses)
{
    pPauses->clear();
    const double dLimit = pow(10.0, dLevelDb / 10.0);
    const ULONGLONG qwWindow = levels.dwWindow;
    size_t iRun = 0; // first window of the quiet run, when bRun
    int bRun = 0;
    for (size_t i = 0; i <= levels.Powers.size(); ++i)
    {
        if (i < levels.Powers.size() && levels.Powers[i] < dLimit)
        {
            if (!bRun)
                iRun = i;
            bRun = 1;
            continue;
        }
        if (bRun)
        {
            CMyPause pause{iRun * qwWindow, std::min<ULONGLONG>(i * qwWindow, levels.qwFrames)};
            if (pause.qwEnd - pause.qwFirst >= qwMinFrames)
                pPauses->push_back(pause);
        }
        bRun = 0;
    }
}
