// wavoss-split: the command-line front end. Collects WAV files and folders
// with the add-files job and splits them with the batch run, as the dialog
// does after Add and Execute.
#include "cli/Collect.h"
#include "cli/Console.h"
#include "cli/FullPath.h"
#include "cli/Options.h"
#include "cli/Split.h"
#include "cli/Terminal.h"
#include "engine/BatchRun.h"
#include "engine/JobFlags.h"
#include "engine/SectionLength.h"
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

int UsageError(const CString& strText)
{
    PrintRaw(stderr, std::string("wavoss-split: ") + (const char*)strText + "\n" + GetUsageText());
    return kExitUsage;
}

// A folder given on the command line, made absolute and created when missing.
int PrepareFolder(const CString& strGiven, const char* pcWhat, CString* pstrFull)
{
    if (!MakeFullPath(strGiven, pstrFull))
    {
        PrintError(CString("cannot make the ") + pcWhat + " absolute: " + MakeShownPath(strGiven));
        return 0;
    }
    if (IsExistFile(*pstrFull, 0, 0))
    {
        PrintError(CString("the ") + pcWhat + " is a file: " + MakeShownPath(*pstrFull));
        return 0;
    }
    if (!MakeSureFolderOfPath(*pstrFull, 0) || !IsExistFile(*pstrFull, 1, 0))
    {
        PrintError(CString("cannot create the ") + pcWhat + ": " + MakeShownPath(*pstrFull));
        return 0;
    }
    return 1;
}

// The trace log in the program's folder, or in --log-dir.
int StartLog(const CString& strLogDir)
{
    CString strFolder;
    if (!strLogDir.IsEmpty() && !PrepareFolder(strLogDir, "log folder", &strFolder))
        return 0;
    StartTraceLog(strFolder.IsEmpty() ? nullptr : (const char*)strFolder);
    if (!AppendTextFile(GetTraceFilePath(), "", 0))
    {
        PrintError("cannot write " + MakeShownPath(GetTraceFilePath()) +
                   " (give a writable folder with --log-dir)");
        return 0;
    }
    return 1;
}

int Run(const CliOptions& options)
{
    if (!StartLog(options.strLogDir))
        return kExitFailed;
    // The length is read as the dialog reads its box, trace line included.
    DWORD dwSectionLength = ReadSectionLengthText(options.strLength);
    if (dwSectionLength == 0)
    {
        const char* pcText = "※　無効な区間長です。";
        WriteTraceText(pcText, 1);
        AfxMessageBox(pcText, MB_OK);
        return kExitUsage;
    }
    CString strOutput;
    if (!PrepareFolder(options.strOutput, "output folder", &strOutput))
        return kExitFailed;

    InstallInterruptHandler();
    EnableStatusLine(!options.bQuiet);
    // What every Add sets before the picker opens: the "wav" extension filter.
    CMyFilteredPathList list;
    list.SetPatternOn(0);
    list.SetExtension("wav");
    list.SetExtensionOn(1);

    CliCollection collection;
    std::vector<CliPick> picks;
    MakeCliPicks(options.paths, &list, &picks, &collection);
    if (!picks.empty() && !RunCliCollection(picks, &list, &collection))
    {
        PrintError("cannot start the add-files job");
        return kExitFailed;
    }
    if (g_bAbort.load())
    {
        PrintError("interrupted while collecting; nothing was split");
        return kExitFailed;
    }
    if (list.GetCount() == 0)
    {
        AfxMessageBox("※　分割元ファイルがセットされていません。", MB_OK);
        return kExitFailed;
    }

    int bStarted = 0;
    DWORD dwSplit = RunCliBatch(list, strOutput, dwSectionLength, &bStarted);
    if (!bStarted)
    {
        PrintError("cannot start the batch run");
        return kExitFailed;
    }
    if (g_bAbort.load())
    {
        CString strText;
        strText.Format("interrupted: %u of %u files were split", dwSplit, list.GetCount());
        PrintError(strText);
        return kExitFailed;
    }
    if (dwSplit < list.GetCount())
    {
        PrintError("the files that were not split and why are in " +
                   MakeShownPath(GetTraceFilePath()));
        return kExitFailed;
    }
    if (collection.dwSkipped != 0 || collection.dwDuplicates != 0 || collection.dwUnreadable != 0)
        return kExitFailed;
    return kExitDone;
}
} // namespace

int main(int argc, char** argv)
{
    std::vector<CliArgument> args;
    GetCliArguments(argc, argv, &args);
    InstallConsolePresenter();

    CliOptions options;
    CString strError;
    if (!ParseCliOptions(args, &options, &strError))
        return UsageError(strError);
    if (options.bHelp)
    {
        fputs(GetHelpText(), stdout);
        return kExitDone;
    }
    if (options.bVersion)
    {
        printf("wavoss-split %s\n", WAVOSS_VERSION);
        return kExitDone;
    }
    if (options.strOutput.IsEmpty())
        return UsageError("no output folder given (-o DIR)");
    if (options.paths.empty())
        return UsageError("no WAV file or folder given");
    return Run(options);
}
