// The command line's options: wavoss-split [-l hh:mm:ss] -o DIR [--log-dir DIR] [-q] PATH...
#include "cli/Options.h"

#include <cstring>

namespace
{
enum ValueOption
{
    kNone,
    kLength,
    kOutput,
    kLogDir
};

ValueOption FindValueOption(const char* pcName)
{
    if (strcmp(pcName, "-l") == 0 || strcmp(pcName, "--length") == 0)
        return kLength;
    if (strcmp(pcName, "-o") == 0 || strcmp(pcName, "--output") == 0)
        return kOutput;
    if (strcmp(pcName, "--log-dir") == 0)
        return kLogDir;
    return kNone;
}

CString* ValueField(CliOptions* pOptions, ValueOption option)
{
    switch (option)
    {
    case kLength:
        return &pOptions->strLength;
    case kOutput:
        return &pOptions->strOutput;
    default:
        return &pOptions->strLogDir;
    }
}
} // namespace

int ParseCliOptions(const std::vector<CliArgument>& args, CliOptions* pOptions, CString* pstrError)
{
    *pOptions = CliOptions();
    pstrError->Empty();
    bool bOptionsEnd = false;
    for (size_t i = 0; i < args.size(); i++)
    {
        const CliArgument& arg = args[i];
        const std::string& strRaw = arg.strShown;
        if (bOptionsEnd || strRaw.size() < 2 || strRaw[0] != '-')
        {
            pOptions->paths.push_back(arg);
            continue;
        }
        if (strRaw == "--")
        {
            bOptionsEnd = true;
            continue;
        }
        if (strRaw == "-h" || strRaw == "--help")
        {
            pOptions->bHelp = 1;
            continue;
        }
        if (strRaw == "--version")
        {
            pOptions->bVersion = 1;
            continue;
        }
        if (strRaw == "-q" || strRaw == "--quiet")
        {
            pOptions->bQuiet = 1;
            continue;
        }
        // "-o DIR", "-oDIR", "--output DIR" and "--output=DIR".
        std::string strName = strRaw;
        CliArgument value;
        bool bInline = false;
        size_t iEq = strRaw.find('=');
        if (strRaw.compare(0, 2, "--") == 0 && iEq != std::string::npos)
        {
            strName = strRaw.substr(0, iEq);
            bInline = true;
        }
        else if (strRaw.compare(0, 2, "--") != 0 && strRaw.size() > 2)
        {
            strName = strRaw.substr(0, 2);
            bInline = true;
        }
        ValueOption option = FindValueOption(strName.c_str());
        if (option == kNone)
        {
            pstrError->Format("unknown option '%s'", strRaw.c_str());
            return 0;
        }
        size_t iPrefix = strName.size() + (strName.compare(0, 2, "--") == 0 ? 1 : 0);
        if (bInline)
        {
            // The prefix is ASCII, so the value starts at the same byte in
            // the Shift-JIS form.
            value.strShown = strRaw.substr(iPrefix);
            value.bConverted = arg.bConverted;
            if (arg.bConverted)
                value.strSJis = arg.strSJis.Mid((int)iPrefix);
        }
        else if (i + 1 < args.size())
            value = args[++i];
        else
        {
            pstrError->Format("option '%s' needs a value", strName.c_str());
            return 0;
        }
        if (!value.bConverted)
        {
            pstrError->Format("the value of '%s' has characters that Shift-JIS cannot hold",
                              strName.c_str());
            return 0;
        }
        if (value.strSJis.IsEmpty())
        {
            pstrError->Format("option '%s' needs a value", strName.c_str());
            return 0;
        }
        *ValueField(pOptions, option) = value.strSJis;
    }
    return 1;
}

const char* GetUsageText()
{
    return "usage: wavoss-split [-l hh:mm:ss] -o DIR [--log-dir DIR] [-q] PATH...\n"
           "Try 'wavoss-split --help' for more information.\n";
}

const char* GetHelpText()
{
    return "usage: wavoss-split [-l hh:mm:ss] -o DIR [--log-dir DIR] [-q] PATH...\n"
           "\n"
           "Cuts PCM WAV files into consecutive pieces of one length, named after\n"
           "their source with a three-digit number (song_001.wav, song_002.wav, ...).\n"
           "\n"
           "Accepted: integer PCM of 8 to 32 bits and IEEE float of 32 or 64 bits\n"
           "(plain or EXTENSIBLE), 1 to 32 channels, up to 200000 Hz; Broadcast Wave\n"
           "(each piece keeps bext, its time reference moved to the piece's start, and\n"
           "iXML), RF64/BW64, and plain RIFF files past 4 GiB. Pieces of canonical\n"
           "PCM files get the 44-byte header; pieces that reach 4 GiB are RF64.\n"
           "\n"
           "Each PATH is a WAV file or a folder. A file's pieces go straight into the\n"
           "output folder. A folder is searched to any depth for *.wav files; its own\n"
           "name and the sub-folders below it are mirrored under the output folder.\n"
           "Files whose names are equal apart from the extension would overwrite each\n"
           "other's pieces: they are listed in ConflictFile.txt and not split.\n"
           "\n"
           "options:\n"
           "  -l, --length hh:mm:ss  length of one piece (default 00:03:00; 1:30, 90\n"
           "                         and 0.5 are read too)\n"
           "  -o, --output DIR       output folder, created when missing\n"
           "      --log-dir DIR      folder for TraceFile.txt and ConflictFile.txt\n"
           "                         (default: the program's folder)\n"
           "  -q, --quiet            no progress bar\n"
           "  -h, --help             show this text\n"
           "      --version          show the version\n"
           "\n"
           "Ctrl-C stops the run between blocks.\n"
           "Exit status: 0 every collected file was split; 1 nothing was collected or\n"
           "some file was not split (or an argument was skipped); 2 usage error.\n";
}
