// Trees of sources for the runs of wavoss-split, and checks of its output.
#pragma once

#include "RunProgram.h"

#include "TestSupport.h"
#include "cli/Messages.h"
#include "WaveBuilder.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <string>
#include <vector>

// 8000 Hz mono 16-bit: one second is 16000 bytes.
const WaveFormat kFormat = MakePcmFormat(1, 16, 8000);

inline std::string MakeWave(uint32_t nFrames)
{
    return BuildWave(kFormat, MakeSamples(kFormat, nFrames));
}

inline CString Dir(const CString& strParent, const char* pcName)
{
    CString strPath = JoinPath(strParent, pcName);
    CreateDirectoryA(strPath, nullptr);
    return strPath;
}

inline std::string U(const CString& strPath)
{
    return SJisToUtf8(std::string(strPath));
}

inline bool Contains(const std::string& text, const std::string& strSJis)
{
    return text.find(ExpectedOutput(strSJis)) != std::string::npos;
}

// A message of the table as the child says it (Shift-JIS, for Contains): the
// tests run it in English on Linux; on Windows it has today's words.
inline std::string Said(CliMessage message, ...)
{
#ifdef _WIN32
    const CliLanguage language = kLangWindows;
#else
    const CliLanguage language = kLangEnglish;
#endif
    va_list args;
    va_start(args, message);
    CString strText;
    strText.FormatV(GetCliTextIn(language, message), args);
    va_end(args);
    return strText.GetString();
}

// The program's text as its trace holds it: UTF-8 for Linux users.
inline std::string TraceText(const char* pcText)
{
#ifdef _WIN32
    return pcText;
#else
    return SJisToUtf8(pcText);
#endif
}

// The lines of a text, each without its '\n'; a last line without one is left out.
inline std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t i = 0;
    for (size_t iEnd; (iEnd = text.find('\n', i)) != std::string::npos; i = iEnd + 1)
        lines.push_back(text.substr(i, iEnd - i));
    return lines;
}

// The pieces of one source, in order, joined back: header checks and data.
inline std::string JoinPieces(const CString& strBase, int nPieces)
{
    std::string joined;
    for (int i = 1; i <= nPieces; i++)
    {
        CString strPath;
        strPath.Format("%s_%03d.wav", (const char*)strBase, i);
        std::string piece;
        EXPECT_TRUE(ReadBytes(strPath, piece)) << strPath.GetString();
        if (piece.size() < 44)
            return std::string();
        EXPECT_EQ(piece.size() - 44, GetLE32(piece, 40)) << strPath.GetString();
        EXPECT_EQ(piece.size() - 8, GetLE32(piece, 4)) << strPath.GetString();
        joined += piece.substr(44);
    }
    CString strNext;
    strNext.Format("%s_%03d.wav", (const char*)strBase, nPieces + 1);
    EXPECT_FALSE(PathExists(strNext)) << strNext.GetString();
    return joined;
}

struct Tree
{
    CString strRoot;
    CString strOut;
    CString strLogs;
};

inline Tree MakeTree(const char* pcName)
{
    Tree tree;
    tree.strRoot = MakeTestDir(pcName);
    tree.strOut = JoinPath(tree.strRoot, "out");
    tree.strLogs = Dir(tree.strRoot, "logs");
    return tree;
}

// One cue point: id, frame, label.
struct Mark
{
    uint32_t dwId;
    uint32_t dwFrame;
    const char* pcLabel;
};

// The cue and adtl chunks of the points, frames counted from the piece.
inline std::vector<std::string> MarkerChunks(const std::vector<Mark>& marks)
{
    std::string cue = LE32((uint32_t)marks.size());
    std::string adtl = "adtl";
    for (const Mark& m : marks)
    {
        cue += LE32(m.dwId) + LE32(m.dwFrame) + "data" + LE32(0) + LE32(0) + LE32(m.dwFrame);
        adtl += MakeChunk("labl", LE32(m.dwId) + m.pcLabel + std::string(1, '\0'));
    }
    return {MakeChunk("cue ", cue), MakeChunk("LIST", adtl)};
}
