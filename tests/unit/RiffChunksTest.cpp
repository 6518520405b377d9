// The chunk walk's one rule for a pad byte that a writer may have left out.
#include "engine/RiffChunks.h"

#include "WaveBuilder.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// "id@position" of each chunk a walk meets, to the first that has no
// printable id or no whole header.
std::string WalkIds(const std::string& strBytes)
{
    CMyMemoryRiffBytes bytes(strBytes);
    CMyChunkWalk walk(&bytes, 0);
    CMyChunk chunk;
    std::string str;
    while (walk.Read(&chunk) && IsChunkId(chunk.acId))
    {
        str += std::string(chunk.acId, 4) + "@" + std::to_string(chunk.qwPos) + " ";
        walk.Skip(chunk);
    }
    return str;
}
} // namespace

TEST(RiffChunks, ThePaddedPlaceWinsUnlessOnlyTheOtherHoldsAChunk)
{
    const std::string odd = "LIST" + LE32(5) + "INFOx";
    const struct
    {
        const char* pcName;
        std::string bytes;
        const char* pcWalk;
    } cases[] = {
        {"pad written", odd + '\0' + MakeChunk("cue ", LE32(0)), "LIST@0 cue @14 "},
        {"pad left out", odd + MakeChunk("cue ", LE32(0)), "LIST@0 cue @13 "},
        // Its size starts with 'A': a byte later "ue A" looks like an id, but
        // no size that fits follows it.
        {"pad left out before a size that starts printable",
         odd + MakeChunk("cue ", std::string(65, 'c')), "LIST@0 cue @13 "},
        // A space for a pad: " cue" with a size that fits starts at the pad
        // too, and the pad is taken as written.
        {"pad written as a space", odd + " " + MakeChunk("cue ", LE32(0)) + std::string(2000, 0),
         "LIST@0 cue @14 "},
        // The chunk after a left-out pad runs past the end: neither place holds
        // a whole chunk header, so the pad is taken as written.
        {"pad left out before a chunk cut short", odd + "cue " + LE32(0x90) + LE32(0), "LIST@0 "},
        // "data" may claim any size (recorders leave it all ones).
        {"pad left out before data of any size", odd + "data" + LE32(0xFFFFFFFFu) + "ab",
         "LIST@0 data@13 "},
        {"no pad after the last chunk", odd, "LIST@0 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WalkIds(c.bytes), c.pcWalk) << c.pcName;
}
