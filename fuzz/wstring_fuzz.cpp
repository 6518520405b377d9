// CMyWString driven by arbitrary bytes: the input picks a sequence of
// operations, their texts (often the string's own buffer), indexes, counts
// and which allocation fails. After every operation the string must hold a
// terminated text shorter than its capacity; where the result is plain (no
// failed allocation, no refusal) it must equal a simple model's.
#include "framework/AfxMessageBox.h"
#include "support/MyWString.h"
#include "support/TextAlloc.h"
#include "support/WideChar.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// A broken invariant stops the run with the check that failed.
#define Check(cond)                                                                                \
    ((cond) ? (void)0                                                                              \
            : (fprintf(stderr, "check failed at line %d: %s\n", __LINE__, #cond), abort()))

namespace
{
typedef std::u16string Text;

// Characters that make searches and path rules meet: separators, dots,
// colons, letters in both cases, kana, full-width letters, a surrogate.
const WCHAR kAlphabet[] = {'a',    'b',    'A',    'B',    '.',    ':',    '\\',   '/',
                           ' ',    '\n',   '*',    '"',    'w',    'v',    0x3042, 0x30A2,
                           0xFF21, 0xFF41, 0x4E00, 0xD83D, 0xDE00, 0x00C0, 0x00E0, 'z'};

int g_nAllocCountdown = 0; // fail the allocation when it reaches 0 from 1
bool g_bAllocFailed = false;

void* FuzzAlloc(size_t nBytes)
{
    if (g_nAllocCountdown > 0 && --g_nAllocCountdown == 0)
    {
        g_bAllocFailed = true;
        return nullptr;
    }
    return malloc(nBytes);
}

int SilentPresenter(const char*, UINT)
{
    return IDOK;
}

Text TakeText(FuzzedDataProvider& in)
{
    size_t n = in.ConsumeIntegralInRange<size_t>(0, 24);
    Text t;
    for (size_t i = 0; i < n && in.remaining_bytes() > 0; ++i)
    {
        uint8_t b = in.ConsumeIntegral<uint8_t>();
        if (b < 200)
            t += (char16_t)kAlphabet[b % (sizeof(kAlphabet) / sizeof(kAlphabet[0]))];
        else if (in.remaining_bytes() >= 2)
            t += (char16_t)(in.ConsumeIntegral<uint16_t>() | 1); // never the terminator
    }
    return t;
}

// Indexes and counts: mostly near the length, sometimes the values with a meaning of their own.
DWORD TakeIndex(FuzzedDataProvider& in, DWORD dwLen)
{
    uint8_t b = in.ConsumeIntegral<uint8_t>();
    switch (b % 8)
    {
    case 0:
        return 0;
    case 1:
        return 0xFFFFFFFF;
    case 2:
        return dwLen;
    case 3:
        return 0x7FFFFFFF;
    default:
        return (DWORD)(b / 8) % (dwLen + 3);
    }
}

Text Current(const CMyWString& s)
{
    return Text((const char16_t*)s.GetString(), s.GetLength());
}

// What holds after every operation, whatever it did.
void CheckShape(const CMyWString& s)
{
    const WCHAR* pwc = s.GetString();
    Check(pwc != nullptr);
    if (s.GetBuffSize() == 0)
    {
        Check(s.GetLength() == 0);
        return;
    }
    Check(s.GetLength() < s.GetBuffSize());
    Check(pwc[s.GetLength()] == 0);
    Check(WideStrLen(pwc) == s.GetLength()); // no zero inside the text
}

size_t FindModel(const Text& model, DWORD dwStart, const Text& pat)
{
    if (dwStart >= model.size() || pat.empty() || pat.size() > model.size() - dwStart)
        return (size_t)-1;
    size_t i = model.find(pat, dwStart);
    return i == Text::npos ? (size_t)-1 : i;
}

bool InSet(char16_t c, const Text& set)
{
    return set.find(c) != Text::npos && c != 0;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    AfxSetMessagePresenter(SilentPresenter);
    SetTextAllocator(FuzzAlloc);
    FuzzedDataProvider in(data, size);
    g_nAllocCountdown = in.ConsumeIntegralInRange<int>(0, 40);
    g_bAllocFailed = false;

    CMyWString s;
    Text model;
    int nOps = 0;
    while (in.remaining_bytes() > 0 && ++nOps < 200)
    {
        // Texts here are paths and names. Self-appends and replacements can
        // double the text at every step; past this size the run would only
        // measure copying, so the text starts again from empty.
        if (s.GetLength() > 65536)
        {
            s.Empty();
            model.clear();
        }
        uint8_t op = in.ConsumeIntegral<uint8_t>();
        bool bSelf = (op & 0x80) != 0 && s.GetLength() > 0;
        Text t = TakeText(in);
        DWORD dwLen = s.GetLength();
        DWORD a = TakeIndex(in, dwLen), b = TakeIndex(in, dwLen);
        // The string's own text as the argument: the edit must not read what it moves.
        Text selfText = bSelf ? model.substr(a % dwLen) : Text();
        const WCHAR* pwcArg = bSelf ? s.GetString() + a % dwLen : (const WCHAR*)t.c_str();
        const Text& arg = bSelf ? selfText : t;
        int bLf = (op >> 6) & 1;
        bool bPlain = true; // the model knows the result
        g_bAllocFailed = false;
        bool bError = s.IsError() != 0;

        switch (op % 24)
        {
        case 0:
            s = pwcArg;
            model = arg;
            break;
        case 1:
            Check(s.AddStr(pwcArg, bLf) == 1 || g_bAllocFailed);
            if (!arg.empty())
                model += arg + (bLf ? u"\n" : u"");
            break;
        case 2:
        {
            int r = s.AddSector(pwcArg, a, b, bLf);
            if (arg.empty())
                Check(r == 1);
            else if (a >= arg.size())
                Check(r == 0);
            else if (r == 1 && b != 0)
                model += arg.substr(a, b) + (bLf ? u"\n" : u"");
            else
                bPlain = false;
            break;
        }
        case 3:
        {
            int r = s.Insert(a, pwcArg, b);
            DWORD n = (b == 0 || b > arg.size()) ? (DWORD)arg.size() : b;
            if (bError)
                Check(r == 0);
            else if (r == 1)
                model.insert(a < model.size() ? a : model.size(), arg.substr(0, n));
            else
                bPlain = false;
            break;
        }
        case 4:
        {
            int r = s.Replace(a, b, pwcArg, 0);
            if (model.empty())
                bPlain = false;
            else if (a >= model.size())
                Check(r == 0);
            else if (r == 1)
                model.replace(a, b, arg);
            else
                bPlain = false;
            break;
        }
        case 5:
        {
            int r = s.DeleteSector(a, b);
            Check(r == (a < model.size() ? 1 : 0));
            if (r)
                model.erase(a, b);
            break;
        }
        case 6:
        {
            int r = s.TrimToSector(a, b);
            Check(r == (a < model.size() ? 1 : 0));
            if (r)
                model = model.substr(a, b);
            break;
        }
        case 7:
        {
            DWORD n = s.RemoveChars(pwcArg);
            Text kept;
            for (char16_t c : model)
                if (!InSet(c, arg))
                    kept += c;
            Check(n == model.size() - kept.size());
            model = kept;
            break;
        }
        case 8:
            s.Empty();
            if (s.GetBuffSize() > 0)
                Check(s.IsError() == 0);
            model.clear();
            break;
        case 9:
        {
            DWORD n = (a % 4000) + 1;
            if (s.SetBuffSize(n))
            {
                Check(s.GetBuffSize() == n && s.IsError() == 0);
                model = model.substr(0, n - 1);
            }
            else
                Check(g_bAllocFailed);
            break;
        }
        case 10:
        {
            DWORD i = s.Find(a, pwcArg, b % (arg.size() + 2), op & 1);
            DWORD n = b % (arg.size() + 2);
            Text pat = arg.substr(0, n == 0 ? arg.size() : n);
            if (!(op & 1) && n <= arg.size())
                Check(i == (DWORD)FindModel(model, a, pat));
            else if (i != 0xFFFFFFFF)
                Check(i >= a && i < model.size());
            break;
        }
        case 11:
        {
            DWORD i = s.ReverseFindOneOf(a, pwcArg);
            if (model.empty())
                Check(i == 0xFFFFFFFF);
            else
            {
                size_t from = a >= model.size() ? model.size() - 1 : a;
                size_t want = (size_t)-1;
                for (size_t k = from + 1; k-- > 0;)
                    if (InSet(model[k], arg))
                    {
                        want = k;
                        break;
                    }
                Check(i == (DWORD)want);
            }
            break;
        }
        case 12:
        {
            DWORD i = s.FindOneOf(a, pwcArg);
            size_t want = (size_t)-1;
            for (size_t k = a; k < model.size(); ++k)
                if (InSet(model[k], arg))
                {
                    want = k;
                    break;
                }
            Check(i == (DWORD)want);
            break;
        }
        case 13:
        {
            int r = s.ConsistsOf(pwcArg);
            if (arg.empty())
                Check(r == 0);
            else
            {
                bool bAll = true;
                for (char16_t c : model)
                    bAll = bAll && InSet(c, arg);
                Check(r == (bAll ? 1 : 0));
            }
            break;
        }
        case 14:
        {
            int r = s.Compare(pwcArg, 0);
            if (bError)
                Check(r == -1);
            else
                Check((r == 0) == (model == arg));
            break;
        }
        case 15:
        {
            // Narrow round trip: what converts both ways must come back whole.
            CString strNarrow = s.GetSectorData(a, b);
            CMyWString back((const char*)strNarrow);
            CheckShape(back);
            bool bSimple = !g_bAllocFailed && a < model.size();
            for (char16_t c : model)
                bSimple = bSimple && (c < 0x80 || c == 0x3042 || c == 0x30A2 || c == 0xFF21 ||
                                      c == 0xFF41 || c == 0x4E00);
            if (bSimple)
                Check(Current(back) == model.substr(a, b == 0 ? Text::npos : b));
            break;
        }
        case 16:
        {
            CStringArray fields;
            DWORD n = s.Split(&fields, pwcArg);
            Check(n == (DWORD)fields.GetSize());
            bPlain = false;
            break;
        }
        case 17:
            s.ReplaceAll(a % (dwLen + 1), pwcArg, 0, (const WCHAR*)t.c_str(), 0, op & 1);
            bPlain = false;
            break;
        case 18:
            s.TrimToRange(a, b);
            bPlain = false;
            break;
        case 19:
        {
            DWORD n = s.RemovePrefix(pwcArg, 0);
            Check(n == s.GetLength());
            if (!model.empty() && !arg.empty() && model.compare(0, arg.size(), arg) == 0)
                model.erase(0, arg.size());
            break;
        }
        case 20:
        {
            std::string narrow; // arbitrary bytes, as Shift-JIS
            for (char16_t c : arg)
                narrow += (char)(c & 0xFF);
            if (op & 1)
                s.SetData(narrow.c_str(), b);
            else
                s = narrow.c_str();
            bPlain = false;
            break;
        }
        case 21:
        {
            Text before = model;
            int r = (op & 1) ? s.ToFileName(bLf) : s.ToFileTitle(bLf, 4);
            model = Current(s);
            if (r == 1)
            {
                Check(model.find_first_of(u"\\/") == Text::npos && !model.empty());
                Check(before.find(model) != Text::npos);
            }
            else
                Check(model == before);
            break;
        }
        case 22:
        {
            Text before = model;
            int r = s.ToExtension(a % 6);
            model = Current(s);
            if (r == 1)
                Check(!model.empty() && model.size() <= ((a % 6) == 0 ? 4u : a % 6) &&
                      model.find_first_of(u".\\/") == Text::npos && before.size() > model.size() &&
                      before.compare(before.size() - model.size(), model.size(), model) == 0);
            else
                Check(model == before);
            break;
        }
        default:
        {
            char* pc = s.GetSectorDataA(a, b);
            Check(pc != nullptr);
            free(pc);
            s.IsValidPath();
            s.IsValidFileName();
            break;
        }
        }
        CheckShape(s);
        if (bPlain && !g_bAllocFailed)
            Check(Current(s) == model);
        model = Current(s);
    }
    SetTextAllocator(nullptr);
    return 0;
}
