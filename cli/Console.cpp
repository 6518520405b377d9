// The command line's standard error: the program's message boxes, the
// command line's own messages and the one-line status that they interrupt.
#include "cli/Console.h"

#include "cli/Messages.h"
#include "cli/Terminal.h"
#include "framework/AfxMessageBox.h"

#include <mutex>

namespace
{
// The worker's message boxes and the main thread's status line share the
// stream: one lock keeps their lines whole.
std::mutex g_mutex;
int g_bStatusEnabled = 0;
int g_nStatusShown = 0; // columns of the status line on screen, 0 when none
int g_bHoldSummary = 0;
CString g_strHeldSummary;

void ClearLocked()
{
    if (g_nStatusShown == 0)
        return;
    PrintSJis(stderr, "\r" + CString(' ', g_nStatusShown) + "\r");
    g_nStatusShown = 0;
}

void PrintLocked(const char* pcText)
{
    ClearLocked();
    CString strText(pcText);
    if (strText.IsEmpty() || strText[strText.GetLength() - 1] != '\n')
        strText += "\n";
    PrintSJis(stderr, strText);
}

int PresentMessage(const char* pcText, UINT)
{
    CString strText = TranslateBoxText(pcText);
    std::lock_guard<std::mutex> guard(g_mutex);
    if (g_bHoldSummary && IsSummaryBox(pcText))
        g_strHeldSummary = strText;
    else
        PrintLocked(strText);
    return IDOK;
}
} // namespace

void InstallConsolePresenter()
{
    AfxSetMessagePresenter(PresentMessage);
}

void PrintError(const char* pcText)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    PrintLocked(CString("wavoss-split: ") + pcText);
}

void PrintErrorRaw(const char* pcText, const std::string& strRaw)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    ClearLocked();
    PrintSJis(stderr, CString("wavoss-split: ") + pcText);
    PrintRaw(stderr, strRaw + "\n");
}

void PrintLine(const char* pcText)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    PrintLocked(pcText);
}

void EnableStatusLine(int bEnable)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    g_bStatusEnabled = bEnable && IsTerminal(stderr);
}

void ShowStatusLine(const CString& strLine)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    if (!g_bStatusEnabled)
        return;
    int nPad = g_nStatusShown > strLine.GetLength() ? g_nStatusShown - strLine.GetLength() : 0;
    PrintSJis(stderr, "\r" + strLine + CString(' ', nPad));
    g_nStatusShown = strLine.GetLength() + nPad;
}

void ClearStatusLine()
{
    std::lock_guard<std::mutex> guard(g_mutex);
    ClearLocked();
}

void HoldRunSummary()
{
    std::lock_guard<std::mutex> guard(g_mutex);
    g_bHoldSummary = 1;
}

void PrintHeldSummary()
{
    std::lock_guard<std::mutex> guard(g_mutex);
    g_bHoldSummary = 0;
    if (!g_strHeldSummary.IsEmpty())
        PrintLocked(g_strHeldSummary);
    g_strHeldSummary.Empty();
}
