// The command line's terminal on Windows: wide arguments, the console's wide
// output (or its code page when redirected), and Ctrl-C.
#include "cli/Terminal.h"

#include "engine/BatchRun.h"
#include "engine/JobFlags.h"
#include "platform/Platform.h"
#include "support/Trace.h"
#include "support/Utf8Conv.h"

#include <fcntl.h>
#include <io.h>

namespace
{
std::wstring ToWide(const char* pcText, int nLength, UINT uCodePage)
{
    int n = MultiByteToWideChar(uCodePage, 0, pcText, nLength, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring w((size_t)n, L'\0');
    MultiByteToWideChar(uCodePage, 0, pcText, nLength, &w[0], n);
    if (nLength < 0)
        w.resize((size_t)n - 1); // the terminator
    return w;
}

std::string FromWide(const std::wstring& w, UINT uCodePage)
{
    int n =
        WideCharToMultiByte(uCodePage, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return std::string();
    std::string out((size_t)n, '\0');
    WideCharToMultiByte(uCodePage, 0, w.data(), (int)w.size(), &out[0], n, nullptr, nullptr);
    return out;
}

// The console shows wide text as it is; a redirected stream gets the
// console's output code page (the system's when there is no console).
void WriteWide(FILE* pStream, const std::wstring& text)
{
    fflush(pStream);
    HANDLE h = (HANDLE)_get_osfhandle(_fileno(pStream));
    DWORD dwMode = 0;
    DWORD dwDone = 0;
    if (h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &dwMode))
    {
        WriteConsoleW(h, text.data(), (DWORD)text.size(), &dwDone, nullptr);
        return;
    }
    UINT uCodePage = GetConsoleOutputCP();
    std::string bytes = FromWide(text, uCodePage != 0 ? uCodePage : GetACP());
    fwrite(bytes.data(), 1, bytes.size(), pStream);
    fflush(pStream);
}

BOOL WINAPI OnControl(DWORD dwType)
{
    if (dwType != CTRL_C_EVENT && dwType != CTRL_BREAK_EVENT)
        return FALSE;
    // However many come, the split finishes its block and makes the piece's
    // header true; ending the program here would leave one that lies.
    g_bAbort.store(1, std::memory_order_relaxed);
    return TRUE;
}
} // namespace

void GetCliArguments(int, char**, std::vector<CliArgument>* pArgs)
{
    pArgs->clear();
    int nArgs = 0;
    LPWSTR* ppArgs = CommandLineToArgvW(GetCommandLineW(), &nArgs);
    if (ppArgs == nullptr)
        return;
    for (int i = 1; i < nArgs; i++)
    {
        CliArgument arg;
        std::wstring wide(ppArgs[i]);
        arg.strShown = FromWide(wide, CP_UTF8);
        BOOL bUsedDefault = FALSE;
        int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), (int)wide.size(),
                                    nullptr, 0, nullptr, &bUsedDefault);
        if (wide.empty())
            arg.bConverted = 1;
        else if (n > 0 && !bUsedDefault)
        {
            std::string sjis((size_t)n, '\0');
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), (int)wide.size(),
                                &sjis[0], n, nullptr, &bUsedDefault);
            arg.strSJis = CString(sjis.data(), n);
            arg.bConverted = !bUsedDefault;
        }
        pArgs->push_back(arg);
    }
    LocalFree(ppArgs);
}

const char* GetUnconvertedReason()
{
    return "has characters that Shift-JIS cannot hold";
}

std::string MakeUtf8Text(const char* pcText)
{
    return ConvSJisToUtf8(pcText);
}

void PrintSJis(FILE* pStream, const char* pcText)
{
    WriteWide(pStream, ToWide(pcText, -1, CP_ACP));
}

void PrintRaw(FILE* pStream, const std::string& strText)
{
    WriteWide(pStream, ToWide(strText.c_str(), -1, CP_UTF8));
}

int IsTerminal(FILE* pStream)
{
    return _isatty(_fileno(pStream)) ? 1 : 0;
}

int GetTerminalWidth(FILE* pStream)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    HANDLE h = (HANDLE)_get_osfhandle(_fileno(pStream));
    if (GetConsoleScreenBufferInfo(h, &info) && info.dwSize.X > 0)
        return info.srWindow.Right - info.srWindow.Left + 1;
    return 80;
}

void InstallInterruptHandler()
{
    SetConsoleCtrlHandler(OnControl, TRUE);
}

int GetInterruptExitCode()
{
    return 130;
}

int GetDefaultLogFolder(CString* pstrFolder)
{
    GetProgramFolder(pstrFolder);
    return !pstrFolder->IsEmpty();
}

int MakeLogFolder(const CString& strFolder)
{
    return MakeSureFolderOfPath(strFolder, 0);
}

int WriteBytes(FILE* pStream, const std::string& strBytes)
{
    if (fflush(pStream) != 0)
        return 0;
    const int nMode = _setmode(_fileno(pStream), _O_BINARY);
    int bDone = fwrite(strBytes.data(), 1, strBytes.size(), pStream) == strBytes.size() &&
                fflush(pStream) == 0;
    if (nMode != -1)
        _setmode(_fileno(pStream), nMode);
    return bDone;
}
