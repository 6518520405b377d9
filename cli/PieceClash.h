// A guard of the command line: pieces written into a folder that also holds
// sources must not land on a collected file ("a.wav" and "a_001.wav" side by
// side, with the output folder set to their own folder).
#pragma once

#include "sources/PathList.h"

// Takes out, with a message each, every record whose pieces could be written
// over another collected file; how many were taken out.
DWORD DropPieceClashes(CMyPathList* pList, const CString& strOutputFolder);
