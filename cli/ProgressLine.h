// The one-line progress display of the command line.
#pragma once

#include "framework/CString.h"
#include "platform/Platform.h"

// "[#####-----]  45%  1.2 GiB / 2.6 GiB  85.3 MiB/s", at most nWidth - 1
// columns (the bar shrinks, and goes when there is no room for it). The rate
// shows once dSeconds is long enough to mean something.
CString FormatProgressLine(ULONGLONG ullDone, ULONGLONG ullTotal, double dSeconds, int nWidth);

// 1536 -> "1.5 KiB"; below 1 KiB in bytes.
CString FormatByteCount(ULONGLONG ullBytes);
