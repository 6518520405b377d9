// The one-line progress display of the command line.
#include "cli/ProgressLine.h"

CString FormatByteCount(ULONGLONG ullBytes)
{
    static const char* const kUnits[] = {"KiB", "MiB", "GiB", "TiB"};
    CString strText;
    if (ullBytes < 1024)
    {
        strText.Format("%I64u B", ullBytes);
        return strText;
    }
    double dValue = (double)ullBytes / 1024.0;
    int iUnit = 0;
    while (dValue >= 1024.0 && iUnit < 3)
    {
        dValue /= 1024.0;
        iUnit++;
    }
    // One decimal, rounded down so that a value never shows as done too early.
    ULONGLONG ullTenths = (ULONGLONG)(dValue * 10.0);
    strText.Format("%I64u.%u %s", ullTenths / 10, (unsigned)(ullTenths % 10), kUnits[iUnit]);
    return strText;
}

CString FormatProgressLine(ULONGLONG ullDone, ULONGLONG ullTotal, double dSeconds, int nWidth)
{
    if (ullDone > ullTotal)
        ullDone = ullTotal;
    unsigned uPercent =
        ullTotal == 0 ? 100 : (unsigned)((double)ullDone * 100.0 / (double)ullTotal);
    CString strFigures;
    strFigures.Format("%3u%%  %s / %s", uPercent, (const char*)FormatByteCount(ullDone),
                      (const char*)FormatByteCount(ullTotal));
    if (dSeconds >= 0.5)
    {
        CString strRate = FormatByteCount((ULONGLONG)((double)ullDone / dSeconds));
        strFigures.AppendFormat("  %s/s", (const char*)strRate);
    }
    // The bar keeps its width while the figures grow: room is kept for the
    // longest ones ("100%  1023.9 MiB / 1023.9 MiB  1023.9 MiB/s").
    const int kFiguresMax = 44;
    int nBar = nWidth - 1 - kFiguresMax - 4;
    if (nBar < 10)
        return strFigures.Left(nWidth > 1 ? nWidth - 1 : 0);
    if (nBar > 50)
        nBar = 50;
    int nFilled = ullTotal == 0 ? nBar : (int)((double)ullDone * nBar / (double)ullTotal);
    CString strLine("[");
    strLine += CString('#', nFilled);
    strLine += CString('-', nBar - nFilled);
    strLine += "]  ";
    strLine += strFigures;
    return strLine;
}
