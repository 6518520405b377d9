// Arbitrary bytes as a cut list: whichever reader the content picks (cue
// sheet, label list, plan CSV), and each reader on the same lines, must end
// (no reader loops or reads past its text, which the sanitizers watch) with
// either cuts or a refusal that names a line the text has.
#include "engine/CutList.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
void Check(int bRead, const CMyCutList& list, const CMyCutListError& error, size_t nLines,
           const char* pcWho)
{
    size_t nCuts = 0;
    for (const CMyCutGroup& group : list.Groups)
        nCuts += group.Cuts.size();
    bool bGood = bRead ? error.Fault == kListFaultNone && nCuts > 0
                       : error.Fault != kListFaultNone && error.dwLine <= nLines &&
                             (error.Fault != kListFaultLine || error.dwLine > 0);
    if (!bGood)
    {
        fprintf(stderr, "%s: read %d, cuts %zu, fault %d at line %u of %zu\n", pcWho, bRead, nCuts,
                (int)error.Fault, (unsigned)error.dwLine, nLines);
        abort();
    }
    for (const CMyCutGroup& group : list.Groups)
        for (const CMyListCut& cut : group.Cuts)
            (void)FramesOfCutTime(cut.Time, 192000);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text((const char*)data, size);
    CMyCutList list;
    CMyCutListError error;
    std::vector<CString> lines;
    DWORD dwBadLine = 0;
    if (!SplitCutListText(text, &lines, &dwBadLine))
    {
        if (ReadCutList(text, &list, &error) || error.dwLine != dwBadLine)
            abort();
        return 0;
    }
    // A text has at least one line more than it has line ends: a bound for all.
    const size_t nLines = lines.size();
    Check(ReadCutList(text, &list, &error), list, error, nLines, "ReadCutList");
    error = CMyCutListError();
    Check(ReadCueSheet(lines, &list, &error), list, error, nLines, "ReadCueSheet");
    error = CMyCutListError();
    Check(ReadLabelList(lines, &list, &error), list, error, nLines, "ReadLabelList");
    error = CMyCutListError();
    Check(ReadPlanCsv(lines, &list, &error), list, error, nLines, "ReadPlanCsv");
    std::string strTimes(text.c_str());
    (void)ReadCutTimes(strTimes.c_str(), &list);
    return 0;
}
