// The widths of many Shift-JIS texts in a window's font, summed from each
// character's advance: asking the system for every text of a long list takes
// seconds, a table of the characters met takes next to nothing.
#pragma once

#include "platform/Platform.h"

#include <unordered_map>

class CMyTextMeasure
{
public:
    // Measures in hWnd's font (WM_GETFONT).
    explicit CMyTextMeasure(HWND hWnd);
    ~CMyTextMeasure();
    CMyTextMeasure(const CMyTextMeasure&) = delete;
    CMyTextMeasure& operator=(const CMyTextMeasure&) = delete;

    // Pixels; 0 when the window gave no device context.
    int GetWidth(const char* pcText, int nLength);

private:
    int GetCharWidth(const char* pcChar, int nBytes);

    HWND m_hWnd;
    HDC m_hDC;
    HGDIOBJ m_hOldFont = nullptr;
    std::unordered_map<unsigned, int> m_widths; // by the character's bytes
};
