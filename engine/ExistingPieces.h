// -n: the pieces of a plan that are on disk already, measured against it, so
// that a split cut short by a full disk or an abort can be finished.
#pragma once

#include "framework/CString.h"
#include "platform/Platform.h"

#include <vector>

class CMyWaveHeader;
struct CMySourcePlan;

enum ExistingPieces
{
    kExistingNone,  // no piece of the plan is on disk
    kExistingAll,   // every piece is on disk whole
    kExistingPart,  // some are whole, the rest missing or (the last on disk) cut short
    kExistingUnlike // a piece of another size or header: another plan's, not this one's
};

// A piece is whole when it has its planned size and exactly the header the
// split would give it. *pKept gets 1 for each whole piece; *pstrUnlike the
// path of a piece unlike the plan (kExistingUnlike).
ExistingPieces FindExistingPieces(const CString& strFolderSep, const CMyWaveHeader& header,
                                  const CMySourcePlan& sourcePlan, int bCarryMarkers,
                                  std::vector<char>* pKept, DWORD* pdwKept, CString* pstrUnlike);
