// Where a collected file's pieces go below the output folder: the part of its
// folder that lies under the folder the user browsed.
#pragma once

#include "framework/CString.h"

class CMyPathRecord;

// The part of the record's FoldPath below its BaseFoldPath, starting with its
// separator ("\day1"); 0 when nothing is to be mirrored (the pieces then go to
// the output folder itself).
int GetMirroredFolder(const CMyPathRecord& record, CString* pstrSubFolder);
