// Which of a source's channels go to which file when a run splits by
// channel: "each" (one mono file a channel) or groups such as "1-2,3,5".
#pragma once

#include "framework/CString.h"
#include "platform/Platform.h"

#include <string>
#include <vector>

// A group: the source's channels counted from 0, in the file's order.
typedef std::vector<WORD> CMyChannelGroup;

struct CMyChannelRequest
{
    int bEach = 0;
    // Without bEach: each group's channels counted from 1, as typed.
    std::vector<CMyChannelGroup> Groups;
    int IsSet() const { return bEach || !Groups.empty(); }
};

// "each", or groups of a channel ("3") or a range ("1-2"; "2-1" the two in
// that order) separated by commas, channels counted from 1. 0 for anything
// else (the request then left empty).
int ParseChannelList(const char* pcList, CMyChannelRequest* pOut);

// The groups for a source of wChannels channels, counted from 0. 0 with the
// first channel the source does not have (counted from 1) in *pwMissing.
int ResolveChannelGroups(const CMyChannelRequest& request, WORD wChannels,
                         std::vector<CMyChannelGroup>* pGroups, DWORD* pdwMissing);

// {channel} of a group (Shift-JIS, not yet made safe for a name): the
// channels' track names joined with '+' when each has one, else the channel
// numbers ("ch3", "ch1-2").
CString MakeChannelName(const CMyChannelGroup& group, const std::vector<CString>& names);
