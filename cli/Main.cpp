// wavoss-split: the command-line front end. Collects WAV files and folders
// with the add-files job and splits them with the batch run, as the dialog
// does after Add and Execute.
#include "cli/Collect.h"
#include "cli/Console.h"
#include "cli/ErrorText.h"
#include "cli/FullPath.h"
#include "cli/Messages.h"
#include "cli/Options.h"
#include "cli/PlanFileCheck.h"
#include "cli/PlanOptions.h"
#include "cli/PlanOutput.h"
#include "cli/Split.h"
#include "cli/Terminal.h"
#include "engine/BatchRun.h"
#include "engine/JobFlags.h"
#include "engine/SectionLength.h"
#include "engine/SplitPolicy.h"
#include "framework/AfxMessageBox.h"
#include "platform/TextFile.h"
#include "support/FileSystem.h"
#include "support/Trace.h"

#include <cstdio>

namespace
{
const int kExitDone = 0;
const int kExitFailed = 1;
const int kExitUsage = 2;

// The help or the version on standard output. A text that could not be
// written there (a full disk, a closed file) is a failure, as with common
// command-line tools.
int PrintToOutput(const char* pcText)
{
    if (fputs(pcText, stdout) < 0 || fflush(stdout) != 0 || ferror(stdout))
    {
        PrintError(GetCliText(kMsgCannotWriteOutput));
        return kExitFailed;
    }
    return kExitDone;
}

int UsageError(const CString& strText)
{
    PrintRaw(stderr, std::string("wavoss-split: ") + (const char*)strText + "\n");
    PrintLine(GetCliText(kMsgTryHelp));
    return kExitUsage;
}

// A folder given on the command line, made absolute; it may be missing (it
// is created later), but not be a file.
int CheckFolder(const CString& strGiven, CliMessage what, CString* pstrFull)
{
    CString strText;
    if (!MakeFullPath(strGiven, pstrFull))
    {
        strText.Format(GetCliText(kMsgFolderNotAbsolute), GetCliText(what));
        PrintError(strText + MakeShownPath(strGiven));
        return 0;
    }
    if (IsExistFile(*pstrFull, 0, 0))
    {
        strText.Format(GetCliText(kMsgFolderIsFile), GetCliText(what));
        PrintError(strText + MakeShownPath(*pstrFull));
        return 0;
    }
    return 1;
}

int CreateFolder(const CString& strFull, CliMessage what, int bLogs)
{
    if (IsExistFile(strFull, 1, 0))
        return 1;
    int bMade = bLogs ? MakeLogFolder(strFull) : MakeSureFolderOfPath(strFull, 0);
    if (!bMade || !IsExistFile(strFull, 1, 0))
    {
        CString strText;
        strText.Format(GetCliText(kMsgCannotCreateFolder), GetCliText(what),
                       (const char*)GetSystemErrorText(GetLastError()));
        PrintError(strText + MakeShownPath(strFull));
        return 0;
    }
    return 1;
}

// The trace log (emptied) in its folder, created when missing.
int StartLog(const CString& strFolder)
{
    if (!CreateFolder(strFolder, kMsgLogFolder, 1))
        return 0;
    StartTraceLog(strFolder);
    if (!AppendTextFile(GetTraceFilePath(), "", 0))
    {
        CString strText;
        strText.Format(GetCliText(kMsgTraceNotWritable),
                       (const char*)MakeShownPath(GetTraceFilePath()));
        PrintError(strText);
        return 0;
    }
    return 1;
}

// Something the user was told about and that left files out.
int HadCollectionTrouble(const CliCollection& collection)
{
    return collection.dwSkipped != 0 || collection.dwDuplicates != 0 ||
           collection.dwUnreadable != 0 || collection.dwUnnamable != 0;
}

// After an interrupt: what was finished, and what was cut short.
int ReportInterrupt(const CMyPathList& list, const CliBatchResult& result)
{
    CString strText;
    strText.Format(GetCliText(kMsgInterrupted), result.dwFinished, list.GetCount());
    if (result.dwCutShort < list.GetCount())
        strText += GetCliText(kMsgCutShort) + MakeShownPath(list.GetAt(result.dwCutShort).FilePath);
    PrintError(strText);
    return GetInterruptExitCode();
}

// The plan file's path made absolute (the walk changes the current folder);
// it may be missing, but not be a folder.
int CheckPlanFile(const CString& strGiven, CString* pstrFull)
{
    if (!MakeFullPath(strGiven, pstrFull))
    {
        PrintError(GetCliText(kMsgPlanNotAbsolute) + MakeShownPath(strGiven));
        return 0;
    }
    if (IsExistFile(*pstrFull, 1, 0))
    {
        PrintError(GetCliText(kMsgPlanIsFolder) + MakeShownPath(*pstrFull));
        return 0;
    }
    return 1;
}

// A file --plan names is written over only when it is a plan: a recording
// named by mistake (the plan's own name forgotten) is a usage error.
int CheckPlanFileKind(const CString& strFull)
{
    const CString strShown = MakeShownPath(strFull);
    switch (IsExistFile(strFull, 0, 0) ? ClassifyPlanFile(strFull) : kPlanFileFree)
    {
    case kPlanFileFree:
    case kPlanFilePlan:
        return kExitDone;
    case kPlanFileWave:
        PrintError(GetCliText(kMsgPlanIsWave) + strShown);
        break;
    case kPlanFileOther:
        PrintError(GetCliText(kMsgPlanIsOther) + strShown);
        break;
    case kPlanFileUnread:
    {
        CString strText;
        strText.Format(GetCliText(kMsgPlanUnread), (const char*)GetSystemErrorText(GetLastError()));
        PrintError(strText + strShown);
        return kExitFailed;
    }
    }
    PrintLine(GetCliText(kMsgTryHelp));
    return kExitUsage;
}

// A message of the window's: worded as a box today, on Linux a line like the
// others in English.
void ShowBoxMessage(CliMessage message)
{
    if (GetCliLanguage() == kLangEnglish)
        PrintError(GetCliText(message));
    else
        AfxMessageBox(GetCliText(message), MB_OK);
}

int Run(const CliOptions& options, const CMyPlanRequest& givenRequest)
{
    CMyPlanRequest request = givenRequest; // the lists beside the sources join it
    // Every argument is checked before anything is created: the length (its
    // trace line is written once the log has started), the folders, the paths.
    // A dry run creates nothing at all: no output folder, no logs.
    if (ParseSectionLength(options.strLength) == 0)
    {
        ShowBoxMessage(kMsgBadLength);
        return kExitUsage;
    }
    CString strOutput;
    if (!CheckFolder(options.strOutput, kMsgOutputFolder, &strOutput))
        return kExitFailed;
    CString strPlanFile = options.strPlanFile; // "-": standard output
    if (!strPlanFile.IsEmpty() && strPlanFile != "-")
    {
        if (!CheckPlanFile(options.strPlanFile, &strPlanFile))
            return kExitFailed;
        const int nExit = CheckPlanFileKind(strPlanFile);
        if (nExit != kExitDone)
            return nExit;
    }
    CString strLogDir;
    if (!options.strLogDir.IsEmpty())
    {
        if (!CheckFolder(options.strLogDir, kMsgLogFolder, &strLogDir))
            return kExitFailed;
    }
    else if (!GetDefaultLogFolder(&strLogDir))
    {
        PrintError(GetCliText(kMsgNoLogFolder));
        return kExitFailed;
    }

    InstallInterruptHandler();
    // A dry run's lines on standard output would be torn by a status line.
    EnableStatusLine(!options.bQuiet && !options.bDryRun);
    // What every Add sets before the picker opens: the "wav" extension filter.
    CMyFilteredPathList list;
    list.SetPatternOn(0);
    list.SetExtension("wav");
    list.SetExtensionOn(1);

    CliWalkGuard guard;
    StartWalkGuard(&guard, strOutput);
    CliCollection collection;
    std::vector<CliPick> picks;
    MakeCliPicks(options.paths, guard, &list, &picks, &collection);
    // Every PATH was named with the reason it was left out.
    if (picks.empty() && collection.dwSkipped != 0)
        return kExitFailed;
    if (picks.empty())
    {
        ShowBoxMessage(kMsgNoSources);
        return kExitFailed;
    }
    if (!options.bDryRun && !StartLog(strLogDir))
        return kExitFailed;
    DWORD dwSectionLength = ReadSectionLengthText(options.strLength);
    if (!RunCliCollection(picks, &guard, &list, &collection))
    {
        PrintError(GetCliText(kMsgNoAddJob));
        return kExitFailed;
    }
    if (g_bAbort.load())
    {
        PrintError(GetCliText(kMsgInterruptedCollecting));
        return GetInterruptExitCode();
    }
    CString strCutsError;
    if (!AddCliCutsBeside(list, &request, &strCutsError))
    {
        PrintError(strCutsError);
        PrintLine(GetCliText(kMsgTryHelp));
        return kExitUsage;
    }
    DWORD dwSplitBefore = 0, dwPartlySplit = 0;
    CMySplitPolicy policy;
    if (options.bNoClobber)
        DropSplitFiles(&list, strOutput, dwSectionLength, request, &policy, &dwSplitBefore,
                       &dwPartlySplit);
    if (list.GetCount() == 0)
    {
        if (dwSplitBefore + dwPartlySplit != 0)
            return HadCollectionTrouble(collection) || dwPartlySplit != 0 ? kExitFailed : kExitDone;
        ShowBoxMessage(kMsgNoSources);
        return kExitFailed;
    }
    if (!options.bDryRun && !CreateFolder(strOutput, kMsgOutputFolder, 0))
        return kExitFailed;
    CliPlanOutput output(options.bDryRun);
    if (request.Rule.Kind == kRuleWhole)
        output.SetWholeFileNote(request.Rule.bEveryPause   ? kMsgOneCopyNoPause
                                : request.pCuts != nullptr ? kMsgOneCopyCuts
                                                           : kMsgOneCopy);
    if (!strPlanFile.IsEmpty() && !output.OpenPlanFile(strPlanFile))
        return kExitFailed;

    CliPlanChoice choice;
    choice.pRequest = &request;
    choice.pSink = &output;
    choice.bDryRun = options.bDryRun;
    choice.pPolicy = options.bNoClobber ? &policy : nullptr;
    CliBatchResult result;
    HoldRunSummary();
    if (!RunCliBatch(list, strOutput, dwSectionLength, choice, &result))
    {
        PrintError(GetCliText(kMsgNoBatch));
        return kExitFailed;
    }
    if (!options.bDryRun && !g_bAbort.load())
        output.ReportNotSplit(list);
    PrintHeldSummary();
    if (g_bAbort.load())
        return ReportInterrupt(list, result);
    if (options.bDryRun)
    {
        CString strText;
        strText.Format(GetCliText(kMsgDryRunSummary), result.dwSplit, list.GetCount());
        PrintError(strText);
        if (result.dwSplit < list.GetCount() || output.HasFailed())
            return kExitFailed;
        return HadCollectionTrouble(collection) || dwPartlySplit != 0 ? kExitFailed : kExitDone;
    }
    if (output.HasFailed())
        return kExitFailed;
    if (result.dwSplit < list.GetCount())
    {
        DWORD dwLost = 0;
        // A trace that lost entries holds no reasons: ReportLostTrace says so.
        if (!GetTraceLostError(&dwLost))
            PrintError(GetCliText(kMsgReasonsInTrace) + MakeShownPath(GetTraceFilePath()));
        return kExitFailed;
    }
    return HadCollectionTrouble(collection) || dwPartlySplit != 0 ? kExitFailed : kExitDone;
}
// A trace that could not be written fails the run, and the user is told
// why: its entries are the only record of what went wrong.
int ReportLostTrace(int iExit)
{
    DWORD dwError = 0;
    if (!GetTraceLostError(&dwError))
        return iExit;
    CString strText;
    strText.Format(GetCliText(kMsgTraceLost), (const char*)MakeShownPath(GetTraceFilePath()),
                   (const char*)GetSystemErrorText(dwError));
    PrintError(strText);
    return iExit == kExitDone ? kExitFailed : iExit;
}
} // namespace

int main(int argc, char** argv)
{
    std::vector<CliArgument> args;
    GetCliArguments(argc, argv, &args);
    InstallConsolePresenter();
    StartCliLanguage();
    UseLogTextForLinuxUsers(1);

    CliOptions options;
    CString strError;
    if (!ParseCliOptions(args, &options, &strError))
        return UsageError(strError);
    if (options.bHelp)
        return PrintToOutput(GetHelpText());
    if (options.bVersion)
        return PrintToOutput("wavoss-split " WAVOSS_VERSION "\n");
    CMyPlanRequest request;
    if (!MakeCliPlanRequest(options, &request, &strError))
    {
        // The reason may quote a value as typed (Shift-JIS by now).
        PrintError(strError);
        PrintLine(GetCliText(kMsgTryHelp));
        return kExitUsage;
    }
    if (options.strOutput.IsEmpty())
        return UsageError(GetCliText(kMsgNoOutput));
    if (options.paths.empty())
        return UsageError(GetCliText(kMsgNoPaths));
    return ReportLostTrace(Run(options, request));
}
