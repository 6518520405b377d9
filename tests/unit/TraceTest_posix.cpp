// A trace on a full disk: every writer's lost entry is known, with its reason.
#include "support/Trace.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

TEST(Trace, EntriesLostOnAFullDiskAreKnown)
{
    CString strSaved = GetProgramFolderText();
    CString strFolder = MakeTestDir("tracefull");
    ASSERT_EQ(0, symlink("/dev/full", JoinPath(strFolder, "TraceFile.txt")));
    const struct
    {
        const char* pcWriter;
        void (*pfnWrite)();
    } writers[] = {
        {"raw", [] { WriteTraceText("raw", 1); }},
        {"text mode", [] { WriteTraceString(CString("text\n")); }},
    };
    for (const auto& w : writers)
    {
        StartTraceLog(strFolder);
        DWORD dwLost = 0;
        EXPECT_EQ(0, GetTraceLostError(&dwLost)) << w.pcWriter;
        w.pfnWrite();
        EXPECT_EQ(1, GetTraceLostError(&dwLost)) << w.pcWriter;
        EXPECT_EQ((DWORD)ERROR_DISK_FULL, dwLost) << w.pcWriter;
    }
    StartTraceLog(strSaved);
}
