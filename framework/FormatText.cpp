// printf-style formatting shared by CString::Format and the trace writers.
#include "framework/FormatText.h"

#include <cstdint>
#include <cstring>

namespace
{

struct Sink
{
    char* pcOut;
    size_t cbOut;
    size_t nLen;

    void Put(char c)
    {
        if (cbOut != 0 && nLen + 1 < cbOut)
            pcOut[nLen] = c;
        ++nLen;
    }
    void Repeat(char c, int n)
    {
        for (int i = 0; i < n; ++i)
            Put(c);
    }
};

// Writes one converted field: sign/prefix, zero padding, digits, with width.
void PutField(Sink& sink, const char* pcBody, size_t nBody, const char* pcPrefix, int nWidth,
              bool bLeft, bool bZero, int nPrecisionZeros)
{
    size_t nPrefix = strlen(pcPrefix);
    int nPad = nWidth - (int)(nPrefix + nBody) - nPrecisionZeros;
    if (nPad < 0)
        nPad = 0;
    if (!bLeft && !bZero)
        sink.Repeat(' ', nPad);
    for (size_t i = 0; i < nPrefix; ++i)
        sink.Put(pcPrefix[i]);
    if (!bLeft && bZero)
        sink.Repeat('0', nPad);
    sink.Repeat('0', nPrecisionZeros);
    for (size_t i = 0; i < nBody; ++i)
        sink.Put(pcBody[i]);
    if (bLeft)
        sink.Repeat(' ', nPad);
}

size_t Digits(char* pcBuf, uint64_t v, unsigned uBase, bool bUpper)
{
    const char* pcSet = bUpper ? "0123456789ABCDEF" : "0123456789abcdef";
    char acTmp[32];
    size_t n = 0;
    do
    {
        acTmp[n++] = pcSet[v % uBase];
        v /= uBase;
    } while (v != 0);
    for (size_t i = 0; i < n; ++i)
        pcBuf[i] = acTmp[n - 1 - i];
    return n;
}

} // namespace

size_t FormatTextV(char* pcOut, size_t cbOut, const char* pcFmt, va_list args)
{
    Sink sink = {pcOut, cbOut, 0};
    if (pcFmt == nullptr)
        pcFmt = "";
    for (const char* p = pcFmt; *p != '\0'; ++p)
    {
        if (*p != '%')
        {
            sink.Put(*p);
            continue;
        }
        const char* pcStart = p++;
        bool bLeft = false, bZero = false, bAlt = false;
        for (;; ++p)
        {
            if (*p == '-')
                bLeft = true;
            else if (*p == '0')
                bZero = true;
            else if (*p == '#')
                bAlt = true;
            else
                break;
        }
        int nWidth = 0;
        if (*p == '*')
        {
            nWidth = va_arg(args, int);
            if (nWidth < 0)
            {
                bLeft = true;
                nWidth = -nWidth;
            }
            ++p;
        }
        else
        {
            while (*p >= '0' && *p <= '9')
                nWidth = nWidth * 10 + (*p++ - '0');
        }
        int nPrecision = -1;
        if (*p == '.')
        {
            ++p;
            nPrecision = 0;
            if (*p == '*')
            {
                nPrecision = va_arg(args, int);
                ++p;
            }
            else
            {
                while (*p >= '0' && *p <= '9')
                    nPrecision = nPrecision * 10 + (*p++ - '0');
            }
        }
        int nSize = 32; // bits of the integer argument
        if (p[0] == 'I' && p[1] == '6' && p[2] == '4')
        {
            nSize = 64;
            p += 3;
        }
        else if (p[0] == 'I' && p[1] == '3' && p[2] == '2')
            p += 3;
        else if (p[0] == 'l' && p[1] == 'l')
        {
            nSize = 64;
            p += 2;
        }
        else if (*p == 'l' || *p == 'h')
            ++p;

        char acBody[32];
        switch (*p)
        {
        case 'd':
        case 'i':
        {
            int64_t v = nSize == 64 ? va_arg(args, long long) : va_arg(args, int);
            uint64_t uAbs = v < 0 ? 0 - (uint64_t)v : (uint64_t)v;
            size_t n = Digits(acBody, uAbs, 10, false);
            int nZeros = nPrecision > (int)n ? nPrecision - (int)n : 0;
            PutField(sink, acBody, n, v < 0 ? "-" : "", nWidth, bLeft, bZero && nPrecision < 0,
                     nZeros);
            break;
        }
        case 'u':
        case 'x':
        case 'X':
        case 'p':
        {
            uint64_t v;
            if (*p == 'p')
            {
                v = (uint64_t)(uintptr_t)va_arg(args, void*);
                if (nWidth == 0)
                {
                    nWidth = (int)(2 * sizeof(void*));
                    bZero = true;
                }
            }
            else
                v = nSize == 64 ? va_arg(args, unsigned long long) : va_arg(args, unsigned int);
            unsigned uBase = *p == 'u' ? 10 : 16;
            size_t n = Digits(acBody, v, uBase, *p != 'x');
            int nZeros = nPrecision > (int)n ? nPrecision - (int)n : 0;
            const char* pcPrefix = "";
            if (bAlt && uBase == 16 && v != 0)
                pcPrefix = *p == 'x' ? "0x" : "0X";
            PutField(sink, acBody, n, pcPrefix, nWidth, bLeft, bZero && nPrecision < 0, nZeros);
            break;
        }
        case 'c':
        {
            char c = (char)va_arg(args, int);
            PutField(sink, &c, 1, "", nWidth, bLeft, false, 0);
            break;
        }
        case 's':
        {
            const char* pcArg = va_arg(args, const char*);
            if (pcArg == nullptr)
                pcArg = "(null)";
            size_t n = strlen(pcArg);
            if (nPrecision >= 0 && (size_t)nPrecision < n)
                n = (size_t)nPrecision;
            PutField(sink, pcArg, n, "", nWidth, bLeft, false, 0);
            break;
        }
        case '%':
            sink.Put('%');
            break;
        default:
            // Unknown directive: copy it as it stands.
            for (const char* q = pcStart; q <= p && *q != '\0'; ++q)
                sink.Put(*q);
            if (*p == '\0')
                --p;
            break;
        }
    }
    if (cbOut != 0)
        pcOut[sink.nLen < cbOut ? sink.nLen : cbOut - 1] = '\0';
    return sink.nLen;
}

size_t FormatText(char* pcOut, size_t cbOut, const char* pcFmt, ...)
{
    va_list args;
    va_start(args, pcFmt);
    size_t n = FormatTextV(pcOut, cbOut, pcFmt, args);
    va_end(args);
    return n;
}
