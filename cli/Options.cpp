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

const char* GetUsageText()
{
    return "usage: wavoss-split [-l hh:mm:ss | -N N | -S SIZE] [-m] [-p[SECONDS]]\n"
           "                    [-c FILE] [--at T[,T...]] [--cuts-beside]\n"
           "                    [-P [--min-piece SECONDS] [--trim]]\n"
           "                    [--name TEMPLATE] [--dry-run] [--plan FILE]\n"
           "                    [--channels LIST] [--share-blocks]\n"
           "                    -o DIR [--log-dir DIR] [-qn] PATH...\n"
           "Try 'wavoss-split --help' for more information.\n";
}

const char* GetHelpText()
{
    return "usage: wavoss-split [-l hh:mm:ss | -N N | -S SIZE] [-m] [-p[SECONDS]]\n"
           "                    [-c FILE] [--at T[,T...]] [--cuts-beside]\n"
           "                    [-P [--min-piece SECONDS] [--trim]]\n"
           "                    [--name TEMPLATE] [--dry-run] [--plan FILE]\n"
           "                    [--channels LIST] [--share-blocks]\n"
           "                    -o DIR [--log-dir DIR] [-qn] PATH...\n"
           "\n"
           "Cuts PCM WAV files into consecutive pieces, by default of one length,\n"
           "named after their source with a three-digit number (song_001.wav, ...).\n"
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
           "How to cut (one of -l, -N, -S; -m and -P alone or with one of them):\n"
           "  -l, --length hh:mm:ss  length of one piece: hh:mm:ss, mm:ss or seconds,\n"
           "                         the seconds with decimals if wanted (default\n"
           "                         00:03:00; 10:00 is ten minutes, 90 and 0.5 are\n"
           "                         seconds); the last piece is shorter\n"
           "  -N, --parts N          N pieces of equal length (within one frame)\n"
           "  -S, --max-size SIZE    pieces whose files, header included, are at most\n"
           "                         SIZE bytes: 1500000, 700M, 1.5G, 25MB (K, M, G,\n"
           "                         KiB, MiB, GiB are powers of 1024; KB, MB, GB of\n"
           "                         1000)\n"
           "  -m, --markers          cut at every marker (cue point) of the file; with\n"
           "                         -l, -N or -S that rule then cuts each part between\n"
           "                         markers. Pieces then carry the markers inside them\n"
           "                         (cue and adtl chunks); without -m pieces carry none\n"
           "  -p, --pause[=SECONDS]  with -l or -S: move each cut back to the middle of\n"
           "                         the nearest pause within SECONDS before it (default\n"
           "                         a tenth of the piece, at most 30); no pause found:\n"
           "                         the cut stays. No piece gets longer. The value\n"
           "                         joins the option: -p5, --pause=0:30\n"
           "  -P, --every-pause      cut in the middle of every pause (one reaching the\n"
           "                         start or the end cuts nothing); alone, with -m,\n"
           "                         or with -l or -S, which then cut the parts too\n"
           "                         long between pauses (with -p if given)\n"
           "      --min-piece SECONDS  with -P: a pause that would leave a piece\n"
           "                           shorter than this is no cut (default 0)\n"
           "      --trim             with -P, DROPS AUDIO: each piece's pause at its\n"
           "                         start and end is left out but for 0.1 s; the\n"
           "                         plan lists every stretch left out (trimmed)\n"
           "      --pause-min SECONDS  quiet this long makes a pause (default 0.3;\n"
           "                           with -P 2, the gap between tracks)\n"
           "      --pause-level DB     quiet is below this level, in dB of full scale\n"
           "                           (default -40); auto: found from each file, its\n"
           "                           noise floor plus 6 dB, at most -20\n"
           "\n"
           "Cutting where you say (alone, or with -l, -N or -S cutting each part;\n"
           "with -m markers cut too; -p never moves these cuts):\n"
           "  -c, --cuts FILE        cut where FILE says, read by its content: a cue\n"
           "                         sheet (each TRACK's INDEX 01 starts a piece named\n"
           "                         by its TITLE and PERFORMER; pregaps stay with the\n"
           "                         piece before; a first track after 0 leaves a\n"
           "                         piece labelled 00; FILE lines choose the files),\n"
           "                         a label list (start<TAB>end<TAB>text in seconds,\n"
           "                         as audio editors export; a region cuts at both\n"
           "                         ends) or a plan written by --plan (edited names\n"
           "                         become the pieces' names). A list with no file\n"
           "                         of its own cuts every file\n"
           "      --at T[,T...]      cut at these times: hh:mm:ss.fff, mm:ss or seconds\n"
           "      --cuts-beside      for each file, TITLE.cue or TITLE.txt beside it\n"
           "                         (any case), when there is one\n"
           "                         Times go to the nearest frame; cuts at 0 or past\n"
           "                         the end make no piece (the trace names them); a\n"
           "                         file no list names is cut by the other rule or\n"
           "                         kept whole. A list that cannot be read is a usage\n"
           "                         error naming its line\n"
           "\n"
           "Names and plans:\n"
           "      --name TEMPLATE    piece names (default {title}_{n}): {title} the\n"
           "                         source's name, {n} the number (3 digits at least),\n"
           "                         {count} pieces of the file, {start} hh-mm-ss[.mmm]\n"
           "                         from the start, {time} hhmmss time of day (bext),\n"
           "                         {date} yyyymmdd (bext), {label} the marker's or\n"
           "                         cut's label, {performer} the cut's performer,\n"
           "                         {channel} the channel file's tracks (--channels).\n"
           "                         A field the file lacks falls back ({time} to\n"
           "                         {start}, {date} to nothing, {label} to {n}); equal\n"
           "                         names in one file get _2, _3, ...; a final .wav\n"
           "                         is not doubled. In every name, characters the\n"
           "                         system refuses become _: on Windows \\ / : * ? \" < >\n"
           "                         | and control characters, on Linux / and control\n"
           "                         characters\n"
           "      --dry-run          print each piece (path, start, length, why it ends\n"
           "                         there) and write nothing: no folder, no logs\n"
           "      --plan FILE        write the same as CSV (UTF-8) to FILE as the run\n"
           "                         goes on; FILE - is standard output. FILE.cue is\n"
           "                         written as a cue sheet, FILE.txt as a label list,\n"
           "                         to check and move in an audio editor, then cut\n"
           "                         by with -c\n"
           "\n"
           "One file per microphone:\n"
           "      --channels LIST    write each piece as one file per channel (each) or\n"
           "                         per group of channels: 1-2,3,5 makes a stereo file\n"
           "                         of channels 1 and 2, then mono files of 3 and 5\n"
           "                         (counted from 1). Samples are the source's, bit for\n"
           "                         bit; bext, iXML (its track list cut to the file's\n"
           "                         tracks) and markers are carried. Names default to\n"
           "                         {title}_{n}_{channel}: {channel} is the iXML track\n"
           "                         NAME (a group's joined with +), else ch1, ch1-2.\n"
           "                         A file lacking a channel of LIST is not split\n"
           "\n"
           "Other options:\n"
           "  -o, --output DIR       output folder, created when missing\n"
           "      --log-dir DIR      folder for TraceFile.txt and ConflictFile.txt\n"
           "                         (default on Linux: $XDG_STATE_HOME/wavoss, else\n"
           "                         ~/.local/state/wavoss; on Windows the program's\n"
           "                         folder)\n"
           "  -q, --quiet            no progress bar\n"
           "  -n, --no-clobber       keep the pieces that exist whole: finish a file\n"
           "                         cut short, leave one with other pieces alone\n"
           "      --share-blocks     pieces share the source's disk blocks instead of\n"
           "                         copying them where the file system can (XFS with\n"
           "                         reflink, btrfs, ZFS, bcachefs): a split then takes\n"
           "                         almost no time and no space. Elsewhere (ext4,\n"
           "                         another disk) the pieces are copied, the whole\n"
           "                         pages by the system. Each piece then has a JUNK\n"
           "                         chunk (up to 4 KiB of zeros that every reader\n"
           "                         skips) before its audio, so that the audio lies\n"
           "                         at the same place within a 4096-byte block as in\n"
           "                         the source; -S counts it\n"
           "  -h, --help             show this text\n"
           "      --version          show the version\n"
           "\n"
           "A file is refused (not split) when its plan would have more than 1000000\n"
           "pieces, or more parts than frames.\n"
           "Ctrl-C (on Linux also SIGTERM and SIGHUP) stops the run between blocks;\n"
           "exit status then 128 + the signal's number (130 for Ctrl-C).\n"
           "Exit status: 0 every collected file was split (in a dry run: would be);\n"
           "1 nothing was collected or some file was not split (or an argument was\n"
           "skipped); 2 usage error.\n"
           "\n"
           "Examples:\n"
           "  wavoss-split -l 10:00 -p -o parts lecture.wav\n"
           "      a lecture in parts of at most 10 minutes, each cut moved into a pause\n"
           "  wavoss-split -m --name '{title}_{label}' -o parts take.wav\n"
           "      cut at the recorder's markers, each piece named after its label\n"
           "  wavoss-split -S 25MB -o upload talk.wav\n"
           "      pieces of at most 25 MB (25000000 bytes) each, for an upload\n"
           "  wavoss-split -l 5:00 --dry-run --plan plan.csv -o parts recordings\n"
           "      show where every piece would go, and write it as CSV; nothing else\n"
           "  wavoss-split -P --pause-level auto --min-piece 30 -o tracks record.wav\n"
           "      a digitised record into its tracks, at the gaps between them, over\n"
           "      the record's own hiss\n"
           "  wavoss-split -P --pause-min 20 -l 1:00:00 -o talks conference.wav\n"
           "      a conference day into its talks, at the breaks of 20 s or more; no\n"
           "      piece longer than an hour\n"
           "  wavoss-split --channels each -l 30:00 -o mics scene12.wav\n"
           "      one mono file per microphone, named after the recorder's tracks\n"
           "  wavoss-split -n -l 5:00 -o parts recordings\n"
           "      after Ctrl-C: keep the pieces written whole, finish the rest\n"
           "  wavoss-split --share-blocks -o /nas/parts /nas/archive\n"
           "      an archive on btrfs or XFS cut in seconds, the pieces taking no space\n"
           "  wavoss-split -c album.cue --name '{n} {label}' -o tracks album.wav\n"
           "      one piece per track of the cue sheet, named by its title\n"
           "  wavoss-split -c labels.txt -o parts take.wav\n"
           "      cut at the labels exported from an audio editor\n"
           "  wavoss-split -N 8 --dry-run --plan plan.csv -o parts talk.wav\n"
           "  wavoss-split -c plan.csv -o parts talk.wav\n"
           "      plan, edit plan.csv (times, names), then cut as edited\n"
           "  wavoss-split --at 1:30,4:05.5 -o parts take.wav\n"
           "      cut at 1:30 and 4:05.5\n";
}
