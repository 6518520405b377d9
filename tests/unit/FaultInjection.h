// Scripted faults through the platform hooks, the way a user meets them: the
// n-th read, write, free-space query, listing or big allocation fails (once or
// from then on), the disk reports a chosen free-space figure, or something
// happens just before a chosen call (a source vanishes, the user aborts).
//
//   CFaultInjector faults;                       // counts every hooked call
//   faults.FailCall(kCallWrite, 3, ERROR_DISK_FULL);
//   faults.Before(kCallRead, 2, [] { g_bAbort = 1; });
//   ... run the job ...
//   EXPECT_EQ(faults.Failures(), 1u);
//
// One injector at a time; it puts the real calls back when it goes. Calls
// from worker threads are counted and scripted like the test thread's.
#pragma once

#include "platform/Platform.h"

#include <functional>

enum FaultCall
{
    kCallRead,
    kCallWrite,
    kCallFreeSpace,
    kCallFindFirst,
    kCallFindNext,
    kCallAlloc,
    kCallKinds
};

class CFaultInjector
{
public:
    CFaultInjector();
    ~CFaultInjector();
    CFaultInjector(const CFaultInjector&) = delete;
    CFaultInjector& operator=(const CFaultInjector&) = delete;

    // The nth call of the kind (1-based, counted from construction) fails
    // with dwError; with bSticky every later one fails as well. A failing
    // write first passes dwTornBytes of its data on (a torn write).
    void FailCall(FaultCall kind, unsigned nth, DWORD dwError, bool bSticky = false,
                  DWORD dwTornBytes = 0);
    // From the nth write on the disk is full: a write that would make its
    // file longer passes on only the bytes that fit within the old length and
    // fails with ERROR_DISK_FULL; rewriting bytes inside a file still works.
    // Once a write met the full disk, free-space queries answer 0.
    void FillDiskAt(unsigned nth);
    // From the nth read on every file ends where its pointer stands: reads
    // succeed with 0 bytes, as after the file was cut short under the reader.
    void EndFilesAt(unsigned nth);
    // From the nth free-space query on, the disk has qwFree bytes free.
    void SetFreeBytes(ULONGLONG qwFree, unsigned nth = 1);
    // Runs fn on the calling thread just before the nth call of the kind.
    void Before(FaultCall kind, unsigned nth, std::function<void()> fn);

    unsigned Count(FaultCall kind) const;
    // Calls made to fail so far.
    unsigned Failures() const;
};

const char* FaultCallName(FaultCall kind);
