// The track list of a recorder's iXML chunk: the names of the channels,
// and the list a file of some of them carries.
#pragma once

#include "engine/ChannelList.h"

#include <string>
#include <vector>

// wChannels texts: entry k the NAME of the first TRACK whose
// INTERLEAVE_INDEX is k + 1, its five predefined entities decoded, as the
// chunk holds it (UTF-8 as a rule); empty for a channel no TRACK names. Reads
// nothing outside strXml; XML it cannot follow leaves channels unnamed.
void ReadIXmlTrackNames(const std::string& strXml, WORD wChannels,
                        std::vector<std::string>* pNames);

// strXml with its TRACK_LIST holding only the tracks of the group's
// channels (counted from 0) in the group's order: each one's
// INTERLEAVE_INDEX its place in the group, TRACK_COUNT their number, every
// other byte as it was. A text without a TRACK_LIST it can follow comes
// back as it is.
std::string ReduceIXmlTracks(const std::string& strXml, const CMyChannelGroup& group);
