// The batch run for the command line: on its worker thread, while the main
// thread draws the progress bar from the run's counters.
#pragma once

#include "sources/PathList.h"

// Splits every record into the output folder; the number of files split.
// *pbStarted is 0 when the worker could not be started.
DWORD RunCliBatch(const CMyPathList& list, const CString& strOutputFolder, DWORD dwSectionLength,
                  int* pbStarted);
