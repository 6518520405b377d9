// The command line's options.
#include "cli/Options.h"

#include "engine/SectionLength.h"
#include "support/FileSystem.h"

#include <cstring>
#include <getopt.h>
#include <map>

namespace
{
const char kShortOptions[] = ":l:o:qnhN:S:mp::Pc:";
const int kLogDirOption = 1000;
const int kVersionOption = 1001;
const int kPauseMinOption = 1002;
const int kPauseLevelOption = 1003;
const int kNameOption = 1004;
const int kDryRunOption = 1005;
const int kPlanOption = 1006;
const int kShareBlocksOption = 1007;
const int kMinPieceOption = 1008;
const int kTrimOption = 1009;
const int kChannelsOption = 1350;
const int kAtOption = 1330;
const int kCutsBesideOption = 1331;
const struct option kLongOptions[] = {
    {"length", required_argument, nullptr, 'l'},
    {"parts", required_argument, nullptr, 'N'},
    {"max-size", required_argument, nullptr, 'S'},
    {"markers", no_argument, nullptr, 'm'},
    {"cuts", required_argument, nullptr, 'c'},
    {"at", required_argument, nullptr, kAtOption},
    {"cuts-beside", no_argument, nullptr, kCutsBesideOption},
    {"pause", optional_argument, nullptr, 'p'},
    {"every-pause", no_argument, nullptr, 'P'},
    {"min-piece", required_argument, nullptr, kMinPieceOption},
    {"trim", no_argument, nullptr, kTrimOption},
    {"pause-min", required_argument, nullptr, kPauseMinOption},
    {"pause-level", required_argument, nullptr, kPauseLevelOption},
    {"name", required_argument, nullptr, kNameOption},
    {"dry-run", no_argument, nullptr, kDryRunOption},
    {"plan", required_argument, nullptr, kPlanOption},
    {"channels", required_argument, nullptr, kChannelsOption},
    {"output", required_argument, nullptr, 'o'},
    {"log-dir", required_argument, nullptr, kLogDirOption},
    {"quiet", no_argument, nullptr, 'q'},
    {"no-clobber", no_argument, nullptr, 'n'},
    {"share-blocks", no_argument, nullptr, kShareBlocksOption},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersionOption},
    {nullptr, 0, nullptr, 0},
};

// The option's name as typed, for messages: the word of a long option
// (without "=value"), "-x" of a short one.
std::string OptionName(const char* pcArg, int nShort)
{
    std::string word = pcArg != nullptr ? pcArg : "";
    if (word.compare(0, 2, "--") != 0)
        return std::string("-") + (char)nShort;
    size_t iEq = word.find('=');
    return iEq == std::string::npos ? word : word.substr(0, iEq);
}

// The word of an option that has no letter.
const char* LongName(int nOption)
{
    for (const struct option& opt : kLongOptions)
        if (opt.name != nullptr && opt.val == nOption)
            return opt.name;
    return "";
}

// The value getopt_long found (inside argv[iArg] or the whole of it), taken
// from the Shift-JIS form of that argument: the option's ASCII prefix has
// the same bytes there.
int TakeValue(const CliArgument& arg, const char* pcArgv, const char* pcValue, CString* pstrValue)
{
    if (!arg.bConverted)
        return 0;
    *pstrValue = arg.strSJis.Mid((int)(pcValue - pcArgv));
    return 1;
}

// The section length as typed: its digits, full stops and colons have the
// same bytes in every encoding, and on Linux the Shift-JIS form of a colon is
// a character of a name, not a separator of fields.
int TakeLengthValue(const CliArgument& arg, const char* pcValue, CString* pstrValue)
{
    if (!arg.bConverted)
        return 0;
    *pstrValue = pcValue;
    return 1;
}

// The pause's times are read as the length is ("0:30"); a value with other
// characters is kept in Shift-JIS, as the reason that refuses it quotes it.
int TakeTimeValue(const CliArgument& arg, const char* pcArgv, const char* pcValue,
                  CString* pstrValue)
{
    for (const char* pc = pcValue; *pc != '\0'; ++pc)
        if ((unsigned char)*pc >= 0x80)
            return TakeValue(arg, pcArgv, pcValue, pstrValue);
    return TakeLengthValue(arg, pcValue, pstrValue);
}

// -p's value only joins it: a time given apart ("-p 5") would be taken as a
// PATH and cut with another window. A word that is a time and names nothing
// is that mistake; one that names a file or folder is a PATH.
int IsPauseValueApart(const CliArgument& arg)
{
    if (!arg.bConverted || ParseSectionLength(arg.strSJis) == 0)
        return 0;
    return !IsExistFile(arg.strSJis, 0, 0) && !IsExistFile(arg.strSJis, 1, 0);
}
} // namespace

int ParseCliOptions(const std::vector<CliArgument>& args, CliOptions* pOptions, CString* pstrError)
{
    *pOptions = CliOptions();
    pstrError->Empty();
    // getopt_long moves the PATHs behind the options: each keeps its index.
    std::vector<std::string> texts(1, "wavoss-split");
    for (const CliArgument& arg : args)
        texts.push_back(arg.strShown);
    std::vector<char*> argv;
    std::map<const char*, size_t> indexOf;
    for (size_t i = 0; i < texts.size(); i++)
    {
        argv.push_back(&texts[i][0]);
        if (i > 0)
            indexOf[argv.back()] = i - 1;
    }
    argv.push_back(nullptr);
    int argc = (int)texts.size();

    opterr = 0; // the messages are ours
    optind = 0; // a fresh start, for glibc and mingw-w64 alike
    int nOption;
    while ((nOption = getopt_long(argc, argv.data(), kShortOptions, kLongOptions, nullptr)) != -1)
    {
        if (nOption == '?' || nOption == ':')
        {
            // A long option's argument is behind optind; a short one is
            // named by its letter (optind may still be on its bundle).
            std::string name = nOption == '?' && optopt != 0 ? std::string("-") + (char)optopt
                                                             : OptionName(argv[optind - 1], optopt);
            if (nOption == '?')
                pstrError->Format("unknown option '%s'", name.c_str());
            else
                pstrError->Format("option '%s' needs a value", name.c_str());
            return 0;
        }
        CString* pstrField = nullptr;
        switch (nOption)
        {
        case 'l':
            pstrField = &pOptions->strLength;
            pOptions->bLengthGiven = 1;
            break;
        case 'N':
            pstrField = &pOptions->strParts;
            break;
        case 'S':
            pstrField = &pOptions->strMaxSize;
            break;
        case 'm':
            pOptions->bMarkers = 1;
            break;
        case 'p':
            pOptions->bPause = 1;
            // Its value only joined to it: -p5, --pause=5.
            if (optarg != nullptr)
                pstrField = &pOptions->strPause;
            else if (optind < argc && indexOf.count(argv[optind]) != 0 &&
                     IsPauseValueApart(args[indexOf[argv[optind]]]))
            {
                std::string name = OptionName(argv[optind - 1], 'p');
                pstrError->Format("option '%s' takes its value joined to it: %s%s%s", name.c_str(),
                                  name.c_str(), name == "-p" ? "" : "=", argv[optind]);
                return 0;
            }
            break;
        case 'c':
            pstrField = &pOptions->strCuts;
            break;
        case kAtOption:
            pstrField = &pOptions->strAt;
            break;
        case kCutsBesideOption:
            pOptions->bCutsBeside = 1;
            break;
        case kPauseMinOption:
            pstrField = &pOptions->strPauseMin;
            break;
        case 'P':
            pOptions->bEveryPause = 1;
            break;
        case kMinPieceOption:
            pstrField = &pOptions->strMinPiece;
            break;
        case kTrimOption:
            pOptions->bTrim = 1;
            break;
        case kPauseLevelOption:
            pstrField = &pOptions->strPauseLevel;
            break;
        case kNameOption:
            pstrField = &pOptions->strName;
            break;
        case kDryRunOption:
            pOptions->bDryRun = 1;
            break;
        case kChannelsOption:
            pOptions->bChannels = 1;
            pstrField = &pOptions->strChannels;
            break;
        case kPlanOption:
            pstrField = &pOptions->strPlanFile;
            break;
        case 'o':
            pstrField = &pOptions->strOutput;
            break;
        case kLogDirOption:
            pstrField = &pOptions->strLogDir;
            break;
        case 'q':
            pOptions->bQuiet = 1;
            break;
        case 'n':
            pOptions->bNoClobber = 1;
            break;
        case kShareBlocksOption:
            pOptions->bShareBlocks = 1;
            break;
        case 'h':
            pOptions->bHelp = 1;
            break;
        case kVersionOption:
            pOptions->bVersion = 1;
            break;
        default:
            break;
        }
        if (pstrField == nullptr)
            continue;
        // The value is the argument before optind, whole or from inside it.
        const char* pcArgv = argv[optind - 1];
        auto it = indexOf.find(pcArgv);
        std::string name = nOption >= kLogDirOption ? std::string("--") + LongName(nOption)
                                                    : OptionName(pcArgv, nOption);
        if (it == indexOf.end() || optarg < pcArgv || optarg > pcArgv + strlen(pcArgv))
        {
            pstrError->Format("option '%s' needs a value", name.c_str());
            return 0;
        }
        int bTaken = nOption == 'l' ? TakeLengthValue(args[it->second], optarg, pstrField)
                     : nOption == 'p' || nOption == kPauseMinOption || nOption == kMinPieceOption ||
                             nOption == kAtOption
                         ? TakeTimeValue(args[it->second], pcArgv, optarg, pstrField)
                         : TakeValue(args[it->second], pcArgv, optarg, pstrField);
        if (!bTaken)
        {
            pstrError->Format("the value of '%s' %s", name.c_str(), GetUnconvertedReason());
            return 0;
        }
        if (pstrField->IsEmpty() && nOption == kNameOption)
        {
            pstrError->Format("option '%s' needs a template: an empty one names no piece (without "
                              "%s pieces are named {title}_{n})",
                              name.c_str(), name.c_str());
            return 0;
        }
        if (pstrField->IsEmpty())
        {
            pstrError->Format("option '%s' needs a value", name.c_str());
            return 0;
        }
    }
    for (int i = optind; i < argc; i++)
        pOptions->paths.push_back(args[indexOf[argv[i]]]);
    return 1;
}
