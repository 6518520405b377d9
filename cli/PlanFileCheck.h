// Whether --plan may write over the file it names: only a plan written
// before (a recording named by mistake, the plan's own name forgotten, is
// never overwritten).
#pragma once

#include <string>

enum PlanFileKind
{
    kPlanFileFree,  // missing or empty: nothing to lose
    kPlanFilePlan,  // a plan this program wrote (CSV, cue sheet or label list)
    kPlanFileWave,  // a recording (RIFF, RF64 or BW64)
    kPlanFileOther, // anything else
    kPlanFileUnread // cannot be read (the system's error is set)
};

// What the first bytes of an existing file say it is.
PlanFileKind ClassifyPlanFileStart(const std::string& strStart);
// The same for the file at the Shift-JIS path.
PlanFileKind ClassifyPlanFile(const char* pcPath);
