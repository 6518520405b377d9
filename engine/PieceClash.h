// Pieces written into a folder that also holds collected files must not land
// on one of them ("a.wav" and "a_001.wav" side by side, the output mirrored
// onto their own folder): the source would be lost, and split again later.
#pragma once

#include "framework/CString.h"
#include "platform/Platform.h"

#include <vector>

class CMyPathList;

// For each record with its output base path (empty: the record gets none),
// the index of a collected file that one of its pieces "<base>_%03u.wav" would
// overwrite (the record itself included), or 0xFFFFFFFF. Names compare as
// Windows compares them: letter case and the kind of separator do not count.
void FindPieceClashes(const CMyPathList& list, const std::vector<CString>& basePaths,
                      std::vector<DWORD>* pClashes);
