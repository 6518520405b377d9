// Owned GDI objects: a brush, deleted with its owner.
#pragma once

#include "platform/Platform.h"

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
