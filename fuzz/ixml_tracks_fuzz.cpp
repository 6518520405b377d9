// Arbitrary bytes as an iXML chunk through the track list reader: every
// channel gets a name or none, never longer than the text, and the list
// reduced to a group of channels reads back with a name or none for each of
// the group's channels.
#include "engine/IXmlTracks.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte picks the channel count and the group.
    if (size == 0)
        return 0;
    const WORD wChannels = (WORD)(data[0] % 33);
    const std::string strXml((const char*)data + 1, size - 1);
    std::vector<std::string> names;
    ReadIXmlTrackNames(strXml, wChannels, &names);
    if (names.size() != wChannels)
        abort();
    for (const std::string& strName : names)
        if (strName.size() > strXml.size())
            abort();

    CMyChannelGroup group;
    for (WORD w = 0; w < wChannels; w += (WORD)(1 + data[0] % 3))
        group.insert(group.begin(), w);
    const std::string strReduced = ReduceIXmlTracks(strXml, group);
    std::vector<std::string> reduced;
    ReadIXmlTrackNames(strReduced, (WORD)group.size(), &reduced);
    if (reduced.size() != group.size())
        abort();
    return 0;
}
