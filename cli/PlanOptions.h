// The command line's choice of how to cut: -l, -N, -S, -m, -p, --name and
// the user's cuts read into the engine's plan request.
#pragma once

#include "cli/Options.h"
#include "engine/SourcePlan.h"

class CMyPathList;

// Fills *pRequest from the options (its fixed length is the run's section
// length, read apart). 0 with a one-line English reason for a usage error:
// rules that conflict, a count or size that cannot be read, --pause without
// a length or size rule, a pause value without --pause, a pause window
// shorter than the pause looked for, an unknown field in the name template;
// a cut list (--cuts) that cannot be read, with its path and line, in the
// user's language, as --at times that cannot be read.
int MakeCliPlanRequest(const CliOptions& options, CMyPlanRequest* pRequest, CString* pstrError);

// --cuts-beside once the files are collected: the lists beside them join the
// request. 0 with the reason (the list's path and line) for a usage error.
int AddCliCutsBeside(const CMyPathList& list, CMyPlanRequest* pRequest, CString* pstrError);
