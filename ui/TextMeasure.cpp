// The widths of many Shift-JIS texts in a window's font.
#include "ui/TextMeasure.h"

#include "framework/MbcsBytes.h"

CMyTextMeasure::CMyTextMeasure(HWND hWnd) : m_hWnd(hWnd), m_hDC(::GetDC(hWnd))
{
    if (m_hDC != nullptr)
        m_hOldFont = ::SelectObject(m_hDC, (HFONT)::SendMessageA(hWnd, WM_GETFONT, 0, 0));
}

CMyTextMeasure::~CMyTextMeasure()
{
    if (m_hDC == nullptr)
        return;
    ::SelectObject(m_hDC, m_hOldFont);
    ::ReleaseDC(m_hWnd, m_hDC);
}

// The text's extent is the sum of its characters' advances: the system's
// extent of a text applies no kerning, neither here nor under Wine.
int CMyTextMeasure::GetWidth(const char* pcText, int nLength)
{
    if (m_hDC == nullptr)
        return 0;
    int nWidth = 0;
    for (int i = 0; i < nLength;)
    {
        const int nNext = MbcsNextIndex(pcText, i);
        nWidth += GetCharWidth(pcText + i, nNext - i);
        i = nNext;
    }
    return nWidth;
}

int CMyTextMeasure::GetCharWidth(const char* pcChar, int nBytes)
{
    unsigned uKey = (unsigned char)pcChar[0];
    if (nBytes == 2)
        uKey = uKey << 8 | (unsigned char)pcChar[1];
    auto it = m_widths.find(uKey);
    if (it != m_widths.end())
        return it->second;
    SIZE size = {};
    ::GetTextExtentPoint32A(m_hDC, pcChar, nBytes, &size);
    m_widths.emplace(uKey, (int)size.cx);
    return (int)size.cx;
}
