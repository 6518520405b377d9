// The command line's choice of how to cut: -l, -N, -S, -m, -p and --name
// read into the engine's plan request.
#pragma once

#include "cli/Options.h"
#include "engine/SourcePlan.h"

// The smallest piece file there is: the canonical header and one 8-bit mono
// frame. A size limit below it is a usage error; one that a file's own
// header leaves no room in refuses that file only.
const ULONGLONG kMinPieceFile = 45;

// Fills *pRequest from the options (its fixed length is the run's section
// length, read apart). 0 with a one-line English reason for a usage error:
// rules that conflict, a count or size that cannot be read, --pause without
// a length or size rule, a pause value without --pause, an unknown field in
// the name template.
int MakeCliPlanRequest(const CliOptions& options, CMyPlanRequest* pRequest, CString* pstrError);
