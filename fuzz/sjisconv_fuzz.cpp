// Arbitrary bytes through the Shift-JIS and wide conversions, with buffer
// sizes chosen by the input: every destination stays inside its size and is
// terminated, every out-count matches what was written, and text that goes
// to wide and back without a replacement comes back byte for byte.
#include "framework/AfxMessageBox.h"
#include "support/SJisConv.h"
#include "support/WideChar.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    AfxSetMessagePresenter(SilentPresenter);
    FuzzedDataProvider in(data, size);
    DWORD dwDestSize = in.ConsumeIntegralInRange<DWORD>(0, 64);
    DWORD dwLenArg = in.ConsumeIntegralInRange<DWORD>(0, 80);
    DWORD dwOffset = in.ConsumeIntegralInRange<DWORD>(0, 80);
    std::string text = in.ConsumeRemainingBytesAsString();
    const char* pcText = text.c_str(); // terminated; may hold zeros inside
    DWORD dwTextLen = (DWORD)strlen(pcText);

    // Into a caller's buffer of exactly dwDestSize characters (none when 0).
    WCHAR* pwcDest = dwDestSize ? (WCHAR*)malloc(dwDestSize * sizeof(WCHAR)) : nullptr;
    DWORD dwGot = 12345;
    int r = ConvSJisToWideCharGetLen(pwcDest, pcText, dwDestSize, dwLenArg, &dwGot);
    if (r == 1)
        Check(dwGot < dwDestSize && pwcDest[dwGot] == 0);
    else
        Check(dwGot == 0 && (pwcDest == nullptr || pwcDest[0] == 0));
    free(pwcDest);

    // Allocating forms: the out-count is the result's length.
    DWORD dwWide = 12345;
    // The allocating forms trust a given length: it must not pass the bytes.
    DWORD dwNarrowLen = dwLenArg <= text.size() ? dwLenArg : (DWORD)text.size();
    WCHAR* pwcWide = ConvSJisToWideChar(pcText, dwNarrowLen, &dwWide);
    if (pwcWide != nullptr)
    {
        Check(dwWide > 0 && pwcWide[dwWide] == 0);
        DWORD dwNarrow = 12345;
        char* pcBack = ConvWideCharToSJis(pwcWide, dwWide, &dwNarrow);
        if (pcBack != nullptr)
        {
            Check(dwNarrow > 0 && pcBack[dwNarrow] == '\0');
            // Without embedded zeros and replacement marks, going back to
            // wide gives the same characters (duplicate codes of code page
            // 932 may come back as their preferred bytes).
            bool bClean = WideStrLen(pwcWide) == dwWide;
            for (DWORD i = 0; i < dwWide; ++i)
                bClean = bClean && pwcWide[i] != 0x30FB && pwcWide[i] != '?';
            if (bClean)
            {
                // (ConvSJisToWideChar would refuse a text whose last trail
                // byte looks like a lead byte, as 0xFB 0x9A does.)
                std::vector<WCHAR> again(dwNarrow + 1, 0);
                DWORD dwAgain = 0;
                Check(ConvSJisToWideCharGetLen(again.data(), pcBack, dwNarrow + 1, dwNarrow,
                                               &dwAgain));
                Check(dwAgain == dwWide &&
                      memcmp(again.data(), pwcWide, dwWide * sizeof(WCHAR)) == 0);
            }
            free(pcBack);
        }
        free(pwcWide);
    }
    else
        Check(dwWide == 0);

    // The whole text into a buffer of byte length + 1, the size callers give.
    WCHAR* pwcBuff = (WCHAR*)malloc((dwTextLen + 1) * sizeof(WCHAR));
    r = ConvSJisToWideCharBuff(pwcBuff, pcText);
    Check(r == 1 ? pwcBuff[CountSJisWideChars(pcText, dwTextLen)] == 0 : pwcBuff[0] == 0);
    free(pwcBuff);

    WCHAR* pwcNew = ConvSJisToNewWideChar(pcText);
    Check(dwTextLen > 0 || pwcNew == nullptr);
    if (pwcNew != nullptr)
        Check(WideStrLen(pwcNew) <= dwTextLen);
    free(pwcNew);

    DWORD dwCount = CountSJisWideChars(pcText, dwTextLen);
    Check(dwCount <= dwTextLen);
    DWORD dwSector = CountSJisSectorWideChars(pcText, dwOffset, dwLenArg);
    Check(dwOffset >= dwTextLen ? dwSector == 0 : dwSector <= dwTextLen - dwOffset);

    // Wide to narrow from raw 16-bit units (surrogates, unmapped characters).
    std::vector<WCHAR> units(text.size() / 2 + 1, 0);
    memcpy(units.data(), text.data(), text.size() / 2 * 2);
    DWORD dwOut = 12345;
    DWORD dwUnits = (DWORD)(text.size() / 2);
    char* pcOut =
        ConvWideCharToSJis(units.data(), dwLenArg <= dwUnits ? dwLenArg : dwUnits, &dwOut);
    if (pcOut != nullptr)
        Check(pcOut[dwOut] == '\0' && dwOut > 0);
    else
        Check(dwOut == 0);
    free(pcOut);
    return 0;
}
