// Names the window leaves out because the code page (932) cannot hold them,
// and the message box that says how many and which.
#pragma once

#include "platform/Platform.h"

#include <string>
#include <vector>

class CMyLeftOutNames
{
public:
    // pcFolder (Shift-JIS) may be null: the name is then listed alone.
    void Add(const char* pcFolder, const WCHAR* pwcName);
    void Clear() { m_names.clear(); }
    DWORD GetCount() const { return (DWORD)m_names.size(); }

    // The head line (its "%u" becomes the count), then the names, the first
    // kShownNames of them one per line, in a box over hOwner captioned as the
    // framework's boxes are. Nothing when no name was left out.
    void Show(HWND hOwner, const WCHAR* pwcHead) const;

    static const DWORD kShownNames = 20;

private:
    std::wstring MakeText(const WCHAR* pwcHead) const;

    std::vector<std::wstring> m_names;
};
