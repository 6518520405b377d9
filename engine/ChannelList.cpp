// Which channels go to which file.
#include "engine/ChannelList.h"

#include <cstring>

namespace
{
// No source has more channels than a WORD counts.
const DWORD kMaxChannel = 0xFFFF;

// A channel number from 1 at *ppc, moved past it; 0 when there is none.
DWORD TakeNumber(const char** ppc)
{
    const char* pc = *ppc;
    DWORD dwValue = 0;
    size_t n = 0;
    for (; pc[n] >= '0' && pc[n] <= '9'; ++n)
    {
        dwValue = dwValue * 10 + (DWORD)(pc[n] - '0');
        if (dwValue > kMaxChannel)
            return 0;
    }
    *ppc = pc + n;
    return n != 0 ? dwValue : 0;
}
} // namespace

int ParseChannelList(const char* pcList, CMyChannelRequest* pOut)
{
    *pOut = CMyChannelRequest();
    if (pcList == nullptr || pcList[0] == '\0')
        return 0;
    if (strcmp(pcList, "each") == 0)
    {
        pOut->bEach = 1;
        return 1;
    }
    const char* pc = pcList;
    for (;;)
    {
        DWORD dwFirst = TakeNumber(&pc);
        DWORD dwLast = dwFirst;
        if (dwFirst != 0 && *pc == '-')
        {
            ++pc;
            dwLast = TakeNumber(&pc);
        }
        if (dwFirst == 0 || dwLast == 0)
            break;
        CMyChannelGroup group;
        const int iStep = dwLast >= dwFirst ? 1 : -1;
        for (DWORD dw = dwFirst;; dw += iStep)
        {
            group.push_back((WORD)dw);
            if (dw == dwLast)
                break;
        }
        pOut->Groups.push_back(group);
        if (*pc == '\0')
            return 1;
        if (*pc != ',')
            break;
        ++pc;
    }
    *pOut = CMyChannelRequest();
    return 0;
}

int ResolveChannelGroups(const CMyChannelRequest& request, WORD wChannels,
                         std::vector<CMyChannelGroup>* pGroups, DWORD* pdwMissing)
{
    pGroups->clear();
    if (request.bEach)
    {
        for (WORD w = 0; w < wChannels; ++w)
            pGroups->push_back(CMyChannelGroup(1, w));
        return 1;
    }
    for (const CMyChannelGroup& typed : request.Groups)
    {
        CMyChannelGroup group;
        for (WORD wChannel : typed)
        {
            if (wChannel == 0 || wChannel > wChannels)
            {
                *pdwMissing = wChannel;
                pGroups->clear();
                return 0;
            }
            group.push_back((WORD)(wChannel - 1));
        }
        pGroups->push_back(group);
    }
    return 1;
}

CString MakeChannelName(const CMyChannelGroup& group, const std::vector<CString>& names)
{
    CString strJoined;
    int bNamed = !group.empty();
    for (size_t i = 0; bNamed && i < group.size(); ++i)
    {
        bNamed = group[i] < names.size() && !names[group[i]].IsEmpty();
        if (bNamed)
            strJoined += (i != 0 ? "+" : "") + names[group[i]];
    }
    if (bNamed)
        return strJoined;
    CString strNumbers;
    if (group.size() == 1)
        strNumbers.Format("ch%u", (UINT)group[0] + 1);
    else if (!group.empty())
        strNumbers.Format("ch%u-%u", (UINT)group.front() + 1, (UINT)group.back() + 1);
    return strNumbers;
}
