// The window calls that need more than one message.
#include "framework/win/CWnd.h"

void CWnd::GetWindowText(CString& strText) const
{
    int nLength = ::GetWindowTextLengthA(m_hWnd);
    char* pcBuff = strText.GetBuffer(nLength);
    pcBuff[0] = '\0';
    ::GetWindowTextA(m_hWnd, pcBuff, nLength + 1);
    strText.ReleaseBuffer(-1);
}
