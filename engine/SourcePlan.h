// The plan of one open source: its data size, chunks, markers and pauses
// read as far as the chosen rule and name template need them, then the
// planners and the namer.
#pragma once

#include "engine/ChannelList.h"
#include "engine/Markers.h"
#include "engine/PieceNames.h"
#include "engine/SourceCuts.h"
#include "engine/SplitPlan.h"

#include <memory>
#include <vector>

class CMyWaveFile;

// What the host chose, the same for every file of a run.
struct CMyPlanRequest
{
    CMyPlanRule Rule;
    CMyNameTemplate NameTemplate; // ParseNameTemplate; "{title}_{n}" when empty
    // Pieces carry the cue and adtl chunks of their markers: the markers are
    // then read for every file, and a size limit counts their bytes.
    int bCarryMarkers = 0;
    // Pieces share whole blocks with the source where the file system can:
    // each piece's audio keeps its offset within a block (a JUNK chunk).
    int bShareBlocks = 0;
    // Each piece written as one file per channel or group of channels.
    CMyChannelRequest Channels;
    // The user's cut lists (--cuts, --at, beside each source), read once and
    // shared by every file's copy of the request; null when none was given.
    std::shared_ptr<const CMyRunCuts> pCuts;
};

struct CMySourcePlan
{
    CMyPlan Plan;
    std::vector<CMyMarker> Markers; // in frame order; what pieces carry
    int bAlignBlocks = 0;           // pieces carry the aligning JUNK chunk
};

// 1 when the template names a field that needs the source's chunks.
int NeedsSourceChunks(const CMyNameTemplate& nameTemplate);

// Plans the open source whose header ReadHeader has read and whose file size
// is current (its data start lies inside the file). strTitle is the name
// {title} stands for. Reads the chunks only when markers or the template need
// them, and samples only in the pause windows; leaves the file's position
// anywhere (seek to the data start before copying). strFolderSep is where
// the pieces go, with its final separator (names are fitted to the system's
// limit there). The user's cuts for the source are chosen by its path. 1
// with the plan; 0 when the file cannot be planned. Either way
// pOut->Plan.Notes hold the trace entries for the file.
int PlanSourceFile(CMyWaveFile* pSrc, const CString& strFolderSep, const CString& strTitle,
                   const CMyPlanRequest& request, CMySourcePlan* pOut);
