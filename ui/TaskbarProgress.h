// The taskbar button's progress, following the run's bar. Where the system
// has no such button (older systems, some emulations) every call does nothing.
#pragma once

#include "platform/Platform.h"

#include <shobjidl.h>

class CMyTaskbarProgress
{
public:
    enum State
    {
        kNone,   // no progress shown
        kNormal, // running
        kPaused, // abort asked, the run ends at its next block
        kError,  // the run stopped on a full disk
    };

    CMyTaskbarProgress() = default;
    ~CMyTaskbarProgress();
    CMyTaskbarProgress(const CMyTaskbarProgress&) = delete;
    CMyTaskbarProgress& operator=(const CMyTaskbarProgress&) = delete;

    // The first call on the window's thread looks for the interface.
    void SetState(HWND hWnd, State state);
    // Position out of 1024, as the bar's.
    void SetPos(HWND hWnd, int nPos);
    // 1 once the interface was found.
    int IsAvailable() const { return m_pTaskbar != nullptr; }

private:
    int Attach();

    ITaskbarList3* m_pTaskbar = nullptr;
    int m_bTried = 0;
    int m_bComStarted = 0;
};
