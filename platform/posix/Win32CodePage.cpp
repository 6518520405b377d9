// Code page 932 and UTF-8 conversion for the Linux build. The Shift-JIS tables
// are built once from glibc's iconv "CP932" and then used directly, so that
// counts, replacement characters and terminators follow Windows' rules.
#include "platform/posix/Win32CodePage.h"
#include "platform/posix/Utf8Text.h"
#include "platform/posix/Win32System.h"

#include <cstring>
#include <iconv.h>
#include <mutex>
#include <vector>

namespace
{

const WCHAR kDefaultWide = 0x30FB; // what Windows gives for undecodable Shift-JIS

struct Cp932Tables
{
    WCHAR awSingle[256];           // 0 for a lead byte
    std::vector<WCHAR> vPair;      // [lead * 256 + trail], 0 when undecodable
    std::vector<uint16_t> vToSJis; // UTF-16 unit -> Shift-JIS (one or two bytes), 0 if none
};

Cp932Tables* g_pTables = nullptr;
std::once_flag g_tablesOnce;

WCHAR DecodeWithIconv(iconv_t cd, const char* pcIn, size_t nIn)
{
    char acOut[8] = {};
    char* pIn = const_cast<char*>(pcIn);
    char* pOut = acOut;
    size_t nInLeft = nIn, nOutLeft = sizeof(acOut);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &pIn, &nInLeft, &pOut, &nOutLeft) == (size_t)-1 || nInLeft != 0)
        return 0;
    if (sizeof(acOut) - nOutLeft != 2)
        return 0; // beyond the basic plane: not in this code page
    return (WCHAR)((unsigned char)acOut[0] | ((unsigned char)acOut[1] << 8));
}

void BuildTables()
{
    Cp932Tables* p = new Cp932Tables();
    p->vPair.assign(65536, 0);
    p->vToSJis.assign(65536, 0);
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    for (int b = 0; b < 256; ++b)
    {
        if (IsDBCSLeadByte((BYTE)b))
        {
            p->awSingle[b] = 0;
            continue;
        }
        char c = (char)b;
        WCHAR w = b < 0x80 ? (WCHAR)b : (cd != (iconv_t)-1 ? DecodeWithIconv(cd, &c, 1) : 0);
        // Where iconv has nothing, Windows maps 0x80 to U+0080 and 0xA0,
        // 0xFD-0xFF to the private-use characters U+F8F0-U+F8F3.
        if (w == 0 && b != 0)
        {
            if (b == 0x80)
                w = 0x0080;
            else if (b == 0xA0)
                w = 0xF8F0;
            else if (b >= 0xFD)
                w = (WCHAR)(0xF8F1 + (b - 0xFD));
            else
                w = kDefaultWide;
        }
        p->awSingle[b] = w;
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead)
    {
        if (!IsDBCSLeadByte((BYTE)lead) || cd == (iconv_t)-1)
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail)
        {
            if (trail == 0x7F)
                continue;
            char ac[2] = {(char)lead, (char)trail};
            p->vPair[(size_t)(lead * 256 + trail)] = DecodeWithIconv(cd, ac, 2);
        }
    }
    if (cd != (iconv_t)-1)
        iconv_close(cd);
    // The reverse table, written so that the preferred form is written last.
    // Windows prefers single bytes, then the lowest pair, except that the IBM
    // extensions (leads 0xFA-0xFC) win over their NEC-selected duplicates
    // (leads 0xED-0xEE): U+7E8A gives 0xFA5C, not 0xED40.
    static const int aiLeadOrder[][2] = {{0xEE, 0xED}, {0xFC, 0xEF}, {0xEC, 0x81}};
    for (const int* piRange : aiLeadOrder)
        for (int lead = piRange[0]; lead >= piRange[1]; --lead)
            for (int trail = 0xFC; trail >= 0x40; --trail)
            {
                WCHAR w = p->vPair[(size_t)(lead * 256 + trail)];
                if (w != 0)
                    p->vToSJis[w] = (uint16_t)(lead << 8 | trail);
            }
    for (int b = 255; b >= 0; --b)
    {
        WCHAR w = p->awSingle[b];
        if ((w != 0 && w != kDefaultWide) || b == 0)
            p->vToSJis[w] = (uint16_t)b;
    }
    g_pTables = p;
}

const Cp932Tables& Tables()
{
    std::call_once(g_tablesOnce, BuildTables);
    return *g_pTables;
}

bool IsUtf8Page(UINT uCodePage)
{
    return uCodePage == CP_UTF8;
}
bool IsAnsiPage(UINT uCodePage)
{
    return uCodePage == CP_ACP || uCodePage == CP_OEMCP || uCodePage == CP_THREAD_ACP ||
           uCodePage == 932;
}

// Decodes the next character of the input into UTF-16 (one or two units).
// Returns the bytes consumed; nOut receives the units; bBad marks a byte that
// could not be decoded.
size_t DecodeOne(UINT uCodePage, const unsigned char* p, size_t nLeft, WCHAR* pwOut, int& nOut,
                 bool& bBad)
{
    bBad = false;
    nOut = 1;
    if (IsAnsiPage(uCodePage))
    {
        const Cp932Tables& t = Tables();
        if (!IsDBCSLeadByte(p[0]))
        {
            pwOut[0] = t.awSingle[p[0]];
            bBad = pwOut[0] == kDefaultWide && p[0] != 0;
            return 1;
        }
        WCHAR w = nLeft >= 2 ? t.vPair[(size_t)(p[0] * 256 + p[1])] : 0;
        if (w != 0)
        {
            pwOut[0] = w;
            return 2;
        }
        pwOut[0] = kDefaultWide;
        bBad = true;
        // An undecodable pair is one character when its second byte is a
        // trail byte; otherwise only the lead byte goes, so a following '\'
        // or '"' survives. (Wine 8 swallows 0x01-0x3F, 0x7F and 0xFD-0xFF too;
        // valid text converts the same either way.)
        bool bTrail = nLeft >= 2 && p[1] >= 0x40 && p[1] <= 0xFC && p[1] != 0x7F;
        return bTrail ? 2 : 1;
    }
    uint32_t cp = 0;
    size_t nTaken = DecodeUtf8(p, nLeft, &cp);
    if (nTaken == 0)
    {
        pwOut[0] = 0xFFFD;
        bBad = true;
        return 1;
    }
    if (cp >= 0x10000)
    {
        cp -= 0x10000;
        pwOut[0] = (WCHAR)(0xD800 + (cp >> 10));
        pwOut[1] = (WCHAR)(0xDC00 + (cp & 0x3FF));
        nOut = 2;
    }
    else
        pwOut[0] = (WCHAR)cp;
    return nTaken;
}

} // namespace

UINT GetACP()
{
    return 932;
}

BOOL IsDBCSLeadByte(BYTE c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

int MultiByteToWideChar(UINT uCodePage, DWORD dwFlags, LPCSTR lpMultiByte, int cbMultiByte,
                        LPWSTR lpWide, int cchWide)
{
    if (lpMultiByte == nullptr || cbMultiByte == 0 || cchWide < 0 ||
        (!IsAnsiPage(uCodePage) && !IsUtf8Page(uCodePage)))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t nIn = cbMultiByte < 0 ? strlen(lpMultiByte) + 1 : (size_t)cbMultiByte;
    const unsigned char* p = (const unsigned char*)lpMultiByte;
    int nUnits = 0;
    for (size_t i = 0; i < nIn;)
    {
        WCHAR aw[2];
        int nOut = 0;
        bool bBad = false;
        i += DecodeOne(uCodePage, p + i, nIn - i, aw, nOut, bBad);
        if (bBad && (dwFlags & MB_ERR_INVALID_CHARS) != 0)
        {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
        if (cchWide != 0)
        {
            if (nUnits + nOut > cchWide)
            {
                SetLastError(ERROR_INSUFFICIENT_BUFFER);
                return 0;
            }
            for (int k = 0; k < nOut; ++k)
                lpWide[nUnits + k] = aw[k];
        }
        nUnits += nOut;
    }
    return nUnits;
}

int WideCharToMultiByte(UINT uCodePage, DWORD /*dwFlags*/, LPCWSTR lpWide, int cchWide,
                        LPSTR lpMultiByte, int cbMultiByte, LPCSTR lpDefaultChar,
                        LPBOOL lpUsedDefaultChar)
{
    if (lpWide == nullptr || cchWide == 0 || cbMultiByte < 0 ||
        (!IsAnsiPage(uCodePage) && !IsUtf8Page(uCodePage)) ||
        (IsUtf8Page(uCodePage) && (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr)))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t nIn = 0;
    if (cchWide < 0)
    {
        while (lpWide[nIn] != 0)
            ++nIn;
        ++nIn;
    }
    else
        nIn = (size_t)cchWide;
    if (lpUsedDefaultChar != nullptr)
        *lpUsedDefaultChar = FALSE;
    int nBytes = 0;
    for (size_t i = 0; i < nIn; ++i)
    {
        unsigned char ab[4];
        int n = 0;
        uint32_t w = lpWide[i];
        if (IsUtf8Page(uCodePage))
        {
            uint32_t cp = w;
            if (w >= 0xD800 && w <= 0xDBFF && i + 1 < nIn && lpWide[i + 1] >= 0xDC00 &&
                lpWide[i + 1] <= 0xDFFF)
            {
                cp = 0x10000 + ((w - 0xD800) << 10) + (lpWide[i + 1] - 0xDC00);
                ++i;
            }
            else if (w >= 0xD800 && w <= 0xDFFF)
                cp = 0xFFFD;
            n = (int)EncodeUtf8(cp, ab);
        }
        else
        {
            uint16_t s = Tables().vToSJis[w];
            if (s == 0 && w != 0)
            {
                const char* pcDef = lpDefaultChar != nullptr ? lpDefaultChar : "?";
                ab[n++] = (unsigned char)pcDef[0];
                if (lpUsedDefaultChar != nullptr)
                    *lpUsedDefaultChar = TRUE;
            }
            else if (s > 0xFF)
            {
                ab[n++] = (unsigned char)(s >> 8);
                ab[n++] = (unsigned char)(s & 0xFF);
            }
            else
                ab[n++] = (unsigned char)s;
        }
        if (cbMultiByte != 0)
        {
            if (nBytes + n > cbMultiByte)
            {
                SetLastError(ERROR_INSUFFICIENT_BUFFER);
                return 0;
            }
            for (int k = 0; k < n; ++k)
                lpMultiByte[nBytes + k] = (char)ab[k];
        }
        nBytes += n;
    }
    return nBytes;
}

std::u16string WidenText(LPCSTR pcText, UINT uCodePage)
{
    int n = MultiByteToWideChar(uCodePage, 0, pcText, -1, nullptr, 0);
    if (n <= 0)
        return std::u16string();
    std::u16string w((size_t)n, u'\0');
    MultiByteToWideChar(uCodePage, 0, pcText, -1, &w[0], n);
    w.resize((size_t)n - 1);
    return w;
}
