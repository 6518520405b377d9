// Owned GDI objects (a brush, a font) and image lists, deleted with their owner.
#pragma once

#include "platform/Platform.h"

#include <commctrl.h>

class CBrush
{
public:
    CBrush() = default;
    ~CBrush() { DeleteObject(); }
    CBrush(const CBrush&) = delete;
    CBrush& operator=(const CBrush&) = delete;

    BOOL CreateSolidBrush(COLORREF crColor)
    {
        DeleteObject();
        m_hBrush = ::CreateSolidBrush(crColor);
        return m_hBrush != nullptr;
    }
    // Deleting twice is harmless.
    void DeleteObject()
    {
        if (m_hBrush != nullptr)
            ::DeleteObject(m_hBrush);
        m_hBrush = nullptr;
    }
    operator HBRUSH() const { return m_hBrush; }

private:
    HBRUSH m_hBrush = nullptr;
};

class CFont
{
public:
    CFont() = default;
    ~CFont() { DeleteObject(); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    // The platform's CreateFontA with the height, the average width and the
    // face; every other attribute 0 (the defaults).
    BOOL CreateFont(int nHeight, int nWidth, const char* pcFace)
    {
        DeleteObject();
        m_hFont = ::CreateFontA(nHeight, nWidth, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, pcFace);
        return m_hFont != nullptr;
    }
    void DeleteObject()
    {
        if (m_hFont != nullptr)
            ::DeleteObject(m_hFont);
        m_hFont = nullptr;
    }
    operator HFONT() const { return m_hFont; }

private:
    HFONT m_hFont = nullptr;
};

class CImageList
{
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
    {
        DeleteImageList();
        m_hImageList = ::ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
        return m_hImageList != nullptr;
    }
    // The icon's index in the list, or -1.
    int Add(HICON hIcon) { return ::ImageList_ReplaceIcon(m_hImageList, -1, hIcon); }
    void DeleteImageList()
    {
        if (m_hImageList != nullptr)
            ::ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
    }
    operator HIMAGELIST() const { return m_hImageList; }

private:
    HIMAGELIST m_hImageList = nullptr;
};
