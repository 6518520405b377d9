// Arbitrary bytes as a Shift-JIS path: the folder and file-name cuts never
// split a two-byte character, never leave a separator in the name, agree with
// the file object's own cut, and put the path back together when the text
// converts cleanly.
#include "engine/LockedFile.h"
#include "framework/AfxMessageBox.h"
#include "support/PathText.h"
#include "support/SJisConv.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// A broken invariant stops the run with the check that failed.
#define Check(cond)                                                                                \
    ((cond) ? (void)0                                                                              \
            : (fprintf(stderr, "check failed at line %d: %s\n", __LINE__, #cond), abort()))

namespace
{

int SilentPresenter(const char*, UINT)
{
    return IDOK;
}

// Whether the bytes go to wide and back unchanged (no replacement).
bool IsClean(const std::string& text)
{
    if (text.empty())
        return true;
    DWORD dwWide = 0;
    WCHAR* pwc = ConvSJisToWideChar(text.c_str(), (DWORD)text.size(), &dwWide);
    if (pwc == nullptr)
        return false;
    DWORD dwBack = 0;
    char* pc = ConvWideCharToSJis(pwc, dwWide, &dwBack);
    bool bClean = pc != nullptr && std::string(pc, dwBack) == text;
    free(pc);
    free(pwc);
    return bClean;
}

// Index of the last '\' or '/' that is a character of its own, or -1.
int LastSeparator(const std::string& text)
{
    int iFound = -1;
    for (size_t i = 0; i < text.size();)
    {
        unsigned char c = (unsigned char)text[i];
        if (c == '\\' || c == '/')
            iFound = (int)i;
        bool bLead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        i += bLead && i + 1 < text.size() ? 2 : 1;
    }
    return iFound;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    AfxSetMessagePresenter(SilentPresenter);
    std::string path((const char*)data, strnlen((const char*)data, size));
    CString strName = GetFileNameFromPath(path.c_str());
    CString strFolder = GetFolderFromPath(path.c_str());
    std::string name = (const char*)strName, folder = (const char*)strFolder;
    Check(name.size() <= path.size() * 2 && folder.size() <= path.size() * 2);
    if (!IsClean(path))
        return 0;
    int iSep = LastSeparator(path);
    if (iSep < 0)
    {
        Check(name == path && folder == path);
        return 0;
    }
    Check(name == path.substr(iSep + 1));
    Check(LastSeparator(name) < 0);
    Check(folder == (iSep == 0 ? path : path.substr(0, iSep)));

    // The file object cuts the same way.
    CMyLockedFile file;
    if (file.SetFilePath(path.c_str()))
    {
        Check(std::string((const char*)file.GetFileName()) == name);
        Check(std::string((const char*)file.GetFolder()) == folder);
    }
    return 0;
}
