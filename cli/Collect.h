// Collection for the command line: each PATH checked and turned into a pick
// (the folder that holds it, and its own directory entry), then the add-files
// job run over all picks on a worker thread.
#pragma once

#include "cli/Terminal.h"
#include "cli/WalkGuard.h"
#include "sources/AddJob.h"

#include <vector>

struct CliPick
{
    CString strFolder; // the folder the picker would show
    WIN32_FIND_DATAA entry;
};

struct CliCollection
{
    DWORD dwSkipped = 0;    // arguments that were reported and left out
    DWORD dwDuplicates = 0; // files taken out for colliding names
    DWORD dwUnreadable = 0; // folders met in the walk that could not be read
    DWORD dwUnnamable = 0;  // names met in the walk that Shift-JIS cannot hold
};

// Reports and leaves out every PATH that cannot be taken: not representable,
// missing, a root, not a regular file, a file that is not *.wav, a folder
// that cannot be read, the output folder itself (the guard would pass over
// all of it).
void MakeCliPicks(const std::vector<CliArgument>& paths, const CliWalkGuard& guard,
                  CMyFilteredPathList* pList, std::vector<CliPick>* pPicks, CliCollection* pResult);

// Runs the add-files job over the picks (with the dialog's "wav" filter set on
// the list) and the guard on its walk, showing the growing count on the status
// line. 0 when the job could not be started.
int RunCliCollection(const std::vector<CliPick>& picks, CliWalkGuard* pGuard,
                     CMyFilteredPathList* pList, CliCollection* pResult);
