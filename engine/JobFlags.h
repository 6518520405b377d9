// The process-wide job flags and the messages that the two jobs (the add-files
// job and the batch run) post to the user-interface thread.
#pragma once

#include "platform/Platform.h"

#include <atomic>

// Job finished: posted once when a job ends; word parameter the host window
// (may be null), long parameter 0.
const UINT WM_JOB_FINISHED = WM_USER + 500; // 1524
// Progress: word and long parameters 0; the receiver reads the run's counters.
const UINT WM_RUN_PROGRESS = WM_USER + 501; // 1525

// One writer at a time each; readers only poll them, so relaxed order would do.
extern std::atomic<int> g_bIdle;    // 1 while no job runs (1 at start)
extern std::atomic<int> g_bAbort;   // 1: the running job stops at its next test
extern std::atomic<int> g_bClosing; // 1 once the main window is being destroyed
extern std::atomic<int> g_bAdding;  // 1 while the add-files job collects
