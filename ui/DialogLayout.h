// A resizable dialog's controls following its size: each control keeps its
// distances to the edges it is tied to, and the dialog is never made smaller
// than the template made it.
#pragma once

#include "platform/Platform.h"

#include <vector>

// How a control follows the dialog's right and bottom edges (0: it stays).
enum LayoutAnchor
{
    kGrowWidth = 1,  // its right edge moves with the dialog's
    kGrowHeight = 2, // its bottom edge moves with the dialog's
    kMoveRight = 4,  // it moves as the dialog's right edge does
    kMoveDown = 8    // it moves as the dialog's bottom edge does
};

class CMyDialogLayout
{
public:
    // Takes the dialog's present size as its smallest and the controls'
    // present places as those of that size.
    void Attach(HWND hDlg);
    // nAnchors: LayoutAnchor bits.
    void Add(int nID, int nAnchors);
    // WM_SIZE: places the controls for the client size.
    void OnSize(int cx, int cy) const;
    // WM_GETMINMAXINFO: the template's size is the smallest.
    void OnGetMinMaxInfo(MINMAXINFO* pInfo) const;

private:
    struct Item
    {
        HWND hWnd;
        int nAnchors;
        RECT rc; // in client co-ordinates at the template's size
    };
    HWND m_hDlg = nullptr;
    SIZE m_sizeClient = {};
    SIZE m_sizeMin = {};
    std::vector<Item> m_items;
};
