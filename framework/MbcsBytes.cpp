// Case handling of Shift-JIS text: only single-byte ASCII letters change.
#include "framework/MbcsBytes.h"

namespace
{
unsigned char Fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? (unsigned char)(c - 32) : c; }
} // namespace

int MbcsCompareNoCase(const char* a, const char* b)
{
    int i = 0;
    for (;;)
    {
        unsigned char ca = (unsigned char)a[i], cb = (unsigned char)b[i];
        bool bLead = MbcsIsLead(ca) && MbcsIsLead(cb) && ca == cb && a[i + 1] != '\0';
        if (bLead)
        {
            // Both are the same lead byte: the trail bytes compare exactly.
            unsigned char ta = (unsigned char)a[i + 1], tb = (unsigned char)b[i + 1];
            if (ta != tb)
                return ta < tb ? -1 : 1;
            i += 2;
            continue;
        }
        unsigned char fa = Fold(ca), fb = Fold(cb);
        if (fa != fb)
            return fa < fb ? -1 : 1;
        if (ca == 0)
            return 0;
        ++i;
    }
}

void MbcsChangeCase(char* pcText, int nLength, bool bUpper)
{
    for (int i = 0; i < nLength; ++i)
    {
        unsigned char c = (unsigned char)pcText[i];
        if (MbcsIsLead(c) && i + 1 < nLength)
        {
            ++i;
            continue;
        }
        if (bUpper && c >= 'a' && c <= 'z')
            pcText[i] = (char)(c - 32);
        else if (!bUpper && c >= 'A' && c <= 'Z')
            pcText[i] = (char)(c + 32);
    }
}
