// Cut lists as tables: text in, cuts out.
#include "engine/CutList.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// "source: units/per'label'@performer ..." for each group; "*" for a group
// of every source, "f" for frames.
std::string DescribeList(const CMyCutList& list)
{
    std::string str;
    for (const CMyCutGroup& group : list.Groups)
    {
        str += (group.strSource.IsEmpty() ? std::string("*") : group.strSource.GetString()) + ":";
        for (const CMyListCut& cut : group.Cuts)
        {
            str += " " + std::to_string(cut.Time.qwUnits) +
                   (cut.Time.dwPerSecond == 0 ? std::string("f")
                                              : "/" + std::to_string(cut.Time.dwPerSecond));
            str += "'" + std::string(cut.strLabel.GetString()) + "'";
            if (!cut.strPerformer.IsEmpty())
                str += "@" + std::string(cut.strPerformer.GetString());
        }
        str += " ";
    }
    return str;
}

struct ListCase
{
    const char* pcName;
    std::string strText;
    CutListKind Kind;
    const char* pcCuts; // empty: refused
    CutListFault Fault;
    DWORD dwLine;
};
} // namespace

TEST(CutList, ReadsEachFormAsTabled)
{
    const ListCase cases[] = {
        {"cue: BOM, CR LF, pregap, sheet performer",
         "\xEF\xBB\xBFREM GENRE Rock\r\nCATALOG 123\r\nPERFORMER \"Band\"\r\nTITLE \"Album\"\r\n"
         "FILE \"album.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n    TITLE \"One\"\r\n"
         "    INDEX 01 00:00:00\r\n  TRACK 02 AUDIO\r\n    TITLE \"Two\"\r\n"
         "    PERFORMER \"Guest\"\r\n    ISRC X\r\n    FLAGS DCP\r\n    INDEX 00 03:00:00\r\n"
         "    INDEX 01 03:02:37\r\n",
         kListCue, "album.wav: 0/75'One'@Band 13687/75'Two'@Guest ", kListFaultNone, 0},
        {"cue: hidden first track, unquoted values, lower case",
         "file my album.wav WAVE\n"
         "track 1 audio\ntitle My Song\nindex 01 00:02:00\n",
         kListCue, "my album.wav: 0/75'00' 150/75'My Song' ", kListFaultNone, 0},
        {"cue: several files, a pregap in the file before",
         "FILE \"a.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nTITLE \"B\"\n"
         "INDEX 00 01:00:00\nFILE \"b.wav\" WAVE\nINDEX 01 00:00:00\nTRACK 03 AUDIO\n"
         "INDEX 01 120:30:00\n",
         kListCue, "a.wav: 0/75'' b.wav: 0/75'B' 542250/75'' ", kListFaultNone, 0},
        {"cue: Shift-JIS", "FILE a.wav WAVE\nTRACK 01 AUDIO\nTITLE \"\x8B\xC8\"\nINDEX 01 0:0:0",
         kListCue, "a.wav: 0/75'\x8B\xC8' ", kListFaultNone, 0},
        {"cue: UTF-8", "FILE a.wav WAVE\nTRACK 01 AUDIO\nTITLE \"\xE6\x9B\xB2\"\nINDEX 01 0:0:0",
         kListCue, "a.wav: 0/75'\x8B\xC8' ", kListFaultNone, 0},
        {"cue: seconds past 59", "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:60:00\n", kListCue,
         "", kListFaultLine, 3},
        {"cue: frames past 74", "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:75\n", kListCue,
         "", kListFaultLine, 3},
        {"cue: no FILE", "TRACK 01 AUDIO\nINDEX 01 00:00:00\n", kListCue, "", kListFaultLine, 2},
        {"cue: a quote not closed", "FILE a.wav WAVE\r\nTRACK 01 AUDIO\r\nTITLE \"open\r\n",
         kListCue, "", kListFaultLine, 3},
        {"cue: a track without INDEX 01",
         "FILE a.wav WAVE\nTRACK 01 AUDIO\nTRACK 02 AUDIO\nINDEX 01 00:01:00\n", kListCue, "",
         kListFaultLine, 2},
        {"cue: no track", "REM nothing\nFILE a.wav WAVE\n", kListCue, "", kListFaultEmpty, 0},
        {"labels: points, a region, spectral lines",
         "1.5\t1.5\tverse\n\\\t100.0\t200.0\n3\t4.25\tsolo\tand more\r\n\n", kListLabels,
         "*: 15/10'verse' 3/1'solo\tand more' 425/100'' ", kListFaultNone, 0},
        {"labels: no text, ten decimals", "0.1234567891\t0.1234567891\n", kListLabels,
         "*: 123456789/1000000000'' ", kListFaultNone, 0},
        {"labels: end before start", "1\t1\tx\n2.5\t1.0\tx\n", kListLabels, "", kListFaultLine, 2},
        {"labels: a decimal comma", "1,5\t2\tx\n", kListLabels, "", kListFaultLine, 1},
        {"labels: no end", "1.5\n", kListLabels, "", kListFaultLine, 1},
        {"labels: a NUL byte", std::string("1\t1\ta\n2\t2\t\0b\n", 13), kListLabels, "",
         kListFaultLine, 2},
        {"labels: none", "\r\n\\\t1\t2\r\n", kListLabels, "", kListFaultEmpty, 0},
        {"plan: exact frames, sources, quoted names",
         "path,start,length,reason,source,start_frame,frames,status\r\n"
         "/o/t_001.wav,00:00:00.000,00:00:01.000,length,/in/t.wav,0,44100,planned\r\n"
         "\"/o/a,\"\"b\"\".wav\",00:00:01.000,00:00:01.000,end,/in/t.wav,44101,44100,planned\r\n"
         "/o/u_001.wav,00:00:00.000,00:00:01.000,end,/in/u.wav,0,44100,written\r\n"
         "/o/t_003.wav,00:00:02.000,00:00:01.000,end,/in/t.wav,88200,44100,written\r\n",
         kListPlan, "/in/t.wav: 0f't_001' 44101f'a,\"b\"' 88200f't_003' /in/u.wav: 0f'u_001' ",
         kListFaultNone, 0},
        {"plan: an older plan, times only",
         "path,start,length,reason,status\n/o/x_002.WAV,00:01:00.500,00:00:01.000,length,planned\n",
         kListPlan, "*: 60500/1000'x_002' ", kListFaultNone, 0},
        {"plan: a start that is no time", "path,start,length,reason,status\n/o/x.wav,x,1,end,p\n",
         kListPlan, "", kListFaultLine, 2},
        {"plan: a frame that is no whole number",
         "path,start,source,start_frame\n/o/x.wav,00:00:00.000,/in/x.wav,1.5\n", kListPlan, "",
         kListFaultLine, 2},
        {"plan: a quote not closed", "path,start\n\"/o/x.wav,00:00:00.000\n", kListPlan, "",
         kListFaultLine, 2},
        {"plan: header alone", "path,start,length,reason,status\r\n", kListPlan, "",
         kListFaultEmpty, 0},
    };
    for (const ListCase& c : cases)
    {
        CMyCutList list;
        CMyCutListError error;
        int bRead = ReadCutList(c.strText, &list, &error);
        EXPECT_EQ(bRead, *c.pcCuts != '\0') << c.pcName;
        if (bRead)
        {
            EXPECT_EQ(list.Kind, c.Kind) << c.pcName;
            EXPECT_EQ(DescribeList(list), c.pcCuts) << c.pcName;
        }
        EXPECT_EQ(error.Fault, c.Fault) << c.pcName;
        EXPECT_EQ(error.dwLine, c.dwLine) << c.pcName;
    }
}

TEST(CutList, ReadsTypedTimes)
{
    const struct
    {
        const char* pcTimes;
        const char* pcCuts; // empty: refused
    } cases[] = {
        {"1:00,90.5, 0:01:02.25", "*: 60/1'' 905/10'' 6225/100'' "},
        {"1:60", ""},
        {"1:2:3:4", ""},
        {"", ""},
        {"1,,2", ""},
        {"-1", ""},
        {"99999999999999999999", ""},
    };
    for (const auto& c : cases)
    {
        CMyCutList list;
        int bRead = ReadCutTimes(c.pcTimes, &list);
        EXPECT_EQ(bRead, *c.pcCuts != '\0') << c.pcTimes;
        EXPECT_EQ(bRead ? DescribeList(list) : "", c.pcCuts) << c.pcTimes;
    }
}

// The nearest frame: a cue frame is 588 frames at 44.1 kHz, 640 at 48 kHz.
TEST(CutList, TimesBecomeTheNearestFrame)
{
    const struct
    {
        ULONGLONG qwUnits;
        DWORD dwPerSecond;
        DWORD dwRate;
        ULONGLONG qwFrames;
    } cases[] = {
        {1, 75, 44100, 588},
        {1, 75, 48000, 640},
        {1, 75, 8000, 107},               // 106.67
        {2, 75, 8000, 213},               // 213.33
        {1, 2, 1, 1},                     // a half rounds up
        {1234567, 1000000, 44100, 54444}, // 54444.4047
        {4000000000ull * 75, 75, 192000, 768000000000000ull},
        {~0ull, 1, 192000, ~0ull}, // saturates
        {12345, 0, 44100, 12345},  // frames stay
    };
    for (const auto& c : cases)
    {
        CMyCutTime time;
        time.qwUnits = c.qwUnits;
        time.dwPerSecond = c.dwPerSecond;
        EXPECT_EQ(FramesOfCutTime(time, c.dwRate), c.qwFrames) << c.qwUnits << "/" << c.dwPerSecond;
    }
}
