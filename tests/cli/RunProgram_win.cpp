// Runs the built wavoss-split on Windows: CreateProcessW with its standard
// streams redirected to files.
#include "RunProgram.h"

#include "TestSupport.h"
#include "platform/Platform.h"

#include <cstdlib>
#include <cstring>

namespace
{
std::wstring Widen(const std::string& text, UINT uCodePage)
{
    int n = MultiByteToWideChar(uCodePage, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide((size_t)(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(uCodePage, 0, text.c_str(), -1, &wide[0], n);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

std::string Narrow(const std::wstring& wide, UINT uCodePage)
{
    int n = WideCharToMultiByte(uCodePage, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out((size_t)(n > 0 ? n : 1), '\0');
    WideCharToMultiByte(uCodePage, 0, wide.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(strlen(out.c_str()));
    return out;
}

// Quotes one argument the way CommandLineToArgvW reads it back.
std::wstring Quote(const std::wstring& arg)
{
    std::wstring out = L"\"";
    size_t nSlashes = 0;
    for (wchar_t c : arg)
    {
        if (c == L'\\')
        {
            nSlashes++;
            continue;
        }
        out.append(c == L'"' ? nSlashes * 2 + 1 : nSlashes, L'\\');
        nSlashes = 0;
        out += c;
    }
    out.append(nSlashes * 2, L'\\');
    out += L"\"";
    return out;
}

HANDLE OpenForChild(const std::string& strPath)
{
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    return CreateFileA(strPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string ExePath()
{
    const char* pcEnv = getenv("WAVOSS_SPLIT_EXE");
    std::string strExe = pcEnv != nullptr ? pcEnv : WAVOSS_SPLIT_EXE;
    // The build tree's path as Linux names it, when run under Wine.
    if (!strExe.empty() && strExe[0] == '/')
        strExe = "Z:" + strExe;
    return strExe;
}
} // namespace

std::string SJisToUtf8(const std::string& strSJis)
{
    return Narrow(Widen(strSJis, CP_ACP), CP_UTF8);
}

std::string ExpectedOutput(const std::string& strSJis)
{
    UINT uCodePage = GetConsoleOutputCP();
    return Narrow(Widen(strSJis, CP_ACP), uCodePage != 0 ? uCodePage : GetACP());
}

ProgramResult RunSplitProgram(const std::vector<std::string>& args, const std::string& strWorkDir)
{
    CString strDir = MakeTestDir("run");
    std::string strOutPath = std::string(strDir) + "\\stdout";
    std::string strErrPath = std::string(strDir) + "\\stderr";
    std::wstring line = Quote(Widen(ExePath(), CP_UTF8));
    for (const std::string& arg : args)
        line += L" " + Quote(Widen(arg, CP_UTF8));

    ProgramResult result;
    HANDLE hOut = OpenForChild(strOutPath);
    HANDLE hErr = OpenForChild(strErrPath);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = hOut;
    si.hStdError = hErr;
    PROCESS_INFORMATION pi = {};
    std::wstring workDir = Widen(strWorkDir, CP_UTF8);
    if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                       workDir.empty() ? nullptr : workDir.c_str(), &si, &pi))
    {
        WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD dwCode = 0;
        GetExitCodeProcess(pi.hProcess, &dwCode);
        result.nExitCode = (int)dwCode;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    DWORD dwStartError = pi.hProcess == nullptr ? GetLastError() : 0;
    CloseHandle(hOut);
    CloseHandle(hErr);
    ReadBytes(strOutPath.c_str(), result.strOut);
    ReadBytes(strErrPath.c_str(), result.strErr);
    // A failing test then says whether the program ran at all.
    if (dwStartError != 0)
        result.strErr +=
            "(the program could not be started: error " + std::to_string(dwStartError) + ")";
    return result;
}
