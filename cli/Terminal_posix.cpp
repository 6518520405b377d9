// The command line's terminal on Linux: the locale's character set, iconv for
// anything but UTF-8, isatty and SIGINT.
#include "cli/Terminal.h"

#include "cli/Messages.h"
#include "engine/JobFlags.h"
#include "platform/Platform.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <csignal>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
std::string g_strCodeset = "UTF-8";

bool IsUtf8(const std::string& strCodeset)
{
    return strcasecmp(strCodeset.c_str(), "UTF-8") == 0 ||
           strcasecmp(strCodeset.c_str(), "UTF8") == 0;
}

// Converts between the terminal's set and UTF-16 or UTF-8; false when a
// character has no counterpart (bStrict) or iconv cannot be opened.
bool Iconv(const char* pcTo, const char* pcFrom, const std::string& in, std::string& out,
           bool bStrict)
{
    iconv_t cd = iconv_open(pcTo, pcFrom);
    if (cd == (iconv_t)-1)
        return false;
    out.assign(in.size() * 4 + 16, '\0');
    char* pIn = const_cast<char*>(in.data());
    size_t nIn = in.size();
    char* pOut = &out[0];
    size_t nOut = out.size();
    bool bOk = true;
    while (nIn > 0)
    {
        if (iconv(cd, &pIn, &nIn, &pOut, &nOut) != (size_t)-1)
            continue;
        if (bStrict || errno == E2BIG || nOut == 0)
        {
            bOk = false;
            break;
        }
        // Lenient output: one '?' for what cannot be shown, then go on.
        *pOut++ = '?';
        nOut--;
        size_t nSkip = strcmp(pcFrom, "UTF-16LE") == 0 ? 2 : 1;
        pIn += nSkip < nIn ? nSkip : nIn;
        nIn -= nSkip < nIn ? nSkip : nIn;
    }
    iconv_close(cd);
    out.resize(out.size() - nOut);
    return bOk;
}

volatile sig_atomic_t g_nSignal = 0;

// The split finishes its block and writes the true size into the piece's
// header, however many signals come (one Ctrl-C often arrives twice, from the
// terminal and from a wrapper such as timeout): ending the program here would
// leave a piece whose header claims data it lacks. The first one names the
// exit status.
void OnInterrupt(int nSignal)
{
    if (g_nSignal == 0)
        g_nSignal = nSignal;
    g_bAbort.store(1, std::memory_order_relaxed);
}

// The terminal's text in Shift-JIS; false when a character needs a place in
// the user-defined area and none is left. Bytes that are not text in the
// terminal's set are taken as the system's own (a name is bytes on Linux).
bool TerminalToSJis(const std::string& in, CString* pstrSJis)
{
    std::string text;
    if (IsUtf8(g_strCodeset) || !Iconv("UTF-8", g_strCodeset.c_str(), in, text, true))
        text = in;
    std::string sjis;
    if (!SystemTextToSJis(text.data(), text.size(), &sjis))
        return false;
    *pstrSJis = CString(sjis.data(), (int)sjis.size());
    return true;
}
} // namespace

void GetCliArguments(int argc, char** argv, std::vector<CliArgument>* pArgs)
{
    // Only the name of the set is wanted: the "C" locale is put back so that
    // the runtime's character functions behave as everywhere else.
    if (setlocale(LC_CTYPE, "") != nullptr)
    {
        const char* pcSet = nl_langinfo(CODESET);
        if (pcSet != nullptr && pcSet[0] != '\0')
            g_strCodeset = strcasecmp(pcSet, "ANSI_X3.4-1968") == 0 ? "UTF-8" : pcSet;
        setlocale(LC_CTYPE, "C");
    }
    pArgs->clear();
    for (int i = 1; i < argc; i++)
    {
        CliArgument arg;
        arg.strShown = argv[i];
        arg.bConverted = TerminalToSJis(arg.strShown, &arg.strSJis) ? 1 : 0;
        pArgs->push_back(arg);
    }
}

const char* GetUnconvertedReason()
{
    return GetCliText(kMsgUnconvertedPosix);
}

std::string MakeUtf8Text(const char* pcText)
{
    std::string text;
    SJisToSystemText(pcText, strlen(pcText), 0, &text);
    return text;
}

void PrintSJis(FILE* pStream, const char* pcText)
{
    // Through the system's text, so that names come out as they are on disk.
    std::string text, out;
    SJisToSystemText(pcText, strlen(pcText), 0, &text);
    if (IsUtf8(g_strCodeset))
        out = text;
    else
    {
        std::u16string wide = WidenText(text.c_str(), CP_UTF8);
        std::string bytes((const char*)wide.data(), wide.size() * 2);
        Iconv(g_strCodeset.c_str(), "UTF-16LE", bytes, out, false);
    }
    fwrite(out.data(), 1, out.size(), pStream);
    fflush(pStream);
}

void PrintRaw(FILE* pStream, const std::string& strText)
{
    fwrite(strText.data(), 1, strText.size(), pStream);
    fflush(pStream);
}

int IsTerminal(FILE* pStream)
{
    return isatty(fileno(pStream)) ? 1 : 0;
}

int GetTerminalWidth(FILE* pStream)
{
    struct winsize ws;
    if (ioctl(fileno(pStream), TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0)
        return ws.ws_col;
    return 80;
}

void InstallInterruptHandler()
{
    struct sigaction sa;
    memset(&sa, 0, sizeof(sa));
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    // A file size limit (ulimit -f) would kill the run in the middle of a
    // block; ignored, it makes the write fail with EFBIG, which the split
    // handles as any failed write.
    signal(SIGXFSZ, SIG_IGN);
}

int GetInterruptExitCode()
{
    return 128 + (g_nSignal != 0 ? (int)g_nSignal : SIGINT);
}

int GetDefaultLogFolder(CString* pstrFolder)
{
    const char* pcState = getenv("XDG_STATE_HOME");
    const char* pcHome = getenv("HOME");
    std::string folder;
    // A relative XDG_STATE_HOME is to be ignored.
    if (pcState != nullptr && pcState[0] == '/')
        folder = std::string(pcState) + "/wavoss";
    else if (pcHome != nullptr && pcHome[0] == '/')
        folder = std::string(pcHome) + "/.local/state/wavoss";
    else
        return 0;
    return TerminalToSJis(folder, pstrFolder) && !pstrFolder->IsEmpty();
}

int MakeLogFolder(const CString& strFolder)
{
    char acPath[PATH_MAX];
    if (!PosixPathFromSJis(strFolder, acPath, sizeof(acPath)))
    {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    std::string path(acPath);
    for (size_t i = 1; i <= path.size(); i++)
    {
        if (i < path.size() && path[i] != '/')
            continue;
        if (mkdir(path.substr(0, i).c_str(), 0700) != 0 && errno != EEXIST)
        {
            SetLastError(PosixErrorToWin32(errno));
            return 0;
        }
    }
    return 1;
}

int WriteBytes(FILE* pStream, const std::string& strBytes)
{
    return fwrite(strBytes.data(), 1, strBytes.size(), pStream) == strBytes.size() &&
           fflush(pStream) == 0;
}
