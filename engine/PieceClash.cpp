// Pieces written into a folder that also holds collected files must not land
// on one of them.
#include "engine/PieceClash.h"

#include "sources/PathList.h"

#include <string>
#include <unordered_map>

namespace
{
// Upper case and one separator. '/' is never the second byte of a character.
std::string MakeKey(const CString& strPath)
{
    CString strKey(strPath);
    strKey.MakeUpper();
    std::string key(strKey.GetString());
    for (char& c : key)
        c = c == '/' ? '\\' : c;
    return key;
}

// The base path of a name the split could give ("<base>_%03u.wav" with a
// number from 1 on); empty when the name is no piece name.
std::string PieceBaseOf(const std::string& key)
{
    size_t n = key.size();
    if (n < 9 || key.compare(n - 4, 4, ".WAV") != 0)
        return std::string();
    size_t iEnd = n - 4;
    size_t i = iEnd;
    while (i > 0 && key[i - 1] >= '0' && key[i - 1] <= '9')
        i--;
    size_t nDigits = iEnd - i;
    if (nDigits < 3 || i == 0 || key[i - 1] != '_')
        return std::string();
    if (nDigits > 3 ? key[i] == '0' : key.compare(i, 3, "000") == 0)
        return std::string();
    return key.substr(0, i - 1);
}
} // namespace

void FindPieceClashes(const CMyPathList& list, const std::vector<CString>& basePaths,
                      std::vector<DWORD>* pClashes)
{
    DWORD dwCount = list.GetCount();
    std::unordered_map<std::string, DWORD> pieceOwners; // base path -> collected piece
    for (DWORD j = 0; j < dwCount; j++)
    {
        std::string base = PieceBaseOf(MakeKey(list.GetAt(j).FilePath));
        if (!base.empty())
            pieceOwners.emplace(base, j);
    }
    pClashes->assign(dwCount, 0xFFFFFFFF);
    for (DWORD i = 0; i < dwCount && i < basePaths.size(); i++)
    {
        if (basePaths[i].IsEmpty())
            continue;
        auto it = pieceOwners.find(MakeKey(basePaths[i]));
        if (it != pieceOwners.end())
            (*pClashes)[i] = it->second;
    }
}
