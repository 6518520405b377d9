// What the command line's folder walk passes over: a folder it has walked
// already (a link back up the tree, or two arguments that reach one folder),
// the output folder with everything in it, and, on Linux, names that
// Shift-JIS cannot hold, which the listing drops and the guard reports.
#pragma once

#include "framework/CString.h"

#include <set>
#include <utility>

// A folder's identity: device (volume) and inode (file index).
typedef std::pair<unsigned long long, unsigned long long> CliFolderId;

// The identity of the folder the Shift-JIS path names (links followed); 0 when
// it cannot be read.
int GetFolderId(const char* pcFolder, CliFolderId* pId);
// Reports on standard error every WAV file or folder in the current folder
// (pcFolder, for messages) whose name the program cannot hold, and every WAV
// name that is no regular file (a FIFO, socket or device); how many.
unsigned long ReportUnnamableEntries(const char* pcFolder);

struct CliWalkGuard
{
    int bHaveOutputId = 0; // 0 while the output folder does not exist
    CliFolderId outputId;
    std::set<CliFolderId> walked;
    unsigned long dwUnnamable = 0; // names reported by ReportUnnamableEntries
};

// Remembers the output folder's identity when it exists (a missing one holds
// nothing to pass over).
void StartWalkGuard(CliWalkGuard* pGuard, const CString& strOutputFull);
// The walk's folder-entry handler (the current directory is the folder):
// 0 for a folder walked before or the output folder (a PATH given on the
// command line inside the output folder is still taken: "-o . song.wav").
int OnEnterFolder(const char* pcFolder, void* pGuard);
