// The user's cuts of one source: the lists of a run (--cuts, --at, the lists
// beside each source) chosen for the source and turned into its frames.
#pragma once

#include "engine/CutList.h"
#include "engine/SplitPlan.h"

#include <map>
#include <string>
#include <vector>

// The lists of a run, read once before anything is written; every file's
// copy of the request shares them.
struct CMyRunCuts
{
    CMyCutList Listed; // --cuts; no groups when not given
    CMyCutList Typed;  // --at; no groups when not given
    int bBeside = 0;   // --cuts-beside
    // The list read beside each source that has one, by the source's path.
    std::map<std::string, CMyCutList> Beside;
};

// The group of the list that applies to the source (a Shift-JIS path): the
// one that names its path, else the one that names its file (letter case
// aside, folders aside), else one for every source; null when none does.
const CMyCutGroup* FindCutGroup(const CMyCutList& list, const CString& strSrcPath);

// The cuts for the source in its frames (nearest frame), sorted, with those
// at or past the end of its qwFrames left out and named in *pNotes. A cut at
// 0 makes no piece but names the first one; one that names nothing is named
// in *pNotes too. 0 when no list applies to the
// source (the notes say so, when a list was given).
int MakeSourceCuts(const CMyRunCuts& runCuts, const CString& strSrcPath, DWORD dwSamplingRate,
                   ULONGLONG qwFrames, std::vector<CMyFixedCut>* pCuts,
                   std::vector<CString>* pNotes);

// The list beside a source for --cuts-beside: TITLE.cue, else TITLE.txt, in
// the source's folder (the title's letter case aside); empty when there is
// none. strSrcPath is Shift-JIS, with '\\' or '/' separators.
CString FindCutsBeside(const CString& strSrcPath);
