// -n: the pieces of a plan that are on disk already.
#include "engine/ExistingPieces.h"

#include "engine/ByteBuff.h"
#include "engine/ChannelFiles.h"
#include "engine/PieceHeader.h"
#include "engine/PieceShape.h"
#include "engine/SourcePlan.h"
#include "support/FileSystem.h"

#include <cstring>
#include <string>

namespace
{
enum OnDisk
{
    kAbsent,
    kWhole,
    kShort,
    kUnlike
};

// 1 when the file starts with exactly these bytes.
int StartsWith(const char* pcPath, const BYTE* pbHead, DWORD dwLength)
{
    HANDLE hFile = CreateFileA(pcPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return 0;
    std::string strHave(dwLength, '\0');
    DWORD dwHave = 0;
    while (dwHave < dwLength)
    {
        DWORD dwGot = 0;
        if (!WvReadFile(hFile, &strHave[dwHave], dwLength - dwHave, &dwGot) || dwGot == 0)
            break;
        dwHave += dwGot;
    }
    CloseHandle(hFile);
    return dwHave == dwLength && memcmp(strHave.data(), pbHead, dwLength) == 0;
}

// The piece's size against the plan's; kWhole only says that it matches.
OnDisk LookAtPiece(const char* pcPath, ULONGLONG qwPlanned)
{
    WIN32_FIND_DATAA entry;
    if (!GetFindData(&entry, pcPath))
        return kAbsent;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return kUnlike;
    ULONGLONG qwSize = MakeUInt64(entry.nFileSizeLow, entry.nFileSizeHigh);
    return qwSize == qwPlanned ? kWhole : qwSize < qwPlanned ? kShort : kUnlike;
}
} // namespace

ExistingPieces FindExistingPieces(const CString& strFolderSep, const CMyWaveHeader& header,
                                  const CMySourcePlan& sourcePlan, int bCarryMarkers,
                                  std::vector<char>* pKept, DWORD* pdwKept, CString* pstrUnlike)
{
    const CMyPlan& plan = sourcePlan.Plan;
    const size_t nPieces = plan.Pieces.size();
    pKept->assign(nPieces, 0);
    *pdwKept = 0;
    pstrUnlike->Empty();
    CMyCarriedMarkers carried(sourcePlan, bCarryMarkers);
    const CMyOutputHeaders headers(header, plan);
    CMyByteBuff head;
    DWORD dwExisting = 0;
    size_t iLast = 0;        // the last piece on disk
    size_t iShort = nPieces; // the piece cut short, if any
    for (size_t i = 0; i < nPieces; ++i)
    {
        const CMyPlanPiece& planned = plan.Pieces[i];
        const ULONGLONG qwBytes = plan.GetPieceBytes(i);
        const CString strPath = strFolderSep + planned.strName;
        const CMyWaveHeader& fileHeader = headers.Of(planned);
        const CMyPieceShape shape = ShapePiece(fileHeader, qwBytes, planned.qwStart,
                                               carried.Of(planned), sourcePlan.bAlignBlocks);
        OnDisk state = LookAtPiece(strPath, shape.dwHeadLength + qwBytes);
        if (state == kAbsent)
            continue;
        // Its size is the plan's: so must its header be, byte for byte.
        if (state == kWhole &&
            (BuildPieceHeaderWith(fileHeader, qwBytes, planned.qwStart, (DWORD)i + 1, shape.bRf64,
                                  shape.strMarkers, &head, shape.dwJunk) != shape.dwHeadLength ||
             !StartsWith(strPath, head.GetBuff(), shape.dwHeadLength)))
            state = kUnlike;
        ++dwExisting;
        iLast = i;
        if (state == kWhole)
        {
            (*pKept)[i] = 1;
            ++*pdwKept;
            continue;
        }
        // A split cuts short at most one piece, the last it wrote.
        if (state == kUnlike || iShort != nPieces)
        {
            if (pstrUnlike->IsEmpty())
                *pstrUnlike = strPath;
            continue;
        }
        iShort = i;
    }
    if (iShort != nPieces && iShort != iLast && pstrUnlike->IsEmpty())
        *pstrUnlike = strFolderSep + plan.Pieces[iShort].strName;
    if (!pstrUnlike->IsEmpty())
        return kExistingUnlike;
    if (dwExisting == 0)
        return kExistingNone;
    return *pdwKept == nPieces ? kExistingAll : kExistingPart;
}
