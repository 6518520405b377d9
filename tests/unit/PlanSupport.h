// Helpers of the planner tests: frames read from memory, and the names of a
// plan's pieces.
#pragma once

#include "engine/SplitPlan.h"

#include <string>
#include <utility>
#include <vector>

// Frames from memory, as the planners and the pause search read a file's;
// remembers what was asked of it.
class CMemoryFrames : public CMyFrameReader
{
public:
    CMemoryFrames(std::string strData, DWORD dwBlock)
        : m_strData(std::move(strData)), m_dwBlock(dwBlock)
    {
    }
    // 16-bit samples, wChannels to a frame.
    CMemoryFrames(const std::vector<short>& samples, WORD wChannels)
        : CMemoryFrames(std::string((const char*)samples.data(), samples.size() * sizeof(short)),
                        2u * wChannels)
    {
    }

    const BYTE* ReadFrames(ULONGLONG qwFirst, DWORD dwFrames, DWORD* pdwGot) override
    {
        m_Asked.push_back({qwFirst, qwFirst + dwFrames});
        *pdwGot = dwFrames;
        return (const BYTE*)m_strData.data() + qwFirst * m_dwBlock;
    }

    std::vector<std::pair<ULONGLONG, ULONGLONG>> m_Asked; // [first, end) of each read

private:
    std::string m_strData;
    DWORD m_dwBlock;
};

// The pieces' file names, each followed by a space.
inline std::string PieceNameList(const CMyPlan& plan)
{
    std::string str;
    for (const CMyPlanPiece& piece : plan.Pieces)
        str += std::string(piece.strName) + " ";
    return str;
}
