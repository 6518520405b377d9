// What the command line says on the terminal, in the user's language: one
// table, each message in English and in Japanese (the Windows program's own
// text where it has one), the language chosen once at start.
#pragma once

#include "framework/CString.h"

enum CliLanguage
{
    kLangEnglish,  // any other locale, "C" and "POSIX" among them (plain ASCII)
    kLangJapanese, // a "ja" locale
    kLangWindows   // the Windows programs: today's texts, English or the window's
};

enum CliMessage
{
    // The program's message boxes, as the window shows them.
    kMsgSummary,
    kMsgDuplicates,
    kMsgNoRoom,
    kMsgListTooBig,
    kMsgNoTrace,
    kMsgBadLength,
    kMsgNoSources,
    // The command line's own.
    kMsgTryHelp,
    kMsgDryRunSummary,
    kMsgInterrupted,
    kMsgCutShort,
    kMsgInterruptedCollecting,
    kMsgNotSplit,
    kMsgWouldNotSplit,
    kMsgReasonsInTrace,
    kMsgNoOutput,
    kMsgNoPaths,
    kMsgDoneBefore,
    kMsgLeftAlone,
    kMsgPartlyKept,
    kMsgOneCopy,
    kMsgOneCopyNoPause,
    kMsgClaimsMore,
    kMsgCollides,
    kMsgCollisionList,
    kMsgPieceFailed,
    kMsgUnknownReason,
    kMsgPathUnconverted,
    kMsgNameUnconverted,
    kMsgUnconvertedPosix,
    kMsgCannotAbsolutePath,
    kMsgNoSuchPath,
    kMsgRootPath,
    kMsgPathIsOutput,
    kMsgFolderUnreadSkipped,
    kMsgNotRegularSkipped,
    kMsgNotRegularLeftOut,
    kMsgNotWav,
    kMsgFolderUnreadLeftOut,
    kMsgCollecting,
    kMsgCannotWriteOutput,
    kMsgOutputFolder,
    kMsgLogFolder,
    kMsgFolderNotAbsolute,
    kMsgFolderIsFile,
    kMsgCannotCreateFolder,
    kMsgTraceNotWritable,
    kMsgPlanNotAbsolute,
    kMsgPlanIsFolder,
    kMsgPlanIsWave,
    kMsgPlanIsOther,
    kMsgPlanUnread,
    kMsgPlanNotCreated,
    kMsgPlanNotWritten,
    kMsgNoLogFolder,
    kMsgNoAddJob,
    kMsgNoBatch,
    kMsgTraceLost,
    kMsgUnaligned,
    // The user's cut lists.
    kMsgOneCopyCuts,
    kMsgCutsLine,
    kMsgCutsEmpty,
    kMsgCutsUnread,
    kMsgCutsLarge,
    kMsgBadAt,
    // The reasons a file is not split: the Japanese text is the trace
    // entry's, without its mark and the function that wrote it.
    kMsgReasonFirst,
    kMsgReasonBadBase = kMsgReasonFirst,
    kMsgReasonCannotOpen,
    kMsgReasonBadHeader,
    kMsgReasonFileTooSmall,
    kMsgReasonNoData,
    kMsgReasonOverwrites,
    kMsgReasonSameNames,
    kMsgReasonUnlike,
    kMsgReasonTooMany,
    kMsgReasonTooShortLength,
    kMsgReasonBadCount,
    kMsgReasonLimitTooSmall,
    kMsgReasonLimitNoMarkers,
    kMsgReasonStopped,
    kMsgReasonCannotSeek,
    kMsgReasonNoFolder,
    kMsgReasonBadParameters,
    kMsgReasonTooShort,
    kMsgReasonUnreadable,
    kMsgReasonNotRiff,
    kMsgReasonNotWave,
    kMsgReasonTooManyChunks,
    kMsgReasonNoDataChunk,
    kMsgReasonNoFmt,
    kMsgReasonNoDs64,
    kMsgReasonEmptyData,
    kMsgReasonChunkPastEnd,
    kMsgReasonBadFmtSize,
    kMsgReasonFmtUnread,
    kMsgReasonBadDs64,
    kMsgReasonBadExtensible,
    kMsgReasonBadValidBits,
    kMsgReasonNoChannel,
    kMsgCount
};

struct CliMessageText
{
    const char* pcEnglish;  // ASCII
    const char* pcJapanese; // Shift-JIS
    int bWindows;           // the Japanese text is what the Windows programs show
};

// The language of LC_ALL, LC_MESSAGES, LANG: the first that is set and not
// empty decides.
CliLanguage ChooseCliLanguage(const char* pcLcAll, const char* pcLcMessages, const char* pcLang);
// Chooses from the environment once at start (Windows: today's texts).
void StartCliLanguage();
CliLanguage GetCliLanguage();

const CliMessageText& GetCliMessageText(CliMessage message);
// The message in a language (a format for CString::Format when it has
// fields); GetCliText in the one chosen at start.
const char* GetCliTextIn(CliLanguage language, CliMessage message);
const char* GetCliText(CliMessage message);

// A message box's text (the window's words) in the chosen language; as it
// is when it is not one of the table's.
CString TranslateBoxText(const char* pcText);
// 1 for the batch's summary box (the one the command line holds back).
int IsSummaryBox(const char* pcText);
// Why a file is not split, on one line, from its trace entry: without the
// mark and the function's name, in the chosen language.
CString MakeReasonText(const CString& strTraceEntry);
