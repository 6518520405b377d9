// Names between the program's Shift-JIS and the system's bytes on Linux: the
// user-defined area of code page 932 as a table for what Shift-JIS cannot carry.
#include "platform/posix/Win32NameText.h"
#include "platform/posix/Utf8Text.h"
#include "platform/posix/Win32CodePage.h"

#include <cstdint>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace
{
// Code page 932 decodes the area (0xF040 on) to the private-use characters
// U+E000 to U+E757, in the order of the slots below.
const uint32_t kAreaFirstChar = 0xE000;
// A byte that starts no valid UTF-8 sequence is its own key, above Unicode.
const uint32_t kByteKeyBase = 0x110000;

// Slot n of the area: what it was given for (a code point or a byte key), 0
// while free. A slot met as its own character holds that character.
struct NameTable
{
    std::mutex mutex;
    uint32_t aKeys[kNameAreaSize] = {};
    std::unordered_map<uint32_t, uint16_t> slots; // key -> slot
    size_t nNextFree = 0;
};

NameTable& Table()
{
    static NameTable table;
    return table;
}

void AppendSlot(size_t nSlot, std::string* pOut)
{
    size_t nTrail = nSlot % 188;
    *pOut += (char)(0xF0 + nSlot / 188);
    *pOut += (char)(nTrail < 63 ? 0x40 + nTrail : 0x80 + (nTrail - 63));
}

void AppendUtf8(uint32_t cp, std::string* pOut)
{
    unsigned char ab[4];
    pOut->append((const char*)ab, EncodeUtf8(cp, ab));
}

// The key of the character at p: its code point, or for a byte that starts no
// valid UTF-8 sequence (overlong forms and surrogates included) the byte's
// key. Gives the bytes it took.
size_t NextKey(const unsigned char* p, size_t nLeft, uint32_t* pKey)
{
    size_t n = DecodeUtf8(p, nLeft, pKey);
    if (n != 0)
        return n;
    *pKey = kByteKeyBase + p[0];
    return 1;
}

// The character in code page 932 when it holds it and the program may carry
// it as itself: not one that a Windows name cannot hold, which the program
// reads as a separator or a wildcard, or refuses in a file name.
bool AppendPlain(uint32_t cp, std::string* pOut)
{
    if (cp >= 0x10000 || (cp < 0x80 && strchr("\\*?:\"<>|", (int)cp) != nullptr))
        return false;
    WCHAR w = (WCHAR)cp;
    char ac[4];
    BOOL bUsedDefault = FALSE;
    int n = WideCharToMultiByte(CP_ACP, 0, &w, 1, ac, sizeof(ac), nullptr, &bUsedDefault);
    if (n <= 0 || bUsedDefault)
        return false;
    pOut->append(ac, (size_t)n);
    return true;
}

// The slot for the key: the one it was given, its own for a user-defined
// character met first, else the next free one. -1 when the area is full.
int SlotFor(NameTable& t, uint32_t key)
{
    auto it = t.slots.find(key);
    if (it != t.slots.end())
        return it->second;
    size_t nSlot = kNameAreaSize;
    if (key >= kAreaFirstChar && key < kAreaFirstChar + kNameAreaSize &&
        t.aKeys[key - kAreaFirstChar] == 0)
        nSlot = key - kAreaFirstChar;
    else
    {
        while (t.nNextFree < kNameAreaSize && t.aKeys[t.nNextFree] != 0)
            t.nNextFree++;
        nSlot = t.nNextFree;
    }
    if (nSlot == kNameAreaSize)
        return -1;
    t.aKeys[nSlot] = key;
    t.slots.emplace(key, (uint16_t)nSlot);
    return (int)nSlot;
}
} // namespace

int SystemTextToSJis(const char* pcText, size_t nLength, std::string* pstrSJis)
{
    pstrSJis->clear();
    NameTable& t = Table();
    std::lock_guard<std::mutex> guard(t.mutex);
    size_t nGivenBefore = t.slots.size();
    std::vector<uint32_t> given; // this text's new keys, taken back if it fails
    const unsigned char* p = (const unsigned char*)pcText;
    for (size_t i = 0; i < nLength;)
    {
        uint32_t key = 0;
        i += NextKey(p + i, nLength - i, &key);
        // A user-defined character is looked up first: it may have been
        // given away before this one was met.
        bool bArea = key >= kAreaFirstChar && key < kAreaFirstChar + kNameAreaSize;
        if (!bArea && key < kByteKeyBase && AppendPlain(key, pstrSJis))
            continue;
        int nSlot = SlotFor(t, key);
        if (nSlot < 0)
        {
            // A name that cannot be held whole takes nothing from later ones.
            for (uint32_t k : given)
            {
                size_t nFreed = t.slots[k];
                t.aKeys[nFreed] = 0;
                t.slots.erase(k);
                if (nFreed < t.nNextFree)
                    t.nNextFree = nFreed;
            }
            return 0;
        }
        if (t.slots.size() > nGivenBefore + given.size())
            given.push_back(key);
        AppendSlot((size_t)nSlot, pstrSJis);
    }
    return 1;
}

void SJisToSystemText(const char* pcSJis, size_t nLength, int bPath, std::string* pstrText)
{
    pstrText->clear();
    if (nLength == 0)
        return;
    int nWide = MultiByteToWideChar(CP_ACP, 0, pcSJis, (int)nLength, nullptr, 0);
    if (nWide <= 0)
        return;
    std::u16string wide((size_t)nWide, u'\0');
    MultiByteToWideChar(CP_ACP, 0, pcSJis, (int)nLength, &wide[0], nWide);
    NameTable& t = Table();
    std::lock_guard<std::mutex> guard(t.mutex);
    for (char16_t w : wide)
    {
        uint32_t key = w;
        if (w >= kAreaFirstChar && w < kAreaFirstChar + kNameAreaSize &&
            t.aKeys[w - kAreaFirstChar] != 0)
            key = t.aKeys[w - kAreaFirstChar];
        else if (bPath && w == u'\\')
            key = '/';
        if (key >= kByteKeyBase)
            *pstrText += (char)(key - kByteKeyBase);
        else
            AppendUtf8(key, pstrText);
    }
}
