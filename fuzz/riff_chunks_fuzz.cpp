// Arbitrary bytes as a RIFF body through the chunk walk: every header it
// gives lies inside the bytes and after the one before, its pad rule takes
// the byte after an odd body unless only the place before it holds a chunk
// header, a file read through a small transfer buffer walks the same way as
// the bytes in memory, and the markers read from the bytes (as a cue body
// and an adtl list) give piece chunks that walk back whole.
#include "engine/Markers.h"
#include "engine/RiffChunks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
bool WriteFileBytes(const std::string& strPath, const std::string& strBytes)
{
    FILE* fp = fopen(strPath.c_str(), "wb");
    if (fp == nullptr)
        return false;
    bool bOk =
        strBytes.empty() || fwrite(strBytes.data(), 1, strBytes.size(), fp) == strBytes.size();
    return fclose(fp) == 0 && bOk;
}

// The chunks a walk meets, as positions; checks each step.
std::vector<ULONGLONG> Walk(CMyRiffBytes* pBytes)
{
    std::vector<ULONGLONG> positions;
    CMyChunkWalk walk(pBytes, 0);
    CMyChunk chunk;
    while (walk.Read(&chunk))
    {
        if (chunk.qwPos + 8 > pBytes->GetEnd() || chunk.qwPos != walk.GetPos())
            abort();
        positions.push_back(chunk.qwPos);
        walk.Skip(chunk);
        const ULONGLONG qwBodyEnd = chunk.qwPos + 8 + chunk.dwSize;
        const ULONGLONG qwNext = walk.GetPos();
        if (qwNext != qwBodyEnd && qwNext != qwBodyEnd + 1)
            abort();
        if ((chunk.dwSize & 1) == 0 && qwNext != qwBodyEnd)
            abort();
        // The unpadded place only when the padded one holds no header.
        if (qwNext == qwBodyEnd && (chunk.dwSize & 1) != 0 &&
            (IsChunkHeaderAt(pBytes, qwBodyEnd + 1) || !IsChunkHeaderAt(pBytes, qwBodyEnd)))
            abort();
    }
    return positions;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string strBytes((const char*)data, size);
    CMyMemoryRiffBytes memory(strBytes);
    const std::vector<ULONGLONG> positions = Walk(&memory);

    static const std::string s_strPath = "/tmp/riff_chunks_fuzz." + std::to_string(getpid());
    static const int s_bCleanUp = atexit([] { remove(s_strPath.c_str()); });
    (void)s_bCleanUp;
    if (!WriteFileBytes(s_strPath, strBytes))
        return 0;
    {
        CMyLockedFile file;
        if (!file.SetFilePath(s_strPath.c_str()) || file.RefreshFileSize() != size ||
            !file.GetTransferBuff().Reallocate(64, 0))
            abort();
        file.SetTransferLimit(5); // several reads for every header
        if (!file.OpenForRead())
            abort();
        CMyFileRiffBytes bytes(&file);
        if (Walk(&bytes) != positions)
            abort();
    }

    // The first byte splits the input into a cue body and an adtl list.
    if (size == 0)
        return 0;
    const size_t nCue = data[0] < size ? data[0] : size - 1;
    std::vector<CMyMarker> markers;
    std::vector<CString> notes;
    ReadMarkers(strBytes.substr(1, nCue), strBytes.substr(1 + nCue), 1000000, &markers, &notes);
    const std::string strChunks = BuildPieceMarkerChunks(markers, 0, 1000000);
    CMyMemoryRiffBytes built(strChunks);
    CMyChunkWalk walk(&built, 0);
    CMyChunk chunk;
    while (walk.Read(&chunk))
    {
        if (!IsChunkId(chunk.acId) || chunk.dwSize > strChunks.size() - chunk.qwPos - 8)
            abort();
        walk.Skip(chunk);
    }
    if (walk.GetPos() != strChunks.size())
        abort();
    return 0;
}
