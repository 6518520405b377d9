// A guard of the command line: pieces written into a folder that also holds
// sources must not land on a collected file ("a.wav" and "a_001.wav" side by
// side, with the output folder set to their own folder).
#include "cli/PieceClash.h"

#include "cli/Console.h"
#include "cli/FullPath.h"
#include "engine/BatchRun.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace
{
// Windows file names ignore letter case, and '\' and '/' both separate:
// compare upper-cased with one separator.
std::string MakeKey(const CString& strPath)
{
    CString strKey(strPath);
    strKey.MakeUpper();
    std::string key(strKey.GetString());
    for (char& c : key)
        c = c == '/' ? '\\' : c; // '/' is never the second byte of a character
    return key;
}

// The base path a piece "<base>_<number>.wav" belongs to; empty when the
// path does not look like a piece.
std::string PieceBaseOf(const std::string& key)
{
    size_t n = key.size();
    if (n < 9 || key.compare(n - 4, 4, ".WAV") != 0)
        return std::string();
    size_t i = n - 4;
    size_t nDigits = 0;
    while (i > 0 && key[i - 1] >= '0' && key[i - 1] <= '9')
    {
        i--;
        nDigits++;
    }
    if (nDigits < 3 || i == 0 || key[i - 1] != '_')
        return std::string();
    return key.substr(0, i - 1);
}
} // namespace

DWORD DropPieceClashes(CMyPathList* pList, const CString& strOutputFolder)
{
    CMyRunState state;
    state.m_pPathList = pList;
    state.m_strOutputFolder = strOutputFolder;
    CMyBatchRun batch(&state, nullptr);
    std::unordered_map<std::string, DWORD> bases;
    for (DWORD i = 0; i < pList->GetCount(); i++)
    {
        CString strBase;
        if (batch.MakeOutputBasePath(&strBase, pList->GetAt(i)))
            bases.emplace(MakeKey(strBase), i);
    }
    std::vector<CString> dropped;
    std::vector<char> seen(pList->GetCount(), 0);
    for (DWORD j = 0; j < pList->GetCount(); j++)
    {
        std::string base = PieceBaseOf(MakeKey(pList->GetAt(j).FilePath));
        auto it = base.empty() ? bases.end() : bases.find(base);
        if (it == bases.end() || it->second == j || seen[it->second])
            continue;
        seen[it->second] = 1;
        const CMyPathRecord& record = pList->GetAt(it->second);
        PrintError("its pieces would overwrite the collected file " +
                   MakeShownPath(pList->GetAt(j).FilePath) +
                   ", not split: " + MakeShownPath(record.FilePath));
        dropped.push_back(record.FilePath);
    }
    for (const CString& strPath : dropped)
        pList->RemovePath(strPath);
    return (DWORD)dropped.size();
}
