// The command line's choice of how to cut, read into a plan request.
#include "cli/PlanOptions.h"

#include "engine/PlanValues.h"
#include "engine/SectionLength.h"

namespace
{
int Fail(CString* pstrError, const char* pcFormat, const char* pcValue = "")
{
    pstrError->Format(pcFormat, pcValue);
    return 0;
}
} // namespace

int MakeCliPlanRequest(const CliOptions& options, CMyPlanRequest* pRequest, CString* pstrError)
{
    *pRequest = CMyPlanRequest();
    CMyPlanRule& rule = pRequest->Rule;
    const int bParts = !options.strParts.IsEmpty();
    const int bMaxSize = !options.strMaxSize.IsEmpty();
    if (bParts && options.bLengthGiven)
        return Fail(pstrError, "-N (equal parts) and -l (a length) cannot be combined");
    if (bParts && bMaxSize)
        return Fail(pstrError, "-N (equal parts) and -S (a size limit) cannot be combined");
    // Pieces of a length and files of a size are two rules for one cut.
    if (bMaxSize && options.bLengthGiven)
        return Fail(pstrError, "-S (a size limit) and -l (a length) cannot be combined");

    if (bParts)
    {
        rule.Kind = kRuleParts;
        rule.dwParts = ParsePartCount(options.strParts);
        if (rule.dwParts == 0)
            return Fail(pstrError, "invalid part count '%s' (a whole number from 1)",
                        options.strParts);
    }
    else if (bMaxSize)
    {
        rule.Kind = kRuleMaxSize;
        rule.qwMaxSize = ParseByteSize(options.strMaxSize);
        if (rule.qwMaxSize == 0)
            return Fail(pstrError,
                        "invalid size '%s' (bytes above 0, or with K, M or G: KiB, MiB, GiB)",
                        options.strMaxSize);
        if (rule.qwMaxSize < kMinPieceFile)
            return Fail(pstrError,
                        "size limit '%s' cannot hold one frame with its header (45 bytes at least)",
                        options.strMaxSize);
    }
    else if (options.bMarkers && !options.bLengthGiven)
        rule.Kind = kRuleWhole; // -m alone: each part between markers whole
    rule.bMarkers = options.bMarkers;
    pRequest->bCarryMarkers = options.bMarkers;

    // Pause values are times as -l reads them ("2.5", "0:30"), in milliseconds.
    if (options.bPause)
    {
        if (!options.bLengthGiven && !bMaxSize)
            return Fail(pstrError, "--pause moves the cuts of -l or -S: give one of them");
        rule.bPause = 1;
        if (!options.strPause.IsEmpty() &&
            (rule.dwPauseWindow = ParseSectionLength(options.strPause)) == 0)
            return Fail(pstrError, "invalid --pause '%s' (seconds above 0, such as 5 or 2.5)",
                        options.strPause);
    }
    if (!options.bPause && (!options.strPauseMin.IsEmpty() || !options.strPauseLevel.IsEmpty()))
        return Fail(pstrError, "--pause-min and --pause-level need --pause");
    if (!options.strPauseMin.IsEmpty() &&
        (rule.dwPauseMin = ParseSectionLength(options.strPauseMin)) == 0)
        return Fail(pstrError, "invalid --pause-min '%s' (seconds above 0, such as 0.3)",
                    options.strPauseMin);
    if (!options.strPauseLevel.IsEmpty() &&
        !ParseDecibels(options.strPauseLevel, &rule.dPauseLevel))
        return Fail(pstrError,
                    "invalid --pause-level '%s' (dB of full scale, 0 or below, such as -40)",
                    options.strPauseLevel);

    if (!options.strName.IsEmpty())
    {
        CString strBad;
        if (!ParseNameTemplate(options.strName, &pRequest->NameTemplate, &strBad))
            return Fail(pstrError,
                        strBad == "{" ? "a '{' in --name is not closed with '}'"
                                      : "unknown field '%s' in --name (known: {title} {n} {count} "
                                        "{start} {time} {date} {label})",
                        strBad);
    }
    return 1;
}
