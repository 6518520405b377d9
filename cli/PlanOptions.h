// The command line's choice of how to cut: -l, -N, -S, -m, -p and --name
// read into the engine's plan request.
#pragma once

#include "cli/Options.h"
#include "engine/SourcePlan.h"

// Fills *pRequest from the options (its fixed length is the run's section
// length, read apart). 0 with a one-line English reason for a usage error:
// rules that conflict, a count or size that cannot be read, --pause without
// a length or size rule, a pause value without --pause, a pause window
// shorter than the pause looked for, an unknown field in the name template.
int MakeCliPlanRequest(const CliOptions& options, CMyPlanRequest* pRequest, CString* pstrError);
